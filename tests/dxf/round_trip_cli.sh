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
"$program" --import-dxf "$work/plan.dxf" --buildings 被保护物 --rods 避雷针 --wires 避雷线 \
  --units m --hr "$(grep -o '"hr": *[0-9]*' "$layout" | grep -o '[0-9]*$')" \
  -o "$work/back.lplayout" || { echo "import failed"; exit 1; }
"$program" --check "$work/back.lplayout" >"$work/after" 2>&1
after=$?
[[ $before -eq $after ]] || { echo "exit status $after, before $before"; exit 1; }
diff -u <(cut -f1-3 "$work/before") <(cut -f1-3 "$work/after") || exit 1
exit 0
