#!/usr/bin/env bash
# Takes docs/sorvel-measurement.png: Sorvel with the bundled five-crystal design and the
# bundled measurement of it as built (measured-crystal-5-pole.s2p), the cursor in the pass
# band, and the Response window open beside it. BUILD_DIR picks the build tree (default build/release).
source "$(dirname "$0")/screenshot-lib.sh"
build_targets sorvel
cp "$repo/packaging/examples/crystal-5-pole.cir" "$work/design.cir"
cp "$repo/packaging/examples/measured-crystal-5-pole.s2p" "$work/measured.s2p"
# The Response window opens at start when the last run left it open.
mkdir -p "$work/config/ladderbench"
printf '[responseWindow]\nopen=true\n' >"$work/config/ladderbench/Sorvel.conf"

start_display 1600x950

(cd "$work" && XDG_CONFIG_HOME="$work/config" exec "$build/analyser/app/sorvel" design.cir measured.s2p) \
    >/dev/null 2>&1 &
pids+=($!)
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
