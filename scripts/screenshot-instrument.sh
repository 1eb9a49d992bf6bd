#!/usr/bin/env bash
# Takes docs/sorvel-instrument.png: Sorvel with the bundled five-crystal design, connected
# to the simulated NanoVNA answering as the filter was built (one coupling capacitor 3 %
# off, a little noise), sweeping continuously, with the Instrument window beside it.
# BUILD_DIR picks the build tree (default build/release).
source "$(dirname "$0")/screenshot-lib.sh"
build_targets sorvel nanovna-sim
cp "$repo/packaging/examples/crystal-5-pole.cir" "$work/design.cir"
sed -e 's/^338.820007324219\r$/349\r/' "$work/design.cir" >"$work/built.cir"
mkdir -p "$work/config/ladderbench"

start_display 1600x950

"$build/analyser/instrument/nanovna-sim" "$work/built.cir" --noise 0.0003 --delay 20 >"$work/pty" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/pty" ] && break; sleep 0.1; done
pty="$(cat "$work/pty")"
# Connect... offers the port of the last connection.
printf '[instrument]\nkind=0\naddress=%s\n' "$pty" >"$work/config/ladderbench/Sorvel.conf"

(cd "$work" && XDG_CONFIG_HOME="$work/config" exec "$build/analyser/app/sorvel" design.cir) >/dev/null 2>&1 &
pids+=($!)
window=""
for _ in $(seq 100); do
    window="$(xdotool search --name '^Sorvel' 2>/dev/null | head -1)" && [ -n "$window" ] && break
    sleep 0.1
done
sleep 1
# A click on the blue plots the design; then Instrument > Connect..., the port typed, and
# Continuous.
xdotool mousemove --window "$window" 700 540 click 1
sleep 1
xdotool windowfocus --sync "$window" key alt+i
sleep 0.5
xdotool key c
dialog="$(xdotool search --sync --name '^Connect to an instrument$' | tail -1)"
sleep 1
# Its OK button, near the bottom right.
xdotool mousemove --window "$dialog" 254 136 click 1
sleep 1.5
xdotool windowfocus --sync "$window" key alt+i
sleep 0.5
xdotool key o
sleep 3
import -window root "$repo/docs/sorvel-instrument.png"
echo "wrote docs/sorvel-instrument.png"
