#!/usr/bin/env bash
# The monthly totals and about windows as a person meets them: after the program has counted
# traffic sent over the loopback, "&Monthly Totals ..." from the tray menu shows this month's
# upload, download and total as stored; "&About Velquor Trafimo" shows the product and version.
# Both windows are photographed; with TRAFIMO_UPDATE_DOCS=1 the pictures replace those in docs/.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

TRAY_PROBE=$E2E_BUILD/tray_probe_win.exe
tray_probe() { wine "$TRAY_PROBE" "$@" 2>/dev/null </dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
icon_place() { tray_probe icons | grep -E '^tip=(Trafimo|Current - )' | head -n1 | sed -E 's/.*\tx=([0-9]+)\ty=([0-9]+)$/\1 \2/'; }
store='HKCU\Software\Trafimo'
stored() { e2e_reg "$store\\$1" "$2" | sed 's/^REG_SZ //'; }
lo_counter() { cat "/sys/class/net/lo/statistics/$1"; }

# Waits until the loopback counters have not moved for three seconds (three ticks).
settle_loopback() {
  local before after
  for _ in $(seq 20); do
    before="$(lo_counter rx_bytes) $(lo_counter tx_bytes)"
    sleep 3
    after="$(lo_counter rx_bytes) $(lo_counter tx_bytes)"
    [[ "$before" == "$after" ]] && return 0
  done
  return 1
}

desktop_origin() {
  local geometry x=0 y=0
  if geometry=$(xdotool search --name "Wine desktop" getwindowgeometry --shell 2>/dev/null | head -n 3); then
    x=$(sed -n 's/^X=//p' <<<"$geometry")
    y=$(sed -n 's/^Y=//p' <<<"$geometry")
  fi
  echo "${x:-0} ${y:-0}"
}

# A right click on the icon, through the X server; true once the popup menu is on screen.
open_menu() {
  local place x y ox oy
  place=$(icon_place) || return 1
  read -r x y <<<"$place"
  [[ -n "$x" ]] || return 1
  read -r ox oy <<<"$(desktop_origin)"
  xdotool mousemove $((ox + x)) $((oy + y)) sleep 0.3 click 3 &&
    e2e_wait_until 10 eval 'e2e_probe list | grep -q "class=\"#32768\""'
}

# Clicks an item of the open popup menu, placed from the menu's rectangle: a 3-pixel frame,
# separators 9 pixels high and the items sharing the rest. Arguments: items and separators above
# the item. The tray menu has ten items and five separators.
click_menu_item() {
  local rect left top bottom item_height
  rect=$(e2e_probe list | sed -n 's/.*class="#32768".* rect=\([0-9,-]*\).*/\1/p' | head -n1)
  [[ -n "$rect" ]] || return 1
  IFS=, read -r left top _ bottom <<<"$rect"
  item_height=$(((bottom - top - 6 - 9 * 5) / 10))
  xdotool mousemove $((left + 40)) $((top + 3 + $1 * item_height + $2 * 9 + item_height / 2)) \
    sleep 0.3 click 1
}

# The text of the control with this id in the window titled $1.
control_text() {
  e2e_probe controls "$1" | sed -n "s/^id=$2 class=\"[^\"]*\" text=\"\([^\"]*\)\".*/\1/p" | head -n1
}

# A picture of one window: the virtual display cut to the window's rectangle.
photograph() {
  local title=$1 name=$2 rect l t r b ox oy shot
  rect=$(e2e_probe list | grep -F "title=\"$title\"" | head -n1 | sed -E 's/.*rect=([-0-9,]+)$/\1/')
  [[ -n "$rect" ]] || return 1
  IFS=, read -r l t r b <<<"$rect"
  read -r ox oy <<<"$(desktop_origin)"
  shot=$(e2e_screenshot "$name-screen") || return 1
  convert "$shot" -crop "$((r - l))x$((b - t))+$((ox + l))+$((oy + t))" +repage \
    "$E2E_OUT/$name.png" || return 1
  e2e_log "picture: $E2E_OUT/$name.png"
  if [[ -n "${TRAFIMO_UPDATE_DOCS:-}" ]]; then
    mkdir -p "$E2E_SOURCE/docs"
    cp "$E2E_OUT/$name.png" "$E2E_SOURCE/docs/$name.png"
  fi
}

# Whole megabytes as the report writes them: nearest, no grouping.
mb() { LC_ALL=C awk -v b="$1" 'BEGIN { printf "%.0f MB", b / 1048576 }'; }

# mb_between TEXT LOW HIGH: TEXT is the megabytes of an amount between LOW and HIGH bytes. Other
# programs on this machine may use the loopback while the window opens, so the record it read
# lies between the readings taken before and after.
mb_between() {
  local low high value
  low=$(mb "$2") high=$(mb "$3") value=${1% MB}
  [[ "$1" == *" MB" ]] && ((value >= ${low% MB} && value <= ${high% MB})) && return 0
  echo "         shown: $(printf '%q' "$1"), expected $low to $high"
  return 1
}

# Count only the loopback interface; no meter window at the start.
loopback=$(e2e_probe iftable | awk -F'\t' '$1 == 24 { print $2; exit }')
e2e_log "loopback interface: '$loopback'"
interface_hex=$(printf ',%s' "$loopback" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
e2e_reg_import <<REG
[HKEY_LOCAL_MACHINE\\Software\\Velquor Trafimo\\Settings]
"Interface"=hex(2):$interface_hex,00
[HKEY_CURRENT_USER\\Software\\Trafimo\\screen]
"visible"="False"
REG

e2e_log "start (/s)"
e2e_start /s
e2e_check "the tray icon shows the current connection" \
  e2e_wait_until 40 eval 'tray_probe icons | grep -q "^tip=Current - "'

e2e_log "sending 30 MB over the loopback from another process"
e2e_check "the sender moved 30 MB" eval 'wine "$E2E_BUILD/loopback_send_win.exe" 30 >/dev/null 2>&1 </dev/null'
e2e_check "the loopback is quiet again" settle_loopback

year=$(date +%Y)
month_number=$((10#$(date +%m)))
month=$(wine reg query "$store" 2>/dev/null </dev/null | tr -d '\r' |
  sed -n 's/.*\\\([0-9]\{4\}[A-Z]\{3\}\)$/\1/p' | grep "^$year" | head -n1)
e2e_check "a record for this month exists" test -n "$month"
month_in=$(stored "$month" IN)
month_out=$(stored "$month" OUT)
e2e_log "stored for $month: IN $month_in, OUT $month_out"
e2e_check "the month's record holds the traffic" test "${month_in:-0}" -ge 31457280

e2e_log "choosing \"&Monthly Totals ...\" from the menu"
e2e_check "a right click on the icon opens the menu" open_menu
e2e_log "screenshot: $(e2e_screenshot tray-menu)"
click_menu_item 2 1  # below "&About Velquor Trafimo", a separator and "Settings..."
e2e_check "the \"Monthly Usage\" window opens" e2e_wait_window "Monthly Usage" "" 20
sleep 1
month_in2=$(stored "$month" IN)
month_out2=$(stored "$month" OUT)
row=$((month_number - 1))
e2e_expect_eq "the year shown is this year" "$year" "$(control_text "Monthly Usage" 502)"
e2e_expect_eq "this month's row is named" "$(LC_ALL=C date +%B)" \
  "$(control_text "Monthly Usage" $((510 + row)))"
e2e_check "this month's upload is the bytes sent" mb_between \
  "$(control_text "Monthly Usage" $((530 + row)))" "$month_out" "$month_out2"
e2e_check "this month's download is the bytes received" mb_between \
  "$(control_text "Monthly Usage" $((550 + row)))" "$month_in" "$month_in2"
e2e_check "this month's total is both" mb_between \
  "$(control_text "Monthly Usage" $((570 + row)))" $((month_in + month_out)) \
  $((month_in2 + month_out2))
e2e_check "the window is photographed" photograph "Monthly Usage" monthly-usage

e2e_check "GB can be chosen" e2e_probe press "Monthly Usage" GB
e2e_check "the row switches to GB" e2e_wait_until 5 eval \
  '[[ "$(control_text "Monthly Usage" $((570 + row)))" == *" GB" ]]'
e2e_check "Close can be pressed" e2e_probe press "Monthly Usage" Close
e2e_check "the window closes" e2e_wait_window_gone "Monthly Usage" "" 10

e2e_log "choosing \"&About Velquor Trafimo\" from the menu"
e2e_check "the menu opens again" open_menu
click_menu_item 0 0  # the first item
e2e_check "the about window opens" e2e_wait_window "About Velquor Trafimo" "" 20
sleep 1
e2e_expect_eq "it names the product and its version" "Velquor Trafimo 1.3" \
  "$(control_text "About Velquor Trafimo" 412)"
e2e_expect_eq "it offers the product page" "www.velquor.example/trafimo/" \
  "$(control_text "About Velquor Trafimo" 413)"
e2e_check "the window is photographed" photograph "About Velquor Trafimo" about
e2e_check "Close can be pressed" e2e_probe press "About Velquor Trafimo" Close
e2e_check "the window closes" e2e_wait_window_gone "About Velquor Trafimo" "" 10
e2e_check "the program keeps running" eval '[[ $(e2e_program_count) -eq 1 ]]'

e2e_finish
