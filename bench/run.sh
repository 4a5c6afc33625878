#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints one table, all measured in this
# one run on this machine: start-up and peak memory against the toolkit's
# floor (offscreen and under Xvfb), each calculation per call, and in-process
# latencies of the real windows, and the object check on sites of a real
# size.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-bench
runs=${LPCALC_BENCH_RUNS:-20}

"$root/scripts/deps.sh" --test >/dev/null
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLPCALC_BUILD_TESTS=OFF \
  -DLPCALC_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

median() { sort -n | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); print (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }'; }

# Runs a probe `runs` times; prints "<median ms> <median peak RSS kB>".
startup() {
  local out ms=() kb=()
  for ((i = 0; i < runs; i++)); do
    out=$("$1" "$(date +%s%N)" "${@:2}" 2>/dev/null)
    ms+=("$(sed -E 's/.*startup_ms=([0-9.]+).*/\1/' <<<"$out")")
    kb+=("$(sed -E 's/.*maxrss_kb=([0-9]+).*/\1/' <<<"$out")")
  done
  echo "$(printf '%s\n' "${ms[@]}" | median) $(printf '%s\n' "${kb[@]}" | median)"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

xvfb_display=:97
Xvfb "$xvfb_display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1

printf '%-44s %12s %12s %8s\n' "measure" "lpcalc" "floor" "ratio"
for platform in offscreen xcb; do
  if [[ $platform == xcb ]]; then export DISPLAY=$xvfb_display; fi
  # Warm the file cache so that both sides start alike.
  for probe in startup_probe floor_probe; do
    QT_QPA_PLATFORM=$platform "$build/bench/$probe" "$(date +%s%N)" >/dev/null 2>&1
  done
  read -r app_ms app_kb < <(QT_QPA_PLATFORM=$platform startup "$build/bench/startup_probe")
  read -r floor_ms floor_kb < <(QT_QPA_PLATFORM=$platform startup "$build/bench/floor_probe")
  read -r text_ms text_kb < <(QT_QPA_PLATFORM=$platform startup "$build/bench/floor_probe" text)
  printf '%-44s %10.1f ms %10.1f ms %8s\n' "start-up to ready, $platform (median of $runs)" \
    "$app_ms" "$floor_ms" "$(ratio "$app_ms" "$floor_ms")"
  printf '%-44s %10s kB %10s kB %8s\n' "peak RSS, $platform" "$app_kb" "$floor_kb" \
    "$(ratio "$app_kb" "$floor_kb")"
  printf '%-44s %10.1f ms %10.1f ms %8s\n' "  floor showing the three CJK faces, $platform" \
    "$text_ms" "$floor_ms" "$(ratio "$text_ms" "$floor_ms")"
  printf '%-44s %10s kB %10s kB %8s\n' "  its peak RSS, $platform" "$text_kb" "$floor_kb" \
    "$(ratio "$text_kb" "$floor_kb")"
done

"$build/bench/calc_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"/ { gsub(/"/, "", $1); sub(/_median$/, "", $1);
                        printf "%-44s %10.1f ns\n", "calculation " $1 " per call", $4 }'

QT_QPA_PLATFORM=offscreen "$build/bench/latency_probe" 2>/dev/null |
  awk '{ printf "%-44s %10.1f us   (median of %d)\n", $1, $2, $3 }'

# The sheet: first openings happen once per process, so the probe runs
# `sheet_runs` times and each figure is the median over the runs. Each run
# leaves the program idle past the sheet window's readying before the
# openings, as a user meets them; `cold` runs throw the readying away (the
# same idle stretch), `late` runs type the inputs only after it, `steps` runs
# time its steps.
sheet_runs=${LPCALC_SHEET_RUNS:-10}
sheet_out=$(for ((i = 0; i < sheet_runs; i++)); do
  QT_QPA_PLATFORM=offscreen "$build/bench/sheet_probe" 2>/dev/null
done)
probe_runs() {
  for ((i = 0; i < sheet_runs; i++)); do
    QT_QPA_PLATFORM=offscreen "$build/bench/sheet_probe" openings "$1" 2>/dev/null
  done
}
cold_out=$(probe_runs cold)
late_out=$(probe_runs late)
steps_out=$(probe_runs steps)
sheet() { awk -v k="$1" '$1 == k { print $2 }' <<<"${2:-$sheet_out}" | median; }
openings() {
  local calc sheet
  calc=$(sheet first_open_calculation_window "${3:-}")
  sheet=$(sheet first_open_sheet_window "${3:-}")
  printf '%-44s %10.1f us %10.1f us %8s\n' "$1" "$sheet" "$calc" "$(ratio "$sheet" "$calc")"
  printf '%-44s %10s    %10s\n' "$2" "$(sheet first_open_sheet_window_page_faults "${3:-}")" \
    "$(sheet first_open_calculation_window_page_faults "${3:-}")"
}
openings "first opening: sheet / calculation window" "  its page faults: sheet, calculation window"
openings "  the same without the readying" "  its page faults: sheet, calculation window" \
  "$cold_out"
openings "  the same, inputs typed after the readying" \
  "  its page faults: sheet, calculation window" "$late_out"
printf '%-44s %10.1f ms %10.1f ms\n' "readying: CPU time idle, idle without it" \
  "$(sheet idle_cpu_ms)" "$(sheet idle_cpu_ms "$cold_out")"
printf '%-44s %10s kB %10s kB\n' "readying: resident memory added, without it" \
  "$(sheet idle_rss_growth_kb)" "$(sheet idle_rss_growth_kb "$cold_out")"
printf '%-44s %10.1f us %10s steps\n' "readying: longest step, number of steps" \
  "$(sheet readying_longest_step "$steps_out")" "$(sheet readying_steps "$steps_out")"
enter_hidden=$(sheet enter_to_result_sheet_hidden)
enter_shown=$(sheet enter_to_result_sheet_shown)
pdf=$(sheet pdf_export)
printf '%-44s %10.1f us %10.1f us %8s\n' "Enter to result: sheet shown / hidden" \
  "$enter_shown" "$enter_hidden" "$(ratio "$enter_shown" "$enter_hidden")"
printf '%-44s %10.1f us\n' "PDF export of a sheet (median of 20)" "$pdf"

# The same two first openings in instructions (callgrind), which the load of
# a shared machine does not change, with and without the readying, and the
# readying's own (its whole idle stretch); skipped without valgrind.
if command -v valgrind >/dev/null; then
  for mode in readied cold; do
    cg=$(mktemp -d)
    QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --instr-atstart=no \
      --callgrind-out-file="$cg/out" "$build/bench/sheet_probe" openings \
      "$([[ $mode == cold ]] && echo cold)" >/dev/null 2>&1
    instructions() { grep -l "Client Request: $1\$" "$cg"/out.* | xargs awk '/^totals:/ { print $2 }'; }
    calc_ir=$(instructions first_open_calculation_window)
    sheet_ir=$(instructions first_open_sheet_window)
    printf '%-44s %10.1f M  %10.1f M  %8s\n' "first opening in instructions, $mode" \
      "$(awk -v n="$sheet_ir" 'BEGIN { print n / 1e6 }')" \
      "$(awk -v n="$calc_ir" 'BEGIN { print n / 1e6 }')" "$(ratio "$sheet_ir" "$calc_ir")"
    if [[ $mode == readied ]]; then
      printf '%-44s %10.1f M\n' "readying in instructions (its idle stretch)" \
        "$(awk -v n="$(instructions sheet_readying)" 'BEGIN { print n / 1e6 }')"
    fi
    rm -rf "$cg"
  done
fi

# The layout program's work after an edit, for 10, 50 and 200 conductors.
"$build/bench/layout_probe" 3 2>/dev/null |
  awk '{ printf "%-44s %10.1f ms   (median of %d)\n", "layout program, edit to verdicts, " $1 " cond.", $2, $4
         printf "%-44s %10.1f ms   (median of %d)\n", "  the same with the area at 12 m", $5, $4
         printf "%-44s %10.1f ms   (median of %d)\n", "  then to least clearances, " $1 " cond.", $3, $4 }'

# Reading a large CAD drawing (200,000 entities, lean and with every group), its layer list,
# the import of its buildings and rods, and its preview.
"$build/bench/dxf_probe" 5 2>/dev/null |
  awk '{ printf "%-44s %10.1f ms   (median of %d)\n", "drawing, " $1 " " sprintf("%.1f", $2 / 1e6) " MB: read", $4, $8
         printf "%-44s %10.1f ms\n", "  its layer list", $5
         printf "%-44s %10.1f ms\n", "  importing 200 buildings and 30 rods", $6
         printf "%-44s %10.1f ms\n", "  its preview", $7 }'

# The roof network of 30 buildings of assorted outlines, laid out and checked, for each class.
"$build/bench/roof_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"/ { gsub(/"/, "", $1); sub(/_median$/, "", $1);
                        printf "%-44s %10.1f ms\n", "roofs of 30 buildings, " $1, $4 }'
# The command-line check on sites of a real size (bench/site_bench): rows of 1 to 100 meshed
# buildings and bare squares of 100 to 800 m, the time and peak memory of `lplayout --check` on
# each, a run killed after 120 s; then an edit on the 30-building site in the designer's work.
sites=$(mktemp -d)
"$build/bench/site_bench" write "$sites"
"$build/bench/site_bench" time "$build/app/lplayout" "$sites" 120 |
  awk '{ printf "%-44s %10.3f s  %8.1f MB   (%s)\n", "lplayout --check " $1 ", " $2 " cond., " $4 " obj.", $6, $8, $10 }'
rm -rf "$sites"
QT_QPA_PLATFORM=offscreen "$build/bench/layout_probe" meshed 9 2>/dev/null |
  awk '{ printf "%-44s %10.1f ms   (median of %d, %d objects checked again)\n", "edit on 30 meshed buildings to verdicts, area", $1, $2, $3 }'
