#!/usr/bin/env bash
# Whether ./run.sh's log ($1) shows a first run: the loopback left out, MB, no traffic of the tests.
set -uo pipefail
log=${1:?the log of ./run.sh} failures=0
fail() { echo "check_first_run: $*"; failures=$((failures + 1)); }

value() { tr -d '\r' <"$log" | sed -n "/^-- $1/,/^--/p" | awk -v name="$2" '$1 == name { print $NF }' | head -n 1; }

interfaces=$(value "machine-wide settings" Interface)
[[ -z "$interfaces" ]] && interfaces=$(value "per-user settings" Interface)
[[ "$interfaces" == ,?* ]] || fail "no interface list was stored: '$interfaces'"
[[ ",$interfaces," == *",lo,"* ]] && fail "the loopback is counted: '$interfaces'"
show_mode=$(value "per-user store" ShowMode)
[[ -z "$show_mode" || "$show_mode" == 2 ]] || fail "the unit is not the first run's MB: $show_mode"
# Every IN and OUT of the per-user store: this run's few seconds stay far below a megabyte.
while read -r bytes; do
  ((bytes < 1048576)) || fail "traffic from before this run is stored: $bytes bytes"
done < <(tr -d '\r' <"$log" | sed -n '/^-- per-user store/,$p' | awk '$1 == "IN" || $1 == "OUT" { print $NF }')
((failures == 0)) && echo "check_first_run: a first run (interfaces '$interfaces')" || exit 1
