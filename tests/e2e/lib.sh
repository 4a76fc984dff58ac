# Shared by the real-window tests: an Xvfb of their own on a free display, failure reports,
# cleanup of the processes they start, and pixel checks on screenshots.
#   source lib.sh   (with $out set to the output folder; add PIDs to app_pids to be killed)

fail() {
  echo "FAIL: $*" >&2
  local f
  for f in "$out"/*.log "$out"/*.err; do
    [[ -s $f && $f != */xvfb.log ]] && { echo "--- $(basename "$f")" >&2; tail -n 40 "$f" >&2; }
  done
  exit 1
}

for tool in Xvfb xdpyinfo xdotool import; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
done
# ImageMagick's own convert, not a wrapper of the same name earlier on the PATH.
convert_tool=/usr/bin/convert
[[ -x $convert_tool ]] || convert_tool=$(command -v convert) || fail "convert is missing"

xvfb_pid=""
app_pids=""
cleanup() {
  local pid
  for pid in $app_pids $xvfb_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
trap cleanup EXIT

# --- An X server on a free display -----------------------------------------------------------
unset WAYLAND_DISPLAY
display=""
for n in $(seq $((100 + RANDOM % 300)) 499); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >"$out/xvfb.log" 2>&1 </dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if xdpyinfo -display ":$n" >/dev/null 2>&1; then display=":$n"; break; fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [[ -n $display ]] && break
  kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
done
[[ -n $display ]] || fail "no Xvfb display could be started"
export DISPLAY=$display PLATFORM_BACKEND=sdl
echo "Xvfb on $DISPLAY"


# Prints the colour of pixel ($2, $3) of image $1 as "r g b".
pixel() {
  "$convert_tool" "$1" -crop "1x1+$2+$3" -depth 8 txt:- |
    sed -n 's/^0,0: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}
# Checks that pixel ($2, $3) of $1 is within a few levels of "$4 $5 $6"; $7 names it.
expect_colour() {
  local r g b
  read -r r g b <<<"$(pixel "$1" "$2" "$3")"
  [[ -n $r ]] || fail "could not read pixel $2,$3 of $1"
  local d
  for d in $((r - $4)) $((g - $5)) $((b - $6)); do
    ((d > -6 && d < 6)) || fail "$7: pixel $2,$3 of $(basename "$1") is ($r,$g,$b), expected ($4,$5,$6)"
  done
  echo "ok: $7 ($r,$g,$b)"
}


# Prints how many pixels of the $4 x $5 region at ($2, $3) of image $1 lie within $9 levels of
# the colour ($6, $7, $8) in every channel.
count_colour() {
  "$convert_tool" "$1" -crop "$4x$5+$2+$3" -depth 8 txt:- |
    sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    awk -v r="$6" -v g="$7" -v b="$8" -v t="$9" '
      function abs(x) { return x < 0 ? -x : x }
      abs($1 - r) <= t && abs($2 - g) <= t && abs($3 - b) <= t { n++ }
      END { print n + 0 }'
}

# Starts application $1 on a fresh demo volume made by source tree $2's script inside
# "$out/demo" (its log and errors in $out), and waits until its main window shows. Sets volume
# and home (the demo's folders), app_pid (the application, also added to app_pids), id (the
# window), wx, wy (its top-left on the screen) and ww, wh (its size).
start_on_demo_volume() {
  "$2/scripts/make-demo-volume" "$out/demo" >/dev/null
  volume=$out/demo/volume
  home=$out/demo/home
  UNINSTALLER_ROOT="$volume" HOME="$home" "$1" >"$out/app.log" 2>"$out/app.err" </dev/null &
  app_pid=$!
  app_pids="$app_pids $app_pid"
  local geometry
  id=""
  for _ in $(seq 100); do
    # By class: xdotool reads only plain-text window names, and this one is UTF-8.
    id=$(xdotool search --onlyvisible --class '^uninstaller$' 2>/dev/null | head -n1) && [[ -n $id ]] && break
    kill -0 "$app_pid" 2>/dev/null || fail "the application ended early"
    sleep 0.1
  done
  [[ -n $id ]] || fail "no window of the application"
  sleep 0.5 # placed and drawn
  geometry=$(xdotool getwindowgeometry "$id")
  read -r wx wy <<<"$(sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p' <<<"$geometry")"
  read -r ww wh <<<"$(sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p' <<<"$geometry")"
}

# Screenshot of the whole screen as "$out/$1.png".
shot() { import -display "$DISPLAY" -window root "$out/$1.png"; }
# A left click at screen point ($1, $2).
click() {
  xdotool mousemove --sync "$1" "$2"
  xdotool click 1
}
# Runs "$2..." every 0.2 s until it succeeds, for at most $1 seconds; then fails with the
# message in $wait_what. Fails at once when the application ($app_pid) has ended.
wait_for() {
  local seconds=$1 i
  shift
  for i in $(seq $((seconds * 5))); do
    "$@" && return 0
    kill -0 "$app_pid" 2>/dev/null || fail "the application ended early ($wait_what)"
    sleep 0.2
  done
  fail "timed out after ${seconds}s: $wait_what"
}

# Whether the check box centred at ($2, $3) of image $1 is ticked (green).
ticked() {
  (($(count_colour "$1" $(($2 - 8)) $(($3 - 8)) 16 16 49 190 106 50) > 20))
}
# The dialogs asking to confirm are centred on the 1280 x 800 screen: 720 x 460 at (280, 113).
# One is there when its grey Cancel button is (the end panel's OK button sits elsewhere);
# their primary button is at (925, 537).
dialog_open() {
  shot now
  (($(count_colour "$out/now.png" 765 525 90 22 84 89 93 10) > 1500))
}
# The end panel of a removal: its grey OK button around (640, 456).
end_panel_open() {
  shot now
  (($(count_colour "$out/now.png" 595 445 90 22 84 89 93 10) > 1500))
}
