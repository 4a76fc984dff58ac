#!/usr/bin/env bash
# The application's main window on a real window system: starts an Xvfb of its own, runs the
# application on a fresh demo volume through the SDL backend, checks the title bar, the window
# buttons and the six sidebar entries, then clicks each entry with xdotool and checks that it
# becomes the selected one (green title) while the others are not, with a screenshot of each
# state; last the close button must end the process with status 0.
#   main_window.sh APP SOURCE_DIR [OUTPUT_DIR]
set -euo pipefail

app=${1:?usage: main_window.sh APP SOURCE_DIR [OUTPUT_DIR]}
src=${2:?usage: main_window.sh APP SOURCE_DIR [OUTPUT_DIR]}
out=${3:-$PWD/e2e-main}
mkdir -p "$out"
rm -rf "$out"/*.png "$out"/app.log "$out"/app.err "$out/demo"
source "$(dirname "$0")/lib.sh"

start_on_demo_volume "$app" "$src"
echo "main window at $wx,$wy size ${ww}x${wh}"
[[ $ww == 1040 ]] || fail "the window is $ww wide, expected 1040 (the title-bar image)"

# Sidebar entry k: 220 x 46 at x = 10, y = 535 - 56k in the panel, whose origin is the content
# view's bottom-left; the content ends at the 32-point bar, the window's bottom is at wy + wh.
entry_top() { echo $((wy + wh - (535 - 56 * $1) - 46)); }
# The title of entry k: (50, 15, 150, 19) inside the entry.
title_region() { echo "$((wx + 10 + 50)) $(($(entry_top "$1") + 46 - 15 - 19)) 150 19"; }
green_in_title() {
  local x y w h
  read -r x y w h <<<"$(title_region "$2")"
  count_colour "$1" "$x" "$y" "$w" "$h" 49 190 106 40
}

check_selected() {
  local shot=$1 selected=$2 k n
  for k in 0 1 2 3 4 5; do
    n=$(green_in_title "$shot" "$k")
    if ((k == selected)); then
      ((n > 15)) || fail "entry $k should be selected: $n green pixels in its title ($shot)"
    else
      ((n < 5)) || fail "entry $k should not be selected: $n green pixels in its title ($shot)"
    fi
  done
  echo "ok: entry $selected selected ($(basename "$shot"))"
}

sleep 0.5
import -display "$DISPLAY" -window root "$out/start.png"
# The close button: 12 points from the left, centred in the 32-point bar.
n=$(count_colour "$out/start.png" $((wx + 12)) $((wy + 16 - 7)) 14 14 236 95 87 60)
((n > 10)) || fail "no close button at x = 12 in the title bar ($n red pixels)"
echo "ok: close button in the title bar"
check_selected "$out/start.png" 0

for k in 1 2 3 4 5 0; do
  xdotool mousemove --sync $((wx + 10 + 110)) $(($(entry_top "$k") + 23))
  xdotool click 1
  sleep 0.4
  import -display "$DISPLAY" -window root "$out/entry-$k.png"
  check_selected "$out/entry-$k.png" "$k"
done
kill -0 "$app_pid" 2>/dev/null || fail "the application ended early"

# The close button ends the process at once, with status 0.
xdotool mousemove --sync $((wx + 12 + 7)) $((wy + 16))
xdotool click 1
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the close button did not end the application"
status=0
wait "$app_pid" || status=$?
app_pids=""
((status == 0)) || fail "the application ended with status $status"
echo "ok: the close button ended the application with status 0"
echo "screenshots: $out/*.png"
echo "e2e main window: passed"
