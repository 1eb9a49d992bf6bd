#!/usr/bin/env bash
# Takes docs/sorvel-step.png: the Response window beside Sorvel with the bundled
# five-crystal filter, its Step response tab showing the carrier's envelope and the four
# readouts. BUILD_DIR picks the build tree (default build/release).
source "$(dirname "$0")/screenshot-lib.sh"
build_targets sorvel
cp "$repo/packaging/examples/crystal-5-pole.cir" "$work/design.cir"
# The Response window opens at start when the last run left it open.
mkdir -p "$work/config/ladderbench"
printf '[responseWindow]\nopen=true\n' >"$work/config/ladderbench/Sorvel.conf"

start_display 1600x950

(cd "$work" && XDG_CONFIG_HOME="$work/config" exec "$build/analyser/app/sorvel" design.cir) >/dev/null 2>&1 &
pids+=($!)
window="$(xdotool search --sync --name '^Sorvel, 2008 $' | head -1)"
response="$(xdotool search --sync --name '^Response$' | head -1)"
sleep 1.5
height="$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')"
menu=$((height - 576))
xdotool mousemove --window "$window" 22 $((126 + menu)) click 1    # Plot
sleep 1
# The tab bar sits above the delay plot, under the readout table.
xdotool mousemove --window "$response" "${TAB_X:-130}" "${TAB_Y:-468}" click 1
sleep 1
xdotool mousemove 1590 940
sleep 0.5

mkdir -p "$repo/docs"
import -window root "$work/screen.png"
convert "$work/screen.png" -trim +repage "$repo/docs/sorvel-step.png"
echo "wrote $repo/docs/sorvel-step.png"
