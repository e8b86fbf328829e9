#!/usr/bin/env bash
# The downloads as a person uses them: package.sh makes the installer and the portable zip; the
# installer, run silently, installs for the user alone with a shortcut, a start-up entry and an
# Apps & Features entry; the installed program counts loopback traffic; installing again over the
# running copy ends it and starts the new one, keeping the totals; the silent uninstaller leaves
# nothing of the program behind but its data. With TRAFIMO_UPDATE_DOCS=1 the installer's pages,
# shown by a run without /S, are photographed into docs/installer.png.
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"  # no menu entries on the host

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velquor Trafimo'
run_key='Software\Microsoft\Windows\CurrentVersion\Run'
wine_logged() { wine "${@:2}" >"$E2E_OUT/$1.log" 2>&1 </dev/null; }  # LOG PROGRAM ARGUMENTS...
folder() {  # a folder of the Wine user's, by its environment variable
  winepath -u "$(wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null
}
install_dir="$(folder LOCALAPPDATA)/Programs/Velquor Trafimo"
install_win=$(winepath -w "$install_dir" 2>/dev/null)
shortcut="$(folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Velquor Trafimo.lnk"
rm -rf "$install_dir" "$shortcut"  # an earlier run's
wine reg delete "$uninstall_key" /f >/dev/null 2>&1 </dev/null
wine reg delete "HKCU\\$run_key" /v "Velquor Trafimo" /f >/dev/null 2>&1 </dev/null

e2e_log "package.sh"
dist=$E2E_OUT/dist
rm -rf "$dist"
e2e_check "package.sh succeeds" "$E2E_SOURCE/package.sh" --build-dir "$E2E_BUILD" --dist "$dist"
e2e_check "makensis is installed" eval "command -v makensis >/dev/null"
version=$(cat "$E2E_BUILD/trafimo-version.txt")
project_version=$(sed -nE 's/^project\(Trafimo VERSION ([0-9.]+).*/\1/p' "$E2E_SOURCE/CMakeLists.txt")
e2e_expect_eq "the version is the CMake project version" "$project_version" "$version"
setup=$dist/velquor-trafimo-$version-setup.exe zip=$dist/velquor-trafimo-$version-portable.zip
e2e_check "the installer is made" test -s "$setup"
e2e_expect_eq "the zip holds trafimo.exe and README.txt" "README.txt trafimo.exe" \
  "$(unzip -Z1 "$zip" 2>/dev/null | sort | xargs)"
e2e_check "the zip's trafimo.exe is the one built" cmp -s <(unzip -p "$zip" trafimo.exe) "$E2E_EXE"

e2e_log "silent install into $install_win"
e2e_check "the installer ends without error" wine_logged setup "$setup" /S
e2e_check "the program is installed" cmp -s "$install_dir/trafimo.exe" "$E2E_EXE"
e2e_check "the Start-menu shortcut is made" test -s "$shortcut"
for pair in "DisplayName=REG_SZ Velquor Trafimo" "DisplayVersion=REG_SZ $version" \
  "Publisher=REG_SZ Velquor" "DisplayIcon=REG_SZ $install_win\\trafimo.exe,0" \
  "UninstallString=REG_SZ \"$install_win\\uninstall.exe\"" \
  "QuietUninstallString=REG_SZ \"$install_win\\uninstall.exe\" /S" \
  "NoModify=REG_DWORD 0x1" "NoRepair=REG_DWORD 0x1"; do
  e2e_expect_eq "Apps & Features: ${pair%%=*}" "${pair#*=}" \
    "$(e2e_reg "$uninstall_key" "${pair%%=*}")"
