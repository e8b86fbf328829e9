#!/usr/bin/env bash
# The tray icon as a person meets it: it appears with the tip "Trafimo", then shows the current
# connection; loopback traffic is counted into the stored records and the tip; the menu, opened
# by a real right click, switches the unit and ends the program; the totals survive a restart and
# a second start is still refused.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

TRAY_PROBE=$E2E_BUILD/tray_probe_win.exe
tray_probe() { wine "$TRAY_PROBE" "$@" 2>/dev/null </dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
our_tip() { tray_probe icons | sed -n 's/^tip=\(Trafimo\|Current - [^\t]*\)\t.*/\1/p' | head -n1; }
icon_place() { tray_probe icons | grep -E '^tip=(Trafimo|Current - )' | head -n1 | sed -E 's/.*\tx=([0-9]+)\ty=([0-9]+)$/\1 \2/'; }
store='HKCU\Software\Trafimo'
stored() { e2e_reg "$store\\$1" "$2" | sed 's/^REG_SZ //'; }
lo_counter() { cat "/sys/class/net/lo/statistics/$1"; }

# Waits until the loopback counters have not moved for three seconds (three ticks).
settle_loopback() {
  local before after
  for _ in $(seq 20); do
    before="$(lo_counter rx_bytes) $(lo_counter tx_bytes)"
    sleep 3
    after="$(lo_counter rx_bytes) $(lo_counter tx_bytes)"
    [[ "$before" == "$after" ]] && return 0
  done
  return 1
}

# A real click of the given button on the icon, through the X server.
click_icon() {
  local place x y origin_x origin_y
  place=$(icon_place) || return 1
  read -r x y <<<"$place"
  [[ -n "$x" ]] || return 1
  origin_x=0 origin_y=0
  if geometry=$(xdotool search --name "Wine desktop" getwindowgeometry --shell 2>/dev/null | head -n 3); then
    origin_x=$(sed -n 's/^X=//p' <<<"$geometry")
    origin_y=$(sed -n 's/^Y=//p' <<<"$geometry")
  fi
  xdotool mousemove $((origin_x + x)) $((origin_y + y)) sleep 0.3 click "$1"
}

# Opens the tray menu with a right click; true once the popup is on screen.
open_menu() {
  click_icon 3 && e2e_wait_until 10 eval 'e2e_probe list | grep -q "class=\"#32768\""'
}

# Clicks an item of the open popup menu. Another process cannot ask Wine for a menu's items, so
# the place is worked out from the menu's rectangle: a 3-pixel frame, separators 9 pixels high
# and the items sharing the rest. Arguments: items and separators above the item, items and
# separators in the whole menu.
click_menu_item() {
  local rect left top bottom item_height
  rect=$(e2e_probe list | sed -n 's/.*class="#32768".* rect=\([0-9,-]*\).*/\1/p' | head -n1)
  [[ -n "$rect" ]] || return 1
  IFS=, read -r left top _ bottom <<<"$rect"
  item_height=$(((bottom - top - 6 - 9 * $4) / $3))
  xdotool mousemove $((left + 40)) $((top + 3 + $1 * item_height + $2 * 9 + item_height / 2)) \
    sleep 0.3 click 1
}
menu_items=10 menu_separators=5

# Format of a byte total in MB as the tip shows it with an English locale.
mb_text() { LC_ALL=C awk -v b="$1" 'BEGIN { s = sprintf("%.2f", b / 1048576); n = split(s, p, ".");
  w = p[1]; g = ""; while (length(w) > 3) { g = "," substr(w, length(w) - 2) g; w = substr(w, 1, length(w) - 3) }
  printf "%s%s.%s MB", w, g, p[2] }'; }
kb_text() { LC_ALL=C awk -v b="$1" 'BEGIN { w = sprintf("%.0f", b / 1024); g = "";
  while (length(w) > 3) { g = "," substr(w, length(w) - 2) g; w = substr(w, 1, length(w) - 3) }
  printf "%s%s KB", w, g }'; }

# Count only the loopback interface.
loopback=$(e2e_probe iftable | awk -F'\t' '$1 == 24 { print $2; exit }')
e2e_log "loopback interface: '$loopback'"
interface_hex=$(printf ',%s' "$loopback" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
e2e_reg_import <<REG
[HKEY_LOCAL_MACHINE\\Software\\Velquor Trafimo\\Settings]
"Interface"=hex(2):$interface_hex,00
[HKEY_CURRENT_USER\\Software\\Trafimo\\screen]
"visible"="False"
REG

e2e_check "the loopback is quiet before the start" settle_loopback
start_rx=$(lo_counter rx_bytes)
start_tx=$(lo_counter tx_bytes)

e2e_log "start (/s), watching the tip"
tray_probe watch 40 "Current - " >"$E2E_OUT/tips.txt" &
watcher=$!
sleep 1
e2e_start /s
wait "$watcher"
e2e_log "tips seen: $(tr '\n' '|' <"$E2E_OUT/tips.txt")"
e2e_expect_eq "the icon appears with the tip \"Trafimo\"" "tip=Trafimo" "$(head -n1 "$E2E_OUT/tips.txt")"
e2e_expect_eq "after the first ticks the tip shows the current connection" \
  "tip=Current - 0.00 MB" "$(sed -n 2p "$E2E_OUT/tips.txt")"
e2e_check "the shell holds the tray window's icon" tray_probe present VelquorTrafimoTray
e2e_log "screenshot: $(e2e_screenshot icon)"

month=$(wine reg query "$store" 2>/dev/null </dev/null | tr -d '\r' | sed -n 's/.*\\\([0-9]\{4\}[A-Z]\{3\}\)$/\1/p' | head -n1)
e2e_check "a record for this billing month exists" test -n "$month"
today_in0=$(stored Today IN) today_out0=$(stored Today OUT)
month_in0=$(stored "$month" IN) month_out0=$(stored "$month" OUT)
e2e_log "stored before: Today $today_in0/$today_out0, $month $month_in0/$month_out0"

e2e_log "sending 50 MB over the loopback from another process"
rx0=$(lo_counter rx_bytes) tx0=$(lo_counter tx_bytes)
e2e_check "the sender moved 50 MB" eval 'wine "$E2E_BUILD/loopback_send_win.exe" 50 >/dev/null 2>&1 </dev/null'
e2e_check "the loopback is quiet again" settle_loopback
rx_moved=$(($(lo_counter rx_bytes) - rx0)) tx_moved=$(($(lo_counter tx_bytes) - tx0))
e2e_log "the loopback counters moved by $rx_moved received, $tx_moved sent"
e2e_check "at least 50 MB moved" test "$rx_moved" -ge 52428800
e2e_expect_eq "Today IN grew by the bytes received" "$rx_moved" $(($(stored Today IN) - today_in0))
e2e_expect_eq "Today OUT grew by the bytes sent" "$tx_moved" $(($(stored Today OUT) - today_out0))
e2e_expect_eq "the month's IN grew by the bytes received" "$rx_moved" $(($(stored "$month" IN) - month_in0))
e2e_expect_eq "the month's OUT grew by the bytes sent" "$tx_moved" $(($(stored "$month" OUT) - month_out0))
# The connection's total so far as the loopback counters tell it (checked with retries, so that a
# tick that is still due catches up).
now_total() { echo $(($(lo_counter rx_bytes) - start_rx + $(lo_counter tx_bytes) - start_tx)); }
e2e_check "the tip shows the connection's total" \
  e2e_wait_until 5 eval '[[ "$(our_tip)" == "Current - $(mb_text "$(now_total)")" ]]'
e2e_log "tip now: $(our_tip)"

e2e_log "choosing \"Show in KiloBytes (KB)\" from the menu"
e2e_check "a right click on the icon opens the menu" open_menu
e2e_log "screenshot: $(e2e_screenshot tray-menu)"
# Above "Show in KiloBytes (KB)": five items and three separators.
click_menu_item 5 3 $menu_items $menu_separators
e2e_check "\"1\" is stored as the unit" e2e_wait_until 10 eval '[[ $(stored Settings ShowMode) == 1 ]]'
e2e_check "the tip switches to KB" \
  e2e_wait_until 10 eval '[[ "$(our_tip)" == "Current - $(kb_text "$(now_total)")" ]]'
e2e_log "tip now: $(our_tip)"

today_in=$(stored Today IN) today_out=$(stored Today OUT)
e2e_log "choosing \"E&xit\""
e2e_check "the menu opens again" open_menu
click_menu_item 9 5 $menu_items $menu_separators  # "E&xit", the last item
e2e_check "the program ends" e2e_wait_until 15 eval '[[ $(e2e_program_count) -eq 0 ]]'
e2e_check "the icon is gone" eval '! our_tip | grep -q .'
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
