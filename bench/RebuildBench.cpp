// Benchmark of the field rename's table rebuild: one category of 100,000 main and 1,000,000 sub records, both tables
// rebuilt, beside a bare INSERT … SELECT of the same rows into tables made with the same SQL, in the same run. CPU
// time is the whole process's: the rename checks the rows on a second thread while it copies.
#include "SyntheticCatalogue.h"

#include "platform/Database.h"
#include "store/Catalogue.h"
#include "store/CategoryTables.h"
#include "store/TableSql.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

using namespace quelm;

constexpr int SubsPerMain = 10;

// CD1 alone filled; every run works on a fresh copy of this file.
struct Original {
    QTemporaryDir dir;
};

Original& OriginalOf(int mains) {
    static std::map<int, std::unique_ptr<Original>> made;
    auto& slot = made[mains];
    if (!slot) {
        slot = std::make_unique<Original>();
        bench::FillSyntheticCatalogue(slot->dir.path(), {mains, SubsPerMain, 1});
    }
    return *slot;
}

// A data folder holding a copy of the original catalogue, with its configuration loaded.
struct Copy {
    QTemporaryDir dir;
    store::AppState state;
    explicit Copy(int mains) {
        state.dataFolder = dir.path();
        QFile::copy(OriginalOf(mains).dir.path() + QLatin1Char('/') + store::CatalogueFileName, state.databasePath());
        state.config = store::LoadConfig(*store::OpenCatalogue(state.databasePath()));
    }
};

void Report(benchmark::State& st, int mains) {
    st.counters["main_records"] = mains;
    st.counters["sub_records"] = static_cast<double>(mains) * SubsPerMain;
    st.SetItemsProcessed(st.iterations() * mains * (1 + SubsPerMain));
}

// The rename as the screen runs it: a main and a sub name changed, so both tables are rebuilt in one transaction.
void BM_RenameRebuild(benchmark::State& st) {
    const int mains = static_cast<int>(st.range(0));
    for (auto _ : st) {
        st.PauseTiming();
        auto copy = std::make_unique<Copy>(mains);
        const store::ConfigSection& cd = copy->state.config[store::FirstSlotSection];
        QStringList main = store::MainFieldNames(cd);
        QStringList sub = store::SubFieldNames(cd);
        main[0] = QStringLiteral("題名");
        sub[0] = QStringLiteral("曲目");
        std::int64_t reports = 0;
        st.ResumeTiming();
        const auto refused = store::RenameFields(copy->state, store::FirstSlotSection, main, sub,
                                                 [&](std::int64_t, std::int64_t) { ++reports; });
        if (refused)
            st.SkipWithError(refused->toStdString().c_str());
        benchmark::DoNotOptimize(reports);
        st.PauseTiming();
        copy.reset();
        st.ResumeTiming();
    }
    Report(st, mains);
}
// Both sizes, one run each (a run changes its copy of the catalogue), the whole process's CPU time.
void OneRunEach(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
}

BENCHMARK(BM_RenameRebuild)->Apply(OneRunEach);

// The floor: the same two tables made with the same SQL and filled by one INSERT … SELECT * each, old tables
// dropped with the same setting, in one transaction; no check, no conversion, no progress.
void BM_BareInsertSelect(benchmark::State& st) {
    const int mains = static_cast<int>(st.range(0));
    for (auto _ : st) {
        st.PauseTiming();
        auto copy = std::make_unique<Copy>(mains);
        const store::ConfigSection& cd = copy->state.config[store::FirstSlotSection];
        st.ResumeTiming();
        {
            auto db = store::OpenCatalogue(copy->state.databasePath());
            platform::Transaction tx(*db);
            db->execute(QStringLiteral("PRAGMA secure_delete = OFF")); // as the rename drops its old tables
            db->execute(store::CreateMainTableSql(QStringLiteral("CD1_1"), store::MainFieldNames(cd),
                                                  store::MainFieldTypes(cd)));
            db->execute(QStringLiteral("INSERT INTO CD1_1 SELECT * FROM CD1"));
            db->execute(QStringLiteral("DROP TABLE CD1"));
            db->execute(store::CreateSubTableSql(QStringLiteral("CD1SUB_1"), store::SubFieldNames(cd),
                                                 store::SubFieldTypes(cd)));
            db->execute(QStringLiteral("INSERT INTO CD1SUB_1 SELECT * FROM CD1SUB"));
            db->execute(QStringLiteral("DROP TABLE CD1SUB"));
            tx.commit();
        }
        st.PauseTiming();
        copy.reset();
        st.ResumeTiming();
    }
    Report(st, mains);
}
BENCHMARK(BM_BareInsertSelect)->Apply(OneRunEach);

} // namespace
