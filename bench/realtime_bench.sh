#!/usr/bin/env bash
# Step timing on a busy computer: the latency test at 10,000 waits a second and a --realtime
# job at 10,000 steps a second (50 mm at 25 mm/s), each on a quiet machine and with
# `stress-ng --cpu 2` loading both cores; then the same without the privilege (every
# capability dropped: SCHED_FIFO and the memory lock are refused), where nothing may fail.
# Last, the window's step-rate benchmark at 10,000 steps a second at real-time priority, quiet
# and loaded.
# Usage: bench/realtime_bench.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build}
seconds=${2:-5}
run="$build/zor-cnc-run"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n50\n 21\n0\n  0\nENDSEC\n  0\nEOF\n' \
  >"$dir/line.dxf"
job=(--no-return --speed-work 25 draw "$dir/line.dxf")
planned=$("$run" "${job[@]}" | sed -n 's/.*"job_time_s": \([0-9.]*\).*/\1/p')

field() { sed -n "s/.*\"$1\": \([^,}]*\).*/\1/p"; }
errors() { sed -n 's/.*"interval_error_us": \({[^}]*}\), "chain_restarts": \([0-9]*\).*/\1 restarts \2/p'; }

measure() {  # label, then the command prefix (empty or setpriv ...)
  local label=$1
  shift
  local latency report
  latency=$("$@" "$run" --latency-test "$seconds" --rate 10000)
  report=$("$@" "$run" --realtime "${job[@]}")
  local took
  took=$(echo "$report" | field job_time_s)
  printf '%-28s latency: ratio %s %s realtime=%s\n' "$label" \
    "$(echo "$latency" | field achieved_ratio)" "$(echo "$latency" | errors)" \
    "$(echo "$latency" | field realtime)"
  printf '%-28s job: %s s for %s s planned (%+.2f %%) %s\n' "" "$took" "$planned" \
    "$(awk -v t="$took" -v p="$planned" 'BEGIN { print (t / p - 1) * 100 }')" "$(echo "$report" | errors)"
  echo "$report" | grep -q '"notices": \["' && printf '%-28s job notice: %s\n' "" \
    "$(echo "$report" | sed -n 's/.*"notices": \["\([^"]\{0,60\}\).*/\1/p')…"
  return 0
}

loaded() {  # runs the rest with both cores loaded
  stress-ng --cpu 2 --timeout $((2 * seconds + 30))s --quiet &
  local stress=$!
  sleep 1
  "$@"
  kill "$stress" 2>/dev/null || true
  wait "$stress" 2>/dev/null || true
}

unprivileged=(setpriv --bounding-set=-all --inh-caps=-all)
echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $seconds s per latency test"
measure "quiet"
loaded measure "stress-ng --cpu 2"
measure "quiet, refused" "${unprivileged[@]}"
loaded measure "stress-ng --cpu 2, refused" "${unprivileged[@]}"

window() {  # label
  printf '%-28s window at 10000/s: %s\n' "$1" "$(QT_QPA_PLATFORM=offscreen \
    "$build/step_rate_window_bench" --realtime --rate 10000 2>/dev/null |
    awk '$1 == 10000 { print "achieved", $3, "ratio", $4, "worst", $5, "p99", $7, "us" }')"
}
window "quiet"
loaded window "stress-ng --cpu 2"
