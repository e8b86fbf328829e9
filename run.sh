#!/usr/bin/env bash
# Builds trafimo.exe (Release) and runs it under Wine with a prefix of its own (./run/wineprefix,
# kept between runs so the totals survive restarts). Arguments go to the program: ./run.sh /s
#
#   ./run.sh [program arguments]                  in a Wine virtual desktop with a task bar and
#                                                 notification area (needs an X display)
#   ./run.sh --real-desktop [program arguments]   directly on the X desktop
#   ./run.sh --seconds N [program arguments]      without an X display: how long to let it run
#                                                 before the screenshot (default 8)
#
# Without any X display it runs the program in a virtual display, saves a screenshot of the
# desktop, prints what the program stored, and ends it.
set -uo pipefail
cd "$(dirname "$0")"
root=$PWD

real_desktop=
seconds=8
while (($#)); do
  case $1 in
    --real-desktop) real_desktop=1; shift ;;
    --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done

tools/deps.sh || { echo "run.sh: the build tools could not be installed" >&2; exit 1; }

echo "== Building trafimo.exe (Release)"
if ! { cmake --preset windows >build-run-configure.log 2>&1 &&
  cmake --build --preset windows --target trafimo -j2 >build-run.log 2>&1; }; then
  cat build-run-configure.log build-run.log >&2
  rm -f build-run-configure.log build-run.log
  echo "run.sh: the build failed" >&2
  exit 1
fi
rm -f build-run-configure.log build-run.log

run_dir=${TRAFIMO_RUN_DIR:-$root/run}  # the test command points it elsewhere
export WINEPREFIX=$run_dir/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
desktop=trafimo
desktop_size=1024x768
program='C:\Trafimo\trafimo.exe'

# The prefix: hard links of the build's own prefix when there is one (no disk space, no wait;
# Wine replaces its registry files, so the two stay apart), otherwise a new one. What the tests
# stored there is removed first, so that the first run here is a real first run.
if [[ ! -f "$WINEPREFIX/.trafimo-ready" ]]; then
  echo "== Making the Wine prefix $WINEPREFIX (once)"
  mkdir -p "$run_dir"
  if [[ -f build/windows/wineprefix/.trafimo-ready ]] &&
    cp -al build/windows/wineprefix "$WINEPREFIX.tmp" 2>/dev/null; then
    rm -f "$WINEPREFIX.tmp/wineserver"
    mv "$WINEPREFIX.tmp" "$WINEPREFIX"
    tools/forget-program-data.sh || { echo "run.sh: the test data could not be removed" >&2; exit 1; }
    wineserver -w
  else
    rm -rf "$WINEPREFIX.tmp"
    tools/wine-prefix.sh "$WINEPREFIX" || { echo "run.sh: no Wine prefix" >&2; exit 1; }
  fi
  touch "$WINEPREFIX/.trafimo-ready"
fi
tools/wine-prefix.sh "$WINEPREFIX" || { echo "run.sh: no fonts in the Wine prefix" >&2; exit 1; }
mkdir -p "$WINEPREFIX/drive_c/Trafimo"
cp build/windows/trafimo.exe "$WINEPREFIX/drive_c/Trafimo/trafimo.exe"

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1  # the programs of this prefix only
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

headless=
if [[ -z "${DISPLAY:-}" ]] || ! xdpyinfo >/dev/null 2>&1; then
  headless=1
  display=90
  while [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 "${desktop_size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

# The virtual desktop shows a task bar with the notification area.
wine reg add 'HKCU\Software\Wine\Explorer\Desktops\trafimo' /v EnableShell /t REG_DWORD /d 1 /f \
  >/dev/null 2>&1

# Prints a registry query's lines, or the text given when there is nothing.
query() {
  local none=$1 output
  shift
  if output=$(wine reg query "$@" 2>/dev/null </dev/null); then
    tr -d '\r' <<<"$output" | sed '/^$/d'
  else
    echo "   $none"
  fi
}

show_stored() {
  echo "== What the program stored"
  echo "-- machine-wide settings (HKEY_LOCAL_MACHINE\\Software\\Velquor Trafimo\\Settings)"
  query "(nothing)" 'HKLM\Software\Velquor Trafimo\Settings'
  echo "-- per-user settings, where the machine-wide ones could not be written (HKEY_CURRENT_USER\\Software\\Velquor Trafimo\\Settings)"
  query "(nothing)" 'HKCU\Software\Velquor Trafimo\Settings'
  echo "-- start-up entry (HKEY_LOCAL_MACHINE\\...\\CurrentVersion\\Run, \"Velquor Trafimo\")"
  query "(none)" 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Velquor Trafimo'
  echo "-- per-user start-up entry (HKEY_CURRENT_USER\\...\\CurrentVersion\\Run, \"Velquor Trafimo\")"
  query "(none)" 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Velquor Trafimo'
  echo "-- per-user store (HKEY_CURRENT_USER\\Software\\Trafimo)"
  query "(nothing yet)" 'HKCU\Software\Trafimo' /s
}

if [[ -z "$headless" ]]; then
  if [[ -n "$real_desktop" ]]; then
    echo "== Running $program $* on the desktop $DISPLAY (the tray menu's Exit ends it)"
    wine "$program" "$@"
  else
    echo "== Running $program $* in a Wine virtual desktop on $DISPLAY (the tray menu's Exit ends it)"
    wine explorer "/desktop=$desktop,$desktop_size" "$program" "$@"
  fi
  wineserver -w  # until the program and its desktop have ended
  exit 0
fi

echo "== No X display: running the program in a virtual display for $seconds seconds"
wine explorer "/desktop=$desktop,$desktop_size" "$program" "$@" >/dev/null 2>&1 </dev/null &
sleep "$seconds"
shot=$run_dir/screenshot.png
if import -window root "$shot" 2>/dev/null; then
  echo "== Screenshot of the desktop saved to $shot"
else
  echo "run.sh: the screenshot could not be taken" >&2
fi
show_stored
cat <<TEXT
== To use the program on a real display, run from an X session (DISPLAY set):
     ./run.sh            in a Wine virtual desktop with a task bar and notification area
     ./run.sh /s         the same, started as at Windows start-up (no settings dialog)
     ./run.sh --real-desktop   directly on your desktop
   Its data stays in $WINEPREFIX between runs.
TEXT
