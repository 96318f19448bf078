#!/usr/bin/env bash
# Remakes the screen pictures of the help pages (help/images/<screen>.png) on a demo catalogue, under Xvfb.
# Usage: tools/help-screenshots.sh [SCREEN ...]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
xvfb-run -a -s "-screen 0 1600x1200x24" "$BUILD_DIR/tools/screenshots/quelm_screenshots" "$ROOT/help/images" "$@"
