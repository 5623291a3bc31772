#!/usr/bin/env bash
# Builds the Debian package from build/ and checks it as an operator would get it: its control
# fields and files, lintian without errors, both manual pages rendered without a warning, the
# menu entries valid, and the programs run from the package's extracted files (as a user
# without rights when this runs as root). Needs a configured build/ with the window.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ZOR_BUILD_DIR:-build}
source scripts/tally.sh
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb="$build/zor-cnc_${version}_${arch}.deb"
rm -f "$deb"
cmake --build "$build" --target package >"$build/package.log" 2>&1 || {
  tail -n 30 "$build/package.log"
  echo "test-package: the package target failed (log: $build/package.log)"
  exit 1
}
[[ -f $deb ]] || {
  echo "test-package: no $deb after the package target"
  exit 1
}

work=$(mktemp -d /tmp/zor-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # the user without rights below reads the extracted programs

# --- Control fields ----------------------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
check "package zor-cnc, version $version, $arch" \
  test "$(field Package) $(field Version) $(field Architecture)" == "zor-cnc $version $arch"
depends=$(field Depends)
for lib in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6; do
  check "depends on $lib" grep -qxF -- "$lib" < <(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
done
echo "  Depends: $depends"
check "section and maintainer" test -n "$(field Section)" -a -n "$(field Maintainer)"

# --- Files -------------------------------------------------------------------------------
dpkg-deb --contents "$deb" | awk '{ print $1, $6 }' | sed 's| \./| /|' >"$work/contents"
expected=(
  "-rwxr-xr-x /usr/bin/zor-cnc"
  "-rwxr-xr-x /usr/bin/zor-cnc-run"
  "-rw-r--r-- /usr/share/zor-cnc/examples/square.dxf"
  "-rw-r--r-- /usr/share/zor-cnc/examples/holes.dxf"
  "-rw-r--r-- /usr/share/zor-cnc/examples/board.gbr"
  "-rw-r--r-- /usr/share/zor-cnc/examples/holes.drl"
  "-rw-r--r-- /usr/share/applications/zor-cnc.desktop"
  "-rw-r--r-- /usr/share/applications/zor-cnc-simulate.desktop"
  "-rw-r--r-- /usr/share/icons/hicolor/scalable/apps/zor-cnc.svg"
  "-rw-r--r-- /usr/share/man/man1/zor-cnc.1.gz"
  "-rw-r--r-- /usr/share/man/man1/zor-cnc-run.1.gz"
  "-rw-r--r-- /usr/share/doc/zor-cnc/copyright"
  "-rw-r--r-- /usr/share/doc/zor-cnc/changelog.gz"
  "-rw-r--r-- /etc/security/limits.d/zor-cnc.conf"
  "-rw-r--r-- /etc/modules-load.d/zor-cnc.conf"
)
for entry in "${expected[@]}"; do
  check "contains $entry" grep -qxF -- "$entry" "$work/contents"
done
check "nothing under /usr/local or the build tree" \
  bash -c "! grep -qE ' /(usr/local|tmp|work|root)/' '$work/contents'"

dpkg-deb --control "$deb" "$work/control"
check "postinst says how to reach the port" grep -q "добавьте пользователя в группу lp" \
  "$work/control/postinst"
check "postinst is executable" test -x "$work/control/postinst"
check "the limits file is a conffile" grep -qxF /etc/security/limits.d/zor-cnc.conf \
  "$work/control/conffiles"
check "the port module is loaded at boot" grep -qxF /etc/modules-load.d/zor-cnc.conf \
  "$work/control/conffiles"

# --- lintian -----------------------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 && status=0 || status=$?
  sed 's/^/  lintian: /' "$work/lintian"
  check "lintian: no errors" test "$status" == 0
else
  echo "test-package: lintian is not installed; its check is skipped"
fi

# --- The extracted tree ------------------------------------------------------------------
root="$work/root"
dpkg-deb --extract "$deb" "$root"
check "zor-cnc-run --version" test "$("$root/usr/bin/zor-cnc-run" --version)" == "zor-cnc-run $version"
check "zor-cnc --version" test "$("$root/usr/bin/zor-cnc" --version)" == "zor-cnc $version"
examples="$root/usr/share/zor-cnc/examples"
out="$work/out"
mkdir -m 777 "$out"
# The extracted runner runs as a user without rights (nobody) when this runs as root.
as=()
user=$(id -un)
if ((EUID == 0)) && command -v setpriv >/dev/null; then
  as=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
  user=$(id -un 65534)
fi
# Runs the extracted runner; $1 names the run.
runner() {
  local name=$1
  shift
  local status=0
  (cd "$out" && env -i HOME=/nonexistent PATH=/usr/bin:/bin "${as[@]}" \
    "$root/usr/bin/zor-cnc-run" "$@" >"$name.json" 2>"$name.err") || status=$?
  echo "$status" >"$out/$name.status"
}
motor() { grep -o '"motor": \[[^]]*\]' "$out/$1.json"; }
runner square --png square.png draw "$examples/square.dxf"
check "dry run of the installed square as $user: exit 0, motors turned ($(motor square))" \
  test "$(cat "$out/square.status")" == 0 -a -s "$out/square.png" -a "$(motor square)" != '"motor": [0, 0, 0]'
runner holes --gerber drill "$examples/holes.drl"
check "dry run of the installed drill file: exit 0 ($(motor holes))" \
  test "$(cat "$out/holes.status")" == 0
runner noconfig --config "$out/none/cfg.ini" draw "$examples/square.dxf"
check "--config of a missing file: exit 1, the file named, no motion" \
  test "$(cat "$out/noconfig.status")" == 1 -a "$(motor noconfig)" == '"motor": [0, 0, 0]'
check "--config of a missing file: the message names it" grep -qF "$out/none/cfg.ini" "$out/noconfig.err"
touch "$out/cfg.ini"
runner config --config "$out/cfg.ini" draw "$examples/square.dxf"
check "--config of a present file: the same job as without it" \
  cmp -s "$out/config.json" "$out/square.json"

# --- Manual pages and menu entries -------------------------------------------------------
for page in zor-cnc zor-cnc-run; do
  gz="$root/usr/share/man/man1/$page.1.gz"
  zcat "$gz" | groff -ww -man -Tutf8 -k -z 2>"$work/groff.err" || true
  check "groff -ww renders $page(1) without warnings" test ! -s "$work/groff.err"
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$gz" >"$work/man.out" 2>"$work/man.err" || true
  check "man -l renders $page(1) without warnings" test ! -s "$work/man.err" -a -s "$work/man.out"
done
check "zor-cnc-run(1) names every option of the usage text" bash -c '
  missing=0
  for option in $("'"$root"'/usr/bin/zor-cnc-run" 2>&1 | grep -oE "^  --[a-z-]+"); do
    zcat "'"$root"'/usr/share/man/man1/zor-cnc-run.1.gz" | grep -qF -- "${option//-/\\-}" ||
      { echo "  not in the manual page: $option"; missing=1; }
  done
  exit $missing'
apps="$root/usr/share/applications"
if command -v desktop-file-validate >/dev/null; then
  check "menu entries are valid" desktop-file-validate "$apps/zor-cnc.desktop" "$apps/zor-cnc-simulate.desktop"
fi
check "menu entry ZOR-cnc starts the window on the ports" \
  grep -qxF "Exec=zor-cnc" "$apps/zor-cnc.desktop"
check "menu entry \"ZOR-cnc (симуляция)\" starts it with --simulate" bash -c \
  "grep -qxF 'Name=ZOR-cnc (симуляция)' '$apps/zor-cnc-simulate.desktop' &&
   grep -qxF 'Exec=zor-cnc --simulate' '$apps/zor-cnc-simulate.desktop'"

echo "package: $passed passed, $failed failed ($deb)"
((failed == 0))
