#include "CrashOperations.h"

#include "exchange/AccessCatalogue.h"
#include "exchange/CsvImport.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/Initialise.h"
#include "platform/Database.h"
#include "records/MainRecords.h"
#include "records/RecordPicture.h"
#include "records/SubRecords.h"
#include "store/Catalogue.h"
#include "store/CategoryTables.h"
#include "store/ListTables.h"
#include "store/TableSql.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace quelm::crash {

using platform::Database;
using platform::Value;
using records::FieldInput;
using store::AppState;
using store::CategoryConfig;

namespace {

constexpr int Cd1 = store::FirstSlotSection;

// ---------------------------------------------------------------- the data the work writes

// The texts a list shows for field k (1-based) of record n: what a record written from Inputs() must read back as.
QString FieldText(const QString& type, int n, int k, int salt) {
    if (type == store::TypeLong)
        return QString::number(n * 100 + k + salt);
    if (type == store::TypeDate)
        return QDate(1990, 1, 1).addDays(n * 7 + k + salt).toString(QStringLiteral("yyyy/MM/dd"));
    return QStringLiteral("盤%1・項目%2・%3").arg(n).arg(k).arg(salt);
}

QStringList MainTexts(int regNo) {
    QStringList texts;
    for (int k = 1; k <= store::MainFieldSlots; ++k)
        texts << FieldText(store::MainFieldTypeOf(k), regNo, k, 0);
    return texts;
}

QStringList SubTexts(int regNo, int subNo) {
    QStringList texts;
    for (int k = 1; k <= store::SubFieldSlots; ++k)
        texts << FieldText(store::SubFieldTypeOf(k), regNo, k, subNo * 1000);
    return texts;
}

// The boxes of an editor holding the texts; a date box's clip text is its digits.
std::vector<FieldInput> Inputs(const QStringList& texts) {
    std::vector<FieldInput> inputs;
    for (const QString& t : texts)
        inputs.push_back({t, QString(t).remove(u'/')});
    return inputs;
}

// Writes records straight into a table in one transaction: the starting data of a trial.
void FillMain(AppState& state, int section, int records) {
    auto db = store::OpenCatalogue(state.databasePath());
    platform::Transaction tx(*db);
    auto rs = db->openTable(state.config[section].TableName.trimmed());
    for (int n = 1; n <= records; ++n) {
        rs->addNew();
        const QStringList texts = MainTexts(n);
        for (int k = 0; k < texts.size(); ++k)
            rs->setValue(k, Value(texts[k]));
        rs->setValue(store::MainKeyColumn, Value(n));
        rs->setValue(store::PictureFlagColumn, Value(0));
        rs->update();
    }
    state.config[section].RegNo = records;
    state.config[section].Dirty = 1;
    store::SaveConfig(*db, state.config);
    tx.commit();
}

void FillSub(AppState& state, int section, int records, int subsEach) {
    auto db = store::OpenCatalogue(state.databasePath());
    platform::Transaction tx(*db);
    auto rs = db->openTable(state.config[section].SubTableName.trimmed());
    for (int n = 1; n <= records; ++n) {
        for (int s = 1; s <= subsEach; ++s) {
            rs->addNew();
            const QStringList texts = SubTexts(n, s);
            for (int k = 0; k < texts.size(); ++k)
                rs->setValue(k, Value(texts[k]));
            rs->setValue(store::MainKeyColumn, Value(n));
            rs->setValue(store::SubKeyColumn, Value(s));
            rs->update();
        }
    }
    tx.commit();
}

// The child stops with a message when a write it expected to succeed fails: the parent reports the exit code.
void Require(bool ok, const QString& what) {
    if (ok)
        return;
    std::fprintf(stderr, "%s\n", what.toUtf8().constData());
    std::exit(3);
}

// ---------------------------------------------------------------- reading back

qint64 Scalar(Database& db, const QString& sql) {
    sqlite3_stmt* stmt = db.prepare(sql);
    qint64 v = -1;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        v = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return v;
}

qint64 Count(Database& db, const QString& table) {
    return Scalar(db, QStringLiteral("SELECT count(*) FROM ") + platform::QuoteIdentifier(table));
}

// The first `count` columns of every row, as a list shows them, keyed by the given key columns.
QList<QStringList> Rows(Database& db, const QString& table, int count) {
    QList<QStringList> rows;
    for (auto rs = db.openTable(table); !rs->eof(); rs->moveNext()) {
        QStringList row;
        for (int i = 0; i < count && i < rs->fieldCount(); ++i)
            row << rs->text(i);
        rows << row;
    }
    return rows;
}

// Main rows must read back as MainTexts of their 登録ＮＯ (column 15).
void CheckMainRows(Database& db, const QString& table, QStringList& problems) {
    for (const QStringList& row : Rows(db, table, store::MainFieldSlots + 1)) {
        const int regNo = row.value(store::MainFieldSlots).toInt();
        if (row.mid(0, store::MainFieldSlots) != MainTexts(regNo))
            problems << QStringLiteral("record %1 of %2 does not hold what was written").arg(regNo).arg(table);
    }
}

void CheckSubRows(Database& db, const QString& table, QStringList& problems) {
    for (const QStringList& row : Rows(db, table, store::SubFieldSlots + 2)) {
        const int regNo = row.value(store::SubFieldSlots).toInt(), subNo = row.value(store::SubFieldSlots + 1).toInt();
        if (row.mid(0, store::SubFieldSlots) != SubTexts(regNo, subNo))
            problems << QStringLiteral("sub record %1/%2 of %3 does not hold what was written")
                            .arg(regNo)
                            .arg(subNo)
                            .arg(table);
    }
}

int PictureCount(const QString& folder) {
    return static_cast<int>(QDir(folder).entryList(QDir::Files).size());
}

void Expect(bool ok, const QString& what, QStringList& problems) {
    if (!ok)
        problems << what;
}

QString Table(const CategoryConfig& config, int section) {
    return config[section].TableName.trimmed();
}

QString SubTable(const CategoryConfig& config, int section) {
    return config[section].SubTableName.trimmed();
}

// ---------------------------------------------------------------- the operations

constexpr int AddedRecords = 40;

Operation AddMainRecords() {
    return {QStringLiteral("add-main"), [](AppState&) {},
            [](AppState& state) {
                state.CurrentSection = Cd1;
                for (int n = 1; n <= AddedRecords; ++n)
                    Require(records::AddMainRecord(state, Inputs(MainTexts(n))).ok(), QStringLiteral("add failed"));
            },
            [](Database& db, const CategoryConfig&, const CategoryConfig& now, QStringList& problems) {
                const QString t = Table(now, Cd1);
                const qint64 rows = Count(db, t);
                Expect(rows == now[Cd1].RegNo,
                       QStringLiteral("%1 records but the counter says %2").arg(rows).arg(now[Cd1].RegNo), problems);
                Expect(Scalar(db, QStringLiteral("SELECT coalesce(max(登録ＮＯ), 0) FROM ") + t) == rows,
                       QStringLiteral("registration numbers have a gap"), problems);
                CheckMainRows(db, t, problems);
            }};
}

constexpr int SubParents = 4, AddedSubs = 10;

Operation AddSubRecords() {
    return {QStringLiteral("add-sub"), [](AppState& state) { FillMain(state, Cd1, SubParents); },
            [](AppState& state) {
                state.CurrentSection = Cd1;
                for (int r = 1; r <= SubParents; ++r) {
                    state.MaxSubNo = 0;
                    for (int s = 1; s <= AddedSubs; ++s)
                        Require(records::AddSubRecord(state, r, Inputs(SubTexts(r, s))).ok(),
                                QStringLiteral("sub add failed"));
                }
            },
            [](Database& db, const CategoryConfig&, const CategoryConfig& now, QStringList& problems) {
                const QString t = SubTable(now, Cd1);
                const qint64 total = Count(db, t);
                // The subs were added one main record after the other, numbered from 1 without a gap.
                for (int r = 1; r <= SubParents; ++r) {
                    const qint64 expected = std::clamp<qint64>(total - (r - 1) * AddedSubs, 0, AddedSubs);
                    const QString where = QStringLiteral(" FROM %1 WHERE 登録ＮＯ = %2").arg(t).arg(r);
                    Expect(Scalar(db, QStringLiteral("SELECT count(*)") + where) == expected &&
                               Scalar(db, QStringLiteral("SELECT coalesce(max(サブＮＯ), 0)") + where) == expected,
                           QStringLiteral("sub records of %1 are not numbered 1 … %2").arg(r).arg(expected), problems);
                }
                CheckSubRows(db, t, problems);
                Expect(Count(db, Table(now, Cd1)) == SubParents, QStringLiteral("main records changed"), problems);
            }};
}

constexpr int RenamedRecords = 300, RenamedSubsEach = 3, Renames = 6;

// The field names of round i of the renames: the template's names with a round mark.
QStringList Renamed(const QStringList& names, int round) {
    QStringList out;
    for (const QString& n : names)
        out << n + QString(QChar(u'Ａ' + round % 2));
    return out;
}

Operation RenameFields() {
    return {QStringLiteral("rename-fields"),
            [](AppState& state) {
                FillMain(state, Cd1, RenamedRecords);
                FillSub(state, Cd1, RenamedRecords, RenamedSubsEach);
            },
            [](AppState& state) {
                for (int round = 0; round < Renames; ++round) {
                    const auto refused = store::RenameFields(state, Cd1, Renamed(store::CdTemplate().mainNames, round),
                                                             Renamed(store::CdTemplate().subNames, round));
                    Require(!refused, QStringLiteral("rename refused: ") + refused.value_or(QString()));
                }
            },
            [](Database& db, const CategoryConfig& start, const CategoryConfig& now, QStringList& problems) {
                // The configuration names either the start's or one round's names, for main and sub alike; that
                // the tables carry the same names is checked for every catalogue.
                const QStringList main = store::MainFieldNames(now[Cd1]), sub = store::SubFieldNames(now[Cd1]);
                bool known = main == store::MainFieldNames(start[Cd1]) && sub == store::SubFieldNames(start[Cd1]);
                for (int round = 0; round < 2; ++round)
                    known = known || (main == Renamed(store::CdTemplate().mainNames, round) &&
                                      sub == Renamed(store::CdTemplate().subNames, round));
                Expect(known, QStringLiteral("field names mixed from two renames"), problems);
                Expect(Count(db, Table(now, Cd1)) == RenamedRecords &&
                           Count(db, SubTable(now, Cd1)) == RenamedRecords * RenamedSubsEach,
                       QStringLiteral("records lost in a rebuild"), problems);
                Expect(now[Cd1].RegNo == RenamedRecords, QStringLiteral("counter changed by a rename"), problems);
                CheckMainRows(db, Table(now, Cd1), problems);
                CheckSubRows(db, SubTable(now, Cd1), problems);
            }};
}

const int AddedSlots[] = {5, 6, 8, 9};

Operation AddSlots() {
    return {QStringLiteral("add-slot"), [](AppState&) {},
            [](AppState& state) {
                for (const int section : AddedSlots)
                    Require(!store::AddSlot(state, section), QStringLiteral("slot refused"));
            },
            [](Database& db, const CategoryConfig&, const CategoryConfig& now, QStringList& problems) {
                // Slots are added in order; each new one has empty tables (their presence is checked for all).
                bool earlierMissing = false;
                for (const int section : AddedSlots) {
                    const bool used = now[section].inUse();
                    Expect(!(used && earlierMissing),
                           QStringLiteral("slot %1 added before an earlier one").arg(section), problems);
                    earlierMissing = earlierMissing || !used;
                    if (used)
                        Expect(Count(db, Table(now, section)) == 0 && Count(db, SubTable(now, section)) == 0,
                               QStringLiteral("a new slot holds records"), problems);
                }
            }};
}

constexpr int DeletedRecords = 1500, DeletedSubsEach = 4, DeletedPictures = 10;

Operation DeleteCategoryData() {
    return {QStringLiteral("delete-data"),
            [](AppState& state) {
                FillMain(state, Cd1, DeletedRecords);
                FillSub(state, Cd1, DeletedRecords, DeletedSubsEach);
                QImage image(64, 48, QImage::Format_RGB32);
                image.fill(Qt::darkCyan);
                for (int n = 1; n <= DeletedPictures; ++n) {
                    Require(records::SaveRecordPicture(state, Cd1, n, image).ok(), QStringLiteral("picture"));
                }
            },
            [](AppState& state) {
                Require(store::DeleteCategoryData(state, Cd1) == store::DataDeletion::Deleted,
                        QStringLiteral("nothing deleted"));
            },
            [](Database& db, const CategoryConfig&, const CategoryConfig& now, QStringList& problems) {
                const qint64 main = Count(db, Table(now, Cd1)), sub = Count(db, SubTable(now, Cd1));
                const bool whole = main == DeletedRecords && sub == DeletedRecords * DeletedSubsEach &&
                                   now[Cd1].RegNo == DeletedRecords;
                const bool gone = main == 0 && sub == 0 && now[Cd1].RegNo == 0;
                // A deletion cut off between the commit and the last picture is finished by the start.
                const int pictures = PictureCount(QFileInfo(db.path()).absolutePath() + "/" + store::PictureFolderName);
                Expect(!gone || pictures == 0, QStringLiteral("%1 pictures left after the deletion").arg(pictures),
                       problems);
                Expect(whole || gone,
                       QStringLiteral("half deleted: %1 records, %2 sub records, counter %3")
                           .arg(main)
                           .arg(sub)
                           .arg(now[Cd1].RegNo),
                       problems);
                if (whole)
                    CheckMainRows(db, Table(now, Cd1), problems);
            }};
}

constexpr int ListEntries = 8;

QString ListNameOf(int slot) {
    return QStringLiteral("一覧%1").arg(slot + 1);
}

QString EntryOf(int k) {
    return QStringLiteral("項目%1").arg(k);
}

Operation FillListTables() {
    return {QStringLiteral("fill-lists"), [](AppState&) {},
            [](AppState& state) {
                for (int slot = 0; slot < store::ListSlotCount; ++slot) {
                    Require(!store::CreateList(state, slot, ListNameOf(slot)), QStringLiteral("list refused"));
                    for (int k = 1; k <= ListEntries; ++k)
                        Require(store::AddListEntry(state, slot, EntryOf(k)) == store::EntryCheck::Ok,
                                QStringLiteral("entry refused"));
                }
            },
            [](Database& db, const CategoryConfig&, const CategoryConfig& now, QStringList& problems) {
                Expect(store::ListCount(now) == store::ListSlotCount - store::ListNames(now).count(QString()),
                       QStringLiteral("list count differs from the named lists"), problems);
                // Lists were made in slot order, each filled before the next: only the last one may be partial.
                bool earlierPartial = false;
                for (int slot = 0; slot < store::ListSlotCount; ++slot) {
                    const QString name = store::ListName(now, slot);
                    if (name.isEmpty()) {
                        earlierPartial = true;
                        continue;
                    }
                    Expect(name == ListNameOf(slot) && !earlierPartial,
                           QStringLiteral("list %1 out of order").arg(slot + 1), problems);
                    QStringList entries;
                    for (const QStringList& row : Rows(db, QStringLiteral("ListTable%1").arg(slot + 1), 1))
                        entries << row.value(0);
                    QStringList expected;
                    for (int k = 1; k <= entries.size(); ++k)
                        expected << EntryOf(k);
                    Expect(entries == expected && entries.size() <= ListEntries,
                           QStringLiteral("entries of list %1 are not the ones added").arg(slot + 1), problems);
                    earlierPartial = entries.size() < ListEntries;
                }
            }};
}

constexpr int PictureRecords = 3, PictureSaves = 15;

QImage TrialPicture(int round) {
    QImage image(900, 700, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7 + round * 31) & 255, (y * 5 + round) & 255, (x ^ y) & 255));
    return image;
}

