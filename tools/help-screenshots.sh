#!/usr/bin/env bash
# Remakes the screen pictures of the help pages (help/images/<screen>.png) on a demo catalogue, under Xvfb.
# Usage: tools/help-screenshots.sh [SCREEN ...]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
shoot=(xvfb-run -a -s "-screen 0 1600x1200x24" "$BUILD_DIR/tools/screenshots/quelm_screenshots" "$ROOT/help/images" "$@")
# The demo catalogue lives in /tmp, and the backup and restore screens show the folders around it: where the system
# allows it, they get an empty /tmp of their own, so that nothing of this machine's /tmp shows in the pictures.
if unshare --map-root-user --mount true 2>/dev/null; then
    unshare --map-root-user --mount bash -c 'mount -t tmpfs tmpfs /tmp && exec "$@"' shoot "${shoot[@]}"
else
    "${shoot[@]}"
fi
