#!/usr/bin/env bash
# Writes the example layout as a CAD drawing (lplayout --export-dxf) and has LibreCAD render
# it (librecad dxf2pdf), as a picture of how a CAD program shows the export; given a drawing
# (.dxf) instead of a layout, renders that drawing as it is:
#   scripts/layout_dxf_picture.sh [path/to/lplayout] [OUT.png] [LAYOUT.lplayout | DRAWING.dxf]
#   (defaults: build/app/lplayout, docs/screenshots/layout-dxf.png,
#   docs/examples/two_buildings.lplayout)
# Needs librecad, python3-fonttools, fonts-noto-cjk, poppler-utils and imagemagick; no
# display (LibreCAD runs on Qt's offscreen platform).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/app/lplayout}
out=${2:-$root/docs/screenshots/layout-dxf.png}
example=${3:-$root/docs/examples/two_buildings.lplayout}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [[ $example == *.dxf ]]; then
  cp "$example" "$work/layout.dxf"
else
  [[ -x $program ]] || { echo "no program at $program (build first)" >&2; exit 1; }
  "$program" --export-dxf "$example" -o "$work/layout.dxf"
fi

# LibreCAD draws every text in its own stroke font; in a home of its own it is given one
# that holds the drawing's Chinese, outlined from a CJK font of the system.
mkdir -p "$work/home/.librecad/fonts"
font=$(fc-match -f '%{file}' 'Noto Sans CJK SC')
/usr/bin/python3 "$root/scripts/cad_font.py" "$work/home/.librecad/fonts/standard.lff" \
  "$font" "$work/layout.dxf"
HOME=$work/home XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=offscreen \
  librecad dxf2pdf -a "$work/layout.dxf" >/dev/null 2>&1
[[ -s $work/layout.pdf ]] || { echo "LibreCAD wrote no PDF" >&2; exit 1; }
# The page is as large as the drawing's units make it; it is scaled to a fixed width.
pdftoppm -scale-to-x 1600 -scale-to-y -1 -png -singlefile "$work/layout.pdf" "$work/page"
mkdir -p "$(dirname "$out")"
convert "$work/page.png" -trim +repage -bordercolor white -border 24 "$out"
echo "saved $out"
