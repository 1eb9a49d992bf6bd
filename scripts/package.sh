#!/usr/bin/env bash
# Builds the Debian package: a Release build in build/package, then `cpack -G DEB`.
# Prints the .deb's path as its last line. Install it with `apt install ./build/package/<name>.deb`.
# SCREENSHOT_URL_BASE, when set, is the https address of the published docs/ folder, for the
# screenshots of the AppStream data.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
source "$repo/scripts/deps.sh"
need_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

build="$repo/build/package"
# Installing builds only what the package holds, not the tests (package_contents below).
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DBUILD_BENCHMARKS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
      -DSCREENSHOT_URL_BASE="${SCREENSHOT_URL_BASE:-}"
cmake --build "$build" -j"$(nproc)" --target package_contents
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB)
deb="$(ls "$build"/*.deb)"
echo "$deb"