Operation SavePictures() {
    return {QStringLiteral("save-picture"),
            [](AppState& state) {
                FillMain(state, Cd1, PictureRecords);
                Require(records::SaveRecordPicture(state, Cd1, 1, TrialPicture(0)).ok(), QStringLiteral("picture"));
            },
            [](AppState& state) {
                for (int round = 1; round <= PictureSaves; ++round)
                    Require(
                        records::SaveRecordPicture(state, Cd1, round % PictureRecords + 1, TrialPicture(round)).ok(),
                        QStringLiteral("picture save failed"));
            },
            [](Database& db, const CategoryConfig&, const CategoryConfig& now, QStringList& problems) {
                AppState state;
                state.dataFolder = QFileInfo(db.path()).absolutePath();
                state.config = now;
                for (auto rs = db.openTable(Table(now, Cd1)); !rs->eof(); rs->moveNext()) {
                    const int regNo = rs->value(store::MainKeyColumn).toInt();
                    if (rs->value(store::PictureFlagColumn).toInt() != 1)
                        continue; // a file without its flag is written over by the next save
                    Expect(records::JpegIsComplete(state.RecordPicturePath(Cd1, regNo)),
                           QStringLiteral("record %1 is flagged but its picture is not whole").arg(regNo), problems);
                }
            }};
}

