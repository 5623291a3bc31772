#!/usr/bin/env bash
# Builds the core, the runner and their tests with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ (no window front end), and runs every test there, the replay of each checked-in
# fuzz corpus through its harness included. Any sanitizer report fails the run.
# Needs clang and its sanitizer runtimes (Debian: clang, libclang-rt-14-dev); falls back to the
# default compiler (gcc brings its own runtimes) when clang is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan

if [[ ! -f $build/CMakeCache.txt ]] && command -v clang++ >/dev/null; then
  export CC=clang CXX=clang++
fi
# Optimised a little and with line tables only: stack traces name every frame, and the build
# stays a few minutes on two cores.
cmake -S . -B "$build" -G Ninja -DZOR_SANITIZE=ON -DZOR_GUI=OFF -DZOR_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" >/dev/null
cmake --build "$build" -j"$(nproc)"

# abort_on_error: a report ends a process by a signal, never by an exit status that a test of
# the runner could take for the runner's own "1".
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:abort_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
