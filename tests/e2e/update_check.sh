#!/usr/bin/env bash
# The update check on a real window system: starts an Xvfb of its own and a web server on
# loopback that holds an update description with a newer build; the application runs on a copy
# of its resources whose settings file points "IniURL" at that server (the reachability probe
# asks the same server's root). The menu's Check for Updates shows the update pane with its
# feature lines; Install Update asks the desktop to open the download page and leaves it open;
# Close ends it. Then, with nothing listening at
# that address, a fresh start's check shows the no-network pane within 6 seconds, and its
# Close ends the dialog. Screenshots of every step.
#   update_check.sh APP SOURCE_DIR [OUTPUT_DIR]
set -euo pipefail

app=${1:?usage: update_check.sh APP SOURCE_DIR [OUTPUT_DIR]}
src=${2:?usage: update_check.sh APP SOURCE_DIR [OUTPUT_DIR]}
out=${3:-$PWD/e2e-update}
mkdir -p "$out"
rm -rf "$out"/*.png "$out"/*.log "$out"/*.err "$out/demo" "$out/www" "$out/resources"
source "$(dirname "$0")/lib.sh"
command -v python3 >/dev/null || fail "python3 is missing"

# --- The server: the update description and a home page -------------------------------------
mkdir -p "$out/www/update"
cat >"$out/www/update/uninstaller.plist" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>VersionCheck</key><integer>9999</integer>
	<key>Version</key><string>2.0</string>
	<key>1</key><string>Finds the leftovers of sandboxed applications</string>
	<key>2</key><string>Removes languages twice as fast</string>
	<key>3</key><string>A darker, calmer look</string>
</dict>
</plist>
EOF
echo "home" >"$out/www/index.html"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$out/www" >"$out/server.log" 2>&1 </dev/null &
server_pid=$!
app_pids="$app_pids $server_pid"
port=""
for _ in $(seq 50); do
  port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$out/server.log" | head -n1)
  [[ -n $port ]] && break
  sleep 0.1
done
[[ -n $port ]] || fail "the web server did not start"
echo "server on 127.0.0.1:$port"

# --- A copy of the resources whose settings point at it --------------------------------------
# The real interface files and images, a copy of the settings file (start-up writes into it).
make_resources() { # $1: the address of the update description
  rm -rf "$out/resources"
  mkdir -p "$out/resources"
  ln -s "$src/resources/ui" "$out/resources/ui"
  ln -s "$src/resources/images" "$out/resources/images"
  cp "$src/resources/Info.plist" "$out/resources/Info.plist"
  sed "s|<string>http[^<]*uninstaller.plist</string>|<string>$1</string>|" \
    "$src/resources/StringMessage.plist" >"$out/resources/StringMessage.plist"
  grep -q "<string>$1</string>" "$out/resources/StringMessage.plist" ||
    fail "the settings copy does not hold the address"
}
export UNINSTALLER_RESOURCES=$out/resources
# The desktop's opener is a recorder: it writes down the address it was asked to open.
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/opened"\n' "$out" >"$out/opener"
chmod +x "$out/opener"
rm -f "$out/opened"
export UNINSTALLER_URL_OPENER=$out/opener

# The dialog is 520 x 420, centred on the 1280 x 800 screen a little above the middle (a third
# of the free height above it): its content at (380, 127).
dx=380 dy=127
at() { echo $((dx + $1)) $((dy + 420 - $2)); } # content point (x, y from the bottom)
# The update pane: the red border of the feature list.
update_pane() {
  shot now
  (($(count_colour "$out/now.png" $((dx + 37)) $((dy + 100)) 5 200 255 0 0 30) > 800))
}
# A single-button pane: the grey Close button centred at the bottom.
close_button_pane() {
  shot now
  (($(count_colour "$out/now.png" $((dx + 212)) $((dy + 420 - 70)) 20 28 84 89 93 8) > 400))
}
# Light text in the feature list's rows of 25 points from its top (the row $1, from 0).
feature_line() {
  (($(count_colour "$out/now.png" $((dx + 40)) $((dy + 420 - 332 + 25 * $1 + 4)) 300 17 237 239 240 40) > 40))
}
# Neither the update pane nor a single-button pane is on the screen.
dialog_gone() { ! update_pane && ! close_button_pane; }
# Opens the application menu with F10 and chooses Uninstaller > Check for Updates.
check_for_updates() {
  xdotool mousemove --sync $((wx + ww / 2)) $((wy + wh / 2))
  xdotool key --window "$id" F10
  sleep 0.5
  shot menu
  xdotool key Down Right Down
  sleep 0.3
  shot menu-item
  xdotool key Return
}

# --- With the server: the update pane --------------------------------------------------------
make_resources "http://127.0.0.1:$port/update/uninstaller.plist"
start_on_demo_volume "$app" "$src"
echo "main window at $wx,$wy"
check_for_updates
wait_what="the update pane"
wait_for 10 update_pane
sleep 0.5
shot update
for row in 0 1 2; do
  feature_line "$row" || fail "feature line $((row + 1)) is not drawn"
done
echo "ok: the update pane shows its three feature lines"
grep -q "GET /update/uninstaller.plist" "$out/server.log" || fail "the description was not fetched"
grep -q "GET / " "$out/server.log" || fail "the probe did not ask the server's root"

# Install Update asks the desktop to open the download page and leaves the dialog up.
read -r x y <<<"$(at 428 38)"
click "$x" "$y"
sleep 0.5
update_pane || fail "Install Update closed the dialog"
grep -qx "http://www.uninstaller.example/download/" "$out/opened" 2>/dev/null ||
  fail "Install Update did not open the download page: $(cat "$out/opened" 2>/dev/null)"
echo "ok: Install Update opens the download page and the dialog stays"
read -r x y <<<"$(at 87 38)"
click "$x" "$y"
wait_what="the dialog to close"
wait_for 5 dialog_gone
shot closed
echo "ok: Close ends the dialog"
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true

# --- Nothing listening: the no-network pane within 6 seconds ---------------------------------
kill "$server_pid" 2>/dev/null || true
wait "$server_pid" 2>/dev/null || true
make_resources "http://127.0.0.1:$port/update/uninstaller.plist"
start_on_demo_volume "$app" "$src"
check_for_updates
start=$(date +%s%N)
wait_what="the no-network pane"
wait_for 6 close_button_pane
elapsed=$((($(date +%s%N) - start) / 1000000))
shot no-network
((elapsed < 6000)) || fail "the no-network pane took ${elapsed} ms"
update_pane && fail "the update pane shows without a server"
echo "ok: the no-network pane after ${elapsed} ms"
read -r x y <<<"$(at 260 56)"
click "$x" "$y"
wait_what="the dialog to close"
wait_for 5 dialog_gone
shot no-network-closed
kill -0 "$app_pid" 2>/dev/null || fail "the application ended"
echo "ok: Close ends the no-network dialog"
echo "PASS"
