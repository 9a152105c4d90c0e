#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks it: the files a
# technician's laptop needs are in it, and the programs in it start and name their
# version. With --install (as root or with sudo) it also installs the package on this
# machine and runs the installed programs.
#
#   scripts/check-package.sh [BUILD_DIR] [--install]
set -euo pipefail
cd "$(dirname "$0")/.."
build="build"
install=0
for arg in "$@"; do
  case "$arg" in
    --install) install=1 ;;
    *) build="$arg" ;;
  esac
done
build="$(cd "$build" && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

(cd "$out" && cpack --config "$build/CPackConfig.cmake" -G DEB >cpack.log 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb="$(ls "$out"/*.deb)"
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$out/files"
want=(
  /usr/bin/korvex /usr/bin/quillan /usr/bin/qvrsim /usr/bin/quillan-flash
  /usr/share/applications/korvex.desktop /usr/share/applications/quillan.desktop
  /usr/share/icons/hicolor/48x48/apps/korvex.png /usr/share/icons/hicolor/256x256/apps/quillan.png
  /usr/share/korvex-quillan/guide/index.html /usr/share/korvex-quillan/guide/quillan.html
  /usr/share/korvex-quillan/guide/capture.html
  /usr/share/man/man1/korvex.1.gz /usr/share/man/man1/quillan.1.gz /usr/share/man/man1/qvrsim.1.gz /usr/share/man/man1/quillan-flash.1.gz
)
missing=0
for f in "${want[@]}"; do
  grep -qx "$f" "$out/files" || { echo "missing from the package: $f"; missing=1; }
done
[ $missing -eq 0 ] || exit 1
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || { echo "the package does not depend on the Qt 6 runtime"; exit 1; }

# The programs as packaged (unpacked, no root needed) start without a display.
dpkg-deb -x "$deb" "$out/root"
version="$(sed -n 's/^project(KorvexQuillan VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
for p in korvex quillan qvrsim quillan-flash; do
  got="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$out/root/usr/bin/$p" --version)"
  [ "$got" = "$p $version" ] || { echo "$p --version said \"$got\""; exit 1; }
done
echo "package contents and --version: ok"

if [ $install -eq 1 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$deb" >/dev/null
  for p in korvex quillan qvrsim quillan-flash; do
    got="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "/usr/bin/$p" --version)"
    [ "$got" = "$p $version" ] || { echo "installed $p --version said \"$got\""; exit 1; }
  done
  echo "installed package: ok ($(dpkg-query -W -f='${Package} ${Version}' korvex-quillan))"
fi
