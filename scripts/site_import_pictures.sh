#!/usr/bin/env bash
# Pictures of a site plan from another program taken into the designer: the drawing
# docs/examples/site_plan.dxf (written with ezdxf by scripts/site_plan_example.py) as LibreCAD
# renders it, and the designer on what `lplayout --import-dxf` takes from its layers 建筑 and
# 避雷针, with the buildings' expanded outlines shown; both into docs/screenshots/.
#   scripts/site_import_pictures.sh [path/to/lplayout]   (default: build/app/lplayout)
# Needs python3-ezdxf, librecad, xvfb, xdotool, imagemagick and poppler-utils.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/app/lplayout}
out=$root/docs/screenshots
drawing=$root/docs/examples/site_plan.dxf
[[ -x $program ]] || { echo "no program at $program (build first)" >&2; exit 1; }

if [[ -z ${LPLAYOUT_SHOTS_DISPLAY:-} ]]; then
  # The drawing is written again only when it is missing: each writing differs in its ids.
  [[ -e $drawing ]] || /usr/bin/python3 "$root/scripts/site_plan_example.py" "$drawing"
  "$root/scripts/layout_dxf_picture.sh" "$program" "$out/site-plan-dxf.png" "$drawing"
  exec xvfb-run -a -s "-screen 0 1280x860x24 -dpi 96" \
    env LPLAYOUT_SHOTS_DISPLAY=1 "$0" "$program"
fi

source "$root/scripts/x_windows.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$program" --import-dxf "$drawing" --buildings 建筑 --rods 避雷针 -o "$work/site.lplayout"
start_designer "$program" "$work/site.lplayout"
# The object table's tab, then 视图 → 显示等效面积外扩线 (its second entry).
xdotool mousemove --window "$window" 820 168 click 1
sleep 0.3
show_strike_outlines
import -window "$window" "$out/site-plan-imported.png"
echo "saved docs/screenshots/site-plan-imported.png"
stop_designer
