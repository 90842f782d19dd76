#!/usr/bin/env bash
# Sets everything up and runs every test.
set -euo pipefail
source "$(dirname "$0")/tools/common.sh"
cd "$PARLANTO_ROOT"

ensure_packages "${PARLANTO_PACKAGES[@]}"
build_tree "$PARLANTO_ROOT/build" -DCMAKE_BUILD_TYPE=Release
step "tests"
ctest --test-dir build --output-on-failure -j"$(nproc)" 2>&1 | tail -n 40
exit "${PIPESTATUS[0]}"
