#!/usr/bin/env bash
# A data plan of 0.10 GB, warned at 80 %: traffic over the loopback to about 90 % brings the early
# warning, more to 110 % the second; each is stored once for the billing month, so a restart
# brings neither again. The tip's second line gives the speed. Photographed for docs/. (The
# balloons' and the tip's texts are the data plan's native test's.)
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

# The notification area's tips and balloons: "L T R B" of the first visible one, in 15 s.
balloons() { e2e_probe list | grep -F 'class="tooltips_class32"' | e2e_rect_of; }
wait_balloon() { e2e_wait_until 15 eval '[[ -n "$(balloons)" ]]' && balloons; }
# warning MB WHAT WARNED: MB more each way bring the warning WHAT and store WARNED; the balloon's
# place in $balloon.
warning() {
  e2e_check "$1 MB each way over the loopback" e2e_send_lo "$1"
  balloon=$(wait_balloon)
  e2e_check "$2 shows beside the notification area, \"WARNED\" stored as \"$3\"" eval \
    "[[ -n \$balloon ]] && e2e_wait_until 5 eval '[[ \$(e2e_stored $E2E_MONTH WARNED) == $3 ]]'"
}

e2e_count_only lo
e2e_reg_import <<REG
[HKEY_LOCAL_MACHINE\\Software\\Velquor Trafimo\\Settings]
"MonthlyAllowance"="107374182"
"AllowanceWarnAt"="80"
REG
e2e_start_counting
e2e_click_at 5 5 -

# Sent and echoed, a megabyte crosses the loopback four times: 22 MB are about 86 % of 0.10 GB.
warning 22 "the early warning" 80
e2e_photograph "$balloon" 20 allowance-warning
e2e_wait_until 20 eval '[[ -z "$(balloons)" ]]'
warning 6 "the warning that the allowance is used up" 100

e2e_kill
e2e_start_counting "it starts again and counts"
e2e_check "a restart shows no warning again" eval '! e2e_wait_until 6 eval "[[ -n \"\$(balloons)\" ]]"'
e2e_expect_eq "and \"WARNED\" stays \"100\"" 100 "$(e2e_stored "$E2E_MONTH" WARNED)"

# Traffic while the mouse rests on the icon: its tip's second line gives the speed.
e2e_send_lo 60 12 &
e2e_check "the tip gives the speed in /s while traffic flows" e2e_wait_until 10 eval \
  '[[ "$(e2e_tip | sed -n 2p)" =~ ^In\ [1-9][0-9.,]*\ [KMG]?B/s,\ Out\ [1-9][0-9.,]*\ [KMG]?B/s$ ]]'
e2e_log "the tip: $(e2e_tip | tr '\n' '|')"
e2e_click_icon -
tip=$(wait_balloon)
e2e_check "hovering the icon shows it" test -n "$tip"
e2e_photograph "$tip" 20 tray-tip
wait
e2e_finish
