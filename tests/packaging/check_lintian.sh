#!/usr/bin/env bash
# Packs the build as a .deb in a scratch folder and checks it with lintian:
# any error (E:) or warning (W:) fails. Informational tags are shown but pass.
# Exits 77 (skipped) when lintian is missing; `scripts/deps.sh --test`
# installs it.
set -euo pipefail
cpack=$1
build=$2
if ! command -v lintian >/dev/null; then
  echo "lintian not installed: package not checked"
  exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  exit 1
fi
debs=("$out"/*.deb)
[[ -e ${debs[0]} ]] || { echo "cpack made no .deb"; cat "$out/cpack.log"; exit 1; }

# Tests may run as root (CI does); lintian then warns on stderr unless told
# that this is intended.
as_root=()
[[ $(id -u) -ne 0 ]] || as_root=(--allow-root)
lintian "${as_root[@]}" --display-info --fail-on error,warning "${debs[@]}"
echo "lintian: no errors or warnings in $(basename "${debs[0]}")"
