#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window on the built-in virtual machine.
# Without a display it says so and shows a job of the headless runner instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: the window zor-cnc needs one (try: xvfb-run -a build/zor-cnc --simulate)."
  if [[ -x build/zor-cnc-run ]]; then
    echo "Running the drawing job of examples/square.dxf on the virtual machine instead:"
    build/zor-cnc-run --png build/square-path.png draw examples/square.dxf
    echo "The tool-path picture is in build/square-path.png"
  fi
  exit 0
fi
mkdir -p build/workdir && touch build/workdir/cfg.ini
cd build/workdir && exec ../zor-cnc --simulate