// ---------------------------------------------------------------- CSV import

constexpr int CsvStartRecords = 20, CsvRecords = 3000;

// The file of the import: one line per record, each holding what MainTexts gives for the number it will get.
exchange::CsvFile TrialCsv() {
    QString text;
    for (int n = CsvStartRecords + 1; n <= CsvStartRecords + CsvRecords; ++n) {
        std::vector<exchange::CsvCell> cells;
        const QStringList texts = MainTexts(n);
        for (int k = 0; k < texts.size(); ++k)
            cells.emplace_back(texts[k], store::MainFieldTypeOf(k + 1));
        exchange::AppendCsvLine(text, cells);
    }
    exchange::CsvFile file;
    file.encoding = platform::TextEncoding::Utf8;
    file.bytes = text.toUtf8();
    file.text = text;
    return file;
}

Operation ImportCsv() {
    return {QStringLiteral("csv-import"), [](AppState& state) { FillMain(state, Cd1, CsvStartRecords); },
            [](AppState& state) {
                state.CurrentSection = Cd1;
                exchange::CsvImportOptions options;
                for (int k = 1; k <= store::MainFieldSlots; ++k)
                    options.columns.push_back(k);
                const exchange::CsvImportResult result = exchange::ImportMainRecords(state, TrialCsv(), options);
                Require(result.ok() && result.written == CsvRecords, QStringLiteral("import failed: ") + result.reason);
            },
            [](Database& db, const CategoryConfig&, const CategoryConfig& now, QStringList& problems) {
                const qint64 rows = Count(db, Table(now, Cd1));
                const bool none = rows == CsvStartRecords && now[Cd1].RegNo == CsvStartRecords;
                const bool all = rows == CsvStartRecords + CsvRecords && now[Cd1].RegNo == CsvStartRecords + CsvRecords;
                Expect(none || all,
                       QStringLiteral("half imported: %1 records, counter %2").arg(rows).arg(now[Cd1].RegNo), problems);
                CheckMainRows(db, Table(now, Cd1), problems);
            }};
}

