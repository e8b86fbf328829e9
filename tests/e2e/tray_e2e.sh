#!/usr/bin/env bash
# The tray icon as a person meets it: its tips, and its menu, opened with a real right click,
# switching the unit and ending the program. Counting real traffic: settings_e2e.sh.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

e2e_count_only ""  # nothing counted: the tip stays at zero, today's record as stored
e2e_reg_import <<REG
[HKEY_CURRENT_USER\\Software\\Trafimo\\DateToday]
"DateToday"="$(LC_ALL=C date +%Y%b%d)"
[HKEY_CURRENT_USER\\Software\\Trafimo\\Today]
"IN"="4000"
"OUT"="2000"
REG
e2e_log "start (/s), watching the tip"
e2e_probe watch 40 "Current - " >"$E2E_OUT/tips.txt" &
watcher=$!
sleep 1
e2e_start /s
wait "$watcher"
e2e_log "tips seen: $(tr '\n' '|' <"$E2E_OUT/tips.txt")"
e2e_expect_eq "the icon appears with the tip \"Trafimo\"" "tip=Trafimo" "$(sed -n 1p "$E2E_OUT/tips.txt")"
e2e_expect_eq "after the first ticks the tip shows the current connection" \
  "tip=Current - 0.00 MB" "$(sed -n 2p "$E2E_OUT/tips.txt")"
e2e_log "screenshot: $(e2e_screenshot icon)"

e2e_log "choosing \"Show in KiloBytes (KB)\" from the menu"
e2e_check "a right click on the icon opens the menu" e2e_open_menu
e2e_log "screenshot: $(e2e_screenshot tray-menu)"
e2e_click_menu_item 5 3  # five items and three separators above it
e2e_check "\"1\" is stored as the unit" e2e_wait_until 10 eval '[[ $(e2e_stored Settings ShowMode) == 1 ]]'
e2e_check "the tip switches to KB" e2e_wait_until 10 eval '[[ "$(e2e_tip)" == "Current - 0 KB" ]]'

e2e_log "choosing \"E&xit\""
e2e_check "the menu opens again" e2e_open_menu
e2e_click_menu_item 9 5  # "E&xit", the last item
e2e_check "the program ends" e2e_wait_until 15 e2e_runs 0
e2e_check "the icon is gone" eval '[[ -z "$(e2e_icon)" ]]'
e2e_expect_eq "today's stored totals were taken up and kept to the end" "4000 2000" \
  "$(e2e_stored Today IN) $(e2e_stored Today OUT)"
e2e_finish
