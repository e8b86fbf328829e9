#!/usr/bin/env bash
# A first start from a folder code page 1252 cannot spell: a second start refused, start with
# Windows chosen by a click, its entry naming the folder exactly. The meter as a person meets it;
# started at logon with the meter left pinned, the program leaves the keyboard to the window in
# front. The about window.
export LC_ALL=C.UTF-8  # the folder's name reaches Wine as UTF-8
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

ID_ALWAYS_RUN=301 ID_APP=412 ID_LINK=413 ID_LABEL1=1001 ID_SWATCH3=1005 ID_NOW=1013
folder='C:\users\Public\测试 Трафимо' notepad="Untitled - Notepad" message="Velquor Trafimo"
E2E_PROGRAM="$folder\\trafimo.exe"
mkdir -p "$E2E_PREFIX/drive_c/users/Public/测试 Трафимо" && cp "$E2E_EXE" "$_" || exit 1

e2e_check "an adapter beside the loopback" e2e_veth trv0 1
e2e_start
e2e_check "a start without arguments shows the \"Settings\" dialog" e2e_probe wait Settings TrafimoSettings 40
first_pid=$(e2e_program_pids) && e2e_start /s
e2e_check "a second start's message, closed by OK, ends the second copy; the first runs on" eval \
  'e2e_probe wait "$message" "#32770" 30 && e2e_click_control "$message" OK && e2e_wait_until 20 eval "[[ \$(e2e_program_pids) == $first_pid ]]"'
e2e_click_at 5 5 -  # the mouse away
e2e_photograph "$(e2e_window_rect 'class="TrafimoSettings"')" 20 settings-dialog
e2e_click_control Settings $ID_ALWAYS_RUN
e2e_settings_ok
# "reg query" speaks code page 1252: the entry is read from "reg export", in UTF-16.
wine reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' "$(winepath -w "$E2E_OUT/run.reg" 2>/dev/null)" /y >/dev/null 2>&1 </dev/null
e2e_expect_eq "the start-up entry names the folder exactly" "\"$folder\\trafimo\" /s" \
  "$(iconv -f UTF-16 -t UTF-8 "$E2E_OUT/run.reg" | perl -0777 -CO -MEncode -ne \
    '/^"Velquor Trafimo"=hex\(2\):([0-9a-f,\\\s]*)/m && print decode("UTF-16LE", pack("H*", $1 =~ s/[^0-9a-f]//gr)) =~ s/\0//r')"

# The meter, nothing counted, in a locale without leading zeros and with bracketed negatives.
meter='class="TrafimoMeter"'
meter_rect() { e2e_window_rect "$meter"; }
meter_open() { [[ -n "$(meter_rect)" ]]; }
meter_alpha() { e2e_probe list | grep -F "$meter" | sed -E 's/.* alpha=([-0-9]+) .*/\1/'; }
seconds_since() { LC_ALL=C awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }
sleep_until() { sleep "$(LC_ALL=C awk -v e="$(seconds_since "$1")" -v s="$2" 'BEGIN { print (e < s ? s - e : 0) }')"; }
e2e_kill
e2e_count_only ""
printf '[HKEY_CURRENT_USER\\Control Panel\\International]\n"iLZero"="0"\n"iNegNumber"="0"\n' | e2e_reg_import
e2e_start /s
e2e_check "the tray icon appears, and no meter" e2e_wait_until 40 eval '[[ -n "$(e2e_icon)" && -z "$(meter_rect)" ]]'
sleep 2
e2e_click_icon - && clicked=$(date +%s.%N) && xdotool click 1
e2e_check "a click on it opens the meter window" e2e_wait_until 5 meter_open
e2e_click_at 100 100 -  # no tip over it
e2e_expect_eq "it shows Now with a leading zero, whatever the locale says" "0.00 MB" "$(e2e_control_text frmMessage $ID_NOW)"
e2e_check "it is still open 4 seconds after the click" eval 'sleep_until "$clicked" 4; meter_open'
e2e_probe gone frmMessage TrafimoMeter 10; elapsed=$(seconds_since "$clicked")
e2e_check "it is gone 5 to 6 seconds after the click (${elapsed} s, probe delay included)" \
  eval 'LC_ALL=C awk -v x="$elapsed" "BEGIN { exit !(x >= 5.0 && x <= 6.8) }"'