// ---------------------------------------------------------------- initialisation

constexpr int InitialisedRecords = 400, InitialisedSubsEach = 3, InitialisedPictures = 4, InitialisedLists = 3;
const QString TrialTitle = QStringLiteral("試験の棚");

Operation InitialiseCatalogue() {
    return {QStringLiteral("initialise"),
            [](AppState& state) {
                FillMain(state, Cd1, InitialisedRecords);
                FillSub(state, Cd1, InitialisedRecords, InitialisedSubsEach);
                for (const int section : {5, 8})
                    Require(!store::AddSlot(state, section), QStringLiteral("slot refused"));
                FillMain(state, 8, InitialisedRecords / 4);
                for (int slot = 0; slot < InitialisedLists; ++slot) {
                    Require(!store::CreateList(state, slot, ListNameOf(slot)), QStringLiteral("list refused"));
                    Require(store::AddListEntry(state, slot, EntryOf(1)) == store::EntryCheck::Ok,
                            QStringLiteral("entry refused"));
                }
                QImage image(64, 48, QImage::Format_RGB32);
                image.fill(Qt::darkRed);
                for (int n = 1; n <= InitialisedPictures; ++n)
                    Require(records::SaveRecordPicture(state, Cd1, n, image).ok(), QStringLiteral("picture"));
                state.config[0].FieldType[1] = TrialTitle;
                state.config[0].Dirty = 1;
                store::SaveConfig(state.databasePath(), state.config);
            },
            [](AppState& state) { maintenance::InitialiseSystem(state); },
            [](Database& db, const CategoryConfig& start, const CategoryConfig& now, QStringList& problems) {
                if (now == start) {
                    Expect(Count(db, Table(now, Cd1)) == InitialisedRecords &&
                               Count(db, SubTable(now, Cd1)) == InitialisedRecords * InitialisedSubsEach &&
                               Count(db, Table(now, 8)) == InitialisedRecords / 4,
                           QStringLiteral("records lost without the reset"), problems);
                    CheckMainRows(db, Table(now, Cd1), problems);
                    return;
                }
                // Otherwise the reset is whole: the first state, with nothing of the old catalogue left.
                bool first = now.systemTitle() == store::DefaultSystemTitle && store::ListCount(now) == 0;
                for (int section = store::FirstSlotSection; section <= store::LastSlotSection; ++section) {
                    first = first && now[section].inUse() == store::InUseByDefault(section) && now[section].RegNo == 0;
                    if (now[section].inUse())
                        first = first && Count(db, Table(now, section)) == 0 && Count(db, SubTable(now, section)) == 0;
                }
                Expect(first, QStringLiteral("half initialised"), problems);
                const int pictures = PictureCount(QFileInfo(db.path()).absolutePath() + "/" + store::PictureFolderName);
                Expect(pictures == 0, QStringLiteral("%1 pictures left after the reset").arg(pictures), problems);
            }};
}

