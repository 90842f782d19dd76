#!/usr/bin/env bash
# The test suite under the sanitizers, each in a build tree of its own: build-asan (address and undefined
# behaviour, every test, the window included) and build-tsan (threads: the tests labelled audio, which run the
# sound-server devices and the microphone threads). Any report fails the run.
#
# Sourced by test.sh, after tools/common.sh and with the private sound server running:  sanitizer_tests
# Run on its own:  tools/sanitizer_tests.sh  (starts and stops a sound server of its own)
set -euo pipefail

# Every report goes to a file as well as failing its test: a report from a program a test runs (the CLI) or
# from a forked child counts even when the test does not look at its stderr.
SANITIZER_ASAN_OPTIONS="detect_stack_use_after_return=1:detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_init_order=1"
SANITIZER_UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
SANITIZER_TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:print_suppressions=0"

# sanitizer_run NAME DIR [ctest options...]: runs the tests of DIR with the sanitizer options, the reports
# written to build/logs/NAME-reports/ and the log to build/logs/NAME-tests.log; prints the summary and the count
# of reports, and fails on a failed test or any report.
sanitizer_run() {
  local name="$1" dir="$2"; shift 2
  local reports="$PARLANTO_LOGS/$name-reports" started=$SECONDS status=0
  step "tests under $name"
  rm -rf "$reports"
  mkdir -p "$reports"
  ASAN_OPTIONS="$SANITIZER_ASAN_OPTIONS:log_path=$reports/asan" \
  UBSAN_OPTIONS="$SANITIZER_UBSAN_OPTIONS:log_path=$reports/ubsan" \
  TSAN_OPTIONS="$SANITIZER_TSAN_OPTIONS:log_path=$reports/tsan:suppressions=$PARLANTO_ROOT/tools/tsan_suppressions.txt" \
    logged_ctest "$name" "$dir" "$@" || status=$?
  local found
  found=$(find "$reports" -type f | wc -l)
  printf '   %s report file(s); %d s\n' "$found" $((SECONDS - started))
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    find "$reports" -type f -exec head -n 40 {} + >&2
    printf 'FAILED: tests under %s (reports: %s)\n' "$name" "$reports" >&2
    return 1
  fi
}

# sanitizer_build NAME DIR [cmake options...]: build_tree with the time it took.
sanitizer_build() {
  local name="$1" dir="$2" started=$SECONDS; shift 2
  build_tree "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLANTO_BENCH=OFF "$@"
  printf '   %s built in %d s\n' "$name" $((SECONDS - started))
}

sanitizer_tests() {
  sanitizer_build asan "$PARLANTO_ROOT/build-asan" -DPARLANTO_SANITIZE=address,undefined -DPARLANTO_GUI=ON
  sanitizer_run asan "$PARLANTO_ROOT/build-asan"
  # Qt is not instrumented for threads: its own thread pool and wait conditions would be reported, so the
  # window stays out of the thread build.
  sanitizer_build tsan "$PARLANTO_ROOT/build-tsan" -DPARLANTO_SANITIZE=thread -DPARLANTO_GUI=OFF
  sanitizer_run tsan "$PARLANTO_ROOT/build-tsan" -L audio
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  source "$(dirname "$0")/common.sh"
  source "$PARLANTO_ROOT/tools/pulse_test_server.sh"
  source "$PARLANTO_ROOT/tools/logged_ctest.sh"
  cd "$PARLANTO_ROOT"
  step "sound server for the audio tests"
  pulse_test_server_start
  trap pulse_test_server_stop EXIT
  sanitizer_tests
fi
