#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the main build (the window's tests
# offscreen), the Debian package built and checked, the same tests built with AddressSanitizer
# and UBSan (replaying the fuzz corpora), and the Windows build of the core and the runner under
# Wine (skipped where it cannot be had).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-includes.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
scripts/test-package.sh
scripts/test-sanitizers.sh
ZOR_HOST_RUNNER="$PWD/build/zor-cnc-run" scripts/test-windows.sh