// ---------------------------------------------------------------- restore

// The backup a restore takes its files from lies beside the trials: the starting catalogue is <op>/start, every
// trial's copy <op>/<trial>/start, and the backup <op>/backup.
constexpr int RestoreStartRecords = 25, RestoreStartPictures = 3, BackupRecords = 60, BackupPictures = 5;

QString BackupFolderFromStart(const QString& dataFolder) {
    return QDir::cleanPath(dataFolder + QStringLiteral("/../backup"));
}

QString BackupFolderFromTrial(const QString& dataFolder) {
    return QDir::cleanPath(dataFolder + QStringLiteral("/../../backup"));
}

void SaveTrialPictures(AppState& state, int count, Qt::GlobalColor colour) {
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(colour);
    for (int n = 1; n <= count; ++n)
        Require(records::SaveRecordPicture(state, Cd1, n, image).ok(), QStringLiteral("picture"));
}

Operation RestoreBackup() {
    return {
        QStringLiteral("restore"),
        [](AppState& state) {
            FillMain(state, Cd1, RestoreStartRecords);
            SaveTrialPictures(state, RestoreStartPictures, Qt::darkGreen);
            AppState backup;
            backup.dataFolder = BackupFolderFromStart(state.dataFolder);
            store::EnsureCatalogue(backup.dataFolder);
            auto db = store::OpenCatalogue(backup.databasePath());
            backup.config = store::LoadConfig(*db);
            db.reset();
            FillMain(backup, Cd1, BackupRecords);
            Require(!store::AddSlot(backup, 5), QStringLiteral("slot refused"));
            SaveTrialPictures(backup, BackupPictures, Qt::darkBlue);
        },
        [](AppState& state) {
            // As the restore screen does it: the database first, then the picture folder.
            const QString backup = BackupFolderFromTrial(state.dataFolder);
            const auto failed = maintenance::RestoreCatalogue(state, backup + "/" + store::CatalogueFileName);
            Require(!failed, QStringLiteral("database restore failed: ") + failed.value_or(QString()));
            const auto picturesFailed = maintenance::RestorePictures(state, backup + "/" + store::PictureFolderName);
            Require(!picturesFailed, QStringLiteral("picture restore failed: ") + picturesFailed.value_or(QString()));
        },
        [](Database& db, const CategoryConfig&, const CategoryConfig& now, QStringList& problems) {
            const qint64 rows = Count(db, Table(now, Cd1));
            const bool old = rows == RestoreStartRecords && now[Cd1].RegNo == RestoreStartRecords && !now[5].inUse();
            const bool restored = rows == BackupRecords && now[Cd1].RegNo == BackupRecords && now[5].inUse();
            Expect(old || restored,
                   QStringLiteral("neither catalogue: %1 records, counter %2").arg(rows).arg(now[Cd1].RegNo), problems);
            CheckMainRows(db, Table(now, Cd1), problems);
            // The pictures follow the database: never the backup's pictures with the old catalogue.
            const QString folder = QFileInfo(db.path()).absolutePath();
            const int pictures = PictureCount(folder + "/" + store::PictureFolderName);
            Expect(pictures == RestoreStartPictures || pictures == BackupPictures,
                   QStringLiteral("picture folder holds %1 pictures").arg(pictures), problems);
            Expect(!(old && pictures == BackupPictures), QStringLiteral("pictures restored before the database"),
                   problems);
        }};
}

