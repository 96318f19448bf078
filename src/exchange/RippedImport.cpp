#include "exchange/RippedImport.h"

#include "platform/Database.h"
#include "records/MainRecords.h"
#include "records/RecordPicture.h"
#include "store/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryFile>
#include <limits>
#include <set>
#include <sqlite3.h>

namespace quelm::exchange {

using platform::EngineError;
using platform::Value;

namespace {

const QString TitleItem = QStringLiteral("タイトル");
const QString ArtistItem = QStringLiteral("アーティスト");
const QString CatalogueItem = QStringLiteral("品番");
const QString MappingFile = QStringLiteral("ripped-import.ini");

int SlotOf(const CddbMapping& mapping, const QString& item) {
    for (int i = 0; i < store::MainFieldSlots; ++i)
        if (mapping.main[i] == item)
            return i;
    return -1;
}

QString ColumnText(sqlite3_stmt* stmt, int i) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, i)).trimmed() : QString();
}

struct Existing {
    std::set<std::pair<QString, QString>> titleArtist;
    std::set<QString> catalogue;
};

Existing ReadExisting(platform::Database& db, const QString& table, int titleSlot, int artistSlot, int catalogueSlot) {
    Existing existing;
    const QList<platform::Column> columns = db.columns(table);
    auto column = [&](int slot) {
        return slot >= 0 && slot < columns.size() ? platform::QuoteIdentifier(columns[slot].name)
                                                  : QStringLiteral("NULL");
    };
    sqlite3_stmt* stmt = db.prepare(
        QStringLiteral("SELECT %1, %2, %3 FROM %4")
            .arg(column(titleSlot), column(artistSlot), column(catalogueSlot), platform::QuoteIdentifier(table)));
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (titleSlot >= 0)
            existing.titleArtist.insert({ColumnText(stmt, 0), ColumnText(stmt, 1)});
        if (const QString c = ColumnText(stmt, 2); catalogueSlot >= 0 && !c.isEmpty())
            existing.catalogue.insert(c);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        db.raise(QStringLiteral("登録済みのアルバムを調べられません"));
    return existing;
}

// The cover of an album as the record screen would store it: the picture file, or the embedded one, through the
// same checks as a picture the user picks; a null image when there is none or it cannot be used.
std::optional<QImage> CoverImage(const RippedAlbum& album, const CoverBox& box) {
    if (album.coverFile.isEmpty() && album.embeddedCover.isEmpty())
        return QImage();
    QTemporaryFile embedded;
    QString path = album.coverFile;
    if (path.isEmpty()) {
        if (!embedded.open() || embedded.write(album.embeddedCover) != album.embeddedCover.size() || !embedded.flush())
            return std::nullopt;
        path = embedded.fileName();
    }
    const records::LoadedPicture picture = records::LoadPicture(path);
    if (!picture.ok())
        return std::nullopt;
    return records::ComposeBoxImage(picture.image, picture.naturalSize, box.size, box.background);
}

} // namespace

std::vector<bool> FindExistingAlbums(platform::Database& db, const store::ConfigSection& section,
                                     const CddbMapping& mapping, const std::vector<CddbDisc>& discs) {
    std::vector<bool> found(discs.size(), false);
    const int titleSlot = SlotOf(mapping, TitleItem);
    const int artistSlot = SlotOf(mapping, ArtistItem);
    const int catalogueSlot = SlotOf(mapping, CatalogueItem);
    if (titleSlot < 0 && catalogueSlot < 0)
        return found;
    const Existing existing =
        ReadExisting(db, records::CheckedTableName(section.TableName), titleSlot, artistSlot, catalogueSlot);
    for (size_t i = 0; i < discs.size(); ++i) {
        const auto texts = MainFieldTexts(discs[i], mapping);
        auto text = [&](int slot) { return slot >= 0 ? texts[slot].trimmed() : QString(); };
        const bool sameTitle = titleSlot >= 0 && !text(titleSlot).isEmpty() &&
                               existing.titleArtist.count({text(titleSlot), text(artistSlot)});
        const bool sameNumber = catalogueSlot >= 0 && existing.catalogue.count(text(catalogueSlot));
        found[i] = sameTitle || sameNumber;
    }
    return found;
}

