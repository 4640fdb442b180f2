#!/bin/sh
# Runs of the Windows program that only Wine, driven from outside, can set up.
# Each must end with status 0 and leave in the program's folder exactly the
# Linux program's files, byte for byte.
#
#   drive-root  The program at the root of a drive, where the folder Windows
#               reports already ends in a separator ("S:\"). A drive is a link
#               in the prefix's dosdevices folder: a free letter is mapped to a
#               fresh folder for the length of the run.
#   no-display  No X display at all: no window can be made (Wine says so on
#               its diagnostic channel) and the run goes on without it.
#
#   windows_wine_test.sh CASE WINE_RUN PREFIX SCENARIO_EXE REFERENCE_DIR
# WINE_RUN is the build's wrapper of cmake/wine-run.sh for the Wine prefix PREFIX.
set -eu
case=$1
wine_run=$2
prefix=$3
exe=$4
reference=$5

[ -d "$reference" ] || { echo "no Linux reference files in $reference" >&2; exit 1; }
"$wine_run" --start

folder=$(mktemp -d)
link=
trap 'rm -f "$link"; rm -rf "$folder"' EXIT
cp "$exe" "$folder/scenario.exe"
status=0
case $case in
  drive-root)
    for letter in s t u v w x y; do
      # ln fails when another run took the letter first: try the next one.
      if ln -s "$folder" "$prefix/dosdevices/$letter:" 2>/dev/null; then
        link="$prefix/dosdevices/$letter:"
        break
      fi
    done
    [ -n "$link" ] || { echo "no free drive letter in $prefix/dosdevices" >&2; exit 1; }
    SCENARIO_HEADLESS=1 "$wine_run" "$letter:\\scenario.exe" || status=$?
    ;;
  no-display)
    env -u DISPLAY WINEDEBUG=err+winediag SCENARIO_HEADLESS=1 SCENARIO_HOLD_WINDOW_MS=500 \
      "$wine_run" "$folder/scenario.exe" 2>"$folder.err" || status=$?
    if ! grep -q "nodrv_CreateWindow" "$folder.err"; then
      echo "a window could be made without a display:" >&2
      cat "$folder.err" >&2
      status=1
    fi
    rm -f "$folder.err"
    ;;
  *)
    echo "unknown case $case" >&2
    exit 64
    ;;
esac
[ "$status" -eq 0 ] || { echo "scenario.exe ended with status $status" >&2; exit 1; }

failed=0
for file in "$reference"/*; do
  name=$(basename "$file")
  if ! cmp -s "$file" "$folder/$name"; then
    echo "missing or not the Linux bytes: $name" >&2
    failed=1
  fi
done
for file in "$folder"/*; do
  name=$(basename "$file")
  [ "$name" = scenario.exe ] || [ -e "$reference/$name" ] || { echo "not written on Linux: $name" >&2; failed=1; }
done
[ "$failed" -eq 0 ] && echo "$case: every file as on Linux"
exit "$failed"
