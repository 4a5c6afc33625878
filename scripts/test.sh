#!/usr/bin/env bash
# Installs what is missing, builds lpcalc and runs every test: the normal
# build, every test again under AddressSanitizer and UndefinedBehaviorSanitizer
# (the windows included), and a bounded fuzzing run of the core when clang is
# present.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/deps.sh" --test

echo "== build and test"
# Warnings are errors in every build the tests run on.
"$root/scripts/build.sh" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
ctest --test-dir "${LPCALC_BUILD_DIR:-$root/build}" --output-on-failure -j"$jobs"

echo "== every test under AddressSanitizer and UndefinedBehaviorSanitizer"
asan=$root/build-asan
cmake -S "$root" -B "$asan" -DCMAKE_BUILD_TYPE=Debug \
  -DLPCALC_SANITIZE=address,undefined -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$asan" -j"$jobs"
ctest --test-dir "$asan" --output-on-failure -j"$jobs"

if command -v clang++ >/dev/null; then
  echo "== fuzzing the core, the layout file loader and the drawing reader for ${LPCALC_FUZZ_SECONDS:-30} s"
  fuzz=$root/build-fuzz
  CXX=clang++ cmake -S "$root" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLPCALC_BUILD_WINDOWS=OFF \
    -DLPCALC_BUILD_TESTS=OFF -DLPCALC_BUILD_FUZZERS=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
  cmake --build "$fuzz" -j"$jobs"
  # The fuzz time is shared between the targets, so the stage keeps its length.
  seconds=${LPCALC_FUZZ_SECONDS:-30}
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  quarter=$((seconds / 4))
  for target in calc_fuzz:$quarter rolling_sphere_fuzz:$quarter project_file_fuzz:$quarter \
    dxf_reader_fuzz:$((seconds - 3 * quarter)); do
    name=${target%%:*}
    mkdir -p "$work/$name"
    # The loader and the reader start from the example layouts and drawings rather than from
    # nothing.
    seeds=()
    [[ $name != project_file_fuzz ]] || seeds=("$root/tests/project/examples")
    [[ $name != dxf_reader_fuzz ]] || seeds=("$root/tests/dxf/examples")
    if ! (cd "$work" && "$fuzz/fuzz/$name" -max_total_time="${target##*:}" "$work/$name" \
      "${seeds[@]}" >"$work/$name.log" 2>&1); then
      cat "$work/$name.log"
      exit 1
    fi
    echo "$name: $(tail -n 1 "$work/$name.log")"
  done
fi
echo "All tests passed."
