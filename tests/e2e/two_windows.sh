#!/usr/bin/env bash
# Real windows end to end: starts an Xvfb of its own, runs the two-window probe on it through
# the SDL backend, clicks into the second window and types a key there with xdotool, then
# checks that the right view got both (the probe's report), that the screen shows it (pixels of
# a screenshot), and that the idle probe sleeps (processor time over five idle seconds).
#   two_windows.sh PROBE [OUTPUT_DIR]
# Needs no display, no terminal and no standard input; runs as root as CI does.
set -euo pipefail

probe=${1:?usage: two_windows.sh PROBE [OUTPUT_DIR]}
out=${2:-$PWD/e2e}
mkdir -p "$out"
rm -f "$out"/*.png "$out"/probe.log "$out"/probe.err "$out"/xvfb.log

source "$(dirname "$0")/lib.sh"

# --- The probe ------------------------------------------------------------------------------
"$probe" --timeout 50 >"$out/probe.log" 2>"$out/probe.err" </dev/null &
probe_pid=$!
app_pids="$probe_pid"

# Waits (up to $2 tenths of a second) for a line matching $1 in the probe's report.
wait_for_report() {
  for _ in $(seq "$2"); do
    grep -Eq "$1" "$out/probe.log" && return 0
    kill -0 "$probe_pid" 2>/dev/null || fail "the probe ended early"
    sleep 0.1
  done
  fail "no report line matching '$1'"
}
wait_for_report '^ready$' 100
# Blocks posted from another thread must wake the sleeping main loop at once, every time.
wait_for_report '^wake ' 100
wake=$(grep '^wake ' "$out/probe.log")
worst=$(sed -n 's/^wake rounds=[0-9]* worst=\([0-9.]*\)ms$/\1/p' <<<"$wake")
[[ -n $worst ]] || fail "$wake"
awk -v w="$worst" 'BEGIN { exit !(w < 50) }' || fail "a wake-up took ${worst} ms"
echo "ok: $wake"

find_window() {
  local id=""
  for _ in $(seq 50); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1) && [[ -n $id ]] && break
    sleep 0.1
  done
  [[ -n $id ]] || fail "no window named '$1'"
  echo "$id"
}
w1=$(find_window "Probe One")
w2=$(find_window "Probe Two")
echo "windows: Probe One=$w1 Probe Two=$w2"

# The probe's own account of each window: top-left position, size and the centre of its view.
field() { sed -n "s/^window $1 .* $2=\([0-9-]*\),\([0-9-]*\).*/\1 \2/p" "$out/probe.log"; }
read -r at2x at2y <<<"$(field 2 at)"
read -r c1x c1y <<<"$(field 1 centre)"
read -r c2x c2y <<<"$(field 2 centre)"

# The window system must have the second window where the platform put it.
geometry=$(xdotool getwindowgeometry "$w2")
pos=$(sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p' <<<"$geometry")
[[ $pos == "$at2x $at2y" ]] || fail "Probe Two is at '$pos' on screen, the platform says '$at2x $at2y'"

sleep 0.3
import -display "$DISPLAY" -window root "$out/before.png"
expect_colour "$out/before.png" "$c1x" "$c1y" 200 60 60 "window 1 starts red"
expect_colour "$out/before.png" "$c2x" "$c2y" 60 90 200 "window 2 starts blue"

# --- Input: a click and a key into the second window ----------------------------------------
xdotool mousemove --sync "$c2x" "$c2y"
xdotool click 1
wait_for_report '^click view=2 ' 50
xdotool key k
wait_for_report '^key view=2 chars=k keyCode=40 ' 50
if grep -Eq '^(click|key) view=1' "$out/probe.log"; then fail "the first window got input"; fi
grep -q '^click view=2 .*count=1 key-window=yes' "$out/probe.log" ||
  fail "the click did not make the second window key"
echo "ok: click and key reached the second window's view"

sleep 0.3
import -display "$DISPLAY" -window root "$out/after.png"
expect_colour "$out/after.png" "$c1x" "$c1y" 200 60 60 "window 1 stays red"
expect_colour "$out/after.png" "$c2x" "$c2y" 60 200 90 "window 2 turned green"

# --- A resize: the window system follows and the new area is drawn --------------------------
xdotool key r
wait_for_report '^resized view=2 ' 50
read -r r2x r2y <<<"$(sed -n 's/^resized view=2 at=\([0-9-]*\),\([0-9-]*\) .*/\1 \2/p' "$out/probe.log")"
read -r r2w r2h <<<"$(sed -n 's/^resized view=2 .* size=\([0-9]*\),\([0-9]*\).*/\1 \2/p' "$out/probe.log")"
geometry=$(xdotool getwindowgeometry "$w2")
size=$(sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p' <<<"$geometry")
pos=$(sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p' <<<"$geometry")
[[ $size == "$r2w $r2h" && $pos == "$r2x $r2y" ]] ||
  fail "Probe Two is $size at $pos on screen, the platform says $r2w $r2h at $r2x $r2y"
sleep 0.3
import -display "$DISPLAY" -window root "$out/resized.png"
expect_colour "$out/resized.png" $((r2x + r2w - 5)) $((r2y + r2h - 5)) 60 200 90 \
  "the grown corner of window 2 is drawn"
expect_colour "$out/resized.png" "$c1x" "$c1y" 200 60 60 "window 1 still red"

# --- Idle: the probe must sleep in the window system's event wait ---------------------------
cpu_ticks() { sed 's/^.*) //' "/proc/$probe_pid/stat" | awk '{ print $12 + $13 }'; }
sleep 1
before=$(cpu_ticks)
sleep 5
after=$(cpu_ticks)
hz=$(getconf CLK_TCK)
percent=$(awk -v t=$((after - before)) -v hz="$hz" 'BEGIN { printf "%.2f", t / hz / 5 * 100 }')
echo "idle CPU of the probe: ${percent}% of a core over 5 s ($((after - before)) ticks at ${hz} Hz)"
awk -v p="$percent" 'BEGIN { exit !(p < 1) }' || fail "the idle probe used ${percent}% of a core"

kill -0 "$probe_pid" 2>/dev/null || fail "the probe ended early"
echo "screenshots: $out/before.png $out/after.png $out/resized.png"
echo "e2e two windows: passed"
