#!/usr/bin/env bash
# Sets everything up and runs the program on the shipped default models.
set -euo pipefail
source "$(dirname "$0")/tools/common.sh"
cd "$PARLANTO_ROOT"

ensure_packages "${PARLANTO_PACKAGES[@]}"
build_tree "$PARLANTO_ROOT/build" -DCMAKE_BUILD_TYPE=Release
step "built: $(ls build/src/*/ 2>/dev/null | grep -cE '\.a$|parlanto') artefacts in build/"
