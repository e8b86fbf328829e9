#!/usr/bin/env bash
# The meter window as a person meets it: a left click on the tray icon opens it with the three
# totals at the bottom-right corner of the work area, and it is gone 5 to 6 seconds later; pinned,
# it stays, and comes back pinned at the next start; a drag by its title moves it; a swatch makes
# it transparent; the close button closes it; it follows a task bar that appears late.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

# Control ids of the meter's parts.
ID_LABEL1=1001 ID_SWATCH3=1005 ID_PIN=1008 ID_EXIT=1009 ID_NOW=1013 ID_TODAY=1014 ID_MONTH=1015
meter='class="TrafimoMeter"'
meter_rect() { e2e_window_rect "$meter"; }
meter_open() { [[ -n "$(meter_rect)" ]]; }
meter_closed() { [[ -z "$(meter_rect)" ]]; }
# "topmost=.. layered=.. transparent=.. alpha=.." of the meter window.
meter_style() { e2e_probe list | grep -F "$meter" | sed -E 's/.* (topmost=.*) rect=.*/\1/'; }
click_part() { e2e_click_control frmMessage "$1"; }
task_bar_top() { e2e_window_rect 'class="Shell_TrayWnd"' | cut -d' ' -f2; }
now() { date +%s.%N; }
seconds_since() { LC_ALL=C awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# Nothing counted, in a locale without leading zeros and with negatives in brackets: the byte
# texts still read "0.00 MB".
e2e_count_only ""
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Control Panel\International]
"iLZero"="0"
"iNegNumber"="0"
REG

e2e_log "start (/s)"
e2e_start /s
e2e_check "the tray icon appears" e2e_wait_until 40 eval '[[ -n "$(e2e_icon)" ]]'
e2e_check "no meter opens at the start when it was not left pinned" meter_closed

e2e_log "left click on the icon"
sleep 2
# shellcheck disable=SC2046
e2e_click_at $(e2e_icon_place) -
clicked=$(now)
xdotool click 1
e2e_check "the meter window opens" e2e_wait_until 5 meter_open
e2e_click_at 100 100 -  # no tip over the picture
# One look at windows and texts: the window lives only 5 to 6 seconds, and every probe costs a
# Wine start on a loaded machine.
windows=$(e2e_probe list) controls=$(e2e_probe controls frmMessage)
text_of() { grep "^id=$1 " <<<"$controls" | sed -E 's/.* text="([^"]*)".*/\1/'; }
read -r left top right bottom <<<"$(grep -F "$meter" <<<"$windows" | e2e_rect_of)"
taskbar_top=$(grep -F 'class="Shell_TrayWnd"' <<<"$windows" | e2e_rect_of | cut -d' ' -f2)
e2e_log "meter at $left,$top-$right,$bottom; task bar from y=$taskbar_top"
e2e_expect_eq "it is 4050 x 885 twips (270 x 59 pixels at 96 DPI)" "270x59" \
  "$((right - left))x$((bottom - top))"
e2e_expect_eq "its bottom is on the work area's bottom, above the task bar" "$taskbar_top" "$bottom"
e2e_expect_eq "its right edge is 250 twips (17 pixels) in from the desktop's right" "1007" "$right"
e2e_expect_eq "it is topmost and opaque" "topmost=1 layered=0 transparent=0 alpha=-" \
  "$(grep -F "$meter" <<<"$windows" | sed -E 's/.* (topmost=.*) rect=.*/\1/')"
e2e_expect_eq "it shows the three totals with a leading zero, whatever the locale says" \
  "0.00 MB|0.00 MB|0.00 MB" "$(text_of $ID_NOW)|$(text_of $ID_TODAY)|$(text_of $ID_MONTH)"
