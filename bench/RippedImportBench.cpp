// Benchmark of the ripped album import: 10,000 tagged tracks in 1,000 folders scanned (tags only) and imported in one
// run, beside a bare SQLite insert of the same rows. The tracks are small FLAC files: one is encoded once with the flac
// program and copied with each track's own tags written by TagLib.
#include "exchange/RippedAlbum.h"
#include "exchange/RippedImport.h"
#include "platform/Database.h"
#include "store/Catalogue.h"
#include "store/CategoryTables.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>
#include <taglib/flacfile.h>
#include <taglib/xiphcomment.h>

namespace {

using namespace quelm;

constexpr int Folders = 1000;
constexpr int TracksPerFolder = 10;

struct Library {
    QTemporaryDir dir;
    bool made = false;
};

QString SilentFlac(const QDir& dir) {
    QByteArray wav("RIFF");
    const quint32 data = 4410 * 2; // a tenth of a second
    auto u32 = [&](quint32 v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](quint16 v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
    u32(36 + data);
    wav += "WAVEfmt ";
    u32(16), u16(1), u16(1), u32(44100), u32(88200), u16(2), u16(16);
    wav += "data";
    u32(data);
    wav += QByteArray(data, '\0');
    QFile file(dir.filePath("t.wav"));
    file.open(QIODevice::WriteOnly);
    file.write(wav);
    file.close();
    QProcess::execute("flac", {"-s", "--force", "-o", dir.filePath("t.flac"), dir.filePath("t.wav")});
    return dir.filePath("t.flac");
}

Library& Tracks() {
    static std::unique_ptr<Library> made;
    if (!made) {
        made = std::make_unique<Library>();
        const QDir root(made->dir.path());
        const QString model = SilentFlac(root);
        for (int f = 0; f < Folders; ++f) {
            const QString folder = QStringLiteral("Artist %1/Album %1").arg(f);
            root.mkpath(folder);
            for (int t = 1; t <= TracksPerFolder; ++t) {
                const QString path =
                    root.filePath(QStringLiteral("%1/%2.flac").arg(folder).arg(t, 2, 10, QLatin1Char('0')));
                QFile::copy(model, path);
                TagLib::FLAC::File file(QFile::encodeName(path).constData());
                TagLib::Ogg::XiphComment* tag = file.xiphComment(true);
                tag->setTitle(TagLib::String(QStringLiteral("曲 %1").arg(t).toStdString(), TagLib::String::UTF8));
                tag->setArtist(TagLib::String(QStringLiteral("歌手 %1").arg(f).toStdString(), TagLib::String::UTF8));
                tag->setAlbum(TagLib::String(QStringLiteral("アルバム %1").arg(f).toStdString(), TagLib::String::UTF8));
                tag->setTrack(t);
                tag->setYear(1980 + f % 40);
                file.save();
            }
        }
        QFile::remove(model);
        QFile::remove(root.filePath("t.wav"));
        made->made = true;
    }
    return *made;
}

void BM_RippedScanAndImport(benchmark::State& st) {
    Library& library = Tracks();
    for (auto _ : st) {
        st.PauseTiming();
        QTemporaryDir data;
        store::AppState state;
        state.dataFolder = data.path();
        store::CreateCatalogue(state.databasePath());
        state.config = store::LoadConfig(*store::OpenCatalogue(state.databasePath()));
        state.CurrentSection = store::FirstSlotSection;
        exchange::CddbMapping mapping;
        mapping.main[0] = QStringLiteral("タイトル");
        mapping.main[1] = QStringLiteral("アーティスト");
        mapping.sub[0] = QStringLiteral("曲名");
        mapping.sub[5] = QStringLiteral("演奏時間");
        st.ResumeTiming();
        const exchange::RippedScan scan = exchange::ScanRippedFolder(library.dir.path());
        std::vector<const exchange::RippedAlbum*> albums;
        for (const auto& a : scan.albums)
            albums.push_back(&a);
        const auto result = exchange::RunRippedImport(state, albums, mapping, {{194, 191}, Qt::white});
        if (result.subCount != Folders * TracksPerFolder)
            st.SkipWithError("not every track was imported");
    }
    st.counters["tracks"] = Folders * TracksPerFolder;
}
BENCHMARK(BM_RippedScanAndImport)->Unit(benchmark::kMillisecond)->Iterations(1);

// The floor: the same 1,000 main and 10,000 sub rows through plain prepared inserts in one transaction.
void BM_BareSqliteInsert(benchmark::State& st) {
    for (auto _ : st) {
        st.PauseTiming();
        QTemporaryDir dir;
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(dir.filePath("bare.db")).constData(), &db);
        sqlite3_exec(db,
                     "CREATE TABLE m(a TEXT, b TEXT, k INTEGER PRIMARY KEY);"
                     "CREATE TABLE s(a TEXT, l TEXT, k INTEGER, n INTEGER, PRIMARY KEY(k, n));",
                     nullptr, nullptr, nullptr);
        st.ResumeTiming();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* m = nullptr;
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO m VALUES(?, ?, ?)", -1, &m, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO s VALUES(?, ?, ?, ?)", -1, &s, nullptr);
        for (int f = 1; f <= Folders; ++f) {
            const QByteArray title = QStringLiteral("アルバム %1").arg(f).toUtf8();
            sqlite3_bind_text(m, 1, title.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(m, 2, "歌手", -1, SQLITE_STATIC);
            sqlite3_bind_int(m, 3, f);
            sqlite3_step(m);
            sqlite3_reset(m);
            for (int t = 1; t <= TracksPerFolder; ++t) {
                const QByteArray song = QStringLiteral("曲 %1").arg(t).toUtf8();
                sqlite3_bind_text(s, 1, song.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(s, 2, "00:01", -1, SQLITE_STATIC);
                sqlite3_bind_int(s, 3, f);
                sqlite3_bind_int(s, 4, t);
                sqlite3_step(s);
                sqlite3_reset(s);
            }
        }
        sqlite3_finalize(m);
        sqlite3_finalize(s);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        st.PauseTiming();
        sqlite3_close(db);
        st.ResumeTiming();
    }
}
BENCHMARK(BM_BareSqliteInsert)->Unit(benchmark::kMillisecond);

} // namespace
