#!/usr/bin/env bash
# The meter as a person meets it: opened at the work area's corner by a click on the icon, gone
# 5 to 6 s later unless pinned, dragged, made transparent, following a late task bar, closed;
# photographed for docs/ with TRAFIMO_UPDATE_DOCS=1.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

ID_LABEL1=1001 ID_SWATCH3=1005 ID_PIN=1008 ID_EXIT=1009 ID_NOW=1013 ID_TODAY=1014 ID_MONTH=1015
meter='class="TrafimoMeter"'
meter_rect() { e2e_window_rect "$meter"; }
meter_open() { [[ -n "$(meter_rect)" ]]; }
meter_alpha() { e2e_probe list | grep -F "$meter" | sed -E 's/.* alpha=([-0-9]+) .*/\1/'; }
task_bar_top() { e2e_window_rect 'class="Shell_TrayWnd"' | cut -d' ' -f2; }
at_the_corner() { [[ "$(meter_rect | cut -d' ' -f3,4)" == "1007 $(task_bar_top)" ]]; }
seconds_since() { LC_ALL=C awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

# Nothing counted, in a locale without leading zeros and with bracketed negatives: "0.00 MB".
e2e_count_only ""
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Control Panel\International]
"iLZero"="0"
"iNegNumber"="0"
REG
e2e_start /s
e2e_check "the tray icon appears, and no meter" e2e_wait_until 40 eval '[[ -n "$(e2e_icon)" && -z "$(meter_rect)" ]]'

sleep 2
e2e_click_icon -
clicked=$(date +%s.%N)
xdotool click 1
e2e_check "the meter window opens" e2e_wait_until 5 meter_open
e2e_click_at 100 100 -  # no tip over the picture
# One look at the texts: the window lives only 5 to 6 seconds.
controls=$(e2e_probe controls frmMessage)
text_of() { grep "^id=$1 " <<<"$controls" | sed -E 's/.* text="([^"]*)".*/\1/'; }
e2e_check "it is at the work area's corner: 17 pixels in from the right, on the task bar" at_the_corner
e2e_expect_eq "it shows the three totals with a leading zero, whatever the locale says" \
  "0.00 MB|0.00 MB|0.00 MB" "$(text_of $ID_NOW)|$(text_of $ID_TODAY)|$(text_of $ID_MONTH)"
e2e_photograph "$meter" level0 20
e2e_check "it is still open 4 seconds after the click" eval \
  'sleep "$(LC_ALL=C awk -v e="$(seconds_since "$clicked")" "BEGIN { print (e < 4 ? 4 - e : 0) }")"; meter_open'
e2e_probe gone frmMessage TrafimoMeter 10 >/dev/null
elapsed=$(seconds_since "$clicked")
e2e_check "it is gone 5 to 6 seconds after the click (${elapsed} s, probe delay included)" \
  eval 'LC_ALL=C awk -v x="$elapsed" "BEGIN { exit !(x >= 5.0 && x <= 6.8) }"'

e2e_click_icon 1
e2e_check "the meter opens again" e2e_wait_until 5 meter_open
e2e_click_control frmMessage $ID_PIN
e2e_check "the pin stores \"visible\" as \"True\"" e2e_wait_until 5 eval '[[ "$(e2e_stored screen visible)" == True ]]'
sleep 8
e2e_check "pinned, it is still open 8 seconds later" meter_open
read -r left top _ _ <<<"$(meter_rect)"
# shellcheck disable=SC2046
e2e_click_centre $(e2e_control frmMessage $ID_LABEL1 | e2e_rect_of) - && xdotool mousedown 1 sleep 0.2
for _ in 1 2 3 4 5; do xdotool mousemove_relative -- -60 -40 sleep 0.1; done
xdotool sleep 0.3 mouseup 1 sleep 0.5
e2e_expect_eq "a drag by the title moves it by the mouse's travel" \
  "$((left - 300)) $((top - 200))" "$(meter_rect | cut -d' ' -f1,2)"
e2e_click_control frmMessage $ID_SWATCH3
e2e_click_at 100 100 -
e2e_check "the third swatch makes it transparent (alpha 130)" e2e_wait_until 5 eval '[[ "$(meter_alpha)" == 130 ]]'
e2e_photograph "$meter" level3 20

# Without EnableShell the task bar appears once the icon is added, after the meter was placed.
e2e_check "the program ends" e2e_kill
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\trafimo]
"EnableShell"=dword:00000000
REG
e2e_restart_wineserver  # the desktop is made anew, without its shell
e2e_start /s
e2e_check "the pinned meter comes back at the start, transparent" e2e_wait_until 40 eval '[[ "$(meter_alpha)" == 130 ]]'
opened=$(date +%s.%N)
e2e_check "when the task bar appears, the meter moves to the new work area's corner" \
  e2e_wait_until 20 at_the_corner
sleep "$(LC_ALL=C awk -v e="$(seconds_since "$opened")" 'BEGIN { print (e < 7 ? 7 - e : 0) }')"
e2e_check "pinned, it stays open ($(seconds_since "$opened") s)" meter_open
e2e_click_control frmMessage $ID_EXIT
e2e_check "a click on the close button closes it" e2e_wait_until 5 eval '! meter_open'
e2e_expect_eq "and stores \"visible\" as \"False\"" "False" "$(e2e_stored screen visible)"

# The README's pictures: a compositing manager shows the alpha of a layered window, and only of
# a top-level X window, so the program runs without Wine's desktop, above a window with text.
if [[ -n "${TRAFIMO_UPDATE_DOCS:-}" ]]; then
  e2e_check "the program ends" e2e_kill
  e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"=-
[HKEY_CURRENT_USER\Software\Trafimo\screen]
"visible"="True"
[HKEY_CURRENT_USER\Software\Trafimo\Transparency]
"TransLevel"="0"
REG
  e2e_restart_wineserver
  xcompmgr -n >/dev/null 2>&1 &
  _e2e_started+=($!)
  for line in $(seq 14); do echo "The window behind the meter, line $line: its text shows through a transparent meter"; done |
    xmessage -bg '#fff3b0' -fg black -geometry +760+780 -buttons '' -file - >/dev/null 2>&1 &
  _e2e_started+=($!)
  wine "$E2E_PROGRAM" /s >"$E2E_OUT/program.log" 2>&1 </dev/null &
  _e2e_started+=($!)
  e2e_check "the pinned meter opens on the screen's own desktop" e2e_wait_until 40 meter_open
  # shellcheck disable=SC2046
  e2e_click_centre $(e2e_control frmMessage $ID_LABEL1 | e2e_rect_of) - && xdotool mousedown 1 sleep 0.2
  for _ in 1 2 3; do xdotool mousemove_relative -- -50 -40 sleep 0.1; done
  xdotool sleep 0.3 mouseup 1 sleep 0.5
  e2e_click_at 5 5 -
  e2e_check "the opaque meter is photographed" e2e_photograph "$meter" meter-level0 20 doc
  e2e_click_control frmMessage $ID_SWATCH3
  e2e_click_at 5 5 -
  e2e_check "the meter at level 3 is photographed" eval \
    'e2e_wait_until 5 eval "[[ \$(meter_alpha) == 130 ]]" && sleep 1 && e2e_photograph "$meter" meter-level3 20 doc'
fi
e2e_finish
