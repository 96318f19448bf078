// Benchmarks of the record counts per category: one grouped query per category over six categories of 100,000 main
// and 1,000,000 sub records in all, beside the scan of the whole sub table for every main record, measured on a
// small sample and extrapolated to the large catalogue.
#include "SyntheticCatalogue.h"

#include "maintenance/Statistics.h"
#include "platform/Database.h"
#include "store/Catalogue.h"
#include "store/CategoryTables.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

using namespace quelm;

struct Catalogue {
    QTemporaryDir dir;
    store::AppState state;
};

// All six categories filled alike: CD1 and DVD1 by the generator, the four added ones as copies of them.
Catalogue& SixCategories(int mainsPerCategory, int subsPerMain) {
    static std::map<std::pair<int, int>, std::unique_ptr<Catalogue>> made;
    auto& slot = made[{mainsPerCategory, subsPerMain}];
    if (!slot) {
        slot = std::make_unique<Catalogue>();
        bench::FillSyntheticCatalogue(slot->dir.path(), {mainsPerCategory, subsPerMain});
        slot->state.dataFolder = slot->dir.path();
        slot->state.config = store::LoadConfig(*store::OpenCatalogue(slot->state.databasePath()));
        slot->state.ListTableNames = store::MakeListTableNames();
        for (int s : {5, 6, 8, 9}) {
            store::AddSlot(slot->state, s);
            const store::ConfigSection& from = slot->state.config[s < 7 ? 4 : 7];
            const store::ConfigSection& to = slot->state.config[s];
            auto db = store::OpenCatalogue(slot->state.databasePath());
            db->execute(QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(to.TableName, from.TableName));
            db->execute(QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(to.SubTableName, from.SubTableName));
        }
    }
    return *slot;
}

// The old way: for every main record, open the sub table and scan all of it.
std::int64_t ScanCount(platform::Database& db, const store::ConfigSection& s) {
    std::int64_t subs = 0;
    for (auto main = db.openTable(s.TableName.trimmed()); !main->eof(); main->moveNext()) {
        const std::int64_t key = main->value(s.FieldCount).toInt();
        for (auto sub = db.openTable(s.SubTableName.trimmed()); !sub->eof(); sub->moveNext())
            subs += sub->value(s.SubFieldCount).toInt() == key ? 1 : 0;
    }
    return subs;
}

void BM_StatisticsGrouped(benchmark::State& st) {
    const int mains = static_cast<int>(st.range(0));
    const int subsPerMain = static_cast<int>(st.range(1));
    Catalogue& c = SixCategories(mains, subsPerMain);
    for (auto _ : st) {
        auto db = store::OpenCatalogue(c.state.databasePath());
        std::int64_t total = 0;
        for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s)
            total += maintenance::CountCategory(*db, c.state.config[s]).subRecords;
        benchmark::DoNotOptimize(total);
    }
    st.counters["main_records"] = 6.0 * mains;
    st.counters["sub_records"] = 6.0 * mains * subsPerMain;
}
BENCHMARK(BM_StatisticsGrouped)->Args({16667, 10})->Unit(benchmark::kMillisecond)->Iterations(3);

// One small category scanned the old way; the time per visited sub row, times the rows the large catalogue would
// visit (six categories × mains × subs of each), gives the extrapolated figure.
void BM_StatisticsPerRecordScan(benchmark::State& st) {
    const int mains = static_cast<int>(st.range(0));
    const int subsPerMain = 10;
    Catalogue& c = SixCategories(mains, subsPerMain);
    const double visits = static_cast<double>(mains) * mains * subsPerMain;
    for (auto _ : st) {
        auto db = store::OpenCatalogue(c.state.databasePath());
        benchmark::DoNotOptimize(ScanCount(*db, c.state.config[store::FirstSlotSection]));
    }
    const double largeVisits = 6.0 * 16667.0 * (16667.0 * 10.0);
    st.counters["sub_rows_visited"] = visits;
    st.counters["s_per_visit"] =
        benchmark::Counter(visits, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    st.counters["large_visits"] = largeVisits;
}
BENCHMARK(BM_StatisticsPerRecordScan)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace
