# What the private test sound servers (tools/pulse_test_server.sh, tools/pipewire_test_server.sh) share: both
# offer a virtual microphone (a pipe source the tests write samples into) as the default source and a null sink
# (a virtual loudspeaker whose monitor can be recorded) as the default sink, 22050 Hz mono s16le like the
# program's audio, and both export the same variables to their clients. Sourced by those scripts, not run.

TEST_SERVER_SINK=parlanto_speaker
TEST_SERVER_SOURCE=parlanto_mic
TEST_SERVER_TOOLS="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# test_server_start KIND: starts the server of tools/KIND_test_server.sh (its KIND_test_server_launch and
# KIND_test_server_halt) in a fresh folder and exports what clients and the tests need.
# A short folder keeps the socket path far below the 108-byte limit of a unix socket name.
test_server_start() {
  local kind="$1"
  PULSE_TEST_DIR="$(mktemp -d "/tmp/$kind-XXXXXX")"
  if ! "${kind}_test_server_launch" "$PULSE_TEST_DIR"; then
    printf 'FAILED: private %s server; its logs:\n' "$kind" >&2
    tail -n 20 "$PULSE_TEST_DIR"/*.log >&2 || true
    "${kind}_test_server_halt" "$PULSE_TEST_DIR"
    return 1
  fi
  export PULSE_SERVER="unix:$PULSE_TEST_DIR/native"
  export PULSE_COOKIE="$PULSE_TEST_DIR/cookie"
  export PARLANTO_TEST_MIC_FIFO="$PULSE_TEST_DIR/mic.fifo"
  export PARLANTO_TEST_MIC_SOURCE="$TEST_SERVER_SOURCE"
  export PARLANTO_TEST_SPEAKER_MONITOR="$TEST_SERVER_SINK.monitor"
  # Which server it is, and how a test starts one of its own of the same kind.
  export PARLANTO_TEST_SERVER_KIND="$kind"
  export PARLANTO_TEST_SERVER_SCRIPT="$TEST_SERVER_TOOLS/${kind}_test_server.sh"
}

# test_server_stop KIND: ends the server test_server_start started and forgets its variables.
test_server_stop() {
  local kind="$1"
  if [ -n "${PULSE_TEST_DIR:-}" ]; then
    "${kind}_test_server_halt" "$PULSE_TEST_DIR"
  fi
  unset PULSE_TEST_DIR PULSE_SERVER PULSE_COOKIE PARLANTO_TEST_MIC_FIFO PARLANTO_TEST_MIC_SOURCE \
        PARLANTO_TEST_SPEAKER_MONITOR PARLANTO_TEST_SERVER_KIND PARLANTO_TEST_SERVER_SCRIPT
}

# test_server_main KIND start|stop DIR: what the server scripts do when run rather than sourced.
test_server_main() {
  local kind="$1"
  case "${2:-}" in
    start) "${kind}_test_server_launch" "$3" ;;
    stop) "${kind}_test_server_halt" "$3" ;;
    *) printf 'usage: %s_test_server.sh start|stop DIR\n' "$kind" >&2; return 2 ;;
  esac
}
