#!/usr/bin/env bash
# Sets everything up and runs every test: the suite, the audio and microphone window tests again on a PipeWire
# server, the suite again under the address and undefined-behaviour sanitizers, the threaded audio tests under
# the thread sanitizer, then each fuzz target for a bounded time.
set -euo pipefail
source "$(dirname "$0")/tools/common.sh"
source "$PARLANTO_ROOT/tools/pulse_test_server.sh"
source "$PARLANTO_ROOT/tools/pipewire_test_server.sh"
source "$PARLANTO_ROOT/tools/logged_ctest.sh"
cd "$PARLANTO_ROOT"

ensure_packages "${PARLANTO_PACKAGES[@]}" "${PARLANTO_TEST_PACKAGES[@]}"
build_tree "$PARLANTO_ROOT/build" -DCMAKE_BUILD_TYPE=Release
step "sound server for the audio tests"
pulse_test_server_start
# Stopped however the run ends, failed tests included.
trap pulse_test_server_stop EXIT
step "tests"
logged_ctest suite "$PARLANTO_ROOT/build" || exit
# Most desktops run PipeWire's PulseAudio-compatible server: the tests that use a server run on it as well, in
# a child shell whose server replaces the PulseAudio one for them alone. One at a time: its graph runs with
# short buffers, and a test starting a server of its own beside a playing one makes the playback drop out.
step "audio and microphone window tests on PipeWire"
(
  pipewire_test_server_start || exit
  trap pipewire_test_server_stop EXIT
  status=0
  logged_ctest pipewire-audio "$PARLANTO_ROOT/build" -L audio -j1 || status=$?
  logged_ctest pipewire-window "$PARLANTO_ROOT/build" -R '^gui\.(Mic|HandsFree)Window_test$' || status=$?
  exit "$status"
) || exit
source "$PARLANTO_ROOT/tools/sanitizer_tests.sh"
sanitizer_tests
source "$PARLANTO_ROOT/tools/run_fuzzers.sh"
step "fuzzers"
run_fuzzers
