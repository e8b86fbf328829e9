#!/usr/bin/env bash
# A first start: the interfaces but the loopback stored, the dialog shown, a second start refused;
# a refusal modal to the dialog; the loopback chosen by clicks (the dialog photographed for docs/
# with TRAFIMO_UPDATE_DOCS=1) and then counted to the byte.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

ID_INTERFACES=302 ID_MONTH_START_DAY=303 ID_OK=1 ID_CANCEL=2
e2e_check "an adapter beside the loopback" e2e_veth trv0 1
loopback=$(e2e_loopback) others=$(e2e_probe iftable | awk -F'\t' '$1 != 24 { printf ",%s", $2 }')
e2e_check "the interface table has the loopback ($loopback) and others ($others)" test -n "$loopback" -a -n "$others"
read -r start_rx start_tx <<<"$(e2e_lo_counters)"
e2e_start
e2e_check "a start without arguments shows the \"Settings\" dialog" e2e_wait_window Settings TrafimoSettings 40
e2e_expect_eq "it stores the interfaces but the loopback" "REG_EXPAND_SZ $others" \
  "$(e2e_reg 'HKLM\Software\Velquor Trafimo\Settings' Interface)"
first_pid=$(e2e_program_pids)
e2e_start /s
e2e_check "a second start shows a message" e2e_wait_window "Velquor Trafimo" "#32770" 30
e2e_expect_eq "it tells the program already runs" 'Velquor Trafimo is already running. \r\nWhen the program is running there will be an icon in the tray(near time) to display trafimo or to invoke the settings. ' \
  "$(e2e_control_text "Velquor Trafimo" 65535)"
e2e_click_control "Velquor Trafimo" OK
e2e_check "a click on OK closes it and the second copy ends, the first runs on" eval \
  'e2e_wait_window_gone "Velquor Trafimo" "#32770" 20 && e2e_wait_until 20 eval "[[ \$(e2e_program_pids) == \"$first_pid\" ]]"'

# Leave only the loopback selected: a click toggles an entry of the multiple-selection list.
while IFS= read -r item; do
  [[ "$item" == *" selected=1 "* ]] && was=1 || was=0
  [[ "$item" == *" text=\"$loopback\"" ]] && wanted=1 || wanted=0
  # shellcheck disable=SC2046
  ((was == wanted)) || e2e_click_centre $(e2e_rect_of <<<"$item") || e2e_fail "\"$item\" can be clicked"
done < <(e2e_probe controls Settings | grep "^item of=$ID_INTERFACES ")
e2e_click_at 5 5 -  # the mouse away
e2e_expect_eq "after the clicks only the loopback is selected" "$loopback" \
  "$(e2e_probe controls Settings | sed -n "s/^item of=$ID_INTERFACES selected=1 .* text=\"\(.*\)\"$/\1/p")"
e2e_photograph 'class="TrafimoSettings"' settings-dialog 20 doc

# A refused month start day: Cancel behind its message does nothing; the program keeps running.
type_month_start_day() { e2e_click_control Settings $ID_MONTH_START_DAY && xdotool key End BackSpace BackSpace BackSpace type "$1"; }
type_month_start_day 29
e2e_click_control Settings $ID_OK
e2e_check "the refusal is shown" e2e_wait_until 10 eval \
  '[[ "$(e2e_control_text "Velquor Trafimo" 65535)" == "Month start day should be between 1 and 28" ]]'
e2e_click_control Settings $ID_CANCEL
sleep 1
e2e_check "Cancel cannot be pressed behind the message" e2e_wait_window Settings TrafimoSettings 1
# A click on the message's OK, again while the message is still up (a click that came too early).
press_ok() { e2e_click_control "Velquor Trafimo" OK; e2e_wait_window_gone "Velquor Trafimo" "#32770" 3; }
e2e_check "OK closes the message, the dialog stays open" eval \
  'e2e_wait_until 15 press_ok && e2e_wait_window Settings TrafimoSettings 2'
e2e_check "the program keeps running" e2e_runs 1
type_month_start_day 1
e2e_click_control Settings $ID_OK
e2e_check "a click on OK closes the dialog" e2e_wait_window_gone Settings "" 15
e2e_expect_eq "the machine-wide key holds the chosen interface" "REG_EXPAND_SZ ,$loopback" \
  "$(e2e_reg 'HKLM\Software\Velquor Trafimo\Settings' Interface)"

month=$(e2e_month_section)
e2e_check "the tick keeps this day's and this month's ($month) records" \
  e2e_wait_until 20 eval '[[ -n "$(e2e_stored Today IN)" && -n "$(e2e_stored "$month" IN)" ]]'
records=("Today IN" "Today OUT" "$month IN" "$month OUT") before=()
read_before() { for record in "${records[@]}"; do before+=("$(e2e_stored $record)"); done; }
e2e_send_loopback 30 read_before
for i in 0 1 2 3; do
  ((i % 2)) && moved=$E2E_TX_MOVED || moved=$E2E_RX_MOVED
  e2e_expect_eq "${records[i]} grew by the bytes moved" "$moved" $(($(e2e_stored ${records[i]}) - ${before[i]}))
done
# The connection's total as the loopback counters tell it, as the tip shows it in MB.
now_tip() {
  read -r rx tx <<<"$(e2e_lo_counters)"
  LC_ALL=C awk -v b=$((rx - start_rx + tx - start_tx)) 'BEGIN { printf "Current - %.2f MB", b / 1048576 }'; }
e2e_check "the tip shows the connection's total" e2e_wait_until 5 eval '[[ "$(e2e_tip)" == "$(now_tip)" ]]'
e2e_finish
