#!/usr/bin/env bash
# `lplayout --list-layers`: each layer's line with its counts, the units and code page line, and
# exit status 2 with the reason for a file that is no drawing.
# list_layers_cli.sh PROGRAM DRAWINGS
set -uo pipefail
program=$1 drawings=$2
fail() { echo "$*"; exit 1; }
out=$("$program" --list-layers "$drawings/lines_site.dxf") || fail "exit status $?"
grep -qP '^建筑\t3\t20\t1\t0\t0\t1\t0\t1\t1$' <<<"$out" || fail "no line for 建筑: $out"
grep -qP '^道路\t0\t1\t0' <<<"$out" || fail "no line for 道路: $out"
grep -qP '^单位：m（\$INSUNITS = 6）\t代码页：UTF-8$' <<<"$out" || fail "no units line: $out"
out=$("$program" --list-layers "$drawings/r12_sjis_unmarked.dxf") || fail "exit status $?"
grep -qP '^建物\t' <<<"$out" || fail "the Shift-JIS layer is not read: $out"
grep -q '按文字判断为 Shift-JIS' <<<"$out" || fail "the code page is not said: $out"
err=$("$program" --list-layers "$drawings/binary.dxf" 2>&1 >/dev/null)
[[ $? -eq 2 ]] || fail "a binary drawing did not exit 2"
grep -q '二进制 DXF' <<<"$err" || fail "no reason: $err"
exit 0
