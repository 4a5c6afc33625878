#!/usr/bin/env bash
# Installs what is missing, builds lpcalc and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
exec "${LPCALC_BUILD_DIR:-$root/build}/app/lpcalc"
