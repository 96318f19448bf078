#!/usr/bin/env bash
# Installs what is missing, builds the Release benchmarks and runs them: list loading at 1,000 / 10,000 / 100,000,
# opening the sub record screen over a large sub table, the per-field search over 100,000 records, the search of all
# six categories, the CSV import of 100,000 records and export of 100,000 with 1,000,000 sub records, the migration,
# the field rename's table rebuild, the record counts and the report rendering.
QUELM_BUILD_DIR="${QUELM_BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-release}"
QUELM_BUILD_TYPE=Release
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
for bench in quelm_bench quelm_search_bench quelm_csv_bench quelm_migration_bench quelm_rebuild_bench quelm_searchall_bench quelm_statistics_bench; do
    QT_QPA_PLATFORM=offscreen "$BUILD_DIR/bench/$bench" --benchmark_repetitions=3 \
        --benchmark_report_aggregates_only=true "$@"
done
