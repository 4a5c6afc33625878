#!/usr/bin/env bash
# Runs `lplayout --import-dxf` with the arguments given and checks its exit status. On success
# the layout file written reads back with `lplayout --check` and holds PATTERN; on failure
# standard error holds PATTERN and no file is written. A PATTERN of "stderr:TEXT" looks for TEXT
# on standard error on success too (the report of outlines left out).
# import_cli.sh PROGRAM OUT STATUS PATTERN ARGUMENTS...
set -uo pipefail
program=$1 out=$2 status=$3 pattern=$4
shift 4
rm -f "$out"
err=$(mktemp)
trap 'rm -f "$err"' EXIT
"$program" --import-dxf "$@" >/dev/null 2>"$err"
got=$?
[[ $got -eq $status ]] || { echo "exit status $got, expected $status"; cat "$err"; exit 1; }
if [[ $pattern == stderr:* ]]; then
  grep -q -- "${pattern#stderr:}" "$err" || { echo "stderr lacks '${pattern#stderr:}':"; cat "$err"; exit 1; }
  pattern=.
fi
if [[ $status -eq 0 ]]; then
  "$program" --check "$out" >/dev/null
  [[ $? -ne 2 ]] || { echo "the layout written does not read back"; exit 1; }
  grep -q -- "$pattern" "$out" || { echo "the layout lacks '$pattern':"; cat "$out"; exit 1; }
else
  [[ ! -e $out ]] || { echo "a file was written though the import failed"; exit 1; }
  grep -q -- "$pattern" "$err" || { echo "stderr lacks '$pattern':"; cat "$err"; exit 1; }
fi
exit 0
