#!/usr/bin/env bash
# Catches a start that cannot show a window, or is pointed at a volume that is not there, running
# on without a word instead of ending at once with a clear message and a non-zero status.
#   start_without_window_system.sh UNINSTALLER OUTPUT_DIR
set -uo pipefail
app=$1 out=$2
mkdir -p "$out"
volume="$out/volume"
mkdir -p "$volume/Applications" "$volume/Library"

# Runs the application with the environment given as arguments, bounded by a timeout; checks
# that it ended with a status that is neither 0 nor the timeout's, and that standard error holds
# every expected text.
expect_refusal() {
  local name=$1; shift
  local -a env_args=()
  while [[ $1 != -- ]]; do env_args+=("$1"); shift; done
  shift
  local err="$out/$name.err" status
  timeout 10 env -u DISPLAY -u WAYLAND_DISPLAY -u PLATFORM_BACKEND "${env_args[@]}" "$app" \
    </dev/null >"$out/$name.out" 2>"$err"
  status=$?
  if [[ $status -eq 0 || $status -eq 124 ]]; then
    echo "FAIL: $name: status $status (expected a refusal)" >&2; cat "$err" >&2; exit 1
  fi
  local text
  for text in "$@"; do
    grep -qF -- "$text" "$err" || { echo "FAIL: $name: no '$text' in:" >&2; cat "$err" >&2; exit 1; }
  done
  [[ $(wc -l <"$err") -le 2 ]] || { echo "FAIL: $name: more than a short message" >&2; cat "$err" >&2; exit 1; }
  echo "ok: $name (status $status): $(head -c 200 "$err")"
}

expect_refusal no_display UNINSTALLER_ROOT="$volume" -- "DISPLAY" "PLATFORM_BACKEND=headless"
expect_refusal silent_display UNINSTALLER_ROOT="$volume" DISPLAY=:2147483 SDL_VIDEODRIVER=x11 -- \
  "DISPLAY=:2147483" "PLATFORM_BACKEND=headless"
expect_refusal missing_volume UNINSTALLER_ROOT="$out/nowhere" -- "$out/nowhere" "not a folder"
expect_refusal not_a_volume UNINSTALLER_ROOT="$out" DISPLAY=:0 -- "no Applications folder"
echo "PASS"
