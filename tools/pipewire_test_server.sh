#!/usr/bin/env bash
# A private PipeWire server with its PulseAudio-compatible front end (pipewire-pulse) for the audio tests, the
# server most desktops run: no sound card, no D-Bus, no user session, allowed to run as root, with the virtual
# microphone and loudspeaker of tools/test_sound_server.sh.
#
# Sourced:  pipewire_test_server_start  (exports what clients need)  ...  pipewire_test_server_stop
# Run by a test that needs a server of its own:  pipewire_test_server.sh start DIR  /  ... stop DIR
# (the socket is then DIR/native, DIR/pid the process that serves it).
#
# Three processes, every runtime, configuration and state path inside DIR:
#   pipewire        the graph, clocked at 22050 Hz: nothing is resampled, so what is played comes back
#                   bit-exact from the monitor;
#   wireplumber     links streams to the sink and source; drop-ins switch off the parts that want a session bus
#                   (without them it exits);
#   pipewire-pulse  the PulseAudio protocol on unix:DIR/native.
# The sink and the virtual microphone are made through pactl, with the options of the PulseAudio server.
source "$(dirname "${BASH_SOURCE[0]}")/test_sound_server.sh"

pipewire_test_server_write_config() {
  local dir="$1"
  mkdir -p "$dir/config/wireplumber/main.lua.d" "$dir/config/wireplumber/bluetooth.lua.d" "$dir/state"
  cat >"$dir/pipewire.conf" <<'EOF'
context.properties = {
    core.daemon = true
    core.name   = pipewire-0
    link.max-buffers = 16
    default.clock.rate          = 22050
    default.clock.allowed-rates = [ 22050 ]
}
context.spa-libs = {
    audio.convert.* = audioconvert/libspa-audioconvert
    support.*       = support/libspa-support
}
context.modules = [
    { name = libpipewire-module-protocol-native }
    { name = libpipewire-module-profiler }
    { name = libpipewire-module-metadata }
    { name = libpipewire-module-spa-node-factory }
    { name = libpipewire-module-client-node }
    { name = libpipewire-module-client-device }
    { name = libpipewire-module-access }
    { name = libpipewire-module-adapter }
    { name = libpipewire-module-link-factory }
    { name = libpipewire-module-session-manager }
]
context.objects = [
    { factory = spa-node-factory
      args = { factory.name = support.node.driver node.name = Dummy-Driver
               node.group = pipewire.dummy priority.driver = 20000 } }
    { factory = spa-node-factory
      args = { factory.name = support.node.driver node.name = Freewheel-Driver
               priority.driver = 19000 node.group = pipewire.freewheel node.freewheel = true } }
]
EOF
  cat >"$dir/pipewire-pulse.conf" <<EOF
context.properties = { }
context.spa-libs = {
    audio.convert.* = audioconvert/libspa-audioconvert
    support.*       = support/libspa-support
}
context.modules = [
    { name = libpipewire-module-protocol-native }
    { name = libpipewire-module-client-node }
    { name = libpipewire-module-adapter }
    { name = libpipewire-module-metadata }
    { name = libpipewire-module-protocol-pulse
      args = { server.address = [ "unix:$dir/native" ] } }
]
EOF
  cat >"$dir/config/wireplumber/main.lua.d/51-headless-test.lua" <<'EOF'
-- No hardware and no portal: both want a session bus, which a headless test server does not have.
alsa_monitor.enabled = false
v4l2_monitor.enabled = false
libcamera_monitor.enabled = false
default_access.properties["enable-flatpak-portal"] = false
EOF
  cat >"$dir/config/wireplumber/bluetooth.lua.d/51-headless-test.lua" <<'EOF'
bluez_monitor.enabled = false
EOF
}

