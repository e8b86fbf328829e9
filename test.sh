#!/usr/bin/env bash
# Builds everything and runs every test layer: the native unit tests of the portable core (with
# AddressSanitizer and UBSan), the Windows tests under Wine in a virtual X display, and the
# end-to-end runs of the real trafimo.exe. Ends with one line "N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")"
root=$PWD

passed=0
failed=0
problems=()

note_failure() {
  failed=$((failed + 1))
  problems+=("$1")
}

# Adds the counts of one ctest run; a layer that ran no test counts as a failure.
count_ctest() {
  local layer=$1 log=$2 line total bad
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [[ -z "$line" ]]; then
    note_failure "$layer: ctest gave no result"
    return
  fi
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  if ((total == 0)); then
    note_failure "$layer: no test ran"
    return
  fi
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  ((bad == 0)) || problems+=("$layer: $bad failed")
}

finish() {
  echo
  for problem in "${problems[@]}"; do echo "FAILED: $problem"; done
  echo "$passed passed, $failed failed"
  [[ $failed -eq 0 ]]
  exit $?
}

if ! tools/deps.sh; then
  note_failure "installing the build and test tools"
  finish
fi

mkdir -p build
logs=$root/build/logs
mkdir -p "$logs"

echo "== Native unit tests (portable core, ASan + UBSan)"
if cmake --preset native >"$logs/native-configure.log" 2>&1 &&
  cmake --build --preset native 2>&1 | tee "$logs/native-build.log" | grep -E 'warning|error' ;
  [[ ${PIPESTATUS[0]} -eq 0 ]]; then
  ctest --preset native 2>&1 | tee "$logs/native-tests.log" | grep -vE '^\s*([0-9]+/[0-9]+ Test +#[0-9]+: .* Passed|Start +[0-9]+:)'
  count_ctest "native" "$logs/native-tests.log"
else
  cat "$logs/native-configure.log"
  note_failure "native build"
fi

echo "== Windows build (mingw-w64)"
if cmake --preset windows >"$logs/windows-configure.log" 2>&1 &&
  cmake --build --preset windows 2>&1 | tee "$logs/windows-build.log" | grep -E 'warning|error' ;
  [[ ${PIPESTATUS[0]} -eq 0 ]]; then
  echo "== Windows tests and end-to-end runs under Wine"
  tools/with-wine-display.sh "$root/build/windows/wineprefix" \
    ctest --preset windows 2>&1 | tee "$logs/windows-tests.log" |
    grep -vE '^\s*([0-9]+/[0-9]+ Test +#[0-9]+: .* Passed|Start +[0-9]+:)'
  count_ctest "windows" "$logs/windows-tests.log"
else
  cat "$logs/windows-configure.log"
  note_failure "windows build"
fi

# A new user's first ./run.sh after ./test.sh is a first run: every interface but the loopback,
# and none of the tests' traffic.
echo "== First ./run.sh after the tests"
run_check=$root/build/run-check
rm -rf "$run_check"
if env -u DISPLAY TRAFIMO_RUN_DIR="$run_check" ./run.sh --seconds 6 /s >"$logs/run-check.log" 2>&1 &&
  tests/e2e/check_first_run.sh "$logs/run-check.log"; then
  passed=$((passed + 1))
else
  cat "$logs/run-check.log"
  note_failure "the first ./run.sh after the tests is no first run"
fi

finish
