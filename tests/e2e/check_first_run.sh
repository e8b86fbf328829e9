#!/usr/bin/env bash
# Reads what ./run.sh printed of the registry (its log, $1) and checks that it is a first run:
# interfaces chosen by the first-run rule (the loopback "lo" left out), the default MB unit and
# no more than this run's own traffic (the tests send tens of megabytes).
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