e2e_expect_eq "under the header \"This Month\"" "This Month" "$(text_of 1012)"
e2e_photograph "$meter" level0 20
# The checks above take a varying time on a loaded machine: wait out what is left of 4 s.
sleep "$(LC_ALL=C awk -v e="$(seconds_since "$clicked")" 'BEGIN { r = 4.0 - e; print (r > 0 ? r : 0) }')"
open_at=$(seconds_since "$clicked")
e2e_check "it is still open 4 seconds after the click (${open_at} s)" meter_open
e2e_probe gone frmMessage TrafimoMeter 10 >/dev/null
elapsed=$(seconds_since "$clicked")
e2e_check "it is gone 5 to 6 seconds after the click (${elapsed} s, probe delay included)" \
  eval 'LC_ALL=C awk -v x="$elapsed" "BEGIN { exit !(x >= 5.0 && x <= 6.8) }"'
e2e_expect_eq "closing by itself stores \"visible\" as \"False\"" "False" "$(e2e_stored screen visible)"

e2e_log "open, pin, drag, make transparent"
e2e_click_icon 1
e2e_check "the meter opens again" e2e_wait_until 5 meter_open
click_part $ID_PIN
e2e_check "the pin stores \"visible\" as \"True\"" \
  e2e_wait_until 5 eval '[[ "$(e2e_stored screen visible)" == True ]]'
sleep 8
e2e_check "pinned, it is still open 8 seconds later" meter_open

read -r left top _ _ <<<"$(meter_rect)"
read -r ox oy <<<"$(e2e_desktop_origin)"
read -r l t r b <<<"$(e2e_control frmMessage $ID_LABEL1 | e2e_rect_of)"
x=$((ox + (l + r) / 2)) y=$((oy + (t + b) / 2))
xdotool mousemove $x $y sleep 0.3 mousedown 1 sleep 0.2
for step in 1 2 3 4 5; do xdotool mousemove $((x - 60 * step)) $((y - 40 * step)) sleep 0.1; done
xdotool sleep 0.3 mouseup 1 sleep 0.5
read -r moved_left moved_top _ _ <<<"$(meter_rect)"
e2e_expect_eq "a drag by the title moves it by the mouse's travel" \
  "$((left - 300)),$((top - 200))" "$moved_left,$moved_top"

click_part $ID_SWATCH3
e2e_click_at 100 100 -
e2e_check "the third swatch stores the level \"3\"" \
  e2e_wait_until 5 eval '[[ "$(e2e_stored Transparency TransLevel)" == 3 ]]'
e2e_expect_eq "the meter is layered with alpha 130" "topmost=1 layered=1 transparent=0 alpha=130" \
  "$(meter_style)"
e2e_photograph "$meter" level3 20

# A virtual desktop without EnableShell shows its task bar only once the tray icon is added,
# after the pinned meter was placed: the meter follows the work area up.
e2e_log "end the program while pinned; start again on a desktop whose task bar appears late"
e2e_check "the program ends" e2e_kill
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\trafimo]
"EnableShell"=dword:00000000
REG
e2e_restart_wineserver  # the desktop is made anew, without its shell
e2e_start /s
e2e_check "the pinned meter comes back at the start" e2e_wait_until 40 meter_open
opened=$(now)
e2e_expect_eq "at the stored level 3" "topmost=1 layered=1 transparent=0 alpha=130" "$(meter_style)"
e2e_check "the task bar appears" e2e_wait_until 20 eval '[[ -n "$(task_bar_top)" ]]'
at_the_corner() { read -r _ _ right bottom <<<"$(meter_rect)" && [[ "$right,$bottom" == "1007,$(task_bar_top)" ]]; }
e2e_check "within a few seconds it is at the new work area's corner, above the task bar" \
  e2e_wait_until 5 at_the_corner
e2e_log "meter $(meter_rect), task bar top $(task_bar_top)"
sleep "$(LC_ALL=C awk -v e="$(seconds_since "$opened")" 'BEGIN { r = 7.0 - e; print (r > 0 ? r : 0) }')"
e2e_check "pinned, it stays open ($(seconds_since "$opened") s)" meter_open

e2e_log "the close button"
click_part $ID_EXIT
e2e_check "a click on the close button closes it" e2e_wait_until 5 meter_closed
e2e_expect_eq "and stores \"visible\" as \"False\"" "False" "$(e2e_stored screen visible)"
e2e_finish
