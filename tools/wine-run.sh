#!/usr/bin/env bash
# Runs a Windows program under Wine with the build tree's own prefix (next to the program unless
# WINEPREFIX is set), quietly. ctest uses this as the cross-compiling emulator.
set -euo pipefail
program=$1
shift
if [[ -z "${WINEPREFIX:-}" ]]; then
  WINEPREFIX="$(cd "$(dirname "$program")" && pwd)/wineprefix"
fi
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  "$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX"
fi
exec wine "$program" "$@"
