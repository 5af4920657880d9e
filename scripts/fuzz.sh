#!/usr/bin/env bash
# Builds every fuzz target (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-fuzz/) and runs each in turn for
# SECONDS (default 60), then prints executions and findings per target.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Each target starts from its seed corpus in tests/fuzz/<target>/corpus; the
# inputs it finds go to build-fuzz/corpus/<target> and are kept between runs.
# A crash, leak or hang is written to build-fuzz/findings/<target>/ and makes
# the script fail; keep it in tests/fuzz/<target>/regressions once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
build=$PWD/build-fuzz
jobs=$(nproc)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVANTOR_FUZZ=ON -DVANTOR_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_all -j "$jobs" >/dev/null

targets=("$@")
if ((${#targets[@]} == 0)); then
  for folder in tests/fuzz/*/corpus; do
    targets+=("$(basename "$(dirname "$folder")")")
  done
fi

# libFuzzer's closing statistics: "stat::<name>: <value>".
stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }

failed=0
failures=0
summary=()
for target in "${targets[@]}"; do
  source=tests/fuzz/$target
  corpus=$build/corpus/$target
  findings=$build/findings/$target
  log=$build/logs/$target.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  options=(-max_total_time="$seconds" -timeout=10 -close_fd_mask=1 -print_final_stats=1
           -artifact_prefix="$findings/")
  [[ -f $source/$target.dict ]] && options+=(-dict="$source/$target.dict")
  [[ -f $source/options ]] && read -r -a extra <"$source/options" && options+=("${extra[@]}")
  echo "== $target: ${seconds}s"
  status=0
  "$build/tests/fuzz/fuzz_$target" "${options[@]}" "$corpus" "$PWD/$source/corpus" >"$log" 2>&1 || status=$?
  count=$(find "$findings" -type f | wc -l)
  if ((status != 0 || count > 0)); then
    failed=1
    failures=$((failures + 1))
    grep -E "^(SUMMARY|fuzz check failed|==[0-9]+==ERROR)" "$log" | head -n 5 || true
    find "$findings" -type f
  fi
  summary+=("$(printf '%-20s %12s %10s %10s %9s' "$target" "$(stat number_of_executed_units "$log")" \
    "$(stat average_exec_per_sec "$log")" "$(stat new_units_added "$log")" "$count")")
done

printf '\n%-20s %12s %10s %10s %9s\n' target executions "exec/s" "new units" findings
printf '%s\n' "${summary[@]}"
echo "fuzz: $((${#targets[@]} - failures)) passed, $failures failed"
exit "$failed"
