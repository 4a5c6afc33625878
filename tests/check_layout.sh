#!/usr/bin/env bash
# Fails when a C++ file of the project strays from the layout .clang-format
# gives, and names the files that do.
set -euo pipefail
root=$1
cd "$root"
mapfile -t files < <(find calc engine sheets layouts project dxf rendering windows designer programs tests bench fuzz -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run --Werror "${files[@]}"
