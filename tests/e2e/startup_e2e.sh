#!/usr/bin/env bash
# Starting the program: the first start writes the machine-wide settings; a second start tells
# the user the program already runs and ends, while the first keeps running.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

settings='HKLM\Software\Velquor Trafimo\Settings'
# What the interface table lists now, without the loopback, as the program builds its default.
expected_interfaces=$(e2e_probe iftable | awk -F'\t' '$1 != 24 { printf ",%s", $2 }')
e2e_log "interfaces other than the loopback: '$expected_interfaces'"

e2e_log "first start (/s)"
e2e_start /s
e2e_check "the first start stores its settings" \
  e2e_wait_until 30 eval 'e2e_reg "$settings" MonthStartDay >/dev/null'
for pair in "AlwaysRunInTray=0" "EnableFreeTimes=0" "Interface=$expected_interfaces" \
  "FromFreeTime=2:0:0" "ToFreeTime=7:59:59" "MonthStartDay=1"; do
  e2e_expect_eq "${pair%%=*} is stored as \"${pair#*=}\" (expandable string)" \
    "REG_EXPAND_SZ ${pair#*=}" "$(e2e_reg "$settings" "${pair%%=*}")"
done
e2e_check "no start-up entry is written" \
  eval '! e2e_reg "HKLM\Software\Microsoft\Windows\CurrentVersion\Run" "Velquor Trafimo"'
e2e_check "one copy runs" e2e_wait_until 10 e2e_runs 1
first_pid=$(e2e_program_pids)

e2e_log "second start"
e2e_start /s
e2e_check "a message box titled \"Velquor Trafimo\" appears" \
  e2e_wait_window "Velquor Trafimo" "#32770" 30
box=$(e2e_probe controls "Velquor Trafimo")
e2e_log "screenshot: $(e2e_screenshot second-start)"
# Its text ("already running", CR LF, the rest), a single OK button and an icon.
e2e_expect_eq "the message box's text" 'Velquor Trafimo is already running. \r\nWhen the program is running there will be an icon in the tray(near time) to display trafimo or to invoke the settings. ' \
  "$(sed -nE 's/^id=65535 class="Static" text="(.*)" visible=1 .*/\1/p' <<<"$box")"
e2e_expect_eq "its only button is OK" 'OK' \
  "$(sed -nE 's/^id=[0-9]+ class="Button" text="(.*)" visible=1 .*/\1/p' <<<"$box")"
e2e_check "it shows an icon" grep -q 'class="Static" .* visible=1 icon=1 ' <<<"$box"
e2e_check "OK can be pressed" e2e_probe press "Velquor Trafimo" OK
e2e_check "the message box closes" e2e_wait_window_gone "Velquor Trafimo" "#32770" 20
e2e_check "the second copy ends" e2e_wait_until 20 e2e_runs 1
e2e_expect_eq "the first copy keeps running" "$first_pid" "$(e2e_program_pids)"
e2e_finish
