// Benchmarks of the per-field search: the main record list of list mode 1 read from a large category, one case per
// field type.
#include "SyntheticCatalogue.h"

#include "platform/Database.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

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
        bench::FillSyntheticCatalogue(made->dir.path(), {Mains, 0});
        made->state.dataFolder = made->dir.path();
        auto db = store::OpenCatalogue(made->state.databasePath());
        made->state.config = store::LoadConfig(*db);
        made->state.CurrentSection = store::FirstSlotSection;
        made->state.CurrentCategoryName = made->state.config[store::FirstSlotSection].ShumokuName;
        made->state.ListMode = 1;
    }
    return *made;
}

void RunSearch(benchmark::State& st, const store::FieldSearch& criteria) {
    Catalogue& c = LargeCatalogue();
    c.state.FieldSearchCriteria = criteria;
    std::size_t found = 0;
    for (auto _ : st) {
        auto db = store::OpenCatalogue(c.state.databasePath());
        const auto rows = records::ReadMainRows(*db, c.state);
        found = rows.size();
        benchmark::DoNotOptimize(rows.data());
    }
    if (found == 0)
        st.SkipWithError("the search found nothing");
    st.counters["found"] = static_cast<double>(found);
    st.SetItemsProcessed(st.iterations() * Mains);
}

// Title (field 1), folded: ひかり also finds ヒカリ and ﾋｶﾘ, and every title is folded.
void BM_FieldSearchTextFolded(benchmark::State& st) {
    store::FieldSearch f;
    f.searchField = 0;
    f.searchType = store::TypeText;
    f.searchText = QStringLiteral("ヒカリ");
    f.exactMatch = 0;
    RunSearch(st, f);
}

void BM_FieldSearchTextExact(benchmark::State& st) {
    store::FieldSearch f;
    f.searchField = 0;
    f.searchType = store::TypeText;
    f.searchText = QStringLiteral("ひかり");
    f.exactMatch = 1;
    RunSearch(st, f);
}

// Price (field 12).
void BM_FieldSearchLong(benchmark::State& st) {
    store::FieldSearch f;
    f.searchField = 11;
    f.searchType = store::TypeLong;
    f.searchNumber = 3000;
    RunSearch(st, f);
}

// Purchase date (field 13) later than 2009/04/06: about a third of the records, so many rows are built too.
void BM_FieldSearchDateLater(benchmark::State& st) {
    store::FieldSearch f;
    f.searchField = 12;
    f.searchType = store::TypeDate;
    f.searchDate = QDate(2009, 4, 6);
    f.dateComparison = 1;
    RunSearch(st, f);
}

BENCHMARK(BM_FieldSearchTextFolded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FieldSearchTextExact)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FieldSearchLong)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FieldSearchDateLater)->Unit(benchmark::kMillisecond);

} // namespace
