#!/usr/bin/env bash
# Runs the window on a virtual display and saves a screenshot of the whole screen.
#   tools/screenshot.sh OUTPUT.png [SECONDS] [-- ARGUMENTS FOR tintora]
# Needs xvfb and imagemagick (scripts/test installs both). Uses the default build.
set -euo pipefail
cd "$(dirname "$0")/.."

output=${1:?usage: tools/screenshot.sh OUTPUT.png [SECONDS] [-- ARGUMENTS]}
shift
wait_seconds=4
if [[ $# -gt 0 && $1 != "--" ]]; then
    wait_seconds=$1
    shift
fi
[[ $# -gt 0 && $1 == "--" ]] && shift

program=build/default/src/app/tintora
[[ -x $program ]] || { echo "build first: cmake --build --preset default" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x860x24 -nolisten tcp &
xvfb_pid=$!
trap 'kill "$app_pid" 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
sleep 1

DISPLAY=$display QT_QPA_PLATFORM=xcb "$program" "$@" &
app_pid=$!
sleep "$wait_seconds"
DISPLAY=$display import -window root "$output"
echo "saved $output"
