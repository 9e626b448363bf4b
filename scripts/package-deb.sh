#!/usr/bin/env bash
# Builds Kavlo without its tests and benchmarks and packs it as a .deb whose dependencies come
# from the shared-library scan; then unpacks the package into a temporary root and runs the
# program from there. The build type is the one the tests run (stripped when packed).
# scripts/package-deb.sh [BUILD_DIR]   (default: build-package)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build-package}
"$root/scripts/install-deps.sh" dpkg-dev
"$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr
rm -f "$dir"/kavlo_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/kavlo_*.deb)

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
env -u DISPLAY -u WAYLAND_DISPLAY "$unpacked/usr/bin/kavlo" --version
env -u DISPLAY -u WAYLAND_DISPLAY "$unpacked/usr/bin/kavlo" render --home "$unpacked/home" \
    -o "$unpacked/page.png"
# fontconfig reads the Japanese face names' file through the package's own conf.d link.
fontconf=35-kavlo-japanese-faces.conf
contents=$(dpkg-deb -c "$deb")
grep -q "etc/fonts/conf.d/$fontconf -> /usr/share/fontconfig/conf.avail/$fontconf" <<<"$contents" ||
    { echo "the package lacks the fontconfig link for $fontconf" >&2; exit 1; }
dpkg-deb -f "$deb" Package Version Depends
echo "$deb"
