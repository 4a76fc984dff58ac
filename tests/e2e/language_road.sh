#!/usr/bin/env bash
# The language removal road on a real window system: starts an Xvfb of its own, runs the
# application on a fresh demo volume through the SDL backend, opens the Languages screen and
# waits for its tree of languages, ticks one language, presses Remove, confirms, waits for the
# end panel and presses OK; checks on disk that exactly that language's folders went and that
# its row is gone. Then one row's trash button removes another language the same way.
# Screenshots of every step.
#   language_road.sh APP SOURCE_DIR [OUTPUT_DIR]
set -euo pipefail

app=${1:?usage: language_road.sh APP SOURCE_DIR [OUTPUT_DIR]}
src=${2:?usage: language_road.sh APP SOURCE_DIR [OUTPUT_DIR]}
out=${3:-$PWD/e2e-languages}
mkdir -p "$out"
rm -rf "$out"/*.png "$out"/app.log "$out"/app.err "$out/demo"
source "$(dirname "$0")/lib.sh"

start_on_demo_volume "$app" "$src"
echo "main window at $wx,$wy"

# Sidebar entry 4 (Languages): 220 x 46 at x = 10, y = 535 - 56 * 4 in the content.
click $((wx + 100)) $((wy + wh - (535 - 224) - 23))

# The tree: rows of 48 points from y = 264 below the window's top; the check box 261 and the
# trash icon 950 points from its left. A row is there when its trash icon is drawn.
row_y() { echo $((wy + 264 + 48 * $1)); }
row_shown() {
  local x=$((wx + 938)) y=$(($(row_y "$2") - 12)) grey green
  grey=$(count_colour "$1" "$x" "$y" 24 24 160 164 166 40)
  green=$(count_colour "$1" "$x" "$y" 24 24 49 190 106 50)
  ((grey + green > 30))
}
tree_shows() { # $1 rows expected
  shot now
  local k n=0
  for k in 0 1 2 3 4 5 6 7 8; do row_shown "$out/now.png" "$k" && n=$((n + 1)); done
  [[ $n == "$1" ]]
}
folders() { find "$volume/Applications" -type d -name "$1.lproj" | wc -l; }

# German, French, Spanish, Italian, Japanese and Chinese, in the order the scan meets them.
wait_what="the languages tree"
wait_for 20 tree_shows 6
shot languages
echo "ok: the languages tree shows its rows"
spanish=$(folders es)
((spanish > 0)) || fail "the demo volume has no Spanish folders"
german=$(folders de)

spanish_ticked() {
  shot now
  ticked "$out/now.png" $((wx + 261)) "$(row_y 2)"
}
click $((wx + 261)) "$(row_y 2)" # Spanish
wait_what="Spanish ticked by its click"
wait_for 5 spanish_ticked
shot ticked
expect_colour "$out/ticked.png" $((wx + 950)) $((wy + 82)) 49 190 106 "Remove enabled by the tick"
click $((wx + 950)) $((wy + 96))

wait_what="the confirmation dialog"
wait_for 10 dialog_open
sleep 0.5
shot confirm
click 925 537
wait_what="the end panel"
wait_for 20 end_panel_open
shot end
click 640 456
wait_what="the tree without Spanish"
wait_for 10 tree_shows 5
shot after-remove
(($(folders es) == 0)) || fail "Spanish folders are still on disk: $(folders es)"
(($(folders de) == german)) || fail "German folders went with Spanish"
echo "ok: the $spanish Spanish folders are gone, the others remain"

# Japanese is now row 3 (German, French, Italian, Japanese, Chinese): its trash button.
japanese=$(folders ja)
click $((wx + 950)) "$(row_y 3)"
wait_what="the confirmation dialog of the trash button"
wait_for 10 dialog_open
sleep 0.5
shot trash-confirm
click 925 537
wait_what="the end panel of the trash button"
wait_for 20 end_panel_open
shot trash-end
click 640 456
wait_what="the tree without Japanese"
wait_for 10 tree_shows 4
shot after-trash
(($(folders ja) == 0)) || fail "Japanese folders are still on disk"
(($(folders de) == german)) || fail "German folders went with Japanese"
echo "ok: the trash button removed the $japanese Japanese folders"

kill -0 "$app_pid" 2>/dev/null || fail "the application ended early"
echo "screenshots: $out/*.png"
echo "e2e language road: passed"