# pipewire_test_server_spawn DIR NAME COMMAND...: starts COMMAND with every path in DIR and none of the
# caller's client settings, in a session of its own (a signal to the caller's process group does not reach it),
# its pid in DIR/NAME.pid and its output in DIR/NAME.log.
pipewire_test_server_spawn() {
  local dir="$1" name="$2"; shift 2
  env -u DBUS_SESSION_BUS_ADDRESS -u PULSE_SERVER -u PULSE_COOKIE -u PULSE_SOURCE -u PULSE_SINK \
      -u PIPEWIRE_REMOTE -u PIPEWIRE_CONFIG_DIR \
      XDG_RUNTIME_DIR="$dir" PIPEWIRE_RUNTIME_DIR="$dir" PULSE_RUNTIME_PATH="$dir" HOME="$dir" \
      XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state" \
    setsid sh -c 'echo $$ >"$1"; shift; exec "$@"' sh "$dir/$name.pid" "$@" </dev/null >"$dir/$name.log" 2>&1 &
}

# pipewire_test_server_launch DIR: starts the three processes, makes the sink and the virtual microphone the
# defaults, and returns once a client sees both.
pipewire_test_server_launch() {
  local dir="$1" tries
  mkdir -p "$dir" && chmod 700 "$dir" || return 1
  pipewire_test_server_write_config "$dir"
  pipewire_test_server_spawn "$dir" pipewire pipewire -c "$dir/pipewire.conf"
  for tries in $(seq 100); do [ -S "$dir/pipewire-0" ] && break; sleep 0.02; done
  [ -S "$dir/pipewire-0" ] || return 1
  pipewire_test_server_spawn "$dir" wireplumber wireplumber
  # pipewire-pulse writes its own pid to DIR/pid, as the PulseAudio server does.
  pipewire_test_server_spawn "$dir" pipewire-pulse pipewire-pulse -c "$dir/pipewire-pulse.conf"
  local client=(env -u PULSE_SOURCE -u PULSE_SINK PULSE_SERVER="unix:$dir/native" PULSE_COOKIE="$dir/cookie")
  for tries in $(seq 100); do "${client[@]}" pactl info >/dev/null 2>&1 && break; sleep 0.05; done
  "${client[@]}" pactl load-module module-null-sink sink_name=$TEST_SERVER_SINK rate=22050 channels=1 \
      format=s16le norewinds=1 >/dev/null || return 1
  "${client[@]}" pactl load-module module-pipe-source source_name=$TEST_SERVER_SOURCE file="$dir/mic.fifo" \
      rate=22050 channels=1 format=s16le >/dev/null || return 1
  # wireplumber keeps the defaults and may not be ready yet: they are set until they read back.
  for tries in $(seq 100); do
    "${client[@]}" pactl set-default-sink $TEST_SERVER_SINK >/dev/null 2>&1
    "${client[@]}" pactl set-default-source $TEST_SERVER_SOURCE >/dev/null 2>&1
    if "${client[@]}" pactl info 2>/dev/null | grep -qx "Default Sink: $TEST_SERVER_SINK" &&
       "${client[@]}" pactl info 2>/dev/null | grep -qx "Default Source: $TEST_SERVER_SOURCE" &&
       [ -p "$dir/mic.fifo" ]; then
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# pipewire_test_server_halt DIR: ends the three processes by SIGTERM (pipewire-pulse refuses "pactl exit"),
# waits for each (kills it after 5 s) and removes DIR. A server already gone is no failure here.
pipewire_test_server_halt() {
  local dir="$1" name pid state tries
  for name in pipewire-pulse wireplumber pipewire; do
    [ -f "$dir/$name.pid" ] || continue
    pid="$(cat "$dir/$name.pid")"
    kill "$pid" 2>/dev/null || continue
    for tries in $(seq 250); do
      # An unreaped zombie counts as gone.
      state="$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" || break
      [ -z "$state" ] || [ "$state" = Z ] && break
      sleep 0.02
    done
    kill -9 "$pid" 2>/dev/null || true
  done
  rm -rf "$dir"
}

pipewire_test_server_start() { test_server_start pipewire; }
pipewire_test_server_stop() { test_server_stop pipewire; }

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  test_server_main pipewire "$@"
fi
