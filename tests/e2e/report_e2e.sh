#!/usr/bin/env bash
# The monthly totals and about windows as a person meets them: "&Monthly Totals ..." from the
# tray menu shows this month's upload, download and total as stored; "&About Velquor Trafimo"
# shows the product and version. Both windows are photographed; with TRAFIMO_UPDATE_DOCS=1 the
# pictures replace those in docs/.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

# This month's record as counted after 30 MB sent over the loopback (it counts them both ways);
# nothing counted while the windows are open.
month=$(e2e_month_section) row=$((10#$(date +%m) - 1))
e2e_count_only ""
e2e_reg_import <<REG
[HKEY_CURRENT_USER\\Software\\Trafimo\\$month]
"IN"="31500872"
"OUT"="31500872"
REG

e2e_log "start (/s)"
e2e_start /s
e2e_check "the tray icon shows the current connection" \
  e2e_wait_until 40 eval '[[ "$(e2e_tip)" == "Current - "* ]]'

e2e_log "choosing \"&Monthly Totals ...\" from the menu"
e2e_check "a right click on the icon opens the menu" e2e_open_menu
e2e_click_menu_item 2 1  # below "&About Velquor Trafimo", a separator and "Settings..."
e2e_check "the \"Monthly Usage\" window opens" e2e_wait_window "Monthly Usage" "" 20
sleep 1
shown() { e2e_control_text "Monthly Usage" "$1"; }
e2e_expect_eq "the year shown is this year" "$(date +%Y)" "$(shown 502)"
e2e_expect_eq "this month's row is named" "$(LC_ALL=C date +%B)" "$(shown $((510 + row)))"
e2e_expect_eq "this month's upload, download and total in whole MB" "30 MB|30 MB|60 MB" \
  "$(shown $((530 + row)))|$(shown $((550 + row)))|$(shown $((570 + row)))"
e2e_check "the window is photographed" e2e_photograph 'title="Monthly Usage"' monthly-usage
e2e_renew_doc monthly-usage
e2e_check "GB can be chosen" e2e_probe press "Monthly Usage" GB
e2e_check "the row switches to GB" e2e_wait_until 5 eval '[[ "$(shown $((570 + row)))" == "0.06 GB" ]]'
e2e_check "Close can be pressed" e2e_probe press "Monthly Usage" Close
e2e_check "the window closes" e2e_wait_window_gone "Monthly Usage" "" 10

e2e_log "choosing \"&About Velquor Trafimo\" from the menu"
e2e_check "the menu opens again" e2e_open_menu
e2e_click_menu_item 0 0  # the first item
e2e_check "the about window opens" e2e_wait_window "About Velquor Trafimo" "" 20
sleep 1
e2e_expect_eq "it names the product and its version" "Velquor Trafimo 1.3" \
  "$(e2e_control_text "About Velquor Trafimo" 412)"
e2e_expect_eq "it offers the product page" "www.velquor.example/trafimo/" \
  "$(e2e_control_text "About Velquor Trafimo" 413)"
e2e_check "the window is photographed" e2e_photograph 'title="About Velquor Trafimo"' about
e2e_renew_doc about
e2e_check "Close can be pressed" e2e_probe press "About Velquor Trafimo" Close
e2e_check "the window closes" e2e_wait_window_gone "About Velquor Trafimo" "" 10
e2e_check "the program keeps running" e2e_runs 1
e2e_finish
