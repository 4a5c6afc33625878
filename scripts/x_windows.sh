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
