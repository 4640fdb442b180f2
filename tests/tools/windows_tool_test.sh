#!/bin/sh
# scenario-tool.exe under Wine on folders and names with accented letters, as
# Italian authors name them: every command gives the files, bytes and reports
# of the Linux tool on the same sources.
#
#   windows_tool_test.sh WINE_RUN TOOL_EXE LINUX_TOOL
set -eu
wine_run=$1
exe=$2
linux=$3

[ -x "$linux" ] || { echo "no Linux scenario-tool at $linux: build it first" >&2; exit 1; }
"$wine_run" --start
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/linux" "$work/windows"
failed=0
fail() {
  echo "$*" >&2
  failed=1
}

# The same command line in both trees, from the tree's root, so that the
# folder names in the reports are the same relative ones. Windows reports end
# lines with CR LF on the console and join paths with "\" (in JSON "\\").
both() {
  name=$1
  shift
  (cd "$work/linux" && "$linux" "$@" >"../$name.linux.out" 2>"../$name.linux.err") || echo $? >"$work/$name.linux.status"
  (cd "$work/windows" && SCENARIO_HEADLESS=1 "$wine_run" "$exe" "$@" >"../$name.windows.out" 2>"../$name.windows.err") ||
    echo $? >"$work/$name.windows.status"
  for stream in out err status; do
    [ -f "$work/$name.linux.$stream" ] || : >"$work/$name.linux.$stream"
    [ -f "$work/$name.windows.$stream" ] || : >"$work/$name.windows.$stream"
    tr -d '\r' <"$work/$name.windows.$stream" | sed 's/\\\\/\//g; s/\\/\//g' >"$work/$name.windows.$stream.unix"
    cmp -s "$work/$name.linux.$stream" "$work/$name.windows.$stream.unix" ||
      fail "$name: standard $stream differs: $(diff "$work/$name.linux.$stream" "$work/$name.windows.$stream.unix" | head -n 5)"
  done
}

same_tree() {
  (cd "$work/linux" && find . | sort) >"$work/tree.linux"
  (cd "$work/windows" && find . | sort) >"$work/tree.windows"
  cmp -s "$work/tree.linux" "$work/tree.windows" || fail "the trees differ: $(diff "$work/tree.linux" "$work/tree.windows")"
  (cd "$work/linux" && find . -type f) | while IFS= read -r file; do
    cmp -s "$work/linux/$file" "$work/windows/$file" || echo "$file" >>"$work/differ"
  done
  if [ -s "$work/differ" ]; then
    fail "not the same bytes: $(cat "$work/differ")"
    rm -f "$work/differ"
  fi
}

# The embedded scenario in a folder with a blank and an accented letter.
folder="Linee di prova è"
both sources sources "$folder" --documents
both compile compile "$folder"
both check check "$folder" --json
both dump-grid dump "$folder/Orvale_Tresca_IC 417.dat"
both dump-parameters dump "$folder/Orvale_Tresca_IC 417.sim" --json
both render render "$folder" -o "$folder/linea è.svg"

# A route and a train named with letters that have Windows-1252 codes; a
# signal on a taken cell gives a diagnostic that names the file.
route="Città_Alta"
both sources-named sources "$folder/$route" --route "$route" --train "Rè 5"
for tree in linux windows; do
  sed -i '/^\[segnali\]/a segnale,   47500,   1, 4, 1,  0, 0,    1,  2,1,0, 0' "$work/$tree/$folder/$route/${route}_Rè 5-.txt"
done
both check-named check "$folder/$route" --json
both compile-named compile "$folder/$route"
both dump-named dump "$folder/$route/${route}_Rè 5.sim"
both documents-named documents "$folder/$route" -o "$folder/$route/fogli è" --html
same_tree
grep -q "Città_Alta_Rè 5-.txt" "$work/check-named.linux.out" || fail "the report does not name the train file"
grep -q '"error_code": 16' "$work/check-named.linux.out" || fail "the report has no code 16"

[ "$failed" -eq 0 ] && echo "every command as on Linux, accented names included"
exit "$failed"
