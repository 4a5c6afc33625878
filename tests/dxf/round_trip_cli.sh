#!/usr/bin/env bash
# The command line's round trip: a layout exported with --export-dxf and its objects', rods'
# and wires' layers imported again with --import-dxf check the same: every object's name,
# verdict and least clearance as `lplayout --check` prints them, and the same exit status.
# The import moves what it takes to start near (0, 0), so the points where the least clearances
# occur are left out; the gtest round trip imports into the drawing's own place and compares
# the coordinates too.
# round_trip_cli.sh PROGRAM LAYOUT
set -uo pipefail
program=$1 layout=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$program" --check "$layout" >"$work/before" 2>&1
before=$?
"$program" --export-dxf "$layout" -o "$work/plan.dxf" || { echo "export failed"; exit 1; }
# The roof network's layers, each where the drawing has entities on it (an entity names its
# layer after the code 8).
on_layer() { awk -v name="$1" '{ sub(/\r$/, "") } prev ~ /^ *8$/ && $0 == name { found = 1 } { prev = $0 }
                               END { exit !found }' "$work/plan.dxf"; }
roof=() tapes=()
for layer in 接闪带 接闪网; do on_layer "$layer" && tapes+=("$layer"); done
((${#tapes[@]})) && roof+=(--roof-conductors "$(IFS=,; echo "${tapes[*]}")")
on_layer 引下线 && roof+=(--down-conductors 引下线)
"$program" --import-dxf "$work/plan.dxf" --buildings 被保护物 --rods 避雷针 --wires 避雷线 "${roof[@]}" \
  --units m --hr "$(grep -o '"hr": *[0-9]*' "$layout" | grep -o '[0-9]*$')" \
  -o "$work/back.lplayout" || { echo "import failed"; exit 1; }
"$program" --check "$work/back.lplayout" >"$work/after" 2>&1
after=$?
[[ $before -eq $after ]] || { echo "exit status $after, before $before"; exit 1; }
diff -u <(cut -f1-3 "$work/before") <(cut -f1-3 "$work/after") || exit 1
exit 0
