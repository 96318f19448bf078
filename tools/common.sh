#!/usr/bin/env bash
# Shared set-up: installs what a fresh Debian 12 machine lacks, then configures and builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${QUELM_BUILD_DIR:-$ROOT/build}"
BUILD_TYPE="${QUELM_BUILD_TYPE:-RelWithDebInfo}"
SANITIZE_DIR="${QUELM_SANITIZE_DIR:-$ROOT/build-asan}"

PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n qt6-qpa-plugins
          libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-noto-cjk xvfb xauth
          mdbtools-dev libjpeg-dev libcdio-dev qt6-charts-dev libqt6opengl6-dev libtag1-dev
          flac lame libuchardet-dev
          fonts-ipaexfont poppler-utils)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

build() {
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" -DQUELM_PCH=ON >/dev/null
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}

# The tests again, in a Debug build with AddressSanitizer and UndefinedBehaviorSanitizer: any report fails the run.
# Only the library and the tests are built (not the program, the benchmarks or the screenshot tool).
build_sanitized() {
    cmake -S "$ROOT" -B "$SANITIZE_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELM_SANITIZE=ON -DQUELM_BUILD_TOOLS=OFF \
        -DQUELM_BUILD_BENCH=OFF -DQUELM_BUILD_APP=OFF -DQUELM_PCH=ON >/dev/null
    cmake --build "$SANITIZE_DIR" -j "$(nproc)"
}

# Leak reports from system libraries (fontconfig, the Qt platform plugins) are suppressed in tools/lsan.supp; our own
# code never is.
sanitizer_environment() {
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$ROOT/tools/lsan.supp:print_suppressions=0"
}

run_tests() {
    (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" "${@:2}")
}
