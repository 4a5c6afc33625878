#!/usr/bin/env bash
# Lays out the roof network of a layout with lplayout --lay-roof and checks what --roof then
# prints: every building's mesh, tape and down conductors pass, the file's other values stay,
# and laying out again changes nothing. An unknown building is refused with nothing written.
# lay_roof_cli.sh PROGRAM LAYOUT
set -uo pipefail
program=$1 layout=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "$*"; exit 1; }

"$program" --lay-roof "$layout" -o "$dir/laid.lplayout" || fail "--lay-roof exited $?"
"$program" --roof "$dir/laid.lplayout" >"$dir/roof.txt" || { cat "$dir/roof.txt"; fail "--roof exited $?"; }
[[ -s $dir/roof.txt ]] || fail "--roof printed nothing"
awk -F'\t' 'NF != 10 || $3 != "pass" || $4 == "-" || $5 != "0.00" || $6 == "fail" ||
            $7 < 2 || $10 != "pass" { print "not passing: " $0; bad = 1 } END { exit bad }' \
  "$dir/roof.txt" || exit 1

# Laying out the laid-out file again replaces its own network and nothing else.
"$program" --lay-roof "$dir/laid.lplayout" -o "$dir/again.lplayout" || fail "again exited $?"
cmp -s "$dir/laid.lplayout" "$dir/again.lplayout" || fail "laying out again changed the file"

# The buildings' names come from the file; one named that is not there writes nothing.
"$program" --lay-roof "$layout" -o "$dir/none.lplayout" --building 没有这栋楼 2>"$dir/err.txt"
status=$?
[[ $status -eq 2 ]] || fail "unknown building: exit $status, expected 2"
grep -q -- "--building: " "$dir/err.txt" || fail "stderr lacks the option: $(cat "$dir/err.txt")"
[[ ! -e $dir/none.lplayout ]] || fail "a file was written for an unknown building"
exit 0