RippedRunResult RunRippedImport(store::AppState& state, const std::vector<const RippedAlbum*>& albums,
                                const CddbMapping& mapping, const CoverBox& box,
                                const std::function<bool(int, int)>& progress) {
    RippedRunResult result;
    QStringList placedCovers; // removed again when the run does not commit
    try {
        const int section = records::CheckedSection(state.CurrentSection);
        const store::ConfigSection& s = state.config[section];
        const QString mainTable = records::CheckedTableName(s.TableName);
        const records::SubTable subTable = records::CheckedSubTable(s);
        auto db = store::OpenCatalogue(state.databasePath());
        store::CategoryConfig next = state.config;
        platform::Transaction tx(*db);
        std::int64_t regNo = s.RegNo;
        const int total = static_cast<int>(albums.size());
        for (int n = 0; n < total; ++n) {
            if (progress && !progress(n, total)) {
                result.cancelled = true;
                break;
            }
            const RippedAlbum& album = *albums[n];
            if (album.tracks.empty())
                continue;
            if (regNo >= std::numeric_limits<std::int32_t>::max())
                throw EngineError(QStringLiteral("登録NOが上限に達しています。"));
            ++regNo;
            const CddbDisc disc = album.disc();
            int pictureFlag = 0;
            const std::optional<QImage> cover = CoverImage(album, box);
            if (!cover) {
                result.coverFailures << album.folder;
            } else if (!cover->isNull()) {
                const QString path = state.RecordPicturePath(section, regNo);
                QDir().mkpath(state.pictureFolder());
                if (records::WriteJpeg(*cover, path)) {
                    placedCovers << path;
                    pictureFlag = 1;
                    ++result.covers;
                } else {
                    result.coverFailures << album.folder;
                }
            }
            const auto mainTexts = MainFieldTexts(disc, mapping);
            {
                auto rs = db->openTable(mainTable, store::MainKeyColumn, Value(regNo));
                records::RequireColumnCount(*rs, store::MainFieldSlots + 2);
                rs->addNew();
                for (int i = 0; i < store::MainFieldSlots; ++i)
                    if (MainSlotTakesCddb(i))
                        rs->setValue(i, Value(mainTexts[i]));
                rs->setValue(store::MainKeyColumn, Value(regNo));
                rs->setValue(store::PictureFlagColumn, Value(pictureFlag));
                rs->update();
            }
            ++result.mainCount;
            if (mapping.anySub()) {
                auto rs = subTable.openRowsOf(*db, static_cast<std::int32_t>(regNo));
                int subNo = 0;
                for (const CddbTrack& track : disc.tracks) {
                    const auto texts = SubFieldTexts(track, mapping);
                    rs->addNew();
                    for (int i = 0; i < store::SubFieldSlots; ++i)
                        if (SubSlotTakesCddb(i))
                            rs->setValue(i, Value(texts[i]));
                    rs->setValue(subTable.regNoPos, Value(regNo));
                    rs->setValue(subTable.subNoPos, Value(++subNo));
                    rs->update();
                    ++result.subCount;
                }
            }
        }
        if (result.cancelled) {
            for (const QString& path : placedCovers)
                QFile::remove(path);
            RippedRunResult cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
        next[section].RegNo = static_cast<std::int32_t>(regNo);
        next[section].Dirty = 1;
        store::SaveConfig(*db, next);
        tx.commit();
        state.config = next;
        if (progress)
            progress(total, total);
    } catch (const EngineError& e) {
        for (const QString& path : placedCovers)
            QFile::remove(path);
        RippedRunResult failed;
        failed.ok = false;
        failed.message = e.message();
        return failed;
    }
    return result;
}

std::optional<CddbMapping> LoadRippedMapping(const store::AppState& state, int section) {
    QSettings settings(QDir(state.dataFolder).filePath(MappingFile), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("category%1").arg(section));
    if (!settings.contains(QStringLiteral("main")))
        return std::nullopt;
    const QStringList main = settings.value(QStringLiteral("main")).toStringList();
    const QStringList sub = settings.value(QStringLiteral("sub")).toStringList();
    CddbMapping mapping;
    for (int i = 0; i < store::MainFieldSlots && i < main.size(); ++i)
        if (MainSlotTakesCddb(i) && !main[i].trimmed().isEmpty())
            mapping.main[i] = main[i].left(64);
    for (int i = 0; i < store::SubFieldSlots && i < sub.size(); ++i)
        if (SubSlotTakesCddb(i) && !sub[i].trimmed().isEmpty())
            mapping.sub[i] = sub[i].left(64);
    return mapping;
}

bool SaveRippedMapping(const store::AppState& state, int section, const CddbMapping& mapping) {
    QSettings settings(QDir(state.dataFolder).filePath(MappingFile), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("category%1").arg(section));
    settings.setValue(QStringLiteral("main"), QStringList(mapping.main.begin(), mapping.main.end()));
    settings.setValue(QStringLiteral("sub"), QStringList(mapping.sub.begin(), mapping.sub.end()));
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace quelm::exchange
