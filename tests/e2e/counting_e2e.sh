#!/usr/bin/env bash
# Every byte once, on real interfaces: more than 10^9 bytes a second, the program frozen while
# more than 2^32 bytes cross, an adapter made again while it is frozen, an adapter appearing while
# traffic flows, a new month start day from the settings dialog, and a new adapter joining an
# automatic selection. Each time Today grows by exactly what the counters of the counted
# interfaces moved.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

ID_MONTH_START_DAY=303 ID_OK=1
TRAFFIC=$E2E_SOURCE/tests/e2e/tools/traffic.py
settings='HKLM\Software\Velquor Trafimo\Settings'
# serve_far NET: an echo server at the far end of the veth on 10.77.NET (one at a time per NET).
serve_far() {
  local pid
  for pid in $(ip netns pids "$E2E_FAR"); do
    grep -qa "serve.10.77.$1.2" "/proc/$pid/cmdline" && kill "$pid"
  done
  ip netns exec "$E2E_FAR" python3 "$TRAFFIC" serve "10.77.$1.2" 9000 >/dev/null 2>&1 &
  _e2e_started+=($!)
  e2e_wait_until 10 eval "ip netns exec $E2E_FAR ss -ltn | grep -q 10.77.$1.2:9000"
}
send_lo() { python3 "$TRAFFIC" send 127.0.0.1 0 "$@" >"$E2E_OUT/send.log"; }
send_far() { python3 "$TRAFFIC" send "10.77.$1.2" 9000 "${@:2}" >"$E2E_OUT/send.log"; }

# The counted interfaces' counters summed, "received sent"; one that does not exist counts 0, and
# so does one named in $fresh before the traffic (it is made anew: all it holds then is new).
counted=(lo trv0 trv1) fresh=
sum_counters() {
  local rx=0 tx=0 r t
  for i in "${counted[@]}"; do
    [[ -e /sys/class/net/$i && " $fresh " != *" $i "* ]] || continue
    read -r r t <<<"$(e2e_counters "$i")" && rx=$((rx + r)) tx=$((tx + t))
  done
  echo "$rx $tx"
}
_quiet() { local before && before=$(sum_counters) && sleep 3 && [[ "$before" == "$(sum_counters)" ]]; }
stored() { echo "$(e2e_stored Today IN) $(e2e_stored Today OUT) $(e2e_stored "$month" IN) $(e2e_stored "$month" OUT)"; }
# measure WHAT COMMAND...: in a quiet spell (three ticks without traffic) the counters and the
# stored Today and month record; then the command; then, quiet again, Today and the month must
# have grown by exactly what the counters moved.
measure() {
  local rx0 tx0 rx tx in0 out0 min0 mout0 in out min mout
  e2e_wait_until 20 _quiet
  read -r rx0 tx0 <<<"$(sum_counters)" && read -r in0 out0 min0 mout0 <<<"$(stored)"
  e2e_check "$1: the traffic crossed" "${@:2}"
  local before=$fresh && fresh=
  e2e_wait_until 30 _quiet
  read -r rx tx <<<"$(sum_counters)" && read -r in out min mout <<<"$(stored)"
  fresh=$before
  e2e_expect_eq "$1: Today and $month grew by the bytes that crossed" \
    "$((rx - rx0)) $((tx - tx0)) $((rx - rx0)) $((tx - tx0))" \
    "$((in - in0)) $((out - out0)) $((${min:-0} - ${min0:-0})) $((${mout:-0} - ${mout0:-0}))"
  e2e_log "$(cat "$E2E_OUT/send.log" 2>/dev/null)"
}
# frozen COMMAND...: the command runs while the program is stopped, which lasts 8 s in all.
frozen() {
  local pid start status
  pid=$(for p in $(ip netns pids "$E2E_NETNS"); do [[ $(cat "/proc/$p/comm" 2>/dev/null) == trafimo.exe ]] && echo "$p"; done)
  [[ -n "$pid" ]] && kill -STOP "$pid" && start=$(date +%s.%N) || return 1
  "$@"
  status=$?
  sleep "$(LC_ALL=C awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN { r = 8 - (n - s); print (r > 0 ? r : 0) }')"
  kill -CONT "$pid"
  return $status
}
# Fast: more than 10^9 bytes In + Out a second, which the sender's report shows.
fast_lo() {
  send_lo 2500 && LC_ALL=C awk -F'[= ]' '{ exit !($2 * 4 / $4 > 1e9) }' "$E2E_OUT/send.log"
}
# Made again with its old index, as a driver re-initialised after sleep: one row whose counters
# restarted from 0; then 10 MB each way.
remake_trv0() {
  local index && index=$(e2e_ifindex trv0) && ip link del trv0 && e2e_veth trv0 1 "$index" &&
    serve_far 1 && send_far 1 10
}
# trv1 appears 2 s into 6 s of 200 MB/s over the loopback, and carries 20 MB once it is there.
appear_trv1() {
  send_lo 1200 6 &
  local sender=$!
  sleep 2 && e2e_veth trv1 2 && serve_far 2 && sleep 2 && send_far 2 20 && wait "$sender"
}

