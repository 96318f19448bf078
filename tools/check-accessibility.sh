#!/usr/bin/env bash
# Looks at the program as a screen reader does, through AT-SPI, under Xvfb on a new catalogue: opens the main window,
# the main record screen, its editor and the help window by their Japanese captions, and fails if any control shown
# there has no name. Usage: tools/check-accessibility.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
PACKAGES+=(at-spi2-core dbus python3-pyatspi xdotool)
install_missing
build
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# Qt talks to AT-SPI only when asked to: no desktop here switches assistive technologies on.
xvfb-run -a -s "-screen 0 1280x900x24" dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    bus=$!
    sleep 1
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QUELM_HOME="$1" "$2" &
    program=$!
    sleep 4
    timeout 60 /usr/bin/python3 "$3"
    result=$?
    kill $program $bus
    exit $result' check "$home" "$BUILD_DIR/quelm" "$ROOT/tools/check-accessibility.py" 2>&1 |
    grep -v -e 'dbus-daemon' -e 'XDG_RUNTIME_DIR' -e 'SpiRegistry'
exit "${PIPESTATUS[0]}"