// ---------------------------------------------------------------- backup

// An earlier backup lies in <op>/beside/target and so beside every trial's catalogue; the work backs the grown
// catalogue up over it.
constexpr int EarlierBackupRecords = 30, EarlierBackupPictures = 2, BackedUpRecords = 90, BackedUpPictures = 6;

QString BackupTarget(const QString& dataFolder) {
    return QDir::cleanPath(dataFolder + QStringLiteral("/../target"));
}

Operation BackUp() {
    return {QStringLiteral("backup"),
            [](AppState& state) {
                FillMain(state, Cd1, EarlierBackupRecords);
                SaveTrialPictures(state, EarlierBackupPictures, Qt::darkYellow);
                const QString earlier = QDir::cleanPath(state.dataFolder + QStringLiteral("/../") + BesideFolderName +
                                                        QStringLiteral("/target"));
                QDir().mkpath(earlier);
                Require(!maintenance::BackupCatalogue(state, earlier), QStringLiteral("earlier backup failed"));
                auto db = store::OpenCatalogue(state.databasePath());
                platform::Transaction tx(*db);
                db->execute(QStringLiteral("DELETE FROM ") + Table(state.config, Cd1));
                tx.commit();
                db.reset();
                FillMain(state, Cd1, BackedUpRecords);
                SaveTrialPictures(state, BackedUpPictures, Qt::darkMagenta);
            },
            [](AppState& state) {
                const auto failed = maintenance::BackupCatalogue(state, BackupTarget(state.dataFolder));
                Require(!failed, QStringLiteral("backup failed: ") + failed.value_or(QString()));
            },
            [](Database& db, const CategoryConfig&, const CategoryConfig&, QStringList& problems) {
                const QString target = BackupTarget(QFileInfo(db.path()).absolutePath());
                const auto incomplete = maintenance::CheckBackupFolder(target);
                Expect(!incomplete, QStringLiteral("backup not whole: ") + incomplete.value_or(QString()), problems);
                Expect(QFileInfo::exists(target + "/" + maintenance::BackupRecordName),
                       QStringLiteral("backup without its record"), problems);
                const QStringList entries = QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
                Expect(entries.size() == 3, QStringLiteral("backup folder holds %1").arg(entries.join(", ")), problems);
                if (!problems.isEmpty())
                    return;
                auto backup = store::OpenCatalogue(target + "/" + store::CatalogueFileName);
                const CategoryConfig config = store::LoadConfig(*backup);
                const qint64 rows = Count(*backup, Table(config, Cd1));
                const int pictures = PictureCount(target + "/" + store::PictureFolderName);
                const bool earlier = rows == EarlierBackupRecords && pictures == EarlierBackupPictures;
                const bool latest = rows == BackedUpRecords && pictures == BackedUpPictures;
                Expect(earlier || latest,
                       QStringLiteral("backup holds %1 records and %2 pictures").arg(rows).arg(pictures), problems);
            }};
}

