#!/usr/bin/env bash
# Runs a command with a virtual X display and a running, warmed-up Wine server for the prefix
# $1, and tears both down afterwards. Wine's background services are started here, detached
# from the command's output, so that a test runner reading that output is not held open by them.
set -uo pipefail
prefix=$1
shift
tools=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=$prefix WINEDEBUG=-all
"$tools/wine-prefix.sh" "$prefix"

own_display=
if [[ -z "${TRAFIMO_KEEP_DISPLAY:-}" || -z "${DISPLAY:-}" ]]; then
  display=90
  while [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  own_display=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
fi

wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null

"$@"
status=$?

wineserver -k >/dev/null 2>&1 || true
[[ -n "$own_display" ]] && kill "$own_display" 2>/dev/null
exit $status
