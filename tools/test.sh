#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (offscreen, no display needed).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" "$@"
