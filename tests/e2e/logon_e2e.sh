#!/usr/bin/env bash
# Someone whose folder code page 1252 cannot spell (the program in "测试 Трафимо"): start with
# Windows turned on by clicks stores that folder exactly; started at logon with the meter left
# pinned, the program leaves the keyboard to the window in front; the about window names the
# product and its version.
export LC_ALL=C.UTF-8  # the folder's name reaches Wine as UTF-8
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

ID_ALWAYS_RUN=301 ID_OK=1 ID_APP=412
folder='C:\users\Public\测试 Трафимо' notepad="Untitled - Notepad"
E2E_PROGRAM="$folder\\trafimo.exe"
mkdir -p "$E2E_PREFIX/drive_c/users/Public/测试 Трафимо" &&
  cp "$E2E_EXE" "$E2E_PREFIX/drive_c/users/Public/测试 Трафимо/" || exit 1

e2e_start
e2e_check "a start from the folder shows the \"Settings\" dialog" e2e_wait_window Settings TrafimoSettings 40
e2e_click_control Settings $ID_ALWAYS_RUN
e2e_click_control Settings $ID_OK
e2e_check "OK closes the dialog" e2e_wait_window_gone Settings TrafimoSettings 15
e2e_expect_eq "the start-up entry names the folder exactly" "\"$folder\\trafimo\" /s" \
  "$(e2e_reg_expand_sz 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' 'Velquor Trafimo')"
e2e_check "the program ends" e2e_kill

# At logon: another window has the keyboard when the program starts with its meter left pinned.
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Trafimo\screen]
"visible"="True"
REG
wine explorer /desktop=trafimo,1024x768 notepad >/dev/null 2>&1 </dev/null &
_e2e_started+=($!)
e2e_check "Notepad opens" e2e_wait_window "$notepad" "" 30
# shellcheck disable=SC2046
e2e_click_centre $(e2e_window_rect "title=\"$notepad\"")
in_front() { e2e_probe foreground | grep -qF "title=\"$notepad\""; }
e2e_check "Notepad has the keyboard" e2e_wait_until 5 in_front
e2e_start /s
e2e_check "the pinned meter opens" \
  e2e_wait_until 40 eval '[[ -n "$(e2e_window_rect class=\"TrafimoMeter\")" ]]'
sleep 1
e2e_check "Notepad still has the keyboard" in_front
xdotool type --delay 50 "typed on"
e2e_expect_eq "what is typed goes on into Notepad" "typed on" \
  "$(e2e_probe controls "$notepad" | sed -n 's/^id=[0-9-]* class="Edit" text="\(.*\)" rect=.*/\1/p')"

e2e_check "the tray menu opens: \"&About Velquor Trafimo\"" eval 'e2e_open_menu && e2e_click_menu_item 0 0'
e2e_check "the about window opens" e2e_wait_window "About Velquor Trafimo" "" 20
e2e_expect_eq "it names the product and its version" "Velquor Trafimo 1.3" \
  "$(e2e_control_text "About Velquor Trafimo" $ID_APP)"
e2e_finish
