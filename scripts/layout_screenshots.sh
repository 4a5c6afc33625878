#!/usr/bin/env bash
# Starts the layout designer under a virtual X display on the example layout
# (three rods of unequal height and a wire over two buildings), saves a picture
# of its window and, through its own PDF export, of the first page of its
# calculation sheet into docs/screenshots/; then, on the tower on a podium, its
# 年预计雷击次数 tab with the buildings' expanded outlines on the plan, and the
# sheet's pages on them.
#   scripts/layout_screenshots.sh [path/to/lplayout]   (default: build/app/lplayout)
# Needs xvfb, xdotool, imagemagick and poppler-utils (pdftoppm).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/app/lplayout}
out=$root/docs/screenshots
example=$root/docs/examples/two_buildings.lplayout
[[ -x $program ]] || { echo "no program at $program (build first)" >&2; exit 1; }
mkdir -p "$out"

if [[ -z ${LPLAYOUT_SHOTS_DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x860x24 -dpi 96" \
    env LPLAYOUT_SHOTS_DISPLAY=1 "$0" "$program"
fi

source "$root/scripts/x_windows.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 文件 → 导出计算书 PDF, then the file dialog's name field; waits for the file.
export_sheet() {
  local pdf=$1
  xdotool key alt+f
  sleep 0.5
  xdotool key e
  local dialog
  dialog=$(find_window '^导出计算书$')
  xdotool windowfocus --sync "$dialog"
  sleep 0.5
  xdotool key ctrl+a
  xdotool type "$pdf"
  xdotool key Return
  for _ in $(seq 300); do [[ -s $pdf ]] && break; sleep 0.1; done
  sleep 0.5
}

start_designer "$program" "$example"
import -window "$window" "$out/designer.png"
echo "saved docs/screenshots/designer.png"
export_sheet "$work/sheet.pdf"
pdftoppm -r 90 -png "$work/sheet.pdf" "$work/page"
pages=("$work"/page*.png)
# The pages side by side: the text and, on the following page, the drawing.
convert "${pages[@]:0:2}" +append "$out/designer-sheet.png"
echo "saved docs/screenshots/designer-sheet.png"
stop_designer

start_designer "$program" "$root/docs/examples/tower_on_podium.lplayout"
# The third tab over the tables, then 视图 → 显示等效面积外扩线 (its second entry).
xdotool mousemove --window "$window" 910 168 click 1
sleep 0.3
show_strike_outlines
import -window "$window" "$out/designer-strikes.png"
echo "saved docs/screenshots/designer-strikes.png"
export_sheet "$work/strikes.pdf"
rm -f "$work"/page*.png
pdftoppm -r 90 -png "$work/strikes.pdf" "$work/page"
pages=("$work"/page*.png)
# The last two pages: a building's section and its drawing.
convert "${pages[@]: -2}" +append "$out/designer-strikes-sheet.png"
echo "saved docs/screenshots/designer-strikes-sheet.png"
stop_designer
