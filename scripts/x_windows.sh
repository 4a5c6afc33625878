# Shell functions for the screenshot scripts, sourced by them.

# Waits up to ten seconds for a visible window whose title matches the
# extended regular expression $1 and prints its id.
find_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [[ -n $id ]] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "window '$1' did not appear" >&2
  return 1
}

# Starts the layout designer ($1) on a file ($2) at 1240 × 800 and waits until its verdicts
# and protected area, worked out on a worker thread, are shown; sets $pid and $window.
start_designer() {
  QT_QPA_PLATFORM=xcb "$1" "$2" &
  pid=$!
  window=$(find_window '^防雷布置')
  xdotool windowsize --sync "$window" 1240 800
  xdotool windowfocus --sync "$window"
  sleep 3
}

# 视图 → 显示等效面积外扩线, the second entry of the designer's 视图 menu.
show_strike_outlines() {
  xdotool mousemove --window "$window" 140 10 click 1
  sleep 0.5
  xdotool key Down Down Return
  sleep 1
}

stop_designer() {
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
