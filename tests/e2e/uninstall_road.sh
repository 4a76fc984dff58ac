#!/usr/bin/env bash
# The uninstall road on a real window system: starts an Xvfb of its own, runs the application
# on a fresh demo volume through the SDL backend, waits for the applications list, checks by
# pixels that rows are shown and that Apple's bundles are not (through the search box), sorts
# by name, ticks two applications, presses Uninstall, unticks one related file in the review
# dialog, uninstalls, confirms the end panel and checks on disk that the ticked bundles and
# files are gone and the unticked file remains; then one row's trash button, the review's
# Uninstall and OK, and the bundle is gone and its row dropped. Screenshots of every step.
#   uninstall_road.sh APP SOURCE_DIR [OUTPUT_DIR]
set -euo pipefail

app=${1:?usage: uninstall_road.sh APP SOURCE_DIR [OUTPUT_DIR]}
src=${2:?usage: uninstall_road.sh APP SOURCE_DIR [OUTPUT_DIR]}
out=${3:-$PWD/e2e-uninstall}
mkdir -p "$out"
rm -rf "$out"/*.png "$out"/app.log "$out"/app.err "$out/demo"
source "$(dirname "$0")/lib.sh"

start_on_demo_volume "$app" "$src"
echo "main window at $wx,$wy"

# The list: rows of 48 points from y = 248 below the window's top; the check box 258 and the
# trash icon 1000 points from its left. A row is there when its trash icon is drawn (grey, or
# green in the selected row).
row_y() { echo $((wy + 248 + 48 * $1)); }
row_shown() {
  local x=$((wx + 988)) y=$(($(row_y "$2") - 12)) grey green
  grey=$(count_colour "$1" "$x" "$y" 24 24 160 164 166 40)
  green=$(count_colour "$1" "$x" "$y" 24 24 49 190 106 50)
  ((grey + green > 30))
}
rows_in() {
  local k n=0
  for k in 0 1 2 3 4 5 6 7 8; do row_shown "$1" "$k" && n=$((n + 1)); done
  echo "$n"
}
# No input is made while waiting: a list refilled in the background must redraw by itself.
list_shows() { # $1 rows expected
  shot now
  [[ $(rows_in "$out/now.png") == "$1" ]]
}
# The sort pop-up is open when its dark blue panel covers the Sort By button.
sort_pop_up_open() {
  shot now
  (($(count_colour "$out/now.png" $((wx + 340)) $((wy + 150)) 110 100 30 34 52 6) > 1000))
}
sort_pop_up_closed() { ! sort_pop_up_open; }
sort_by_name() {
  click $((wx + 415)) $((wy + 160)) # Sort By
  wait_what="the sort pop-up"
  wait_for 5 sort_pop_up_open
  click $((wx + 390)) $((wy + 214)) # Ascending (by name)
  # It closes itself on the choice; the next click goes to the list as it is then.
  wait_what="the sort pop-up to close on its choice"
  wait_for 5 sort_pop_up_closed
}
# The refresh button comes back a second after its scan ended, and the search box is emptied
# then: a search typed before would be lost. Disabled it looks as it does at rest, so the
# pointer leaves and enters it again: only an enabled button lights (white) under it.
refresh_usable() {
  xdotool mousemove --sync $((wx + 1016)) $((wy + 200))
  xdotool mousemove --sync $((wx + 1016)) $((wy + 160))
  sleep 0.1
  shot now
  (($(count_colour "$out/now.png" $((wx + 1008)) $((wy + 152)) 16 16 255 255 255 8) > 10))
}
search_for() {
  click $((wx + 895)) $((wy + 159))
  xdotool type --delay 20 "$1"
  xdotool key Return
}

wait_what="the applications list"
wait_for 20 list_shows 9
shot list
echo "ok: the list shows its rows ($(rows_in "$out/list.png") visible)"

# Refresh clears the search and scans again. Every search is typed after a refresh has ended:
# the first scan's end empties the search box a second later, as each refresh's does.
refresh_list() {
  click $((wx + 1016)) $((wy + 160))
  wait_what="the full list after refresh"
  wait_for 10 list_shows 9
  wait_what="the refresh button after its scan"
  wait_for 10 refresh_usable
}
# Apple's bundles are not listed: "Photo" finds Photo Booth Pro only (not Photos), "Terminal"
# and "Safari" nothing.
for case in "Photo 1" "Terminal 0" "Safari 0"; do
  read -r key want <<<"$case"
  refresh_list
  search_for "$key"
  wait_what="search '$key' showing $want row(s)"
  wait_for 5 list_shows "$want"
done
refresh_list
echo "ok: no bundle of Apple's is listed"

# Name order: Disk Helper, Foo, My App, Notes Lite, ...; tick Foo and My App.
sort_by_name
row_ticked() {
  shot now
  ticked "$out/now.png" $((wx + 258)) "$(row_y "$1")"
}
for k in 1 2; do
  click $((wx + 258)) "$(row_y $k)"
  wait_what="row $k ticked by its click"
  wait_for 5 row_ticked $k
done
shot ticked
expect_colour "$out/ticked.png" $((wx + 950)) $((wy + 82)) 49 190 106 "Uninstall enabled by the ticks"
click $((wx + 950)) $((wy + 96))

wait_what="the review dialog"
wait_for 10 dialog_open
sleep 0.5
shot review
# Its rows: Foo's group, Foo, the user's and the local com.example.foo.plist, then the
# user's Caches/Foo folder (128 KB); untick that one.
kept=$home/Library/Caches/Foo
[[ -d $kept ]] || fail "the demo volume has no $kept"
click 322 418
sleep 0.3
shot review-unticked
ticked "$out/review.png" 322 418 || fail "the review's Caches/Foo row was not ticked at first"
ticked "$out/review-unticked.png" 322 418 && fail "the review's Caches/Foo row is still ticked"
ticked "$out/review-unticked.png" 322 374 || fail "unticking one row unticked its neighbour"
echo "ok: one related file unticked in the review"
click 925 537

wait_what="the end panel"
wait_for 20 end_panel_open
shot end
click 640 456
wait_what="the list after the road"
wait_for 10 list_shows 8
shot after-road

for gone in "$volume/Applications/Foo.app" "$volume/Applications/My App.app" \
  "$home/Library/Preferences/com.example.foo.plist" "$volume/Library/Preferences/com.example.foo.plist" \
  "$home/Library/Caches/com.example.foo" "$home/Library/Logs/Foo.log" \
  "$home/Library/Preferences/com.example.myapp.plist"; do
  [[ -e $gone ]] && fail "still on disk after the uninstall: $gone"
done
[[ -e $kept ]] || fail "the unticked $kept was removed"
for other in "Painter.app" "Notes Lite.app" "Utilities/Disk Helper.app"; do
  [[ -e $volume/Applications/$other ]] || fail "an unticked application went: $other"
done
echo "ok: the ticked bundles and files are gone, the unticked file remains"

# One row's trash button: sorted by name again (the rescan lists in folder order), row 0 is
# Disk Helper; all 8 rows fit, so the dropped row leaves 7 trash icons.
sort_by_name
click $((wx + 1000)) "$(row_y 0)"
wait_what="the review dialog of the trash button"
wait_for 10 dialog_open
sleep 0.5
shot trash-review
click 925 537
# The review may open while the trash click is still being tracked (the collection can end
# before its mouse-up is handled); the removal must start all the same.
wait_what="the end panel of the trash button"
wait_for 15 end_panel_open
shot trash-end
click 640 456
wait_what="the list without the removed row"
wait_for 10 list_shows 7
shot after-trash
[[ -e "$volume/Applications/Utilities/Disk Helper.app" ]] && fail "Disk Helper.app is still on disk"
[[ -e "$volume/Applications/Painter.app" ]] || fail "Painter.app went with the trash button"
echo "ok: the trash button removed Disk Helper and its row"

kill -0 "$app_pid" 2>/dev/null || fail "the application ended early"
echo "screenshots: $out/*.png"
echo "e2e uninstall road: passed"
