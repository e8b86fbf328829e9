#!/usr/bin/env bash
# The settings dialog as a person meets it on a fresh machine: a start without arguments shows
# it and no meter; the loopback interface, chosen in the list by real clicks, is stored in the
# machine-wide key on OK, and from then on the tick counts the loopback traffic.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

TRAY_PROBE=$E2E_BUILD/tray_probe_win.exe
ID_INTERFACES=302 ID_MONTH_START_DAY=303 ID_OK=1 ID_CANCEL=2
tray_probe() { wine "$TRAY_PROBE" "$@" 2>/dev/null </dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
stored() { e2e_reg "HKCU\\Software\\Trafimo\\$1" "$2" | sed 's/^REG_SZ //'; }
lo_counter() { cat "/sys/class/net/lo/statistics/$1"; }
rect_of() { sed -nE 's/.*rect=(-?[0-9]+),(-?[0-9]+),(-?[0-9]+),(-?[0-9]+).*/\1 \2 \3 \4/p' | head -n1; }

# Waits until the loopback counters have not moved for three seconds (three ticks).
settle_loopback() {
  local before
  for _ in $(seq 20); do
    before="$(lo_counter rx_bytes) $(lo_counter tx_bytes)"
    sleep 3
    [[ "$before" == "$(lo_counter rx_bytes) $(lo_counter tx_bytes)" ]] && return 0
  done
  return 1
}

# A real click at the centre of a rectangle given in desktop pixels ("left top right bottom").
origin_x=0 origin_y=0
if geometry=$(xdotool search --name "Wine desktop" getwindowgeometry --shell 2>/dev/null | head -n 3); then
  origin_x=$(sed -n 's/^X=//p' <<<"$geometry") origin_y=$(sed -n 's/^Y=//p' <<<"$geometry")
fi
click_centre() {
  [[ $# -eq 4 ]] || return 1
  xdotool mousemove $((origin_x + ($1 + $3) / 2)) $((origin_y + ($2 + $4) / 2)) sleep 0.3 click 1
}

iftable=$(e2e_probe iftable)
loopback=$(awk -F'\t' '$1 == 24 { print $2; exit }' <<<"$iftable")
e2e_log "loopback interface: '$loopback'"
e2e_check "the interface table has a loopback entry" test -n "$loopback"

e2e_log "start without arguments"
e2e_start
dialog=$(e2e_probe wait Settings "" 40)
e2e_check "the \"Settings\" dialog is shown" test -n "$dialog"
e2e_check "the tray icon appears behind it" e2e_wait_until 40 tray_probe present VelquorTrafimoTray
e2e_check "no meter opens, though the meter's stored default is to show" \
  eval '! e2e_probe wait frmMessage TrafimoMeter 4 >/dev/null'

# Leave only the loopback selected: a click toggles an entry of the multiple-selection list.
items=$(e2e_probe items Settings $ID_INTERFACES)
e2e_log "interfaces listed: $(sed -E 's/ rect=[^ ]*//' <<<"$items" | tr '\n' '|')"
e2e_check "the list holds the loopback" grep -qF "text=\"$loopback\"" <<<"$items"
e2e_expect_eq "a fresh start preselects every interface but the loopback" \
  "$(awk -F'\t' '$1 != 24 { print $2 }' <<<"$iftable")" \
  "$(sed -n 's/.* selected=1 .* text="\(.*\)"$/\1/p' <<<"$items")"
while IFS= read -r item; do
  selected=$(sed -E 's/.* selected=([01]) .*/\1/' <<<"$item")
  text=$(sed -E 's/.* text="(.*)"$/\1/' <<<"$item")
  wanted=0 && [[ "$text" == "$loopback" ]] && wanted=1
  if [[ "$selected" != "$wanted" ]]; then
    # shellcheck disable=SC2046
    click_centre $(rect_of <<<"$item") || e2e_fail "entry \"$text\" can be clicked (it is scrolled out)"
  fi
done <<<"$items"
xdotool mousemove $((origin_x + 5)) $((origin_y + 5))
selection=$(e2e_probe items Settings $ID_INTERFACES | sed -n 's/.* selected=1 .* text="\(.*\)"$/\1/p')
e2e_expect_eq "after the clicks only the loopback is selected" "$loopback" "$selection"

# A picture of the dialog with a margin around it, for the README.
shot=$(e2e_screenshot dialog) && read -r left top right bottom <<<"$(rect_of <<<"$dialog")" &&
  convert "$shot" -crop "$((right - left + 40))x$((bottom - top + 40))+$((origin_x + left - 20))+$((origin_y + top - 20))" \
    +repage "$E2E_OUT/settings-dialog.png" && e2e_log "screenshot: $E2E_OUT/settings-dialog.png"

# A refused month start day: its message is modal to the dialog, so a click on Cancel behind it
# does nothing, and its OK leaves the dialog open and the program running.
type_month_start_day() {
  # shellcheck disable=SC2046
  click_centre $(e2e_probe place Settings $ID_MONTH_START_DAY | rect_of) &&
    xdotool key End BackSpace BackSpace BackSpace type "$1"
}
e2e_log "month start day 29, OK, Cancel behind the message, OK on the message"
type_month_start_day 29
# shellcheck disable=SC2046
click_centre $(e2e_probe place Settings $ID_OK | rect_of)
e2e_check "the refusal is shown" e2e_wait_until 10 eval \
  'e2e_probe msgbox "Velquor Trafimo" | grep -qF "text=Month start day should be between 1 and 28"'
# shellcheck disable=SC2046
click_centre $(e2e_probe place Settings $ID_CANCEL | rect_of)
sleep 1
e2e_check "Cancel cannot be pressed behind the message" e2e_wait_window Settings TrafimoSettings 1
# shellcheck disable=SC2046
click_centre $(e2e_probe place "Velquor Trafimo" $ID_OK | rect_of)
e2e_check "OK closes the message" e2e_wait_window_gone "Velquor Trafimo" "#32770" 10
e2e_check "the dialog stays open" e2e_wait_window Settings TrafimoSettings 2
e2e_check "no program error" eval '! e2e_probe wait "Program Error" "" 2 >/dev/null'
e2e_expect_eq "the program keeps running" 1 "$(e2e_program_count)"
type_month_start_day 1

e2e_log "OK"
# shellcheck disable=SC2046
click_centre $(e2e_probe place Settings $ID_OK | rect_of)
e2e_check "a click on OK closes the dialog" e2e_wait_window_gone Settings "" 15
e2e_expect_eq "the machine-wide key holds the chosen interface" "REG_EXPAND_SZ ,$loopback" \
  "$(e2e_reg 'HKLM\Software\Velquor Trafimo\Settings' Interface)"
e2e_expect_eq "the program keeps running in the tray" 1 "$(e2e_program_count)"

e2e_log "sending 20 MB over the loopback"
e2e_check "the loopback is quiet" settle_loopback
e2e_check "the day's record is stored" e2e_wait_until 20 eval '[[ -n "$(stored Today IN)" ]]'
today_in0=$(stored Today IN) today_out0=$(stored Today OUT)
rx0=$(lo_counter rx_bytes) tx0=$(lo_counter tx_bytes)
e2e_check "the sender moved 20 MB" eval 'wine "$E2E_BUILD/loopback_send_win.exe" 20 >/dev/null 2>&1 </dev/null'
e2e_check "the loopback is quiet again" settle_loopback
rx_moved=$(($(lo_counter rx_bytes) - rx0)) tx_moved=$(($(lo_counter tx_bytes) - tx0))
e2e_log "the loopback counters moved by $rx_moved received, $tx_moved sent"
e2e_check "at least 20 MB moved" test "$rx_moved" -ge 20971520
e2e_expect_eq "Today IN grew by the bytes received" "$rx_moved" $(($(stored Today IN) - today_in0))
e2e_expect_eq "Today OUT grew by the bytes sent" "$tx_moved" $(($(stored Today OUT) - today_out0))

e2e_finish
