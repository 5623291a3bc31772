#!/usr/bin/env bash
# Cross-builds the GUI-free core, its tests and the runner for 64-bit Windows with mingw-w64,
# and runs them under Wine, headless:
#   - the core tests pass;
#   - the runner gives the same report, trace, picture, messages and exit status as the Linux
#     runner for the example jobs, and the same bytes with --realtime on a short job;
#   - with --port "$378" it finds no driver device, tries the service steps and reports the
#     connection error with its code.
# Installs what is missing with apt-get. When the cross compiler or Wine cannot be installed it
# says why and exits 0; once they are there, every failure fails the script.
#
# Environment: ZOR_WINDOWS_BUILD_DIR (default build-mingw), ZOR_HOST_RUNNER (a Linux
# zor-cnc-run built from the same tree; by default one is built in the build dir).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build="$root/${ZOR_WINDOWS_BUILD_DIR:-build-mingw}"
started=$SECONDS

skip() {
  echo "test-windows: skipped: $*"
  exit 0
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

install_missing() {
  local missing=()
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  ((${#missing[@]})) || return 0
  echo "test-windows: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

find_wine() {
  for w in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [[ -n "$w" && -x "$w" ]]; then
      echo "$w"
      return
    fi
  done
}

# --- What is needed -------------------------------------------------------------------------
if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
  skip "no dpkg/apt-get to install the cross compiler and Wine with"
fi
install_missing cmake ninja-build g++-mingw-w64-x86-64 googletest wine64 ||
  skip "apt-get could not install the cross compiler, GoogleTest's sources or Wine"
wine=$(find_wine)
if [[ -z "$wine" ]]; then
  install_missing wine || skip "apt-get could not install wine"
  wine=$(find_wine)
fi
[[ -n "$wine" ]] || skip "no Wine loader after installing wine64 and wine"
command -v x86_64-w64-mingw32-g++-posix >/dev/null || command -v x86_64-w64-mingw32-g++ >/dev/null ||
  skip "no x86_64-w64-mingw32-g++ after installing g++-mingw-w64-x86-64"
[[ -f /usr/src/googletest/CMakeLists.txt ]] || skip "no GoogleTest sources in /usr/src/googletest"
wineserver=$(dirname "$wine")/wineserver64
[[ -x "$wineserver" ]] || wineserver=$(dirname "$wine")/wineserver
[[ -x "$wineserver" ]] || wineserver=$(command -v wineserver || true)

# --- Build ----------------------------------------------------------------------------------
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
logs="$build/logs"
mkdir -p "$logs"

# Runs a build step with its output in a log; on failure shows the log's end and stops.
step() {
  local name=$1
  shift
  if ! "$@" >"$logs/$name.log" 2>&1; then
    tail -n 40 "$logs/$name.log"
    echo "test-windows: $name failed (log: $logs/$name.log)"
    exit 1
  fi
}

if [[ ! -f "$build/gtest/lib/libgtest.a" ]]; then
  step gtest-configure cmake -S /usr/src/googletest -B "$build/gtest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -DCMAKE_INSTALL_PREFIX="$build/gtest"
  step gtest-build cmake --build "$build/gtest-build" -j"$(nproc)"
  step gtest-install cmake --install "$build/gtest-build"
fi

# -O2 as the Linux build; GCC 12's -O3 warns falsely inside std::string (-Wrestrict).
release=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG")
step configure cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  "${release[@]}" -DZOR_GUI=OFF -DZOR_BENCH=OFF -DZOR_TESTS=ON \
  -DGTest_DIR="$build/gtest/lib/cmake/GTest"
step build cmake --build "$build" -j"$(nproc)" --target zor-cnc-run core_tests

host_runner=${ZOR_HOST_RUNNER:-}
if [[ -z "$host_runner" ]]; then
  step host-configure cmake -S "$root" -B "$build/host" -G Ninja "${release[@]}" \
    -DZOR_GUI=OFF -DZOR_BENCH=OFF -DZOR_TESTS=OFF
  step host-build cmake --build "$build/host" -j"$(nproc)" --target zor-cnc-run
  host_runner="$build/host/zor-cnc-run"
fi
[[ -x "$host_runner" ]] || {
  echo "test-windows: no Linux runner at $host_runner"
  exit 1
}
echo "test-windows: built in $((SECONDS - started)) s"

# --- Wine, headless, in a prefix of its own ------------------------------------------------
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono and no Gecko: nothing here needs them, and their installers would want a download.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
stop_wineserver() {
  if [[ -n "$wineserver" ]]; then "$wineserver" -k 2>/dev/null || true; fi
}
trap stop_wineserver EXIT
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  step wineboot "$wine" wineboot.exe -i
fi

# A Unix path given to a program is a path on its current drive: running from a directory that
# Wine reaches through Z:, the drive of the file system's root, makes the two the same.
cd "$build"
source "$root/scripts/tally.sh"

# The core tests.
if "$wine" ./core_tests.exe >"$logs/core_tests.log" 2>&1; then
  pass "core_tests.exe: $(grep -E '^\[  PASSED  \]' "$logs/core_tests.log")"
else
  grep -E '^\[  FAILED  \]|Failure' "$logs/core_tests.log" | head -n 40 || tail -n 40 "$logs/core_tests.log"
  fail "core_tests.exe (log: $logs/core_tests.log)"
fi

# The same jobs on Linux and under Wine: every output byte alike.
compare="$build/compare"
rm -rf "$compare"
mkdir -p "$compare"
# Runs one job on both runners, each with its trace, picture, report and messages; $1 names it.
run_both() {
  local name=$1
  shift
  local status_linux=0 status_wine=0
  "$host_runner" --trace "$compare/$name.linux.trace" --png "$compare/$name.linux.png" "$@" \
    >"$compare/$name.linux.json" 2>"$compare/$name.linux.err" || status_linux=$?
  "$wine" ./zor-cnc-run.exe --trace "$compare/$name.wine.trace" --png "$compare/$name.wine.png" "$@" \
    >"$compare/$name.wine.json" 2>"$compare/$name.wine.err" || status_wine=$?
  echo "$status_linux" >"$compare/$name.linux.status"
  echo "$status_wine" >"$compare/$name.wine.status"
}
same_outputs() {
  local name=$1 what
  for what in json err trace png status; do
    cmp -s "$compare/$name.linux.$what" "$compare/$name.wine.$what" || {
      echo "$name: the $what differs ($compare/$name.linux.$what, $compare/$name.wine.$what)"
      return 1
    }
  done
}
check_job() {
  local name=$1
  run_both "$@"
  if same_outputs "$name" && [[ $(cat "$compare/$name.linux.status") == 0 ]]; then
    pass "$name: report, trace and picture alike ($(wc -c <"$compare/$name.wine.trace") trace bytes)"
  else
    fail "$name (exit status Linux $(cat "$compare/$name.linux.status"), Wine $(cat "$compare/$name.wine.status"))"
  fi
}
examples="$root/examples"
check_job square-draw draw "$examples/square.dxf"
check_job holes-drill drill "$examples/holes.dxf"
check_job board-gerber-draw --gerber draw "$examples/board.gbr"
check_job holes-gerber-drill --gerber drill "$examples/holes.drl"

# On the system's counter the bytes stay the same and the job takes its planned time, or a
# little more when other programs take the processor.
short_job="$compare/short.dxf"
printf '  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n2\n 21\n1\n  0\nENDSEC\n  0\nEOF\n' >"$short_job"
fast=(--speed-work 25 --speed-rapid 25 --speed-z-up 25 --speed-z-down 25)
check_job short-planned "${fast[@]}" draw "$short_job"
realtime_status=0
"$wine" ./zor-cnc-run.exe --realtime --trace "$compare/short-realtime.trace" \
  --png "$compare/short-realtime.png" "${fast[@]}" draw "$short_job" \
  >"$compare/short-realtime.json" 2>"$compare/short-realtime.err" || realtime_status=$?
job_time() { grep -o '"job_time_s": [^,]*' "$1" | cut -d' ' -f2; }
# The time, and the step lateness that only a timed run reports, are all that may differ.
without_time() {
  sed -e 's/"job_time_s": [^,]*, //' -e 's/, "interval_error_us": {[^}]*}, "chain_restarts": [0-9]*//' "$1"
}
planned=$(job_time "$compare/short-planned.linux.json")
realtime=$(job_time "$compare/short-realtime.json")
if [[ $realtime_status == 0 ]] &&
  cmp -s "$compare/short-planned.linux.trace" "$compare/short-realtime.trace" &&
  cmp -s "$compare/short-planned.linux.png" "$compare/short-realtime.png" &&
  cmp -s <(without_time "$compare/short-planned.linux.json") <(without_time "$compare/short-realtime.json") &&
  awk -v p="$planned" -v r="$realtime" 'BEGIN { exit !(p > 0 && r >= p && r <= 4 * p) }'; then
  pass "--realtime under Wine: the planned bytes, ${realtime} s for ${planned} s planned"
else
  fail "--realtime under Wine: ${realtime} s for ${planned} s planned (outputs in $compare/short-*)"
fi

# No driver under Wine: the service steps are tried and the error box's text is reported.
port_status=0
"$wine" ./zor-cnc-run.exe --port "\$378" draw "$examples/square.dxf" \
  >"$compare/port.json" 2>"$compare/port.err" || port_status=$?
error_line='^ERROR: Ошибка при создании объекта Lpt,  драйвер ERROR,  код = [0-9]+$'
if [[ $port_status == 1 && $(wc -l <"$compare/port.err") == 1 ]] &&
  grep -qE "$error_line" "$compare/port.err" &&
  grep -qF "\"$(sed 's/^ERROR: //' "$compare/port.err")\"" "$compare/port.json"; then
  pass "--port \$378: $(cat "$compare/port.err")"
else
  fail "--port \$378: exit status $port_status, messages: $(cat "$compare/port.err")"
fi
# The runner's own calls, in order: its thread is the one that created the service.
# The service manager that wineboot leaves running on a new prefix does not open the service
# again after the failed driver start, so the traced runs get a service manager of their own.
services_log="$compare/port-services.log"
service_steps=""
stop_wineserver
if [[ -n "$wineserver" ]]; then "$wineserver" -w 2>/dev/null || true; fi
for _ in 1 2; do
  WINEDEBUG=-all,trace+service "$wine" ./zor-cnc-run.exe --port "\$378" draw "$examples/square.dxf" \
    >/dev/null 2>"$services_log" || true
  thread=$(grep -m1 -oE '^[0-9a-f]+:trace:service:CreateServiceA [^ ]+ "lptwdmio"' "$services_log" |
    cut -d: -f1 || true)
  service_steps=$(grep "^${thread:-none}:trace:service:" "$services_log" |
    grep -oE ':(CreateServiceA|StartService[AW]|DeleteService) ' | tr -d ': ' | paste -sd, - || true)
  if [[ $service_steps =~ ^CreateServiceA,(StartService[AW],)+DeleteService$ ]]; then break; fi
done
if [[ $service_steps =~ ^CreateServiceA,(StartService[AW],)+DeleteService$ ]]; then
  pass "--port \$378: the driver service was created, started and deleted ($service_steps)"
else
  fail "--port \$378: service steps '$service_steps', see $services_log"
fi

echo "test-windows: took $((SECONDS - started)) s"
echo "windows: $passed passed, $failed failed"
((failed == 0))
