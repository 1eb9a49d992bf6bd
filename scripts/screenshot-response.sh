#!/usr/bin/env bash
# Takes docs/sorvel-measurement.png: Sorvel with the bundled five-crystal design and the
# bundled measurement of it as built (measured-crystal-5-pole.s2p), the cursor in the pass
# band, and the Response window open beside it. BUILD_DIR picks the build tree (default build/release).
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
source "$repo/scripts/deps.sh"
need_packages "${BUILD_PACKAGES[@]}" xvfb xauth imagemagick xdotool

build="${BUILD_DIR:-$repo/build/release}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2 --target sorvel

work="$(mktemp -d)"
cp "$repo/packaging/examples/crystal-5-pole.cir" "$work/design.cir"
cp "$repo/packaging/examples/measured-crystal-5-pole.s2p" "$work/measured.s2p"
# The Response window opens at start when the last run left it open.
mkdir -p "$work/config/ladderbench"
printf '[responseWindow]\nopen=true\n' >"$work/config/ladderbench/Sorvel.conf"

Xvfb -displayfd 3 -screen 0 1600x950x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
sorvel_pid=""
cleanup() {
    [ -n "$sorvel_pid" ] && kill "$sorvel_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

(cd "$work" && XDG_CONFIG_HOME="$work/config" exec "$build/analyser/app/sorvel" design.cir measured.s2p) \
    >/dev/null 2>&1 &
sorvel_pid=$!
window="$(xdotool search --sync --name '^Sorvel, 2008 $' | head -1)"
sleep 1.5

height="$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')"
menu=$((height - 576))
click() { xdotool mousemove --window "$window" "$1" $(($2 + menu)) click 1; sleep 0.5; }
click 48 388    # " Place Cursor"
click 250 200   # 250 Hz, in the pass band
xdotool mousemove --window "$window" 700 $((560 + menu))
sleep 1

mkdir -p "$repo/docs"
import -window root "$work/screen.png"
convert "$work/screen.png" -trim +repage "$repo/docs/sorvel-measurement.png"
echo "wrote $repo/docs/sorvel-measurement.png"
