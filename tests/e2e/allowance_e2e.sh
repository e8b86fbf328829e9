#!/usr/bin/env bash
# A data plan of 0.10 GB, warned at 80 %: traffic over the loopback to about 90 % brings the early
# warning, more to 110 % the second; each is stored once for the billing month, so a restart
# brings neither again. The tip's second line gives the speed. Photographed for docs/.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

settings='HKLM\Software\Velquor Trafimo\Settings' month=$(e2e_month_section)
send() { python3 "$E2E_SOURCE/tests/e2e/tools/traffic.py" send 127.0.0.1 0 "$1" >/dev/null; }
# The notification area's tips and balloons: "L T R B" of each visible one.
balloons() { e2e_probe list | grep -F 'class="tooltips_class32"' | e2e_rect_of; }
# The text of the screen inside "L T R B" (with a margin), read as a person would, in one line.
read_screen() {
  local l t r b ox oy
  read -r l t r b <<<"$1" && read -r ox oy <<<"$(e2e_desktop_origin)"
  import -window root -display "$DISPLAY" -crop "$((r - l + 8))x$((b - t + 8))+$((ox + l - 4))+$((oy + t - 4))" \
    +repage -resize 300% "$E2E_OUT/read.png" 2>/dev/null && tesseract "$E2E_OUT/read.png" - 2>/dev/null | tr '\n' ' '
}
# e2e_photograph_area NAME "L T R B": that part of the desktop as a picture for docs/.
photograph_area() {
  local l t r b ox oy
  read -r l t r b <<<"$2" && read -r ox oy <<<"$(e2e_desktop_origin)"
  import -window root -display "$DISPLAY" -crop "$((r - l + 40))x$((b - t + 40))+$((ox + l - 20))+$((oy + t - 20))" \
    +repage "$E2E_OUT/$1.png" 2>/dev/null && e2e_log "picture: $E2E_OUT/$1.png"
  [[ -z "${TRAFIMO_UPDATE_DOCS:-}" ]] || cp "$E2E_OUT/$1.png" "$E2E_SOURCE/docs/$1.png"
}
wait_balloon() {
  local seen && seen=$(e2e_wait_until 15 eval '[[ -n "$(balloons)" ]]' && balloons | head -n1) &&
    [[ -n "$seen" ]] && echo "$seen"
}

e2e_count_only lo
e2e_reg_import <<REG
[HKEY_LOCAL_MACHINE\\Software\\Velquor Trafimo\\Settings]
"MonthlyAllowance"="107374182"
"AllowanceWarnAt"="80"
REG
e2e_start /s
e2e_check "the program counts (its tip shows Now)" e2e_wait_until 40 eval '[[ "$(e2e_tip)" == "Current - "* ]]'
e2e_click_at 5 5 -

# 22 MB sent and echoed cross the loopback four times: about 86 % of 0.10 GB.
e2e_check "22 MB each way over the loopback" send 22
balloon=$(wait_balloon)
e2e_check "the early warning shows beside the notification area" test -n "$balloon"
text=$(read_screen "$balloon")
e2e_log "it reads: $text"
e2e_check "it tells of the allowance" grep -q "allowance" <<<"$text"
e2e_check "and how much of it is used (8x %)" grep -qE "\(8[0-9] ?%\)" <<<"$text"
photograph_area allowance-warning "$balloon"
e2e_check "\"WARNED\" is stored as \"80\"" e2e_wait_until 5 eval '[[ "$(e2e_stored "$month" WARNED)" == 80 ]]'
e2e_wait_until 20 eval '[[ -z "$(balloons)" ]]'

e2e_check "6 MB more each way: about 110 %" send 6
balloon=$(wait_balloon)
e2e_check "the warning that the allowance is used up shows" test -n "$balloon"
text=$(read_screen "$balloon")
e2e_log "it reads: $text"
e2e_check "it says all of it is used" grep -q "used all" <<<"$text"
e2e_check "\"WARNED\" is stored as \"100\"" e2e_wait_until 5 eval '[[ "$(e2e_stored "$month" WARNED)" == 100 ]]'

e2e_check "the program ends" e2e_kill
e2e_start /s
e2e_check "it starts again and counts" e2e_wait_until 40 eval '[[ "$(e2e_tip)" == "Current - "* ]]'
e2e_check "a restart shows no warning again" eval '! e2e_wait_until 6 eval "[[ -n \"\$(balloons)\" ]]"'
e2e_expect_eq "and \"WARNED\" stays \"100\"" 100 "$(e2e_stored "$month" WARNED)"

# Traffic while the mouse rests on the icon: its tip's second line gives the speed. (The shell
# hands another program the tip's first 80 characters: the third line is read in part.)
python3 "$E2E_SOURCE/tests/e2e/tools/traffic.py" send 127.0.0.1 0 60 12 >/dev/null &
tip_now() { e2e_tip_lines | sed -n 2,3p | tr '\n' '|'; }
e2e_check "the tip gives the speed in /s while traffic flows, then the month against the allowance" \
  e2e_wait_until 10 eval '[[ "$(tip_now)" =~ ^In\ [1-9][0-9.,]*\ [KMG]?B/s,\ Out\ [1-9][0-9.,]*\ [KMG]?B/s\|Month\ 0\.[0-9]+\ of\ 0\.10\ GB\ \( ]]'
e2e_log "the tip: $(e2e_tip_lines | tr '\n' '|')"
e2e_click_icon -
tip=$(wait_balloon)
e2e_check "hovering the icon shows it" test -n "$tip"
e2e_log "it reads: $(read_screen "$tip")"
photograph_area tray-tip "$tip"
wait
e2e_finish