// ---------------------------------------------------------------- Access catalogue import

// The catalogue brought over lies in <op>/beside/source, beside every trial's catalogue.
constexpr int ImportStartRecords = 15, ImportedRecords = 70, ImportedPictures = 3;

QString ImportSource(const QString& dataFolder) {
    return QDir::cleanPath(dataFolder + QStringLiteral("/../source/") + store::CatalogueFileName);
}

Operation ImportAccess() {
    return {QStringLiteral("access-import"),
            [](AppState& state) {
                FillMain(state, Cd1, ImportStartRecords);
                AppState source;
                source.dataFolder = QDir::cleanPath(state.dataFolder + QStringLiteral("/../") + BesideFolderName +
                                                    QStringLiteral("/source"));
                store::EnsureCatalogue(source.dataFolder);
                source.config = store::LoadConfig(*store::OpenCatalogue(source.databasePath()));
                FillMain(source, Cd1, ImportedRecords);
                SaveTrialPictures(source, ImportedPictures, Qt::darkGray);
            },
            [](AppState& state) {
                const exchange::CatalogueImport result =
                    exchange::ImportAccessCatalogue(ImportSource(state.dataFolder), state.dataFolder);
                Require(result.ok, QStringLiteral("import failed: ") + result.message);
            },
            [](Database& db, const CategoryConfig&, const CategoryConfig& now, QStringList& problems) {
                const qint64 rows = Count(db, Table(now, Cd1));
                const int pictures = PictureCount(QFileInfo(db.path()).absolutePath() + "/" + store::PictureFolderName);
                const bool before = rows == ImportStartRecords && pictures == 0;
                const bool imported = rows == ImportedRecords && pictures == ImportedPictures;
                Expect(before || imported,
                       QStringLiteral("catalogue holds %1 records and %2 pictures").arg(rows).arg(pictures), problems);
                CheckMainRows(db, Table(now, Cd1), problems);
            }};
}

} // namespace

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> all{AddMainRecords(),      AddSubRecords(),  RenameFields(), AddSlots(),
                                            DeleteCategoryData(),  FillListTables(), SavePictures(), ImportCsv(),
                                            InitialiseCatalogue(), RestoreBackup(),  BackUp(),       ImportAccess()};
    return all;
}

