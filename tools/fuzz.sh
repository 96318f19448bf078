#!/usr/bin/env bash
# Fuzzes one reader of outside files by hand (not part of CI, which replays the saved inputs as an ordinary test):
#   tools/fuzz.sh TARGET [SECONDS]        e.g. tools/fuzz.sh picture 600
# Installs clang and its fuzzer runtime when missing, builds build-fuzz/ with QUELM_BUILD_FUZZERS, and runs
# fuzz_TARGET on a working corpus in build-fuzz/corpus/TARGET, seeded from the shared fixtures and the saved inputs
# in tests/fuzz/corpus/TARGET. Inputs that crash are left in build-fuzz/ as crash-*; copy the ones worth keeping into
# tests/fuzz/corpus/TARGET so that CI replays them.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
TARGET="${1:?usage: tools/fuzz.sh TARGET [SECONDS]}"
SECONDS_TO_RUN="${2:-600}"
FUZZ_DIR="${QUELM_FUZZ_DIR:-$ROOT/build-fuzz}"
FIXTURES="${QUELM_FIXTURES:-$ROOT/../shared/fixtures}"

PACKAGES+=(clang-14 libclang-rt-14-dev)
install_missing
CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUELM_BUILD_FUZZERS=ON -DQUELM_BUILD_TESTS=OFF -DQUELM_BUILD_BENCH=OFF -DQUELM_BUILD_TOOLS=OFF >/dev/null
cmake --build "$FUZZ_DIR" -j "$(nproc)" --target "fuzz_$TARGET"

seeds=("$ROOT/tests/fuzz/corpus/$TARGET")
case "$TARGET" in
    picture) seeds+=("$FIXTURES/jpeg" "$FIXTURES/jpeg/orientation") ;;
    csv) seeds+=("$FIXTURES/csv/sjis" "$FIXTURES/csv/utf8") ;;
    cddb) seeds+=("$FIXTURES/cddb" "$FIXTURES/cddb/bad" "$FIXTURES/cddb/format") ;;
    restore | mdb) seeds+=("$FIXTURES/mdb") ;;
esac
mkdir -p "$FUZZ_DIR/corpus/$TARGET"
cd "$FUZZ_DIR"
# 2 GB of memory and 10 s per input at most: anything beyond is a fault of the reader.
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="detect_leaks=0" "./tests/fuzz/fuzz_$TARGET" \
    -max_total_time="$SECONDS_TO_RUN" -rss_limit_mb=2048 -timeout=10 -max_len=1048576 -print_final_stats=1 \
    "$FUZZ_DIR/corpus/$TARGET" "${seeds[@]}"
