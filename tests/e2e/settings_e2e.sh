#!/usr/bin/env bash
# The settings dialog as a person meets it on a fresh machine, and the traffic it then counts: a
# start without arguments shows it and no meter; a refused month start day is told in a message
# that keeps the dialog behind it out of reach; the loopback, chosen in the list by real clicks,
# is stored machine-wide on OK, and from then on the running program counts the traffic sent
# over it to the byte into Today and This Month, and shows the connection's total in its tip.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

ID_INTERFACES=302 ID_MONTH_START_DAY=303 ID_OK=1 ID_CANCEL=2
iftable=$(e2e_probe iftable)
loopback=$(e2e_loopback)
e2e_check "the interface table has a loopback entry ($loopback)" test -n "$loopback"
read -r start_rx start_tx <<<"$(e2e_lo_counters)"

e2e_log "start without arguments"
e2e_start
e2e_check "the \"Settings\" dialog is shown" e2e_wait_window Settings TrafimoSettings 40
e2e_check "the tray icon appears behind it" e2e_wait_until 40 eval '[[ -n "$(e2e_icon)" ]]'
e2e_check "no meter opens, though the meter's stored default is to show" \
  eval '! e2e_probe wait frmMessage TrafimoMeter 4 >/dev/null'

# Leave only the loopback selected: a click toggles an entry of the multiple-selection list.
items=$(e2e_probe items Settings $ID_INTERFACES)
selected() { sed -n 's/.* selected=1 .* text="\(.*\)"$/\1/p'; }
e2e_expect_eq "a fresh start preselects every interface but the loopback" \
  "$(awk -F'\t' '$1 != 24 { print $2 }' <<<"$iftable")" "$(selected <<<"$items")"
while IFS= read -r item; do
  [[ "$item" == *" selected=1 "* ]] && was=1 || was=0
  [[ "$item" == *" text=\"$loopback\"" ]] && wanted=1 || wanted=0
  # shellcheck disable=SC2046
  ((was == wanted)) || e2e_click_centre $(e2e_rect_of <<<"$item") ||
    e2e_fail "entry \"$item\" can be clicked (it is scrolled out)"
done <<<"$items"
e2e_click_at 5 5 -  # the mouse away
e2e_expect_eq "after the clicks only the loopback is selected" "$loopback" \
  "$(e2e_probe items Settings $ID_INTERFACES | selected)"
e2e_photograph 'class="TrafimoSettings"' settings-dialog 20

# A refused month start day: its message is modal to the dialog, so a click on Cancel behind it
# does nothing, and its OK leaves the dialog open and the program running.
type_month_start_day() { e2e_click_control Settings $ID_MONTH_START_DAY && xdotool key End BackSpace BackSpace BackSpace type "$1"; }
e2e_log "month start day 29, OK, Cancel behind the message, OK on the message"
type_month_start_day 29
e2e_click_control Settings $ID_OK
e2e_check "the refusal is shown" e2e_wait_until 10 eval \
  '[[ "$(e2e_control_text "Velquor Trafimo" 65535)" == "Month start day should be between 1 and 28" ]]'
e2e_click_control Settings $ID_CANCEL
sleep 1
e2e_check "Cancel cannot be pressed behind the message" e2e_wait_window Settings TrafimoSettings 1
e2e_click_control "Velquor Trafimo" $ID_OK
e2e_check "OK closes the message" e2e_wait_window_gone "Velquor Trafimo" "#32770" 10
e2e_check "the dialog stays open" e2e_wait_window Settings TrafimoSettings 2
e2e_check "no program error" eval '! e2e_probe wait "Program Error" "" 2 >/dev/null'
e2e_check "the program keeps running" e2e_runs 1
type_month_start_day 1

e2e_log "OK"
e2e_click_control Settings $ID_OK
e2e_check "a click on OK closes the dialog" e2e_wait_window_gone Settings "" 15
e2e_expect_eq "the machine-wide key holds the chosen interface" "REG_EXPAND_SZ ,$loopback" \
  "$(e2e_reg 'HKLM\Software\Velquor Trafimo\Settings' Interface)"
e2e_check "the program keeps running in the tray" e2e_runs 1

month=$(e2e_month_section)
e2e_check "the tick keeps this day's and this month's ($month) records" \
  e2e_wait_until 20 eval '[[ -n "$(e2e_stored Today IN)" && -n "$(e2e_stored "$month" IN)" ]]'
e2e_settle_loopback
declare -A before
for record in "Today IN" "Today OUT" "$month IN" "$month OUT"; do before[$record]=$(e2e_stored $record); done
e2e_log "sending 30 MB over the loopback from another process"
e2e_send_loopback 30
e2e_check "at least 30 MB moved" test "$E2E_RX_MOVED" -ge 31457280
for record in "Today IN" "Today OUT" "$month IN" "$month OUT"; do
  [[ $record == *IN ]] && moved=$E2E_RX_MOVED || moved=$E2E_TX_MOVED
  e2e_expect_eq "$record grew by the bytes moved" "$moved" $(($(e2e_stored $record) - ${before[$record]}))
done
# The connection's total so far, as the loopback counters tell it, in MB as an English tip shows
# it; checked with retries, so that a tick that is still due catches up.
now_tip() {
  local rx tx
  read -r rx tx <<<"$(e2e_lo_counters)"
  LC_ALL=C awk -v b=$((rx - start_rx + tx - start_tx)) 'BEGIN { printf "Current - %.2f MB", b / 1048576 }'
}
e2e_check "the tip shows the connection's total" e2e_wait_until 5 eval '[[ "$(e2e_tip)" == "$(now_tip)" ]]'
e2e_log "tip now: $(e2e_tip)"
e2e_finish