done
size=$(e2e_reg "$uninstall_key" EstimatedSize)
e2e_check "Apps & Features: EstimatedSize in KB covers the program ($size)" \
  eval '[[ $size == "REG_DWORD 0x"* ]] && (($(stat -c %s "$E2E_EXE") / 1024 <= ${size#* })) &&
    ((${size#* } <= $(du -sk "$install_dir" | cut -f1)))'
startup=$(e2e_reg "HKCU\\$run_key" "Velquor Trafimo")
e2e_expect_eq "the start-up entry is the one the program writes" \
  "REG_EXPAND_SZ \"$install_win\\trafimo\" /s" "$startup"
e2e_expect_eq "the settings dialog shows the choice" "REG_EXPAND_SZ 1" \
  "$(e2e_reg 'HKCU\Software\Velquor Trafimo\Settings' AlwaysRunInTray)"

e2e_log "the start-up entry's command, counting the loopback"
loopback=$(e2e_loopback)
for key in 'HKEY_LOCAL_MACHINE\Software\Velquor Trafimo\Settings' \
  'HKEY_CURRENT_USER\Software\Velquor Trafimo\Settings'; do
  printf '[%s]\n"AlwaysRunInTray"="1"\n"Interface"=",%s"\n' "$key" "$loopback"
done | e2e_reg_import
command=${startup#REG_EXPAND_SZ }
E2E_PROGRAM=$(sed -E 's/^"([^"]*)".*/\1/' <<<"$command")
e2e_start $(sed -E 's/^"[^"]*" *//' <<<"$command")
e2e_check "the installed copy runs" e2e_wait_until 30 e2e_runs 1
first_pid=$(e2e_program_pids)
e2e_check "the day's record is stored" e2e_wait_until 20 eval '[[ -n "$(e2e_stored Today IN)" ]]'
e2e_settle_loopback
today_in=$(e2e_stored Today IN)
e2e_send_loopback 5
e2e_expect_eq "Today IN grew by the bytes received" "$E2E_RX_MOVED" $(($(e2e_stored Today IN) - today_in))
today_in=$(e2e_stored Today IN) today_out=$(e2e_stored Today OUT)

e2e_log "silent install over the running copy"
e2e_check "the installer ends without error" wine_logged setup-again "$setup" /S
e2e_check "one copy runs again" e2e_wait_until 20 eval \
  'e2e_runs 1 && [[ $(e2e_program_pids) != "$first_pid" ]]'
e2e_check "it is started as at start-up: no settings dialog" \
  eval '! e2e_probe wait Settings "" 4 >/dev/null'
e2e_check "the totals are kept" \
  eval '(($(e2e_stored Today IN) >= today_in && $(e2e_stored Today OUT) >= today_out))'
e2e_expect_eq "the start-up entry is kept" "$startup" \
  "$(e2e_reg "HKCU\\$run_key" "Velquor Trafimo")"

e2e_log "silent uninstall"
e2e_reg_import <<'REG'  # as the program writes it when machine-wide start-up is on
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"Velquor Trafimo"="\"C:\\Trafimo\\trafimo\" /s"
REG
e2e_check "a machine-wide start-up entry is there too" \
  e2e_reg "HKLM\\$run_key" "Velquor Trafimo" >/dev/null
e2e_check "the uninstaller starts" wine_logged uninstall "$install_dir/uninstall.exe" /S
e2e_check "the program folder is removed" e2e_wait_until 30 eval '[[ ! -e "$install_dir" ]]'
e2e_check "no copy runs" e2e_runs 0
e2e_check "the shortcut is removed" test ! -e "$shortcut"
e2e_check "the Apps & Features entry is removed" \
  eval '! wine reg query "$uninstall_key" >/dev/null 2>&1 </dev/null'
for hive in HKCU HKLM; do
  e2e_check "the start-up entry in $hive is removed" \
    eval '! e2e_reg "$hive\\$run_key" "Velquor Trafimo" >/dev/null'
done
e2e_check "a silent uninstall keeps the traffic records" eval '(($(e2e_stored Today IN) >= today_in))'

if [[ -n "${TRAFIMO_UPDATE_DOCS:-}" ]]; then
  e2e_log "the installer's pages, for docs/installer.png"
  wine "$setup" >/dev/null 2>&1 </dev/null &
  page() {  # waits for the page's text, photographs the wizard, presses a button
    local text=$1
    e2e_wait_until 20 eval 'e2e_probe controls "$(title)" | grep -qF "$text"' && sleep 1 &&
      e2e_photograph "title=\"$(title)\"" "installer-$2" && e2e_probe press "$(title)" "$3"
  }
  title() { e2e_probe list | sed -n 's/.*title="\(Velquor Trafimo Setup[^"]*\)".*/\1/p' | head -n1; }
  e2e_check "the welcome page" page "Welcome to Velquor Trafimo Setup" welcome "Next >"
  e2e_check "the components page" page "Choose Components" components Install
  e2e_check "the finish page" page "Run Velquor Trafimo" finish Finish
  montage "$E2E_OUT"/installer-{welcome,components,finish}.png -tile 3x1 -geometry +4+4 \
    "$E2E_SOURCE/docs/installer.png" && e2e_log "picture: $E2E_SOURCE/docs/installer.png"
fi
e2e_finish
