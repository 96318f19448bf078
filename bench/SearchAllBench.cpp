// Benchmarks of the all-category search: six categories of 100,000 main records and about 1,000,000 sub records in
// all, against the floor of one plain scan of the same rows and TEXT columns.
#include "SyntheticCatalogue.h"

#include "platform/Database.h"
#include "records/MainRecords.h"
#include "search/AllCategorySearch.h"
#include "store/Catalogue.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

using namespace quelm;

constexpr int Mains = 100000;

struct Catalogue {
    QTemporaryDir dir;
    store::AppState state;
};

Catalogue& LargeCatalogue() {
    static std::unique_ptr<Catalogue> made;
    if (!made) {
        made = std::make_unique<Catalogue>();
        // Every third disc with five tracks: 6 × 33,333 × 5 = 999,990 sub records.
        bench::FillSyntheticCatalogue(made->dir.path(), {Mains, 5, 6, 3});
        made->state.dataFolder = made->dir.path();
        auto db = store::OpenCatalogue(made->state.databasePath());
        made->state.config = store::LoadConfig(*db);
    }
    return *made;
}

struct Counter : search::SearchObserver {
    std::size_t hits = 0;
    void tableStarted(int, int) override {}
    void tableFinished(std::vector<platform::ListRow>&& rows) override { hits += rows.size(); }
    bool keepGoing() override { return true; }
};

void RunSearch(benchmark::State& st, const QString& text, bool exact) {
    Catalogue& c = LargeCatalogue();
    std::size_t hits = 0;
    for (auto _ : st) {
        auto db = store::OpenCatalogue(c.state.databasePath());
        Counter counter;
        search::SearchAllCategories(*db, c.state.config, {text, exact}, counter);
        hits = counter.hits;
    }
    if (hits == 0)
        st.SkipWithError("the search found nothing");
    st.counters["hits"] = static_cast<double>(hits);
}

// Folded: ひかり also finds ヒカリ and ﾋｶﾘ; every TEXT cell is folded.
void BM_SearchAllFolded(benchmark::State& st) {
    RunSearch(st, QStringLiteral("ひかり"), false);
}

// A Latin word, folded: Blue, BLUE and full-width forms.
void BM_SearchAllFoldedLatin(benchmark::State& st) {
    RunSearch(st, QStringLiteral("blue"), false);
}

void BM_SearchAllExact(benchmark::State& st) {
    RunSearch(st, QStringLiteral("ひかり"), true);
}

// The floor: the same tables in the same order, every TEXT cell fetched from the engine and nothing compared, each
// table read on one thread in stored order (keyOrder false) as the search reads it, or through its key's index.
void ScanTables(benchmark::State& st, bool keyOrder) {
    Catalogue& c = LargeCatalogue();
    std::size_t bytes = 0;
    for (auto _ : st) {
        bytes = 0;
        auto db = store::OpenCatalogue(c.state.databasePath());
        for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
            const store::ConfigSection& section = c.state.config[s];
            if (!section.inUse())
                continue;
            for (bool sub : {false, true}) {
                const int n = sub ? section.SubFieldCount : section.FieldCount;
                std::vector<int> textColumns;
                for (int k = 1; k <= n; ++k) {
                    const QString type = sub ? records::SubFieldType(section, k) : records::MainFieldType(section, k);
                    if (type == store::TypeText)
                        textColumns.push_back(k - 1);
                }
                const QString table = (sub ? section.SubTableName : section.TableName).trimmed();
                auto rs = keyOrder ? db->openTable(table) : db->openTableInStoredOrder(table);
                for (; !rs->eof(); rs->moveNext()) {
                    for (int i : textColumns)
                        bytes += rs->utf8Text(i).size();
                }
            }
        }
        benchmark::DoNotOptimize(bytes);
    }
    st.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ScanFloor(benchmark::State& st) {
    ScanTables(st, false);
}

void BM_ScanInKeyOrder(benchmark::State& st) {
    ScanTables(st, true);
}

BENCHMARK(BM_ScanFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScanInKeyOrder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchAllFolded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchAllFoldedLatin)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchAllExact)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
