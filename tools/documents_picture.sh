#!/bin/sh
# A picture of the first derived train sheet of the embedded scenario as it
# prints: `scenario-tool documents --html`, printed to PDF by headless
# chromium and cut to the sheet by pdftoppm (poppler-utils):
# docs/documents-example.png by default. Needs `make` first.
#   tools/documents_picture.sh [OUTPUT.png]
set -eu
cd "$(dirname "$0")/.."
out=${1:-docs/documents-example.png}
tool=${BUILD:-build}/bin/scenario-tool
[ -x "$tool" ] || { echo "no $tool: run make first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" sources "$work/scenario" >/dev/null
"$tool" documents "$work/scenario" -o "$work/out" --html >/dev/null
cp "$work/out/Orvale_Tresca_IC 417_documenti.html" "$work/documents.html"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="$work/profile" --no-pdf-header-footer \
  --print-to-pdf="$work/documents.pdf" "file://$work/documents.html" 2>/dev/null
pdftoppm -png -r 120 -f 1 -l 1 -x 55 -y 55 -W 800 -H 850 "$work/documents.pdf" "$work/sheet"
cp "$work/sheet-1.png" "$out"
echo "wrote $out"
