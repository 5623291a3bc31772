#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages; quick when all is there.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libgmock-dev
          libpolyclipping-dev
          libzip-dev
          libhersheyfont-dev
          hershey-fonts-data
          libpugixml-dev
          fonts-dejavu-core xvfb xauth qt6-translations-l10n
          clang libclang-rt-14-dev
          python3-ezdxf gerbv
          python3-svgelements
          librsvg2-bin
          dpkg-dev file lintian man-db groff-base desktop-file-utils
          stress-ng)  # bench/realtime_bench.sh loads the cores with it
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
