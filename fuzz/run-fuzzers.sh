#!/usr/bin/env bash
# Runs the libFuzzer harnesses: fuzz/run-fuzzers.sh SECONDS [--merge] [HARNESS...]
#
# Builds them in build-fuzz (clang, -DZOR_FUZZ=ON), then runs each harness (all of them when
# none is named) for SECONDS, two at a time. Each starts from its checked-in corpus
# fuzz/corpus/<harness>/ and grows a working copy in build-fuzz/corpus/<harness>/; with --merge
# the working copy is minimised back into the checked-in corpus (-merge=1). A finding is left
# in build-fuzz/artifacts/<harness>/ and makes the script fail. Logs: build-fuzz/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

if (($# < 1)) || ! [[ $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [--merge] [HARNESS...]" >&2
  exit 2
fi
seconds=$1
shift
merge=0
harnesses=()
for arg in "$@"; do
  if [[ $arg == --merge ]]; then merge=1; else harnesses+=("$arg"); fi
done
if ((${#harnesses[@]} == 0)); then
  for src in fuzz/*_fuzzer.cpp; do harnesses+=("$(basename "$src" .cpp)"); done
fi

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DZOR_FUZZ=ON -DZOR_GUI=OFF -DZOR_TESTS=OFF \
  -DZOR_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "${harnesses[@]}"

dictionary() {
  case $1 in
    decimal_fuzzer) echo fuzz/decimal.dict ;;
    dxf_reader_fuzzer) echo fuzz/dxf_reader.dict ;;
    dxf_full_reader_fuzzer) echo fuzz/dxf_full_reader.dict ;;
    svg_reader_fuzzer) echo fuzz/svg.dict ;;
    *) echo fuzz/gerber.dict ;;
  esac
}

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/logs"

run_one() {
  local h=$1 work="$build/corpus/$1" artifacts="$build/artifacts/$1/"
  mkdir -p "$work" "$artifacts" "fuzz/corpus/$h"
  "$build/fuzz/$h" "$work" "fuzz/corpus/$h" -dict="$(dictionary "$h")" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -artifact_prefix="$artifacts" -print_final_stats=1 >"$build/logs/$h.log" 2>&1
}

failed=0
pids=()
names=()
wait_for_one() {
  local status=0
  wait "${pids[0]}" || status=$?
  local h=${names[0]}
  pids=("${pids[@]:1}")
  names=("${names[@]:1}")
  local execs
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$build/logs/$h.log" | grep -o '[0-9]*$' || true)
  if ((status != 0)); then
    echo "$h: FINDING (exit $status), see $build/logs/$h.log and $build/artifacts/$h/"
    failed=1
  else
    echo "$h: clean, ${execs:-?} executions in ${seconds} s"
  fi
}

for h in "${harnesses[@]}"; do
  run_one "$h" &
  pids+=($!)
  names+=("$h")
  if ((${#pids[@]} >= 2)); then wait_for_one; fi
done
while ((${#pids[@]} > 0)); do wait_for_one; done

if ((merge)); then
  for h in "${harnesses[@]}"; do
    merged="$build/merged/$h"
    rm -rf "$merged"
    mkdir -p "$merged"
    "$build/fuzz/$h" -merge=1 -max_len=8192 "$merged" "fuzz/corpus/$h" "$build/corpus/$h" \
      >"$build/logs/$h.merge.log" 2>&1
    rm -rf "fuzz/corpus/$h"
    mv "$merged" "fuzz/corpus/$h"
    echo "$h: $(ls "fuzz/corpus/$h" | wc -l) files in fuzz/corpus/$h"
  done
fi
exit "$failed"
