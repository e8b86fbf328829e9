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
# crop "L T R B" MARGIN FILE: that part of the desktop, with a margin, as a picture.
crop() {
  local l t r b ox oy m=$2
  read -r l t r b <<<"$1" && read -r ox oy <<<"$(e2e_desktop_origin)" &&
    import -window root -display "$DISPLAY" -crop "$((r - l + 2 * m))x$((b - t + 2 * m))+$((ox + l - m))+$((oy + t - m))" \
      +repage "$3" 2>/dev/null
}
# The text inside "L T R B", read from the screen as a person would, in one line.
read_screen() {
  crop "$1" 4 "$E2E_OUT/read.png" && convert "$E2E_OUT/read.png" -resize 300% "$E2E_OUT/read.png" &&
    tesseract "$E2E_OUT/read.png" - 2>/dev/null | tr '\n' ' '
}
# photograph_area NAME "L T R B": that part of the desktop as docs/NAME.png (TRAFIMO_UPDATE_DOCS).
photograph_area() {
  crop "$2" 20 "$E2E_OUT/$1.png" && e2e_log "picture: $E2E_OUT/$1.png"
  [[ -z "${TRAFIMO_UPDATE_DOCS:-}" ]] || cp "$E2E_OUT/$1.png" "$E2E_SOURCE/docs/$1.png"
}
wait_balloon() {
  local seen && seen=$(e2e_wait_until 15 eval '[[ -n "$(balloons)" ]]' && balloons | head -n1) &&
    [[ -n "$seen" ]] && echo "$seen"
}
# warning MB WHAT WORDS WARNED: MB more each way over the loopback bring the warning WHAT, which
# reads WORDS (a pattern), and store WARNED.
warning() {
  local balloon text
  e2e_check "$1 MB each way over the loopback" send "$1"
  balloon=$(wait_balloon)
  e2e_check "$2 shows beside the notification area" test -n "$balloon"
  text=$(read_screen "$balloon")
  e2e_log "it reads: $text"
  e2e_check "it reads \"$3\"" grep -qE "$3" <<<"$text"
  e2e_check "\"WARNED\" is stored as \"$4\"" e2e_wait_until 5 eval "[[ \$(e2e_stored $month WARNED) == $4 ]]"
  WARNING_AREA=$balloon
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

# Sent and echoed, a megabyte crosses the loopback four times: 22 MB are about 86 % of 0.10 GB.
warning 22 "the early warning" "of your 0[.,]10 GB allowance \(8[0-9] ?%\)" 80
photograph_area allowance-warning "$WARNING_AREA"
e2e_wait_until 20 eval '[[ -z "$(balloons)" ]]'
warning 6 "the warning that the allowance is used up" "You have used all of your 0[.,]10 GB" 100

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
