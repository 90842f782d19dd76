#!/usr/bin/env bash
# A private PulseAudio server for the audio tests: no sound card, no D-Bus, allowed to run as root, with the
# virtual microphone and loudspeaker of tools/test_sound_server.sh.
#
# Sourced by test.sh:  pulse_test_server_start  (exports what clients need)  ...  pulse_test_server_stop
# Run by a test that needs a server of its own:  pulse_test_server.sh start DIR  /  pulse_test_server.sh stop DIR
# (the server's socket is then DIR/native).
source "$(dirname "${BASH_SOURCE[0]}")/test_sound_server.sh"

# pulse_test_server_launch DIR: starts a daemon whose runtime files live in DIR and waits until it answers.
pulse_test_server_launch() {
  local dir="$1"
  mkdir -p "$dir"
  # norewinds: without it, monitor recordings have gaps and drains overrun.
  # .fail: a module that cannot be loaded stops the start instead of leaving a server without it.
  # The pipe source makes the FIFO itself.
  cat >"$dir/server.pa" <<EOF
.fail
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
load-module module-null-sink sink_name=$TEST_SERVER_SINK rate=22050 channels=1 format=s16le norewinds=1
load-module module-pipe-source source_name=$TEST_SERVER_SOURCE file=$dir/mic.fifo rate=22050 channels=1 format=s16le
set-default-sink $TEST_SERVER_SINK
set-default-source $TEST_SERVER_SOURCE
EOF
  # Every runtime path points into DIR: an inherited PULSE_RUNTIME_PATH makes a second daemon refuse to start.
  # The client variables of the caller (perhaps naming another test server) are not the daemon's business.
  env -u DBUS_SESSION_BUS_ADDRESS -u PULSE_SERVER -u PULSE_COOKIE -u PULSE_SOURCE -u PULSE_SINK \
      XDG_RUNTIME_DIR="$dir" PULSE_RUNTIME_PATH="$dir" HOME="$dir" \
    pulseaudio --daemonize=yes -n -F "$dir/server.pa" --exit-idle-time=-1 --use-pid-file=yes \
      --realtime=no --high-priority=no --log-target=file:"$dir/server.log" || return 1
  local tries
  for tries in $(seq 50); do
    if PULSE_SERVER="unix:$dir/native" PULSE_COOKIE="$dir/cookie" pactl info >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# pulse_test_server_halt DIR: asks the daemon of DIR to exit, waits for it (kills it after 5 s) and removes DIR.
# Safe under set -e: a server that is already gone is no failure here.
pulse_test_server_halt() {
  local dir="$1" pid="" tries
  if [ -f "$dir/pid" ]; then
    pid="$(cat "$dir/pid")"
  fi
  PULSE_SERVER="unix:$dir/native" PULSE_COOKIE="$dir/cookie" pactl exit >/dev/null 2>&1 || true
  if [ -n "$pid" ]; then
    for tries in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -rf "$dir"
}

pulse_test_server_start() { test_server_start pulse; }
pulse_test_server_stop() { test_server_stop pulse; }

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  test_server_main pulse "$@"
fi
