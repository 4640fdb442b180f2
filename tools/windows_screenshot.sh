#!/bin/sh
# A picture of the Windows program's Form1 window as it comes up under Wine in
# a virtual display, cut to the window: docs/windows-window.png by default.
# SCENARIO_HOLD_WINDOW_MS keeps the window up long enough to take it.
# Needs `make windows` first, xvfb-run, xwininfo (x11-utils) and ImageMagick.
#   tools/windows_screenshot.sh [OUTPUT.png]
# It uses the Windows build's Wine prefix and ends Wine's processes at the
# end: do not run it while `make test-windows` runs.
set -eu
cd "$(dirname "$0")/.."
out=${1:-docs/windows-window.png}
build=${WIN_BUILD:-build-windows}
[ -f "$build/bin/scenario.exe" ] && [ -x "$build/wine-run" ] ||
  { echo "no $build/bin/scenario.exe: run make windows first" >&2; exit 1; }
for tool in xvfb-run xwininfo import convert; do
  command -v "$tool" >/dev/null || { echo "needs $tool (xvfb, x11-utils, imagemagick)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/scenario.exe" "$work/"

xvfb-run -a -s "-screen 0 640x480x24" sh -c '
  set -eu
  wine_run=$1 work=$2
  "$wine_run" --start
  SCENARIO_HEADLESS=1 SCENARIO_HOLD_WINDOW_MS=5000 "$wine_run" "$work/scenario.exe" &
  run=$!
  up=no
  for _ in $(seq 100); do
    if xwininfo -root -tree 2>/dev/null | grep -q "\"Form1\""; then up=yes; break; fi
    sleep 0.1
  done
  sleep 1  # let the first paint reach the display
  [ "$up" = yes ] && import -window root "$work/screen.png"
  status=0
  wait "$run" || status=$?
  "$wine_run" --stop
  [ "$up" = yes ] || { echo "Form1 did not come up" >&2; exit 1; }
  exit "$status"
' sh "$PWD/$build/wine-run" "$work"

# The display is black around the window: trim to it, keep a small margin.
convert "$work/screen.png" -trim +repage -bordercolor black -border 6 "$out"
echo "wrote $out"
