#!/usr/bin/env bash
# Shows which input-method plugin Qt loads for the program under Xvfb (QT_IM_MODULE=ibus by default).
# Without a running ibus daemon Qt loads the ibus plugin and then falls back to the compose plugin.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
module="${1:-ibus}"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
QUELM_HOME="$home" QT_IM_MODULE="$module" QT_DEBUG_PLUGINS=1 timeout 20 \
    xvfb-run -a bash -c "'$ROOT/build/quelm' & sleep 3; kill %1" 2>&1 |
    grep -E 'platforminputcontexts/.*loaded library' || { echo "no input-method plugin was loaded"; exit 1; }
