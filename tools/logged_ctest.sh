# logged_ctest NAME DIR [ctest options...]: runs the tests of the build tree DIR with the whole output in
# build/logs/NAME-tests.log, prints ctest's summary line and, when a test failed, the list of failed tests.
# Returns ctest's status. Sourced (after tools/common.sh), not run.
logged_ctest() {
  local name="$1" dir="$2"; shift 2
  local log="$PARLANTO_LOGS/$name-tests.log" status=0
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" "$@" >"$log" 2>&1 || status=$?
  printf '   %s (log: %s)\n' "$(grep -E 'tests passed' "$log" || echo 'no test ran')" "$log"
  if [ "$status" -ne 0 ]; then
    grep -A1000 'The following tests FAILED' "$log" >&2 || true
  fi
  return "$status"
}