e2e_check "an adapter beside the loopback" e2e_veth trv0 1
serve_far 1
e2e_reg_import <<'REG'
[HKEY_LOCAL_MACHINE\Software\Velquor Trafimo\Settings]
"Interface"=",lo,trv0,trv1"
[HKEY_CURRENT_USER\Software\Trafimo\screen]
"visible"="False"
REG
month=$(e2e_month_section)
e2e_start /s
e2e_check "the program counts (its tip shows Now)" e2e_wait_until 40 eval '[[ "$(e2e_tip)" == "Current - "* ]]'
e2e_check "the loopback and trv0 carry traffic first" eval 'send_lo 20 && send_far 1 200'

measure "2.5 GB each way over the loopback, more than 10^9 bytes a second" fast_lo
measure "frozen 8 s while 2.5 GB crossed each way (more than 2^32)" frozen send_lo 2500
fresh=trv0
measure "trv0 made again while frozen, then 10 MB each way" frozen remake_trv0
fresh=
measure "trv1 appears while the loopback carries 200 MB/s" appear_trv1

# A new month start day from the settings dialog, opened from the tray menu by real clicks.
today=$(date +%-d) && day=$((today < 28 ? today + 1 : 28)) && old_month=$month
e2e_check "the menu opens: \"Settings...\"" eval 'e2e_open_menu && e2e_click_menu_item 1 1'
e2e_check "the settings dialog opens" e2e_wait_window Settings TrafimoSettings 20
e2e_click_control Settings $ID_MONTH_START_DAY && xdotool key End BackSpace BackSpace type "$day"
e2e_click_control Settings $ID_OK
e2e_check "OK closes it" e2e_wait_window_gone Settings TrafimoSettings 15
month=$(e2e_month_section "$day") old=$(e2e_stored "$old_month" IN)
e2e_check "the next ticks write the billing month that began on day $day ($month)" \
  e2e_wait_until 10 eval '[[ -n "$(e2e_stored "$month" IN)" ]]'
measure "start day $day: traffic over trv0 counted in $month" send_far 1 30
[[ "$month" == "$old_month" ]] ||
  e2e_expect_eq "$old_month is left as it was" "$old" "$(e2e_stored "$old_month" IN)"

# A first run chooses the veths, automatically; a veth made later joins and is counted.
e2e_check "the program ends" e2e_kill
wine reg delete "$settings" /f >/dev/null 2>&1 </dev/null
e2e_start /s
e2e_check "a first run chooses the veths, not the loopback, automatically" e2e_wait_until 40 eval \
  '[[ "$(e2e_reg "$settings" Interface)|$(e2e_reg "$settings" AutomaticInterfaces)" == "REG_EXPAND_SZ ,trv0,trv1|REG_EXPAND_SZ 1" ]]'
e2e_check "a dock's adapter: trv2 appears" eval 'e2e_veth trv2 3 && serve_far 3'
e2e_check "it joins the stored selection" e2e_wait_until 10 eval \
  '[[ "$(e2e_reg "$settings" Interface)" == "REG_EXPAND_SZ ,trv0,trv1,trv2" ]]'
counted=(trv0 trv1 trv2) month=$(e2e_month_section)
measure "30 MB each way over trv2" send_far 3 30
e2e_finish
