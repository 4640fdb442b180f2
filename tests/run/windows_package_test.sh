#!/bin/sh
# The Windows archive as a user gets it: unpacked into a folder whose name has
# a blank and a letter outside ASCII, scenario.exe started there under Wine
# must leave beside itself the six files of the embedded run with the golden
# hashes, and scenario-tool.exe must answer --version.
#
#   windows_package_test.sh WINE_RUN ZIP GOLDEN_DIR
set -eu
wine_run=$1
zip=$2
golden=$3

[ -f "$zip" ] || { echo "no archive $zip" >&2; exit 1; }
"$wine_run" --start
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
target="$work/Scenari di prova è"
mkdir -p "$target"
(cd "$target" && cmake -E tar xf "$zip")
top="$target/$(basename "$zip" .zip)"
for file in scenario.exe scenario-tool.exe README.md docs/binary-files.md; do
  [ -f "$top/$file" ] || { echo "the archive has no $file" >&2; exit 1; }
done

SCENARIO_HEADLESS=1 "$wine_run" "$top/scenario.exe" || { echo "scenario.exe ended with status $?" >&2; exit 1; }
version=$("$wine_run" "$top/scenario-tool.exe" --version | tr -d '\r')
case $version in
  "scenario-tool "*) ;;
  *) echo "scenario-tool.exe --version printed: $version" >&2; exit 1 ;;
esac

failed=0
for name in "Orvale_Tresca_IC 417_note.txt" "Orvale_Tresca_IC 417_rallentamenti.txt" \
  "Orvale_Tresca_IC 417_scheda_treno.txt" "Orvale_Tresca_linea.dat" "Orvale_Tresca_IC 417.sim" \
  "Orvale_Tresca_IC 417.dat"; do
  want=$(grep "  $name\$" "$golden/embedded.sha256" | cut -c1-64)
  [ -n "$want" ] || { echo "no golden hash for $name" >&2; exit 1; }
  if [ ! -f "$top/$name" ]; then
    echo "missing: $name" >&2
    failed=1
  elif [ "$(sha256sum "$top/$name" | cut -c1-64)" != "$want" ]; then
    echo "not the golden bytes: $name" >&2
    failed=1
  fi
done
for name in "Orvale_Tresca_linea.txt" "Orvale_Tresca_IC 417-.txt"; do
  [ -e "$top/$name" ] && { echo "source left behind: $name" >&2; failed=1; }
done
[ "$failed" -eq 0 ] && echo "$(basename "$zip"): $version; the six files with the golden hashes"
exit "$failed"
