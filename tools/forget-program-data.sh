#!/usr/bin/env bash
# Removes everything Velquor Trafimo and its tests store from the Wine prefix $WINEPREFIX: the
# settings in both hives, the per-user totals and both start-up entries.
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
file=$(mktemp --suffix=.reg)
trap 'rm -f "$file"' EXIT
cat >"$file" <<'REG'
REGEDIT4

[-HKEY_LOCAL_MACHINE\Software\Velquor Trafimo]
[-HKEY_CURRENT_USER\Software\Velquor Trafimo]
[-HKEY_CURRENT_USER\Software\Trafimo]
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"Velquor Trafimo"=-
[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"Velquor Trafimo"=-
REG
WINEDEBUG=-all wine regedit /s "$(winepath -w "$file" 2>/dev/null)" >/dev/null 2>&1 </dev/null