void CheckCatalogueShape(Database& db, const CategoryConfig& config, QStringList& problems) {
    {
        sqlite3_stmt* stmt = db.prepare(QStringLiteral("PRAGMA integrity_check"));
        const bool ok = sqlite3_step(stmt) == SQLITE_ROW &&
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) == "ok";
        sqlite3_finalize(stmt);
        Expect(ok, QStringLiteral("integrity check failed"), problems);
    }
    QSet<QString> expected{store::ConfigTable};
    for (int section = store::FirstSlotSection; section <= store::LastSlotSection; ++section) {
        const store::ConfigSection& s = config[section];
        if (!s.inUse())
            continue;
        expected << Table(config, section) << SubTable(config, section);
        const auto names = [&](const QString& table) {
            QStringList l;
            for (const platform::Column& c : db.columns(table))
                l << c.name;
            return l;
        };
        Expect(names(Table(config, section)) ==
                   store::MainFieldNames(s) + QStringList{store::MainKeyColumn, store::PictureFlagColumn},
               QStringLiteral("main table of %1 does not have the configured columns").arg(section), problems);
        Expect(names(SubTable(config, section)) ==
                   store::SubFieldNames(s) + QStringList{store::MainKeyColumn, store::SubKeyColumn},
               QStringLiteral("sub table of %1 does not have the configured columns").arg(section), problems);
        if (db.tableExists(Table(config, section)))
            Expect(Scalar(db, QStringLiteral("SELECT coalesce(max(登録ＮＯ), 0) FROM ") +
                                  platform::QuoteIdentifier(Table(config, section))) <= s.RegNo,
                   QStringLiteral("a record of %1 is numbered beyond the counter").arg(section), problems);
    }
    for (int slot = 0; slot < store::ListSlotCount; ++slot)
        if (!store::ListName(config, slot).isEmpty())
            expected << QStringLiteral("ListTable%1").arg(slot + 1);
    QSet<QString> present;
    for (const QString& t : db.tableNames())
        if (!t.startsWith(QStringLiteral("sqlite_")))
            present << t;
    for (const QString& t : present - expected)
        problems << QStringLiteral("table %1 is left over").arg(t);
    for (const QString& t : expected - present)
        problems << QStringLiteral("table %1 is missing").arg(t);
}

} // namespace quelm::crash
