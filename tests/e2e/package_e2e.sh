#!/usr/bin/env bash
# The downloads: package.sh's installer and zip; a silent install, counting, an update over the
# running copy, a silent uninstall. TRAFIMO_UPDATE_DOCS=1 photographs the pages (docs/).
source "$(dirname "$0")/lib.sh" "${1:?build directory}"
e2e_setup
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"  # no menu entries on the host

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velquor Trafimo'
run_key='Software\Microsoft\Windows\CurrentVersion\Run'
wine_logged() { wine "${@:2}" >"$E2E_OUT/$1.log" 2>&1 </dev/null; }  # LOG PROGRAM ARGUMENTS...
folder() { winepath -u "$(wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null; }
install_dir="$(folder LOCALAPPDATA)/Programs/Velquor Trafimo"
install_win=$(winepath -w "$install_dir" 2>/dev/null)
shortcut="$(folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Velquor Trafimo.lnk"
rm -rf "$install_dir" "$shortcut"  # an earlier run's
wine reg delete "$uninstall_key" /f >/dev/null 2>&1 </dev/null

dist=$E2E_OUT/dist && rm -rf "$dist"
e2e_check "package.sh succeeds" "$E2E_SOURCE/package.sh" --build-dir "$E2E_BUILD" --dist "$dist"
version=$(cat "$E2E_BUILD/trafimo-version.txt")
setup=$dist/velquor-trafimo-$version-setup.exe zip=$dist/velquor-trafimo-$version-portable.zip
e2e_check "it makes the installer, and the zip with README.txt and the program built" eval \
  '[[ -s "$setup" && "$(unzip -Z1 "$zip" | sort | xargs)" == "README.txt trafimo.exe" ]] && cmp -s <(unzip -p "$zip" trafimo.exe) "$E2E_EXE"'

e2e_check "the installer ends without error" wine_logged setup "$setup" /S
e2e_check "the program and its Start-menu shortcut are installed" \
  eval 'cmp -s "$install_dir/trafimo.exe" "$E2E_EXE" && test -s "$shortcut"'
e2e_expect_eq "Apps & Features: its name, version, publisher, icon, silent uninstall and no Modify" \
  "REG_SZ Velquor Trafimo|REG_SZ $version|REG_SZ Velquor|REG_SZ $install_win\\trafimo.exe,0|REG_SZ \"$install_win\\uninstall.exe\" /S|REG_DWORD 0x1" \
  "$(for v in DisplayName DisplayVersion Publisher DisplayIcon QuietUninstallString NoModify; do e2e_reg "$uninstall_key" $v; done | paste -sd'|')"
startup=$(e2e_reg "HKCU\\$run_key" "Velquor Trafimo")
e2e_expect_eq "the start-up entry is the one the program writes" "REG_EXPAND_SZ \"$install_win\\trafimo\" /s" "$startup"

e2e_count_only lo
command=${startup#REG_EXPAND_SZ }
E2E_PROGRAM=$(sed -E 's/^"([^"]*)".*/\1/' <<<"$command")
e2e_start $(sed -E 's/^"[^"]*" *//' <<<"$command")
e2e_check "the installed copy runs and stores the day's record" \
  e2e_wait_until 30 eval 'e2e_runs 1 && [[ -n "$(e2e_stored Today IN)" ]]'
first_pid=$(e2e_program_pids)
e2e_measure "5 MB each way over the loopback" e2e_send_lo 5
today_in=$(e2e_stored Today IN)

e2e_check "the installer ends without error" wine_logged setup-again "$setup" /S
e2e_check "one copy runs again, a new one" e2e_wait_until 20 eval \
  'e2e_runs 1 && [[ $(e2e_program_pids) != "$first_pid" ]]'
e2e_check "it is started as at start-up: no settings dialog" eval '! e2e_probe wait Settings "" 4'
e2e_check "the totals are kept" eval '(($(e2e_stored Today IN) >= today_in))'

wine reg add "HKLM\\$run_key" /v "Velquor Trafimo" /d '"C:\Trafimo\trafimo" /s' /f >/dev/null 2>&1 </dev/null
e2e_check "with a machine-wide start-up entry there too, the uninstaller starts" eval \
  'e2e_reg "HKLM\\$run_key" "Velquor Trafimo" && wine_logged uninstall "$install_dir/uninstall.exe" /S'
e2e_check "the program folder is removed" e2e_wait_until 30 eval '[[ ! -e "$install_dir" ]]'
e2e_check "no copy runs, no shortcut, no Apps & Features entry, no start-up entry" eval \
  'e2e_runs 0 && [[ ! -e "$shortcut" ]] && ! wine reg query "$uninstall_key" >/dev/null 2>&1 </dev/null &&
   ! e2e_reg "HKCU\\$run_key" "Velquor Trafimo" && ! e2e_reg "HKLM\\$run_key" "Velquor Trafimo"'

if [[ -n "${TRAFIMO_UPDATE_DOCS:-}" ]]; then
  wine "$setup" >/dev/null 2>&1 </dev/null &
  title() { e2e_probe list | sed -n 's/.*title="\(Velquor Trafimo Setup[^"]*\)".*/\1/p' | head -n1; }
  page() {  # waits for the page's text, photographs the wizard, clicks a button
    e2e_wait_until 20 eval "e2e_probe controls \"\$(title)\" | grep -qF '$1'" && sleep 1 &&
      e2e_crop "$(e2e_window_rect "title=\"$(title)\"")" 0 "$E2E_OUT/installer-$2.png" &&
      e2e_click_control "$(title)" "$3"
  }
  e2e_check "the welcome page" page "Welcome to Velquor Trafimo Setup" welcome "Next >"
  e2e_check "the components page" page "Choose Components" components Install
  e2e_check "the finish page" page "Run Velquor Trafimo" finish Finish
  montage "$E2E_OUT"/installer-{welcome,components,finish}.png -tile 3x1 -geometry +4+4 \
    "$E2E_SOURCE/docs/installer.png" && e2e_log "picture: $E2E_SOURCE/docs/installer.png"
fi
e2e_finish
