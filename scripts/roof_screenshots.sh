#!/usr/bin/env bash
# Starts the layout designer under a virtual X display on the laid-out L-shaped building and
# saves a picture of its 屋面防雷 tab with the roof network on the plan, and, through its own
# PDF export, of the 计算书's pages with the building's roof section and the plan of its network,
# into docs/screenshots/.
#   scripts/roof_screenshots.sh [path/to/lplayout]   (default: build/app/lplayout)
# Needs xvfb, xdotool, imagemagick and poppler-utils (pdftoppm).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/app/lplayout}
out=$root/docs/screenshots
example=$root/docs/examples/l_building_roof.lplayout
[[ -x $program ]] || { echo "no program at $program (build first)" >&2; exit 1; }
mkdir -p "$out"

if [[ -z ${LPLAYOUT_SHOTS_DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x860x24 -dpi 96" \
    env LPLAYOUT_SHOTS_DISPLAY=1 "$0" "$program"
fi

source "$root/scripts/x_windows.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

start_designer "$program" "$example"
# The fourth tab over the tables, 屋面防雷.
xdotool mousemove --window "$window" 1000 168 click 1
sleep 0.5
import -window "$window" "$out/designer-roof.png"
echo "saved docs/screenshots/designer-roof.png"
# 文件 → 导出计算书 PDF, then the file dialog's name field.
xdotool key alt+f
sleep 0.5
xdotool key e
dialog=$(find_window '^导出计算书$')
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool key ctrl+a
xdotool type "$work/roof.pdf"
xdotool key Return
for _ in $(seq 300); do [[ -s $work/roof.pdf ]] && break; sleep 0.1; done
sleep 0.5
pdftoppm -r 90 -png "$work/roof.pdf" "$work/page"
pages=("$work"/page*.png)
# The last two pages: the roof section and the drawings with the plan of the network.
convert "${pages[@]: -2}" +append "$out/designer-roof-sheet.png"
echo "saved docs/screenshots/designer-roof-sheet.png"
stop_designer
