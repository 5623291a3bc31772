#!/usr/bin/env bash
# Builds the Debian package build/zor-cnc_<version>_<arch>.deb (both programs, the examples, the
# menu entries and the manual pages); install it with: sudo apt-get install ./build/zor-cnc_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cmake --build build --target package
ls build/zor-cnc_*.deb
