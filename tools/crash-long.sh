#!/usr/bin/env bash
# The long form of the crash trials, by hand (CI runs the short form through ctest): 200 trials killed at random
# moments plus one killed at each marked step, for every operation named (all that keep files beside the catalogue
# by default). Builds the trials first; the exit code is the number of operations with a failed trial.
#   tools/crash-long.sh [OPERATION …]      e.g. tools/crash-long.sh backup restore initialise
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
TRIALS="${QUELM_CRASH_TRIALS:-200}"
OPERATIONS=("$@")
((${#OPERATIONS[@]})) || OPERATIONS=(backup restore initialise)
cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" >/dev/null
cmake --build "$BUILD_DIR" --target crash_trials
failed=0
for op in "${OPERATIONS[@]}"; do
    QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 "$BUILD_DIR/tests/crash_trials" --trials "$TRIALS" --op "$op" || ((failed += 1))
done
exit "$failed"
