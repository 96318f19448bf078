// Benchmarks of filling the main record list: the bare engine scan against the list's own read.
#include "SyntheticCatalogue.h"

#include "platform/Database.h"
#include "platform/RecordList.h"
#include "platform/ScriptedUi.h"
#include "records/Form5.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"

#include <QApplication>
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

Catalogue& CatalogueOf(int mains) {
    static std::map<int, std::unique_ptr<Catalogue>> made;
    auto& slot = made[mains];
    if (!slot) {
        slot = std::make_unique<Catalogue>();
        bench::FillSyntheticCatalogue(slot->dir.path(), {mains, 2});
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

void BM_BareSqliteScan(benchmark::State& st) {
    const int rows = static_cast<int>(st.range(0));
    const QByteArray path = CatalogueOf(rows).state.databasePath().toUtf8();
    for (auto _ : st) {
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
        benchmark::DoNotOptimize(bytes);
    }
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
void BM_OpenCategoryInForm5(benchmark::State& st) {
    const int rows = static_cast<int>(st.range(0));
    Catalogue& c = CatalogueOf(rows);
    platform::ScriptedUi ui;
    for (auto _ : st) {
        records::Form5 screen(c.state, ui);
        screen.Timer1_Timer();
        if (screen.ListView1->rowCount() != rows || !ui.messages.isEmpty())
            st.SkipWithError("the list does not hold every row");
    }
    st.SetItemsProcessed(st.iterations() * rows);
}

BENCHMARK(BM_BareSqliteScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadMainRows)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCategoryInForm5)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

// A QApplication on the offscreen platform, so benchmarks of screens can build their widgets.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
