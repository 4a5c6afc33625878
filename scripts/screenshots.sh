#!/usr/bin/env bash
# Starts the real program under a virtual X display, opens each window and
# saves a picture of it into docs/screenshots/.
#   scripts/screenshots.sh [path/to/lpcalc]   (default: build/app/lpcalc)
# Needs xvfb, xdotool, imagemagick and poppler-utils (scripts/deps.sh --test
# installs them).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/app/lpcalc}
out=$root/docs/screenshots
[[ -x $program ]] || { echo "no program at $program (build first)" >&2; exit 1; }
mkdir -p "$out"

# Under Xvfb itself, once: re-run this script on a fresh display.
if [[ -z ${LPCALC_SHOTS_DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    env LPCALC_SHOTS_DISPLAY=1 "$0" "$program"
fi

start_window_title='^单支避雷针保护范围$'

source "$root/scripts/x_windows.sh"

# Opens entry <entry> (0-based) of the start window's top menu <menu>
# (0-based) from the keyboard: Alt, arrows, Enter.
menu() {
  xdotool key alt
  sleep 0.3
  for ((i = 0; i < $1; i++)); do xdotool key Right; done
  xdotool key Down
  for ((i = 0; i < $2; i++)); do xdotool key Down; done
  xdotool key Return
}

# shoot <file> <title regex> [steps...]: starts the program, runs the steps
# in the start window (each a shell command), then saves the window titled
# <title regex>.
shoot() {
  local file=$1 title=$2
  shift 2
  QT_QPA_PLATFORM=xcb "$program" &
  local pid=$!
  local start
  start=$(find_window "$start_window_title")
  xdotool windowfocus --sync "$start"
  sleep 0.3
  local step
  for step in "$@"; do
    eval "$step"
    sleep 0.3
  done
  local id
  id=$(find_window "$title")
  sleep 0.5
  import -window "$id" "$out/$file"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "saved docs/screenshots/$file"
}

shoot form1-single-rod.png "$start_window_title" \
  "xdotool type 10" "xdotool key Return" "xdotool type 30" "xdotool key Return"
shoot form5-about.png '^岚舟$' "menu 3 0"
shoot form2-two-rods.png '^双根等高针保护范围$' "xdotool key F2" \
  "xdotool type 44" "xdotool key Tab" "xdotool type 88.9" "xdotool key Tab" "xdotool key Down" \
  "xdotool key Tab" "xdotool key Return"
shoot form3-rod-height.png '^避雷针高度计算$' "menu 1 0" \
  "xdotool type 10" "xdotool key Tab" "xdotool type 10" "xdotool key Tab Tab Return"
shoot form4-strike-count.png '^雷击次数计算$' "menu 2 0" \
  "xdotool type 50" "xdotool key Tab" "xdotool type 20" "xdotool key Tab" "xdotool type 30" \
  "xdotool key Return" "sleep 1.2"

# The calculation sheet of each window, with typical inputs (Ctrl+P). The
# single-rod sheet is also exported (Ctrl+S, the save dialog answered from
# the keyboard) and its first PDF page saved as a picture.
pdf_dir=$(mktemp -d)
shoot sheet-single-rod.png '^计算书 - 单支避雷针保护范围$' \
  "xdotool type 10" "xdotool key Return" "xdotool type 30" "xdotool key Return" \
  "xdotool key ctrl+p" "sleep 0.5" "xdotool key ctrl+s" "sleep 1" "xdotool key ctrl+a" \
  "xdotool type $pdf_dir/sheet.pdf" "xdotool key Return" "sleep 1.5"
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$pdf_dir/sheet.pdf" "$out/sheet-pdf-page"
rm -rf "$pdf_dir"
echo "saved docs/screenshots/sheet-pdf-page.png"
shoot sheet-two-rods.png '^计算书 - 双根等高针保护范围$' "xdotool key F2" \
  "xdotool type 30" "xdotool key Tab" "xdotool type 40" "xdotool key Return" "xdotool key ctrl+p"
shoot sheet-rod-height.png '^计算书 - 避雷针高度计算$' "menu 1 0" \
  "xdotool type 10" "xdotool key Tab" "xdotool type 10" "xdotool key Tab Tab Return" \
  "xdotool key ctrl+p"
shoot sheet-strike-count.png '^计算书 - 雷击次数计算$' "menu 2 0" \
  "xdotool type 50" "xdotool key Tab" "xdotool type 20" "xdotool key Tab" "xdotool type 30" \
  "xdotool key Return" "xdotool key ctrl+p"
