#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (offscreen, no display needed); then builds and runs the
# tests once more under the address and undefined-behaviour sanitizers. QUELM_SKIP_SANITIZE=1 leaves that out.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
run_tests "$BUILD_DIR" "$@"
if [ "${QUELM_SKIP_SANITIZE:-0}" != 1 ]; then
    build_sanitized
    sanitizer_environment
    run_tests "$SANITIZE_DIR" "$@"
fi
