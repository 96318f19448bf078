// Benchmarks of the CSV exchange: importing main records against a bare SQLite insert of the same rows, and exporting
// main records with their sub records.
#include "SyntheticCatalogue.h"

#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "platform/Database.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace {

using namespace quelm;

constexpr int Cd = store::FirstSlotSection;

// Records of 15 columns as a disc catalogue holds them: texts, two numbers and two dates.
QString CsvRecords(int count) {
    QString text;
    text.reserve(count * 160);
    for (int i = 1; i <= count; ++i) {
        text += QStringLiteral("\"アルバム %1\",\"Artist %2\",\"レーベル\",\"CD-%1\",\"J-POP\",\"国内\",\"2枚組\","
                               "\"備考 %1\",\"棚%3\",\"\",%4,%5,2009/4/%6,2010-01-02,\"メモ, \"\"引用\"\"\"\r\n")
                    .arg(i)
                    .arg(i % 977)
                    .arg(i % 20)
                    .arg(1000 + i % 5000)
                    .arg(i % 13)
                    .arg(1 + i % 28);
    }
    return text;
}

struct EmptyCatalogue {
    QTemporaryDir dir;
    store::AppState state;

    EmptyCatalogue() {
        store::EnsureCatalogue(dir.path());
        state.dataFolder = dir.path();
        auto db = store::OpenCatalogue(state.databasePath());
        state.config = store::LoadConfig(*db);
        state.CurrentSection = Cd;
    }
};

// A Shift_JIS file of count records decoded and imported, as the import screen does it: with the encoding chosen
// (range 1 = 0), or found by the charset detector first (range 1 = 1, neither byte-order mark nor UTF-8). The two
// side by side, in one run, give what the detector costs an import.
void BM_CsvImportMain(benchmark::State& st) {
    const int count = static_cast<int>(st.range(0));
    const bool detect = st.range(1) != 0;
    const QByteArray bytes = platform::EncodeText(CsvRecords(count), platform::TextEncoding::Cp932);
    exchange::CsvImportOptions options;
    for (int c = 1; c <= 15; ++c)
        options.columns.push_back(c);
    for (auto _ : st) {
        st.PauseTiming();
        auto catalogue = std::make_unique<EmptyCatalogue>();
        exchange::CsvFile file;
        file.bytes = bytes;
        st.ResumeTiming();
        file.decodeAs(detect ? platform::DetectTextEncoding(file.bytes) : platform::TextEncoding::Cp932);
        if (file.encoding != platform::TextEncoding::Cp932 || file.decodeErrors())
            st.SkipWithError("the file was not read as CP932");
        const exchange::CsvImportResult r = exchange::ImportMainRecords(catalogue->state, file, options);
        if (!r.ok() || r.written != count)
            st.SkipWithError(r.reason.toStdString().c_str());
        st.PauseTiming();
        catalogue.reset();
        st.ResumeTiming();
    }
    st.SetItemsProcessed(st.iterations() * count);
}

// A Shift_JIS file as the import screen reads it: the encoding found (neither byte-order mark nor UTF-8, so the
// charset detector is asked) and the bytes decoded strictly, without the import.
void BM_CsvDetectAndDecodeCp932(benchmark::State& st) {
    const int count = static_cast<int>(st.range(0));
    const QByteArray bytes = platform::EncodeText(CsvRecords(count), platform::TextEncoding::Cp932);
    for (auto _ : st) {
        exchange::CsvFile file;
        file.bytes = bytes;
        file.decodeAs(platform::DetectTextEncoding(file.bytes));
        if (file.encoding != platform::TextEncoding::Cp932 || file.decodeErrors())
            st.SkipWithError("the file was not read as CP932");
    }
    st.SetItemsProcessed(st.iterations() * count);
}

// The detector alone on the same bytes.
void BM_CsvDetectorOnly(benchmark::State& st) {
    const int count = static_cast<int>(st.range(0));
    const QByteArray bytes = platform::EncodeText(CsvRecords(count), platform::TextEncoding::Cp932);
    for (auto _ : st)
        benchmark::DoNotOptimize(platform::DetectTextEncoding(bytes));
    st.SetItemsProcessed(st.iterations() * count);
}

// Reading and typing alone, without the engine.
void BM_CsvReadOnly(benchmark::State& st) {
    const int count = static_cast<int>(st.range(0));
    const QString text = CsvRecords(count);
    for (auto _ : st) {
        exchange::CsvReader reader(text);
        int records = 0;
        while (!reader.atEnd()) {
            benchmark::DoNotOptimize(reader.read().values.data());
            ++records;
        }
        if (records != count)
            st.SkipWithError("wrong record count");
    }
    st.SetItemsProcessed(st.iterations() * count);
}

