# The end-to-end scripts' shared steps (`source "$(dirname "$0")/lib.sh" "$1"`, the build dir):
# the program in an own Wine prefix, looked at, clicked and read back as a person would.
set -uo pipefail

# Each script runs in a network namespace of its own: its loopback carries only its own traffic,
# the interfaces it makes go with it, and the Wine server it starts lists that namespace's.
if [[ -z "${E2E_NETNS:-}" ]]; then
  E2E_NETNS=trafimo-e2e-$$
  ip netns add "$E2E_NETNS" && ip -n "$E2E_NETNS" link set lo up || { echo "no network namespace"; exit 1; }
  ip netns exec "$E2E_NETNS" env E2E_NETNS="$E2E_NETNS" bash "$0" "$@"; status=$?
  for ns in "$E2E_NETNS-far" "$E2E_NETNS"; do ip netns pids "$ns" 2>/dev/null | xargs -r kill -9; ip netns del "$ns"; done 2>/dev/null
  exit $status
fi

E2E_BUILD=$(cd "${1:?build directory}" && pwd) E2E_SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_NAME=$(basename "$0" .sh) E2E_PROGRAM='C:\Trafimo\trafimo.exe' E2E_FAR=$E2E_NETNS-far
E2E_EXE=$E2E_BUILD/trafimo.exe E2E_PREFIX=$E2E_BUILD/e2e-wineprefix E2E_OUT=$E2E_BUILD/e2e-output/$E2E_NAME
E2E_SETTINGS='HKLM\Software\Velquor Trafimo\Settings' E2E_TRAFFIC=$E2E_SOURCE/tests/e2e/tools/traffic.py
E2E_FAILURES=0 E2E_CHECKS=0 E2E_STATE= _e2e_started=()
export WINEPREFIX=$E2E_PREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

e2e_log() { echo "[$E2E_NAME] $*"; }
# e2e_check DESCRIPTION COMMAND...: passes when the command succeeds (its status is the check's);
# e2e_expect_eq DESCRIPTION EXPECTED ACTUAL: when the two are the same.
e2e_check() { ((++E2E_CHECKS)) && "${@:2}" && echo "  ok   - $1" && return; ((++E2E_FAILURES)); echo "  FAIL - $1"; return 1; }
e2e_expect_eq() { e2e_check "$1" test "$2" == "$3" || printf '         expected: %q\n         actual:   %q\n' "$2" "$3"; }
# Ends the script: a summary, and a non-zero status when anything failed or nothing was checked.
e2e_finish() { e2e_log "$((E2E_CHECKS - E2E_FAILURES)) of $E2E_CHECKS checks passed"; exit $((E2E_FAILURES > 0 || E2E_CHECKS == 0)); }
# e2e_wait_until SECONDS COMMAND...: retries the command every half second.
e2e_wait_until() { local t; for ((t = $1 * 2; t > 0; t--)); do "${@:2}" && return 0; sleep 0.5; done; return 1; }

# Imports registry text (REGEDIT4 lines, from standard input) into the prefix.
e2e_reg_import() { { printf 'REGEDIT4\n\n'; cat; } >"$E2E_OUT/import.reg" && wine regedit /s "$(winepath -w "$E2E_OUT/import.reg" 2>/dev/null)" >/dev/null 2>&1; }
e2e_restart_wineserver() { wineserver -k; wineserver -w; wineserver -p; } >/dev/null 2>&1
e2e_cleanup() { wineserver -k; kill "${_e2e_started[@]}"; wineserver -w; } >/dev/null 2>&1

