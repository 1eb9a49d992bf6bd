#!/usr/bin/env bash
# Takes docs/sorvel.png: builds Sorvel if needed, runs it under Xvfb in a scratch
# directory holding the sample low-pass "startfile.cir", plots, places the cursor at
# 10 MHz, lists the circuit and grabs the window.
source "$(dirname "$0")/screenshot-lib.sh"
build_targets sorvel
cp "$repo/tests/analyser/app/data/startfile.cir" "$work/"

start_display 1024x768

# Its own settings folder, so no window remembered from another run opens over the grab.
(cd "$work" && XDG_CONFIG_HOME="$work/config" exec "$build/analyser/app/sorvel") >/dev/null 2>&1 &
pids+=($!)
window="$(xdotool search --sync --name '^Sorvel, 2008 $' | head -1)"
sleep 1

# Points in client coordinates; the client area (576 high) lies below the menu bar.
height="$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')"
menu=$((height - 576))
click() { xdotool mousemove --window "$window" "$1" $(($2 + menu)) click 1; sleep 0.5; }
click 700 300   # the blue surface: Plot
click 48 388    # " Place Cursor"
click 183 200   # 10 MHz in the plot
click 544 12    # "Click to Review Circuit"
xdotool mousemove --window "$window" 700 $((560 + menu))
sleep 0.5

mkdir -p "$repo/docs"
import -window "$window" "$repo/docs/sorvel.png"
echo "wrote $repo/docs/sorvel.png"
