// Benchmarks of filling the record lists: the bare engine scan against the list's own read, and the sub records of
// one main record in a large sub table.
#include "SyntheticCatalogue.h"

#include "platform/Database.h"
#include "platform/RecordList.h"
#include "platform/ScriptedUi.h"
#include "records/MainRecordScreen.h"
#include "records/MainRecords.h"
#include "records/SubList.h"
#include "records/SubRecordScreen.h"
#include "store/Catalogue.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace {

using namespace quelm;

// One catalogue per size, made on first use and kept for every benchmark of that size.
struct Catalogue {
    QTemporaryDir dir;
    store::AppState state;
};

Catalogue& CatalogueOf(int mains, int subsPerMain = 2) {
    static std::map<std::pair<int, int>, std::unique_ptr<Catalogue>> made;
    auto& slot = made[{mains, subsPerMain}];
    if (!slot) {
        slot = std::make_unique<Catalogue>();
        bench::FillSyntheticCatalogue(slot->dir.path(), {mains, subsPerMain});
        slot->state.dataFolder = slot->dir.path();
        auto db = store::OpenCatalogue(slot->state.databasePath());
        slot->state.config = store::LoadConfig(*db);
        slot->state.ListTableNames = store::MakeListTableNames();
        slot->state.CurrentSection = store::FirstSlotSection;
        slot->state.CurrentCategoryName = slot->state.config[store::FirstSlotSection].ShumokuName;
        slot->state.ListMode = 0;
    }
    return *slot;
}

// The floor: the engine alone, every cell of every row fetched as text. Kept out of line so that a profiler can
// count it apart from making the catalogue.
[[gnu::noinline]] std::size_t ScanEveryCell(const QByteArray& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM CD1", -1, &stmt, nullptr);
    const int columns = sqlite3_column_count(stmt);
    std::size_t bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, i));
            bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, i));
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return bytes;
}

void BM_BareSqliteScan(benchmark::State& st) {
    const int rows = static_cast<int>(st.range(0));
    const QByteArray path = CatalogueOf(rows).state.databasePath().toUtf8();
    for (auto _ : st)
        benchmark::DoNotOptimize(ScanEveryCell(path));
    st.SetItemsProcessed(st.iterations() * rows);
}

void BM_ReadMainRows(benchmark::State& st) {
    const int rows = static_cast<int>(st.range(0));
    Catalogue& c = CatalogueOf(rows);
    for (auto _ : st) {
        auto db = store::OpenCatalogue(c.state.databasePath());
        const auto list = records::ReadMainRows(*db, c.state);
        if (static_cast<int>(list.size()) != rows)
            st.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(list.data());
    }
    st.SetItemsProcessed(st.iterations() * rows);
}

// Opening a category in the main record screen: the window is built and its deferred load has run, so the list
// holds every row and the first one is shown. The 100 ms the timer waits for the first paint is not counted.
void BM_OpenCategoryInMainRecordScreen(benchmark::State& st) {
    const int rows = static_cast<int>(st.range(0));
    Catalogue& c = CatalogueOf(rows);
    platform::ScriptedUi ui;
    for (auto _ : st) {
        records::MainRecordScreen screen(c.state, ui);
        screen.Timer1_Timer();
        if (screen.ListView1->rowCount() != rows || !ui.messages.isEmpty())
            st.SkipWithError("the list does not hold every row");
    }
    st.SetItemsProcessed(st.iterations() * rows);
}

// The sub records of one main record in a sub table of 100,000 × 10 = 1,000,000 rows: what the sub record screen
// reads when it opens (its rows, the count and largest サブＮＯ, and the main record above them).
constexpr int SubBenchMains = 100000;
constexpr int SubBenchPerMain = 10;

Catalogue& SubCatalogue(std::int32_t regNo, std::int16_t mode, std::int32_t subNo) {
    Catalogue& c = CatalogueOf(SubBenchMains, SubBenchPerMain);
    c.state.CurrentSection = store::FirstSlotSection;
    c.state.CurrentCategoryName = c.state.config[store::FirstSlotSection].ShumokuName;
    c.state.ListMode = mode;
    c.state.CurrentRegNo = regNo;
    c.state.CurrentSubNo = subNo;
    return c;
}

void BM_ReadSubRowsOfOneMain(benchmark::State& st) {
    Catalogue& c = SubCatalogue(static_cast<std::int32_t>(st.range(0)), 0, 0);
    for (auto _ : st) {
        auto db = store::OpenCatalogue(c.state.databasePath());
        const auto rows = records::ReadSubRows(*db, c.state);
        const auto counts = records::CountSubRecords(*db, c.state.config[c.state.CurrentSection], c.state.CurrentRegNo);
        const auto main = records::ReadMainRow(*db, c.state);
        if (static_cast<int>(rows.size()) != SubBenchPerMain || counts.maxSubNo != SubBenchPerMain || main.size() != 1)
            st.SkipWithError("wrong sub rows");
        benchmark::DoNotOptimize(rows.data());
    }
}

// The whole screen: built, and its deferred load run (the 100 ms wait for the first paint not counted).
void BM_OpenSubRecordScreen(benchmark::State& st) {
    const std::int16_t mode = static_cast<std::int16_t>(st.range(1));
    Catalogue& c = SubCatalogue(static_cast<std::int32_t>(st.range(0)), mode, 7);
    platform::ScriptedUi ui;
    for (auto _ : st) {
        records::SubRecordScreen screen(c.state, ui);
        screen.Timer1_Timer();
        const int expected = mode == 2 ? 1 : SubBenchPerMain;
        if (screen.ListView1->rowCount() != expected || screen.ListView2->rowCount() != 1 || !ui.messages.isEmpty())
            st.SkipWithError("wrong lists");
    }
}

BENCHMARK(BM_ReadSubRowsOfOneMain)->Arg(1)->Arg(SubBenchMains / 2)->Arg(SubBenchMains)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSubRecordScreen)
    ->Args({1, 0})
    ->Args({SubBenchMains / 2, 0})
    ->Args({SubBenchMains, 0})
    ->Args({SubBenchMains / 2, 2})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_BareSqliteScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadMainRows)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCategoryInMainRecordScreen)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