// The same rows straight into the engine: one prepared INSERT, one transaction, no parsing and no checks.
void BM_BareSqliteInsert(benchmark::State& st) {
    const int count = static_cast<int>(st.range(0));
    for (auto _ : st) {
        st.PauseTiming();
        auto catalogue = std::make_unique<EmptyCatalogue>();
        const QByteArray path = catalogue->state.databasePath().toUtf8();
        st.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO CD1 VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1, &stmt, nullptr);
        for (int i = 1; i <= count; ++i) {
            const QByteArray title = QStringLiteral("アルバム %1").arg(i).toUtf8();
            const QByteArray artist = QStringLiteral("Artist %1").arg(i % 977).toUtf8();
            sqlite3_bind_text(stmt, 1, title.constData(), static_cast<int>(title.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 2, artist.constData(), static_cast<int>(artist.size()), SQLITE_TRANSIENT);
            for (int c = 3; c <= 10; ++c)
                sqlite3_bind_text(stmt, c, "レーベル", -1, SQLITE_STATIC);
            sqlite3_bind_int(stmt, 11, 1000 + i % 5000);
            sqlite3_bind_int(stmt, 12, i % 13);
            sqlite3_bind_text(stmt, 13, "2009-04-06", -1, SQLITE_STATIC);
            sqlite3_bind_text(stmt, 14, "2010-01-02", -1, SQLITE_STATIC);
            sqlite3_bind_text(stmt, 15, "メモ", -1, SQLITE_STATIC);
            sqlite3_bind_int(stmt, 16, i);
            sqlite3_bind_int(stmt, 17, 0);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        st.PauseTiming();
        catalogue.reset();
        st.ResumeTiming();
    }
    st.SetItemsProcessed(st.iterations() * count);
}

// A memory line of /proc/self/status, in MiB.
double StatusMb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(static_cast<int>(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double PeakMemoryMb() {
    return StatusMb("VmHWM:");
}

// Resident memory now, in MiB, after the kernel's record of the peak was set back to it.
double ResetPeakMemoryMb() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    return StatusMb("VmRSS:");
}

// Export with sub records (the second mode): every field ticked, rows as the main list holds them.
void BM_CsvExportMainAndSub(benchmark::State& st) {
    const int mains = static_cast<int>(st.range(0));
    const int subsPerMain = static_cast<int>(st.range(1));
    static std::map<std::pair<int, int>, std::unique_ptr<QTemporaryDir>> made; // one catalogue a size
    std::unique_ptr<QTemporaryDir>& dir = made[{mains, subsPerMain}];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        bench::FillSyntheticCatalogue(dir->path(), {mains, subsPerMain});
    }
    store::AppState state;
    state.dataFolder = dir->path();
    std::vector<exchange::ExportMainRow> rows;
    {
        auto db = store::OpenCatalogue(state.databasePath());
        state.config = store::LoadConfig(*db);
        state.CurrentSection = Cd;
        for (const auto& row : records::ReadMainRows(*db, state)) {
            exchange::ExportMainRow r;
            for (int k = 0; k < 15; ++k)
                r.fields << row.cell(k);
            r.regNo = row.cell(15).toLongLong();
            rows.push_back(std::move(r));
        }
    }
    exchange::ExportChoice choice;
    choice.mode = exchange::ExportMode::AllMainAndSub;
    choice.mainFields.assign(15, true);
    choice.subFields.assign(10, true);
    const QString out = dir->path() + QStringLiteral("/export.csv");
    double peakGrowthMb = 0;
    for (auto _ : st) {
        const double before = ResetPeakMemoryMb();
        auto db = store::OpenCatalogue(state.databasePath());
        // The synthetic titles hold "Café", which CP932 cannot: as on the screen, the CP932 file stops at the first
        // piece that holds it, the user is asked and answers that the file be written in UTF-8.
        exchange::ExportCounts counts;
        for (const auto encoding : {platform::TextEncoding::Cp932, platform::TextEncoding::Utf8Bom}) {
            exchange::ExportFile file(out, encoding);
            counts = exchange::StreamExport(*db, state.config[Cd], rows, choice, file);
            if (file.misfit().isEmpty()) {
                if (file.commit())
                    st.SkipWithError("export failed");
                break;
            }
        }
        if (counts.subLines != mains * subsPerMain)
            st.SkipWithError("export incomplete");
        peakGrowthMb = std::max(peakGrowthMb, PeakMemoryMb() - before);
        st.counters["bytes"] = static_cast<double>(QFileInfo(out).size());
    }
    // The most the process grew while an export ran, above what it held before (the rows of the list included).
    st.counters["peak_growth_mb"] = peakGrowthMb;
    st.SetItemsProcessed(st.iterations() * mains);
}

} // namespace

BENCHMARK(BM_CsvImportMain)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CsvDetectAndDecodeCp932)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CsvDetectorOnly)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CsvReadOnly)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BareSqliteInsert)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
// The smaller size serves profiling.
BENCHMARK(BM_CsvExportMainAndSub)
    ->Args({10000, 10})
    ->Args({100000, 10})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
