#!/usr/bin/env bash
# Sets everything up and runs the recognizer.
set -euo pipefail
source "$(dirname "$0")/tools/common.sh"
cd "$PARLANTO_ROOT"

ensure_packages "${PARLANTO_PACKAGES[@]}"
build_tree "$PARLANTO_ROOT/build" -DCMAKE_BUILD_TYPE=Release

step "recognize: examples/*.wav with the shipped models"
build/bin/parlanto-cli recognize examples/*.wav
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  step "window: build/bin/parlanto on the shipped models (build/bin/Models)"
  exec build/bin/parlanto
fi
step "no display: the window is not opened; the command-line demo above shows the recognizer"
