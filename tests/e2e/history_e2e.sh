#!/usr/bin/env bash
# The history a person keeps and takes away: a start on the day after the stored Today keeps that
# day's record; /export beside the running program writes yesterday's, today's and the month's
# rows (the file's form is the export's native test's). The tray menu by real clicks: the monthly
# totals window with this month's days and its Save As dialog, KB instead of MB, and Exit.
# Photographed for docs/ with TRAFIMO_UPDATE_DOCS=1.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

WINDOW="Monthly Usage" folder=$E2E_PREFIX/drive_c/Trafimo month=$E2E_MONTH
yesterday=$(date -d yesterday +%F) today=$(date +%F)
rm -f "$folder/"*.csv
# The loopback counted; Today belongs to yesterday; the earlier days of this month have records.
e2e_count_only lo
{
  printf '[HKEY_CURRENT_USER\\Software\\Trafimo\\DateToday]\n"DateToday"="%s"\n' "$(LC_ALL=C date -d yesterday +%Y%b%d)"
  printf '[HKEY_CURRENT_USER\\Software\\Trafimo\\Today]\n"IN"="123456789"\n"OUT"="23456789"\n'
  printf '[HKEY_CURRENT_USER\\Software\\Trafimo\\%s]\n"IN"="2523456789"\n"OUT"="273456789"\n' "$month"
  printf '[HKEY_CURRENT_USER\\Software\\Trafimo\\Days]\n'
  for ((day = 1; day < 10#$(date -d yesterday +%d) && day < 10#$(date +%d); day++)); do printf '"%s-%02d"="%d,%d"\n' \
    "$(date +%Y-%m)" $day $(((day * 37 % 11 + 2) * 41943040)) $(((day % 4 + 1) * 5242880)); done
} | e2e_reg_import
e2e_start /s
e2e_check "a start on the next day keeps yesterday's Today as its record" \
  e2e_wait_until 40 eval '[[ "$(e2e_stored Days "$yesterday")" == 123456789,23456789 ]]'
e2e_measure "3 MB each way over the loopback" e2e_send_lo 3

timeout 60 wine "$E2E_PROGRAM" /export 'C:\Trafimo\usage.csv' >/dev/null 2>&1 </dev/null
e2e_expect_eq "/export beside the running program ends with 0; no box holds it up" "0 1" "$? $(e2e_program_pids | wc -l)"
in=$(e2e_stored Today IN) out=$(e2e_stored Today OUT) m_in=$(e2e_stored "$month" IN) m_out=$(e2e_stored "$month" OUT)
rows() { printf '%s\n' "$@" | sort | paste -sd'|'; }
e2e_expect_eq "the file has yesterday's, today's (the Today record) and the month's rows" \
  "$(rows "day,$yesterday,123456789,23456789,$((123456789 + 23456789))" "day,$today,$in,$out,$((in + out))" "month,$(date +%Y-%m-01),$m_in,$m_out,$((m_in + m_out))")" \
  "$(rows $(grep -E "^(day,($yesterday|$today)|month,$(date +%Y-%m-01))," "$folder/usage.csv" | tr -d '\r'))"

e2e_check "the tray menu opens" e2e_menu
read -r menu_left menu_top _ <<<"$(e2e_window_rect 'class="#32768"')"
e2e_click_at $((menu_left - 10)) $((menu_top + 10)) - && sleep 0.5  # no tip over the menu
e2e_photograph "$((menu_left - 20)) $((menu_top - 20)) 1024 768" 0 tray-menu
e2e_check "its \"&Monthly Totals ...\" opens the window" eval 'e2e_menu 2 1 && e2e_probe wait "$WINDOW"'
sleep 1
e2e_photograph "$(e2e_window_rect "title=\"$WINDOW\"")" 0 monthly-usage
xdotool key Return
mb() { awk -v b="$1" 'BEGIN { printf "%.0f MB", b / 1048576 }'; }
today_item() { e2e_probe controls "$WINDOW" | grep -m1 -F "text=\"$(LC_ALL=C date +'%a %-d %b')"$'\t'; }
e2e_check "Enter on this month's row, selected at the opening, shows its days" \
  e2e_wait_until 10 eval '[[ -n "$(today_item)" ]]'
item=$(today_item)
e2e_expect_eq "today's row: in sight, selected, the live Today in MB" \
  "shown selected=1 $(mb "$out")"$'\t'"$(mb "$in")"$'\t'"$(mb $((in + out)))" \
  "$([[ $item == *rect=0,0,0,0* ]] && echo hidden || echo shown) $(grep -o 'selected=[01]' <<<"$item") $(cut -f2- <<<"$item" | tr -d '"')"
e2e_photograph "$(e2e_window_rect "title=\"$WINDOW\"")" 0 monthly-days

e2e_click_control "$WINDOW" Export...
e2e_check "\"&Export...\" opens the Save As dialog; the file chosen there is written, with today's row" eval \
  'e2e_probe wait "Save As" && xdotool sleep 1 key ctrl+a type --delay 50 "C:\Trafimo\from-window.csv" && xdotool key Return &&
   e2e_wait_until 10 grep -qs "^day,$today," "$folder/from-window.csv"'
e2e_click_control "$WINDOW" Close
e2e_check "\"&Close\" closes the window" e2e_probe gone "$WINDOW" "" 10

e2e_check "the menu's \"Show in KiloBytes (KB)\" stores \"1\" as the unit; the tip switches to KB" eval \
  'e2e_menu 5 3 && e2e_wait_until 10 eval "[[ \$(e2e_stored Settings ShowMode) == 1 && \$(e2e_tip | head -n1) =~ ^Current\ -\ [0-9,]+\ KB$ ]]"'
e2e_check "the menu's \"E&xit\", the last item, ends the program" eval 'e2e_menu 9 5 && e2e_wait_until 15 e2e_runs 0'
e2e_finish
