#!/usr/bin/env bash
# Shared set-up: installs what a fresh Debian 12 machine lacks, then configures and builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${QUELM_BUILD_DIR:-$ROOT/build}"
BUILD_TYPE="${QUELM_BUILD_TYPE:-RelWithDebInfo}"

PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n qt6-qpa-plugins
          libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-noto-cjk xvfb xauth
          mdbtools-dev)

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
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" >/dev/null
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}
