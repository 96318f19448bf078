// Benchmarks of the charts of the collection: each chart is one query over six categories of 100,000 discs.
#include "SyntheticCatalogue.h"

#include "maintenance/CollectionCharts.h"
#include "platform/Database.h"
#include "store/Catalogue.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace quelm;

constexpr int DiscsPerCategory = 100000;
// CD fields: 4 レーベル (text), 14 発売日 (date), 9 録音年 (text holding a year).
constexpr int LabelField = 4;
constexpr int ReleaseField = 14;
constexpr int RecordedField = 9;

struct Catalogue {
    QTemporaryDir dir;
    store::AppState state;
};

Catalogue& SixCategories() {
    static std::unique_ptr<Catalogue> made;
    if (!made) {
        made = std::make_unique<Catalogue>();
        bench::FillSyntheticCatalogue(made->dir.path(), {DiscsPerCategory, 0, 6});
        made->state.dataFolder = made->dir.path();
        made->state.config = store::LoadConfig(*store::OpenCatalogue(made->state.databasePath()));
    }
    return *made;
}

template <typename Chart> void Run(benchmark::State& st, Chart chart) {
    Catalogue& c = SixCategories();
    auto db = store::OpenCatalogue(c.state.databasePath());
    std::int64_t bars = 0;
    for (auto _ : st)
        bars = chart(*db, c.state.config).size();
    st.counters["bars"] = static_cast<double>(bars);
    st.counters["discs"] = 6.0 * DiscsPerCategory;
}

void BM_ChartPerCategory(benchmark::State& st) {
    Run(st, [](platform::Database& db, const store::CategoryConfig& config) {
        return maintenance::DiscsPerCategory(db, config);
    });
}
BENCHMARK(BM_ChartPerCategory)->Unit(benchmark::kMillisecond);

void BM_ChartPerReleaseYear(benchmark::State& st) {
    Run(st, [](platform::Database& db, const store::CategoryConfig& config) {
        return maintenance::DiscsPerYear(db, config[store::FirstSlotSection], ReleaseField);
    });
}
BENCHMARK(BM_ChartPerReleaseYear)->Unit(benchmark::kMillisecond);

void BM_ChartPerRecordingYearText(benchmark::State& st) {
    Run(st, [](platform::Database& db, const store::CategoryConfig& config) {
        return maintenance::DiscsPerYear(db, config[store::FirstSlotSection], RecordedField);
    });
}
BENCHMARK(BM_ChartPerRecordingYearText)->Unit(benchmark::kMillisecond);

void BM_ChartTopLabels(benchmark::State& st) {
    Run(st, [](platform::Database& db, const store::CategoryConfig& config) {
        return maintenance::TopValues(db, config[store::FirstSlotSection], LabelField);
    });
}
BENCHMARK(BM_ChartTopLabels)->Unit(benchmark::kMillisecond);

} // namespace
