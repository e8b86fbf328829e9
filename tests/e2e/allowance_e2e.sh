#!/usr/bin/env bash
# A data plan of 0.10 GB, warned at 80 %: traffic over the loopback to about 90 % brings the early
# warning, more to 110 % the second; each is stored once for the billing month, so a restart
# brings neither again. The tip's second line gives the speed. Photographed for docs/.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

# The notification area's tips and balloons: "L T R B" of the first visible one, in 15 s.
balloons() { e2e_probe list | grep -F 'class="tooltips_class32"' | e2e_rect_of; }
wait_balloon() { e2e_wait_until 15 eval '[[ -n "$(balloons)" ]]' && balloons; }
# The text inside "L T R B", read from the screen as a person would, in one line.
read_screen() {
  e2e_crop "$1" 4 "$E2E_OUT/read.png" && convert "$E2E_OUT/read.png" -resize 300% "$E2E_OUT/read.png" &&
    tesseract "$E2E_OUT/read.png" - 2>/dev/null | tr '\n' ' '
}
# warning MB WHAT WORDS WARNED: MB more each way bring the warning WHAT, which reads WORDS (a
# pattern), and store WARNED; the balloon's place in $balloon.
warning() {
  e2e_check "$1 MB each way over the loopback" e2e_send_lo "$1"
  balloon=$(wait_balloon)
  e2e_check "$2 shows beside the notification area" test -n "$balloon"
  text=$(read_screen "$balloon")
  e2e_log "it reads: $text"
  e2e_check "it reads \"$3\"" grep -qE "$3" <<<"$text"
  e2e_check "\"WARNED\" is stored as \"$4\"" e2e_wait_until 5 eval "[[ \$(e2e_stored $E2E_MONTH WARNED) == $4 ]]"
}

e2e_count_only lo
e2e_reg_import <<REG
[HKEY_LOCAL_MACHINE\\Software\\Velquor Trafimo\\Settings]
"MonthlyAllowance"="107374182"
"AllowanceWarnAt"="80"
REG
e2e_start_counting
e2e_click_at 5 5 -

# Sent and echoed, a megabyte crosses the loopback four times: 22 MB are about 86 % of 0.10 GB. A
# tick carries up to a third of it, so the percent told is that of the tick that passed 80 %.
warning 22 "the early warning" "of your 0[.,]10 GB allowance \([89][0-9] ?%\)" 80
e2e_photograph "$balloon" 20 allowance-warning
e2e_wait_until 20 eval '[[ -z "$(balloons)" ]]'
warning 6 "the warning that the allowance is used up" "You have used all of your 0[.,]10 GB" 100

e2e_kill
e2e_start_counting "it starts again and counts"
e2e_check "a restart shows no warning again" eval '! e2e_wait_until 6 eval "[[ -n \"\$(balloons)\" ]]"'
e2e_expect_eq "and \"WARNED\" stays \"100\"" 100 "$(e2e_stored "$E2E_MONTH" WARNED)"

# Traffic while the mouse rests on the icon: its tip's second line gives the speed. (The shell
# hands another program the tip's first 80 characters: the third line is read in part.)
e2e_send_lo 60 12 &
tip_now() { e2e_tip_lines | sed -n 2,3p | tr '\n' '|'; }
e2e_check "the tip gives the speed in /s while traffic flows, then the month against the allowance" \
  e2e_wait_until 10 eval '[[ "$(tip_now)" =~ ^In\ [1-9][0-9.,]*\ [KMG]?B/s,\ Out\ [1-9][0-9.,]*\ [KMG]?B/s\|Month\ 0\.[0-9]+\ of\ 0\.10\ GB\ \( ]]'
e2e_log "the tip: $(e2e_tip_lines | tr '\n' '|')"
e2e_click_icon -
tip=$(wait_balloon)
e2e_check "hovering the icon shows it" test -n "$tip"
e2e_log "it reads: $(read_screen "$tip")"
e2e_photograph "$tip" 20 tray-tip
wait
e2e_finish
