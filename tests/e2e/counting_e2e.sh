#!/usr/bin/env bash
# Every byte once, on real interfaces: more than 10^9 bytes a second, the program frozen while
# more than 2^32 bytes cross, an adapter made again while it is frozen, one appearing while traffic
# flows, a new month start day from the settings dialog, a new adapter joining an automatic
# selection: each time Today and the month grow by exactly what the counted interfaces moved.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

# send_far NET MB [SECONDS]: MB each way to the echo server at the far end of the veth on 10.77.NET.
send_far() { python3 "$E2E_TRAFFIC" send "10.77.$1.2" 9000 "${@:2}" >"$E2E_OUT/send.log"; }
# frozen COMMAND...: the command runs while the program is stopped, for 8 s or as long as it takes.
frozen() {
  local pid status && pid=$(e2e_program_pids) && kill -STOP "$pid" || return 1
  "$@" & sleep 8; wait $!; status=$?; kill -CONT "$pid"; return $status
}
# Fast: more than 10^9 bytes In + Out a second, which the sender's report shows.
fast_lo() { e2e_send_lo 2500 && LC_ALL=C awk -F'[= ]' '{ exit !($2 * 4 / $4 > 1e9) }' "$E2E_OUT/send.log"; }
# Made again with its old index, as a driver re-initialised after sleep: one row whose counters
# restarted from 0; then 10 MB each way.
remake_trv0() { local index && index=$(</sys/class/net/trv0/ifindex) && ip link del trv0 && e2e_veth trv0 1 "$index" && send_far 1 10; }
# trv1 appears 2 s into 6 s of 200 MB/s over the loopback, and carries 20 MB once it is there.
appear_trv1() { e2e_send_lo 1200 6 & local sender=$!; sleep 2 && e2e_veth trv1 2 && sleep 2 && send_far 2 20 && wait "$sender"; }

e2e_check "an adapter beside the loopback" e2e_veth trv0 1
e2e_count_only lo,trv0,trv1
E2E_COUNTED=(lo trv0 trv1)
e2e_start_counting
e2e_check "the loopback and trv0 carry traffic first" eval 'e2e_send_lo 20 && send_far 1 200'

e2e_measure "2.5 GB each way over the loopback, more than 10^9 bytes a second" fast_lo
e2e_measure "frozen 8 s while 2.5 GB crossed each way (more than 2^32)" frozen e2e_send_lo 2500
E2E_FRESH=trv0 e2e_measure "trv0 made again while frozen, then 10 MB each way" frozen remake_trv0
e2e_measure "trv1 appears while the loopback carries 200 MB/s" appear_trv1

# A new month start day from the settings dialog, opened from the tray menu by real clicks.
today=$(date +%-d) && day=$((today < 28 ? today + 1 : 28))
e2e_check "the menu's \"Settings...\" opens the settings dialog" eval 'e2e_menu 1 1 && e2e_probe wait Settings TrafimoSettings'
e2e_type_into Settings 303 "$day"
e2e_settings_ok
E2E_MONTH=$(e2e_month_section "$day")
e2e_check "the next ticks write the billing month that began on day $day ($E2E_MONTH)" \
  e2e_wait_until 10 eval '[[ -n "$(e2e_stored "$E2E_MONTH" IN)" ]]'
e2e_measure "start day $day: traffic over trv0 counted in $E2E_MONTH" send_far 1 30

# A first run chooses the veths, automatically; a veth made later joins and is counted.
e2e_kill
wine reg delete "$E2E_SETTINGS" /f >/dev/null 2>&1 </dev/null
e2e_start /s
chosen() { [[ "$(e2e_reg "$E2E_SETTINGS" Interface)|$(e2e_reg "$E2E_SETTINGS" AutomaticInterfaces)" == "REG_EXPAND_SZ ,$1|REG_EXPAND_SZ 1" ]]; }
e2e_check "a first run chooses the veths, not the loopback, automatically" e2e_wait_until 40 chosen trv0,trv1
e2e_check "a dock's adapter: trv2 appears" e2e_veth trv2 3
e2e_check "it joins the automatic selection" e2e_wait_until 10 chosen trv0,trv1,trv2
E2E_COUNTED=(trv0 trv1 trv2) E2E_MONTH=$(e2e_month_section)
e2e_measure "30 MB each way over trv2" send_far 3 30
e2e_finish
