#!/usr/bin/env bash
# Installs what is missing, builds, and starts ＣＤ管理Quelm.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting under Xvfb."
    exec xvfb-run -a "$BUILD_DIR/quelm" "$@"
fi
exec "$BUILD_DIR/quelm" "$@"
