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

# The language server on the accented train file: error 16 at the signal,
# published for the document's own percent-encoded URI.
train_file="$work/windows/$folder/$route/${route}_Rè 5-.txt"
uri="file:///Z:$(printf '%s' "$work/windows" | sed 's/ /%20/g')/Linee%20di%20prova%20%C3%A8/Citt%C3%A0_Alta/Citt%C3%A0_Alta_R%C3%A8%205-.txt"
text=$(awk 'BEGIN { ORS = "" } { gsub(/\\/, "\\\\"); gsub(/"/, "\\\""); sub(/\r$/, "\\r"); print $0 "\\n" }' "$train_file")
frame() { printf 'Content-Length: %d\r\n\r\n%s' "$(printf '%s' "$1" | wc -c)" "$1"; }
{
  frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"processId":null,"rootUri":null,"capabilities":{}}}'
  frame '{"jsonrpc":"2.0","method":"initialized","params":{}}'
  frame '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"'"$uri"'","languageId":"scenario-train","version":1,"text":"'"$text"'"}}}'
  frame '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
  frame '{"jsonrpc":"2.0","method":"exit"}'
} >"$work/lsp.in"
(cd "$work/windows" && "$wine_run" "$exe" lsp --sync <"$work/lsp.in" >"$work/lsp.out" 2>"$work/lsp.err") ||
  fail "lsp ended with status $?: $(cat "$work/lsp.err")"
# One message a record: the diagnostics published for that URI hold code 16.
awk -v u="\"uri\":\"$uri\"" 'BEGIN { RS = "Content-Length: " }
  index($0, "publishDiagnostics") && index($0, u) && index($0, "\"code\":16") { found = 1 }
  END { exit !found }' "$work/lsp.out" ||
  fail "lsp published no error 16 for $uri: $(head -c 2000 "$work/lsp.out")"

# The live preview of the accented folder: its state names the route, the
# train and the code 16.
(cd "$work/windows" && exec "$wine_run" "$exe" serve "$folder/$route" --port 0 >"$work/serve.out" 2>&1) &
serve_pid=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's|.*http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$work/serve.out" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
if [ -z "$port" ]; then
  fail "serve printed no address: $(cat "$work/serve.out")"
else
  bash -c 'exec 3<>"/dev/tcp/127.0.0.1/$1"; printf "GET /state HTTP/1.0\r\nHost: 127.0.0.1:$1\r\n\r\n" >&3; cat <&3' \
    state "$port" >"$work/serve.state" || fail "no answer from serve on port $port"
  grep -q '"route":"Città_Alta"' "$work/serve.state" && grep -q '"train":"Rè 5"' "$work/serve.state" &&
    grep -q '"code":16' "$work/serve.state" || fail "serve's state: $(head -c 2000 "$work/serve.state")"
fi
kill "$serve_pid" 2>/dev/null || true
wait "$serve_pid" 2>/dev/null || true
grep -q "Città_Alta_Rè 5-.txt" "$work/check-named.linux.out" || fail "the report does not name the train file"
grep -q '"error_code": 16' "$work/check-named.linux.out" || fail "the report has no code 16"

[ "$failed" -eq 0 ] && echo "every command as on Linux, accented names included"
exit "$failed"
