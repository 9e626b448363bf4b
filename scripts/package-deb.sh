#!/usr/bin/env bash
# Builds Kavlo without its tests and benchmarks, with Debian's hardening flags, and packs it as
# a .deb whose dependencies come from the shared-library scan; then unpacks the package into a
# temporary root and runs the program from there. The build type is the one the tests run
# (stripped when packed). Its stdout is the package's path alone; the rest goes to stderr.
# scripts/package-deb.sh [BUILD_DIR]   (default: build-package)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build-package}
"$root/scripts/install-deps.sh" --run dpkg-dev file
# bindnow and PIE beside the defaults (relro, fortify, stack protector); CPPFLAGS go with the
# compiler's flags, as CMake has no place of their own for them. The paths inside the program
# are made relative to the sources.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { (cd "$root" && dpkg-buildflags --get "$1"); }
cxxflags="$(flags CPPFLAGS) $(flags CXXFLAGS)"
ldflags=$(flags LDFLAGS)
"$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DCMAKE_UNITY_BUILD=ON -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$cxxflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_STRIP="$root/packaging/strip-for-package.sh" >&2
rm -f "$dir"/kavlo_*.deb
(cd "$dir" && cpack -G DEB >&2)
deb=$(ls "$dir"/kavlo_*.deb)

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
env -u DISPLAY -u WAYLAND_DISPLAY "$unpacked/usr/bin/kavlo" --version >&2
env -u DISPLAY -u WAYLAND_DISPLAY "$unpacked/usr/bin/kavlo" render --home "$unpacked/home" \
    -o "$unpacked/page.png" >&2
# The windows' module loads from the package's place: printing gets as far as finding no CUPS.
told=$(env -u DISPLAY -u WAYLAND_DISPLAY CUPS_SERVER="$unpacked/no-cups.sock" \
    "$unpacked/usr/bin/kavlo" print --home "$unpacked/home" 2>&1 || true)
grep -q "(CUPS) $unpacked/no-cups.sock" <<<"$told" ||
    { echo "the packaged program does not get to printing: $told" >&2; exit 1; }
# fontconfig reads the Japanese face names' file through the package's own conf.d link.
fontconf=35-kavlo-japanese-faces.conf
contents=$(dpkg-deb -c "$deb")
grep -q "etc/fonts/conf.d/$fontconf -> /usr/share/fontconfig/conf.avail/$fontconf" <<<"$contents" ||
    { echo "the package lacks the fontconfig link for $fontconf" >&2; exit 1; }
dpkg-deb -f "$deb" Package Version Depends >&2
echo "$deb"
