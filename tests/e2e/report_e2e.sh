#!/usr/bin/env bash
# The tray menu by real clicks: the monthly totals and the about window (with the menu itself
# photographed for docs/ with TRAFIMO_UPDATE_DOCS=1), the unit switch, and Exit, which writes
# nothing.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

# Nothing counted; this month's record as 30 MB over the loopback leave it, today's a few KB.
month=$(e2e_month_section) row=$((10#$(date +%m) - 1))
e2e_count_only ""
{
  printf '[HKEY_CURRENT_USER\\Software\\Trafimo\\DateToday]\n"DateToday"="%s"\n' "$(LC_ALL=C date +%Y%b%d)"
  printf '[HKEY_CURRENT_USER\\Software\\Trafimo\\%s]\n"IN"="%s"\n"OUT"="%s"\n' Today 4000 2000 "$month" 31500872 31500872
} | e2e_reg_import
e2e_start /s
e2e_check "the tip shows the current connection in MB" \
  e2e_wait_until 40 eval '[[ "$(e2e_tip)" == "Current - 0.00 MB" ]]'

# choose ITEMS SEPARATORS: the menu opened and the item below that many chosen.
choose() { e2e_open_menu && e2e_click_menu_item "$@"; }
e2e_check "the menu opens" e2e_open_menu
read -r menu_left menu_top _ <<<"$(e2e_window_rect 'class="#32768"')"
e2e_click_at $((menu_left - 10)) $((menu_top + 10)) - && sleep 0.5  # no tip over the menu
e2e_check "the menu and the icon are photographed" \
  e2e_photograph_area $((menu_left - 20)) $((menu_top - 20)) 1024 768 tray-menu doc
e2e_check "its \"&Monthly Totals ...\" is chosen" e2e_click_menu_item 2 1
e2e_check "the \"Monthly Usage\" window opens" e2e_wait_window "Monthly Usage" "" 20
sleep 1
shown() { e2e_control_text "Monthly Usage" "$1"; }
e2e_expect_eq "this year, this month's name, upload, download and total in whole MB" \
  "$(LC_ALL=C date +%Y\|%B)|30 MB|30 MB|60 MB" \
  "$(shown 502)|$(shown $((510 + row)))|$(shown $((530 + row)))|$(shown $((550 + row)))|$(shown $((570 + row)))"
e2e_check "the window is photographed" e2e_photograph 'title="Monthly Usage"' monthly-usage 0 doc
e2e_click_control "Monthly Usage" GB
e2e_check "a click on GB switches the row to GB" e2e_wait_until 5 eval '[[ "$(shown $((570 + row)))" == "0.06 GB" ]]'
e2e_click_control "Monthly Usage" Close
e2e_check "a click on Close closes the window" e2e_wait_window_gone "Monthly Usage" "" 10

e2e_check "the menu opens again: \"&About Velquor Trafimo\"" choose 0 0
e2e_check "the about window opens" e2e_wait_window "About Velquor Trafimo" "" 20
sleep 1
e2e_expect_eq "it names the product, its version and its page" \
  "Velquor Trafimo 1.3|www.velquor.example/trafimo/" \
  "$(e2e_control_text "About Velquor Trafimo" 412)|$(e2e_control_text "About Velquor Trafimo" 413)"
e2e_check "the window is photographed" e2e_photograph 'title="About Velquor Trafimo"' about 0 doc
e2e_click_control "About Velquor Trafimo" Close
e2e_check "a click on Close closes it" e2e_wait_window_gone "About Velquor Trafimo" "" 10

e2e_check "the menu opens again: \"Show in KiloBytes (KB)\"" choose 5 3
e2e_check "\"1\" is stored as the unit" e2e_wait_until 10 eval '[[ $(e2e_stored Settings ShowMode) == 1 ]]'
e2e_check "the tip switches to KB" e2e_wait_until 10 eval '[[ "$(e2e_tip)" == "Current - 0 KB" ]]'
e2e_check "the menu opens again: \"E&xit\", the last item" choose 9 5
e2e_check "the program ends" e2e_wait_until 15 e2e_runs 0
e2e_check "its icon is gone" eval '[[ -z "$(e2e_icon)" ]]'
e2e_expect_eq "the stored totals are as they were" "4000 2000 31500872 31500872" \
  "$(e2e_stored Today IN) $(e2e_stored Today OUT) $(e2e_stored "$month" IN) $(e2e_stored "$month" OUT)"
e2e_finish
