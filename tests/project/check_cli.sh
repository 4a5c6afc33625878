#!/usr/bin/env bash
# Runs lplayout with the given arguments (--check FILE, --strikes FILE …) and compares its
# output and exit status with the expected ones; for an unusable file, checks that standard
# error names the place.
# check_cli.sh PROGRAM STATUS (EXPECTED_OUTPUT_FILE | STDERR_PATTERN) ARGUMENT…
set -uo pipefail
program=$1 status=$2 expected=$3
shift 3
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$program" "$@" >"$out" 2>"$err"
got=$?
[[ $got -eq $status ]] || { echo "exit status $got, expected $status"; cat "$err"; exit 1; }
if [[ -f $expected ]]; then
  diff -u "$expected" "$out" || exit 1
else
  [[ ! -s $out ]] || { echo "output for an unusable file:"; cat "$out"; exit 1; }
  grep -q -- "$expected" "$err" || { echo "stderr lacks '$expected':"; cat "$err"; exit 1; }
fi
if grep -qiE 'nan|inf' "$out"; then echo "NaN or inf in the output"; exit 1; fi
exit 0