# Once at the top: the prefix (hard links of the build's), the program, nothing stored, a desktop.
e2e_setup() {
  trap e2e_cleanup EXIT && trap 'exit 130' INT TERM && mkdir -p "$E2E_OUT"
  xdpyinfo >/dev/null 2>&1 || { e2e_log "no X display: run under tools/with-wine-display.sh"; exit 1; }
  [[ -f "$E2E_PREFIX/.trafimo-ready" ]] || { rm -rf "$E2E_PREFIX" && [[ -f "$E2E_BUILD/wineprefix/.trafimo-ready" ]] &&
    cp -al "$E2E_BUILD/wineprefix" "$E2E_PREFIX" && rm -f "$E2E_PREFIX/wineserver"; }
  "$E2E_SOURCE/tools/wine-prefix.sh" "$E2E_PREFIX" || exit 1  # made, or given Windows' fonts
  e2e_restart_wineserver  # nothing left over from an earlier run
  mkdir -p "$E2E_PREFIX/drive_c/Trafimo" && cp "$E2E_EXE" "$E2E_PREFIX/drive_c/Trafimo/" || exit 1
  "$E2E_SOURCE/tools/forget-program-data.sh" && e2e_reg_import <<'REG' || exit 1
[HKEY_CURRENT_USER\Control Panel\International]
"iLZero"="1"
"iNegNumber"="1"
[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="trafimo"
[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"trafimo"="1024x768"
[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\trafimo]
"EnableShell"=dword:00000001
REG
  e2e_restart_wineserver  # the desktop is made by the first program: made with the settings above
}

# Starts the program with the given arguments in the background, in the virtual desktop;
# e2e_start_counting [DESCRIPTION]: with /s, and checks that it counts (its tip shows Now).
e2e_start() { wine explorer /desktop=trafimo,1024x768 "$E2E_PROGRAM" "$@" >"$E2E_OUT/program.log" 2>&1 </dev/null & _e2e_started+=($!); }
e2e_start_counting() { e2e_start /s; e2e_check "${1:-the program counts (its tip shows Now)}" e2e_wait_until 40 eval '[[ "$(e2e_tip)" == "Current - "* ]]'; }
# The Linux pids of the running copies (started as "trafimo.exe" or "trafimo"); e2e_runs N:
# whether N copies run; e2e_kill ends them all as the task manager would. (A process that ends
# while grep reads it makes grep's status say nothing.)
# shellcheck disable=SC2046
e2e_program_pids() { (cd /proc && grep -slxE 'trafimo(\.exe)?' $(ip netns pids "$E2E_NETNS" | sed 's|$|/comm|') /dev/null) | cut -d/ -f1 || true; }
e2e_runs() { [[ $(e2e_program_pids | wc -l) -eq $1 ]]; }
e2e_kill() { e2e_check "the program ends" eval 'wine taskkill /f /im trafimo.exe >/dev/null 2>&1; e2e_wait_until 15 e2e_runs 0'; }

# Runs probe_win.exe (see its source for the commands: wait and gone for a window, ...); its
# output without CRs.
e2e_probe() { wine "$E2E_BUILD/probe_win.exe" "$@" 2>/dev/null </dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# e2e_reg HKLM\...|HKCU\... VALUE: prints "TYPE DATA" of the value; fails when it is missing.
e2e_reg() { wine reg query "$1" /v "$2" 2>/dev/null </dev/null | tr -d '\r' | sed -n "s/^    $2    \([A-Z_]*\)    /\1 /p" | grep .; }
# e2e_stored SECTION NAME: a value of the per-user store (HKCU\Software\Trafimo).
e2e_stored() { e2e_reg "HKCU\\Software\\Trafimo\\$1" "$2" | sed 's/^REG_SZ //'; }
# The section of this billing month's record when the month starts on day ${1:-1} (2026DEC).
e2e_month_section() { LC_ALL=C date -d "$(date +%Y-%m-15)$( (($(date +%-d) >= ${1:-1})) || echo ' -1 month')" +%Y%b | tr a-z A-Z; }
# e2e_count_only LIST: only those interfaces counted ("lo,trv0"; "": none), no meter at the start.
e2e_count_only() {
  printf '[%s]\n"Interface"=",%s"\n[%s]\n"visible"="False"\n' 'HKEY_LOCAL_MACHINE\Software\Velquor Trafimo\Settings' \
    "$1" 'HKEY_CURRENT_USER\Software\Trafimo\screen' | e2e_reg_import
}

# e2e_veth NAME NET [INDEX]: a veth NAME (made anew with INDEX) at 10.77.NET.1, its far end's echo
# server at 10.77.NET.2:9000 in $E2E_FAR; no IPv6, so that the only bytes they move are the test's.
e2e_veth() {
  [[ -e /run/netns/$E2E_FAR ]] || { ip netns add "$E2E_FAR" && ip -n "$E2E_FAR" link set lo up; } || return 1
  ip link add "$1" ${3:+index "$3"} type veth peer name "$1p" netns "$E2E_FAR" &&
    sysctl -qw "net.ipv6.conf.$1.disable_ipv6=1" && ip netns exec "$E2E_FAR" sysctl -qw "net.ipv6.conf.$1p.disable_ipv6=1" &&
    ip addr add "10.77.$2.1/24" dev "$1" && ip -n "$E2E_FAR" addr add "10.77.$2.2/24" dev "$1p" &&
    ip link set "$1" up && ip -n "$E2E_FAR" link set "$1p" up || return 1
  [[ -n "${3:-}" ]] || { ip netns exec "$E2E_FAR" python3 "$E2E_TRAFFIC" serve "10.77.$2.2" 9000 >/dev/null 2>&1 & _e2e_started+=($!); }
  e2e_wait_until 10 eval "ip netns exec $E2E_FAR ss -ltn | grep -q 10.77.$2.2:9000"
}
# e2e_send_lo MB [SECONDS]: MB each way over the loopback (spread over the seconds).
e2e_send_lo() { python3 "$E2E_TRAFFIC" send 127.0.0.1 0 "$@" >"$E2E_OUT/send.log"; }

# e2e_measure WHAT COMMAND...: from a quiet spell (three ticks without traffic) to the next around
# the command, Today and $E2E_MONTH must grow by what the E2E_COUNTED interfaces' counters moved
# (E2E_FRESH=NAME e2e_measure: NAME is made anew by the command, it counts 0 before it).
E2E_COUNTED=(lo) E2E_FRESH='' E2E_MONTH=$(e2e_month_section)
# The counters' "RX TX" summed, twice, then (with "all") Today's and the month's IN and OUT.
_e2e_state() {
  local i s v && for i in "${E2E_COUNTED[@]}"; do [[ $i == "$E2E_FRESH" ]] || echo /sys/class/net/"$i"/statistics/{rx,tx}_bytes; done |
    xargs cat 2>/dev/null | awk '{ s[NR % 2] += $1 } END { printf "%.0f %.0f %.0f %.0f ", s[1], s[0], s[1], s[0] }'
  # shellcheck disable=SC2046
  echo $([[ -z "${1:-}" ]] || for s in Today "$E2E_MONTH"; do for v in IN OUT; do e2e_stored "$s" $v || echo 0; done; done)
}
# Quiet: counters and records alike unchanged over three ticks; the last reading in E2E_STATE, so
# that a packet straggling in (a late ACK) or a tick's write cannot fall between its parts.
_e2e_quiet() { local before && before=$(_e2e_state all) && sleep 3 && E2E_STATE=$(_e2e_state all) && [[ "$before" == "$E2E_STATE" ]]; }
e2e_measure() {
  local s0 s1 i moved=() grown=()
  e2e_wait_until 20 _e2e_quiet; read -ra s0 <<<"$E2E_STATE"
  e2e_check "$1: the traffic crossed" "${@:2}"
  E2E_FRESH='' && e2e_wait_until 30 _e2e_quiet; read -ra s1 <<<"$E2E_STATE"
  for i in 0 1 2 3; do moved+=($((s1[i] - s0[i]))) grown+=($((s1[i + 4] - s0[i + 4]))); done
  e2e_expect_eq "$1: Today and $E2E_MONTH grew by the bytes that crossed" "${moved[*]}" "${grown[*]}"
  [[ "${moved[*]}" == "${grown[*]}" ]] || e2e_log "counters and records before: ${s0[*]}; after: ${s1[*]}"
}

# Reads "rect=L,T,R,B" from standard input; prints "L T R B".
e2e_rect_of() { sed -nE 's/.*rect=(-?[0-9]+),(-?[0-9]+),(-?[0-9]+),(-?[0-9]+).*/\1 \2 \3 \4/p' | head -n1; }
# Where the virtual desktop's X window sits on the display: "X Y".
e2e_desktop_origin() { xdotool search --name "Wine desktop" getwindowgeometry --shell 2>/dev/null | sed -n 's/^[XY]=//p' | head -n2 | xargs; }
# e2e_click_at X Y [BUTTON]: a real click at a place of the desktop; BUTTON "-" only moves there.
e2e_click_at() {
  local ox oy && read -r ox oy <<<"$(e2e_desktop_origin)" && [[ -n "${2:-}" ]] &&
    xdotool mousemove $((ox + $1)) $((oy + $2)) sleep 0.3 $([[ ${3:-1} == - ]] || echo click "${3:-1}")
}
# e2e_control TITLE ID|TEXT: the probe's line of a control (by id or by text) of a visible window;
# its text; a click on its centre (with BUTTON); e2e_type_into TITLE ID TEXT: its text made TEXT.
e2e_control() { e2e_probe controls "$1" | grep -m1 -e "^id=$2 " -e "text=\"&\?$2\" "; }
e2e_control_text() { e2e_control "$@" | sed -E 's/.* text="(.*)" rect=.*/\1/'; }
e2e_click_control() { local l t r b && read -r l t r b <<<"$(e2e_control "$1" "$2" | e2e_rect_of)" && e2e_click_at $(((l + r) / 2)) "${b:+$(((t + b) / 2))}" "${3:-1}"; }
e2e_type_into() { e2e_click_control "$1" "$2" && xdotool key End BackSpace BackSpace BackSpace type "$3"; }
e2e_settings_ok() { e2e_click_control Settings 1; e2e_check "OK closes the settings dialog" e2e_probe gone Settings TrafimoSettings 15; }
# e2e_window_rect 'class="C"'|'title="T"': "L T R B" of such a visible window; nothing without one.
e2e_window_rect() { e2e_probe list | grep -F "$1" | e2e_rect_of; }

# The program's tray icon: its probe line (tip, x, y); its tip's lines; a click on it.
e2e_icon() { e2e_probe icons | grep -E -m1 '^tip=(Trafimo|Current - )'; }
e2e_tip() { e2e_icon | cut -f1 | sed 's/^tip=//; s/\\n/\n/g'; }
# shellcheck disable=SC2046
e2e_click_icon() { e2e_click_at $(e2e_icon | sed -E 's/.*\tx=([0-9]+)\ty=([0-9]+)$/\1 \2/') "$1"; }
# e2e_menu [ITEMS SEPARATORS]: the tray menu, opened by a right click unless it is; a click on the
# item below that many, from its rectangle (3-pixel frame, 9-pixel separators, ten items): Wine
# tells no more.
e2e_menu() {
  local left top bottom height && _e2e_menu_rect() { read -r left top _ bottom <<<"$(e2e_window_rect 'class="#32768"')" && [[ -n "$bottom" ]]; }
  _e2e_menu_rect || { e2e_click_icon 3 && e2e_wait_until 10 _e2e_menu_rect; } || return 1
  (($#)) || return 0
  height=$(((bottom - top - 6 - 9 * 5) / 10))
  xdotool mousemove $((left + 40)) $((top + 3 + $1 * height + $2 * 9 + height / 2)) sleep 0.3 click 1
}

# e2e_crop "L T R B" MARGIN FILE: that part of the desktop and a margin round it, as a picture;
# e2e_photograph "L T R B" MARGIN NAME: in $E2E_OUT, and with TRAFIMO_UPDATE_DOCS=1 in docs/.
e2e_crop() {
  local l t r b ox oy m=$2 && read -r l t r b <<<"$1" && read -r ox oy <<<"$(e2e_desktop_origin)" && [[ -n "$b" ]] &&
    import -window root -crop "$((r - l + 2 * m))x$((b - t + 2 * m))+$((ox + l - m))+$((oy + t - m))" +repage "$3" 2>/dev/null
}
e2e_photograph() { e2e_crop "$1" "$2" "$E2E_OUT/$3.png" && e2e_log "picture: $E2E_OUT/$3.png" && { [[ -z "${TRAFIMO_UPDATE_DOCS:-}" ]] || cp "$E2E_OUT/$3.png" "$E2E_SOURCE/docs/"; }; }
