# What the screenshot scripts share, sourced by each: the build tree, a scratch folder that
# goes on exit, and a virtual display. Sets repo, build and work; the script adds the
# processes it starts to pids, and they end, newest first, when it exits.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$repo/scripts/deps.sh"
need_packages "${BUILD_PACKAGES[@]}" xvfb xauth imagemagick xdotool

# BUILD_DIR picks the build tree (default build/release, as run.sh).
build="${BUILD_DIR:-$repo/build/release}"
work="$(mktemp -d)"
pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

build_targets() {
    [ -f "$build/CMakeCache.txt" ] || cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" -j2 --target "$@"
}

# Xvfb picks a free display itself and writes its number once it is ready.
start_display() {  # WIDTHxHEIGHT
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$work/display")"
}
