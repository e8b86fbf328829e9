#!/usr/bin/env bash
# The tray icon as a person meets it: its tips, loopback traffic counted into the records and the
# tip, the menu (a real right click) switching the unit and ending, a restart, a refused second start.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

tray_probe() { wine "$E2E_BUILD/tray_probe_win.exe" "$@" 2>/dev/null </dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
our_icon() { tray_probe icons | grep -E -m1 '^tip=(Trafimo|Current - )'; }
our_tip() { our_icon | cut -f1 | sed 's/^tip=//'; }
store='HKCU\Software\Trafimo'
stored() { e2e_reg "$store\\$1" "$2" | sed 's/^REG_SZ //'; }
lo_counter() { cat "/sys/class/net/lo/statistics/$1"; }
lo_counters() { echo "$(lo_counter rx_bytes) $(lo_counter tx_bytes)"; }

# Waits until the loopback counters have not moved for three seconds (three ticks).
settle_loopback() {
  local before
  for _ in $(seq 20); do
    before=$(lo_counters)
    sleep 3
    [[ "$before" == "$(lo_counters)" ]] && return 0
  done
  return 1
}

# A real click of the given button on the icon, through the X server.
click_icon() {
  local x y ox=0 oy=0 geometry
  read -r x y < <(our_icon | sed -E 's/.*\tx=([0-9]+)\ty=([0-9]+)$/\1 \2/')
  [[ -n "${x:-}" ]] || return 1
  if geometry=$(xdotool search --name "Wine desktop" getwindowgeometry --shell 2>/dev/null); then
    ox=$(sed -n 's/^X=//p' <<<"$geometry" | head -n1) oy=$(sed -n 's/^Y=//p' <<<"$geometry" | head -n1)
  fi
  xdotool mousemove $((ox + x)) $((oy + y)) sleep 0.3 click "$1"
}

# Opens the tray menu with a right click; true once the popup is on screen.
open_menu() { click_icon 3 && e2e_wait_until 10 eval 'e2e_probe list | grep -q "class=\"#32768\""'; }

# Clicks an item of the open popup menu, placed from the menu's rectangle (Wine tells no other
# process a menu's items): a 3-pixel frame, 9-pixel separators, the items sharing the rest.
# Arguments: items and separators above the item, and in the whole menu (default 10 and 5).
click_menu_item() {
  local left top bottom height
  IFS=, read -r left top _ bottom < <(e2e_probe list |
    sed -n 's/.*class="#32768".* rect=\([0-9,-]*\).*/\1/p' | head -n1)
  [[ -n "${bottom:-}" ]] || return 1
  height=$(((bottom - top - 6 - 9 * ${4:-5}) / ${3:-10}))
  xdotool mousemove $((left + 40)) $((top + 3 + $1 * height + $2 * 9 + height / 2)) sleep 0.3 click 1
}

# A byte total as the tip shows it with an English locale: BYTES DIVISOR DECIMALS UNIT.
unit_text() { LC_ALL=C awk -v b="$1" -v d="$2" -v p="$3" -v u="$4" 'BEGIN {
  s = sprintf("%.*f", p, b / d); w = s; f = ""; if (p > 0) { w = substr(s, 1, length(s) - p - 1); f = substr(s, length(s) - p) }
  g = ""; while (length(w) > 3) { g = "," substr(w, length(w) - 2) g; w = substr(w, 1, length(w) - 3) }
  printf "%s%s%s %s", w, g, f, u }'; }
# The connection's total so far as the loopback counters tell it.
now_total() { echo $(($(lo_counter rx_bytes) - start_rx + $(lo_counter tx_bytes) - start_tx)); }

# Count only the loopback interface.
loopback=$(e2e_probe iftable | awk -F'\t' '$1 == 24 { print $2; exit }')
e2e_log "loopback interface: '$loopback'"
e2e_reg_import <<REG
[HKEY_LOCAL_MACHINE\\Software\\Velquor Trafimo\\Settings]
"Interface"=hex(2):$(printf ',%s' "$loopback" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//'),00
[HKEY_CURRENT_USER\\Software\\Trafimo\\screen]
"visible"="False"
REG

e2e_check "the loopback is quiet before the start" settle_loopback
read -r start_rx start_tx < <(lo_counters)
e2e_log "start (/s), watching the tip"
tray_probe watch 40 "Current - " >"$E2E_OUT/tips.txt" &
watcher=$!
sleep 1
e2e_start /s
wait "$watcher"
e2e_log "tips seen: $(tr '\n' '|' <"$E2E_OUT/tips.txt")"
e2e_expect_eq "the icon appears with the tip \"Trafimo\"" "tip=Trafimo" "$(sed -n 1p "$E2E_OUT/tips.txt")"
e2e_expect_eq "after the first ticks the tip shows the current connection" \
  "tip=Current - 0.00 MB" "$(sed -n 2p "$E2E_OUT/tips.txt")"
e2e_check "the shell holds the tray window's icon" tray_probe present VelquorTrafimoTray
e2e_log "screenshot: $(e2e_screenshot icon)"

month=$(wine reg query "$store" 2>/dev/null </dev/null | tr -d '\r' | sed -n 's/.*\\\([0-9]\{4\}[A-Z]\{3\}\)$/\1/p' | head -n1)
e2e_check "a record for this billing month exists" test -n "$month"
declare -A before
for record in "Today IN" "Today OUT" "$month IN" "$month OUT"; do before[$record]=$(stored $record); done

e2e_log "sending 50 MB over the loopback from another process"
read -r rx0 tx0 < <(lo_counters)
e2e_check "the sender moved 50 MB" eval 'wine "$E2E_BUILD/loopback_send_win.exe" 50 >/dev/null 2>&1 </dev/null'
e2e_check "the loopback is quiet again" settle_loopback
rx_moved=$(($(lo_counter rx_bytes) - rx0)) tx_moved=$(($(lo_counter tx_bytes) - tx0))
e2e_log "the loopback counters moved by $rx_moved received, $tx_moved sent"
e2e_check "at least 50 MB moved" test "$rx_moved" -ge 52428800
for record in "Today IN" "Today OUT" "$month IN" "$month OUT"; do
  [[ $record == *IN ]] && moved=$rx_moved || moved=$tx_moved
  e2e_expect_eq "$record grew by the bytes moved" "$moved" $(($(stored $record) - ${before[$record]}))
done
# Checked with retries, so that a tick that is still due catches up.
e2e_check "the tip shows the connection's total" \
  e2e_wait_until 5 eval '[[ "$(our_tip)" == "Current - $(unit_text "$(now_total)" 1048576 2 MB)" ]]'
e2e_log "tip now: $(our_tip)"

e2e_log "choosing \"Show in KiloBytes (KB)\" from the menu"
e2e_check "a right click on the icon opens the menu" open_menu
e2e_log "screenshot: $(e2e_screenshot tray-menu)"
click_menu_item 5 3  # five items and three separators above it
e2e_check "\"1\" is stored as the unit" e2e_wait_until 10 eval '[[ $(stored Settings ShowMode) == 1 ]]'
e2e_check "the tip switches to KB" \
  e2e_wait_until 10 eval '[[ "$(our_tip)" == "Current - $(unit_text "$(now_total)" 1024 0 KB)" ]]'
e2e_log "tip now: $(our_tip)"

today_in=$(stored Today IN) today_out=$(stored Today OUT)
e2e_log "choosing \"E&xit\""
e2e_check "the menu opens again" open_menu
click_menu_item 9 5  # "E&xit", the last item
e2e_check "the program ends" e2e_wait_until 15 eval '[[ $(e2e_program_count) -eq 0 ]]'
e2e_check "the icon is gone" eval '[[ -z "$(our_icon)" ]]'
e2e_expect_eq "Exit writes nothing: Today IN as last ticked" "$today_in" "$(stored Today IN)"

e2e_log "restart"
e2e_start /s
e2e_check "the icon is back" e2e_wait_until 30 eval 'our_tip | grep -q "^Current - "'
sleep 2
e2e_expect_eq "the stored totals were loaded and kept (Today IN)" "$today_in" "$(stored Today IN)"
e2e_expect_eq "the stored totals were loaded and kept (Today OUT)" "$today_out" "$(stored Today OUT)"
e2e_expect_eq "the unit chosen before is used" "Current - 0 KB" "$(our_tip)"

e2e_log "a second start"
e2e_start /s
e2e_check "is refused with a message box" e2e_wait_window "Velquor Trafimo" "#32770" 30
e2e_probe press "Velquor Trafimo" OK >/dev/null
e2e_check "and only one copy keeps running" e2e_wait_until 20 eval '[[ $(e2e_program_count) -eq 1 ]]'
e2e_finish
