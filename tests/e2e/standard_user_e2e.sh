#!/usr/bin/env bash
# A standard user (HKEY_LOCAL_MACHINE refuses writes): month start day 15 and start with Windows
# kept per user without a message.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup

machine_run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
# The refusals stay in the prefix's registry: the next script makes the prefix anew.
trap 'e2e_cleanup; rm -rf "$E2E_PREFIX"' EXIT
e2e_check "the machine-wide keys refuse writes, as they do to a standard user" eval \
  'e2e_probe deny-writes "$E2E_SETTINGS" && e2e_probe deny-writes "$machine_run" &&
   ! wine reg add "$machine_run" /v probe /d x /f >/dev/null 2>&1 </dev/null'

e2e_start
e2e_check "the \"Settings\" dialog is shown" e2e_probe wait Settings TrafimoSettings 40
e2e_click_control Settings 301  # start with Windows
e2e_type_into Settings 303 15  # the month start day
e2e_settings_ok
e2e_check "no message is shown" eval '! e2e_probe wait "Velquor Trafimo" "#32770" 3'
e2e_expect_eq "the month start day is kept per user, nothing machine-wide" "REG_EXPAND_SZ 15|" \
  "$(e2e_reg 'HKCU\Software\Velquor Trafimo\Settings' MonthStartDay)|$(e2e_reg "$E2E_SETTINGS" MonthStartDay)"
e2e_expect_eq "the per-user start-up entry starts the program as Windows start-up does" \
  'REG_EXPAND_SZ "C:\Trafimo\trafimo" /s' "$(e2e_reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' "Velquor Trafimo")"
e2e_finish
