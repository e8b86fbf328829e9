#!/usr/bin/env bash
# Whether ./run.sh's log ($1) shows a first run: the loopback left out, MB, no traffic of the tests.
set -uo pipefail
log=${1:?the log of ./run.sh} failures=0
fail() { echo "check_first_run: $*"; failures=$((failures + 1)); }
# value SECTION NAME: the last field of the line NAME in the log's part "-- SECTION...".
value() { tr -d '\r' <"$log" | sed -n "/^-- $1/,/^--/p" | awk -v name="$2" '$1 == name { print $NF; exit }'; }

interfaces=$(value "machine-wide settings" Interface)
interfaces=${interfaces:-$(value "per-user settings" Interface)}
[[ "$interfaces" == ,?* && ",$interfaces," != *",lo,"* ]] || fail "no interface list leaving out the loopback was stored: '$interfaces'"
[[ "$(value "per-user store" ShowMode)" == @(|2) ]] || fail "the unit is not the first run's MB"
# Every IN and OUT of the per-user store: this run's few seconds stay far below a megabyte.
tr -d '\r' <"$log" | sed -n '/^-- per-user store/,$p' | awk '($1 == "IN" || $1 == "OUT") && $NF >= 1048576 { exit 1 }' ||
  fail "traffic from before this run is stored"
((failures == 0)) && echo "check_first_run: a first run (interfaces '$interfaces')" || exit 1
