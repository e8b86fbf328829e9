#!/usr/bin/env bash
# Creates (once) a quiet Wine prefix at $1 and waits until Wine has finished setting it up, so
# that the first program started in it does not see first-run output.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ -f "$prefix/system.reg" && -f "$prefix/.trafimo-ready" ]]; then exit 0; fi
mkdir -p "$prefix"
wineboot --init >/dev/null 2>&1 || true
wineserver -w
touch "$prefix/.trafimo-ready"
