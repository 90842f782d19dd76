#!/usr/bin/env bash
# Sets everything up and runs the recognizer.
set -euo pipefail
source "$(dirname "$0")/tools/common.sh"
cd "$PARLANTO_ROOT"

ensure_packages "${PARLANTO_PACKAGES[@]}"
build_tree "$PARLANTO_ROOT/build" -DCMAKE_BUILD_TYPE=Release

# Until default models ship, the demo recognizes the reference utterances with the reference model folder.
step "recognize: tests/data/golden/wav with the models of tests/data/golden/models"
build/bin/parlanto-cli recognize --models tests/data/golden/models tests/data/golden/wav/*.wav