# At logon: Notepad has the keyboard when the program starts with its meter left pinned, at level
# 3; without EnableShell the task bar appears once the icon is added, after the meter was placed.
e2e_kill
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\trafimo]
"EnableShell"=dword:00000000
[HKEY_CURRENT_USER\Software\Trafimo\screen]
"visible"="True"
[HKEY_CURRENT_USER\Software\Trafimo\Transparency]
"TransLevel"="3"
REG
e2e_restart_wineserver  # the desktop is made anew, without its shell
E2E_PROGRAM=notepad e2e_start
e2e_check "Notepad opens" e2e_probe wait "$notepad" "" 30
e2e_click_control "$notepad" 0  # its text box
e2e_check "Notepad has the keyboard" e2e_wait_until 5 eval 'e2e_probe list | grep -qF "title=\"$notepad\" alpha=- foreground=1 "'
e2e_start /s
e2e_check "the pinned meter comes back at the start, transparent (alpha 130)" e2e_wait_until 40 eval '[[ "$(meter_alpha)" == 130 ]]'
opened=$(date +%s.%N)
e2e_check "when the task bar appears, the meter moves to the work area's corner: 17 pixels in, on it" e2e_wait_until 20 eval \
  '[[ "$(meter_rect | cut -d" " -f3,4)" == "1007 $(e2e_window_rect class=\"Shell_TrayWnd\" | cut -d" " -f2)" ]]'
xdotool type --delay 50 "typed on"
e2e_expect_eq "what is typed goes on into Notepad" "typed on" "$(e2e_control_text "$notepad" 0)"
sleep_until "$opened" 7
e2e_check "pinned, it stays open ($(seconds_since "$opened") s)" meter_open

e2e_check "the tray menu's \"&About Velquor Trafimo\" opens the about window" eval \
  'e2e_menu 0 0 && e2e_probe wait "About Velquor Trafimo"'
sleep 1
e2e_expect_eq "it names the product, its version and its page" \
  "Velquor Trafimo 1.3|www.velquor.example/trafimo/" \
  "$(e2e_control_text "About Velquor Trafimo" $ID_APP)|$(e2e_control_text "About Velquor Trafimo" $ID_LINK)"
e2e_photograph "$(e2e_window_rect 'title="About Velquor Trafimo"')" 0 about

# The README's meter pictures: a compositing manager shows the alpha of a layered window, and only
# of a top-level X window, so the program runs without Wine's desktop, above a window with text.
if [[ -n "${TRAFIMO_UPDATE_DOCS:-}" ]]; then
  e2e_kill
  e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"=-
[HKEY_CURRENT_USER\Software\Trafimo\screen]
"visible"="True"
[HKEY_CURRENT_USER\Software\Trafimo\Transparency]
"TransLevel"="0"
REG
  e2e_restart_wineserver
  xcompmgr -n >/dev/null 2>&1 & _e2e_started+=($!)
  for line in $(seq 14); do echo "The window behind the meter, line $line: its text shows through a transparent meter"; done |
    xmessage -bg '#fff3b0' -fg black -geometry +760+780 -buttons '' -file - >/dev/null 2>&1 & _e2e_started+=($!)
  wine "$E2E_PROGRAM" /s >"$E2E_OUT/program.log" 2>&1 </dev/null & _e2e_started+=($!)
  e2e_check "the pinned meter opens on the screen's own desktop" e2e_wait_until 40 meter_open
  e2e_click_control frmMessage $ID_LABEL1 - && xdotool mousedown 1 sleep 0.2 mousemove_relative -- -150 -120 sleep 0.3 mouseup 1 sleep 0.5
  e2e_click_at 5 5 -
  e2e_check "the opaque meter is photographed" e2e_photograph "$(meter_rect)" 20 meter-level0
  e2e_click_control frmMessage $ID_SWATCH3 && e2e_click_at 5 5 -
  e2e_check "the meter at level 3 is photographed" eval \
    'e2e_wait_until 5 eval "[[ \$(meter_alpha) == 130 ]]" && sleep 1 && e2e_photograph "$(meter_rect)" 20 meter-level3'
fi
e2e_finish
