#include "exchange/AccessCatalogue.h"

#include "exchange/InventoryDatabase.h"
#include "exchange/InventoryFile.h"
#include "platform/Database.h"
#include "platform/FileChoosers.h"
#include "platform/FileSystem.h"
#include "platform/Names.h"
#include "platform/Ui.h"
#include "platform/WriteFaults.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"
#include "store/CategoryTables.h"
#include "store/ListTables.h"
#include "store/TableSql.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <unistd.h>

namespace quelm::exchange {

using platform::EngineError;
using platform::Value;
using store::ConfigSection;

namespace {

constexpr int ConfigRowCount = 16; // ten configuration rows and six rows of CDDB settings
constexpr int MainColumns = store::MainFieldSlots + 2;
constexpr int SubColumns = store::SubFieldSlots + 2;

// Refusals that reach the user as they are.
struct Refusal {
    QString message;
};

// The rows of the source's 管理テーブル, KeyNo 1 … 16, in KeyNo order; every configuration row must be there.
std::vector<std::vector<Value>> ReadConfigRows(InventoryDatabase& source) {
    if (!source.hasTable(store::ConfigTable))
        throw Refusal{QStringLiteral("選択したファイルにはＣＤ管理のデータ（管理テーブル）がありません。")};
    auto table = source.openTable(store::ConfigTable);
    if (table->columnCount() < store::ConfigColumns().size())
        throw Refusal{QStringLiteral("管理テーブルの列の数が違います。")};
    std::vector<std::vector<Value>> rows(ConfigRowCount);
    while (table->next()) {
        const Value key = table->value(0);
        if (key.kind() != Value::Kind::Integer || key.toInt() < 1 || key.toInt() > ConfigRowCount)
            continue;
        auto& row = rows[key.toInt() - 1];
        row.clear();
        for (int c = 0; c < store::ConfigColumns().size(); ++c)
            row.push_back(table->value(c));
    }
    for (int k = 0; k < store::SectionCount; ++k)
        if (rows[k].empty())
            throw Refusal{QStringLiteral("管理テーブルの行（KeyNo %1）がありません。").arg(k + 1)};
    return rows;
}

// The new catalogue's configuration table takes the source rows cell by cell, in column order.
void WriteConfigRows(platform::Database& db, const std::vector<std::vector<Value>>& rows) {
    auto rs = db.openTable(store::ConfigTable);
    records::DeleteRecords(*rs);
    auto out = db.openTable(store::ConfigTable);
    for (const auto& row : rows) {
        if (row.empty())
            continue;
        out->addNew();
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
            try {
                out->setValue(c, row[c]);
            } catch (const EngineError& e) {
                throw Refusal{QStringLiteral("管理テーブル（KeyNo %1）の「%2」が読めません。\r\n%3")
                                  .arg(row[0].toText(), store::ConfigColumns().at(c), e.message())};
            }
        }
        out->update();
    }
}

// A category's layout must be the program's own before its names go into table SQL.
void CheckCategory(const ConfigSection& s) {
    const QString name = s.ShumokuName.trimmed();
    for (const QString& table : {s.TableName, s.SubTableName})
        if (auto problem = platform::CheckSqlName(table))
            throw Refusal{
                QStringLiteral("種目「%1」のテーブル名「%2」は使えません。%3").arg(name, table.trimmed(), *problem)};
    if (s.FieldCount != store::MainFieldSlots || s.SubFieldCount != store::SubFieldSlots)
        throw Refusal{QStringLiteral("種目「%1」の項目数が違います。").arg(name)};
    for (int k = 1; k <= store::MainFieldSlots; ++k)
        if (s.FieldType[k] != store::MainFieldTypeOf(k))
            throw Refusal{
                QStringLiteral("種目「%1」の項目「%2」のデータ型が違います。").arg(name, s.FieldName[k].trimmed())};
    for (int k = 1; k <= store::SubFieldSlots; ++k)
        if (s.SubFieldType[k] != store::SubFieldTypeOf(k))
            throw Refusal{
                QStringLiteral("種目「%1」の項目「%2」のデータ型が違います。").arg(name, s.SubFieldName[k].trimmed())};
    if (auto problem = store::CheckFieldNames(store::MainFieldNames(s), store::SubFieldNames(s)))
        throw Refusal{QStringLiteral("種目「%1」: %2").arg(name, *problem)};
}

// Copies every row of a source table by position into the open target table; answers the rows copied and the
// largest value met in column keyColumn.
struct Copied {
    int rows = 0;
    std::int64_t largestKey = 0;
};
Copied CopyRows(InventoryDatabase& source, const QString& sourceTable, platform::Database& db,
                const QString& targetTable, int columns, int keyColumn, RowTicker& tick) {
    if (!source.hasTable(sourceTable))
        throw Refusal{QStringLiteral("テーブル「%1」がありません。").arg(sourceTable)};
    auto in = source.openTable(sourceTable);
    if (in->columnCount() < columns)
        throw Refusal{QStringLiteral("テーブル「%1」の列の数が違います。").arg(sourceTable)};
    auto out = db.openTable(targetTable);
    Copied copied;
    while (in->next()) {
        tick();
        out->addNew();
        for (int c = 0; c < columns; ++c) {
            try {
                out->setValue(c, in->value(c));
            } catch (const EngineError& e) {
                throw Refusal{QStringLiteral("テーブル「%1」の%2行目、列「%3」の値が取込めません。\r\n%4")
                                  .arg(sourceTable)
                                  .arg(copied.rows + 1)
                                  .arg(out->column(c).name, e.message())};
            }
        }
        out->update(); // a repeated key fails here with the engine's message
        ++copied.rows;
        copied.largestKey = std::max<std::int64_t>(copied.largestKey, in->value(keyColumn).toInt());
    }
    return copied;
}

// Copies the pictures of the source's picture folder (section_number.jpg) into a new folder; answers how many.
int CopyPictures(const QString& sourceFolder, const QString& targetFolder, RowTicker& tick) {
    if (!QDir().mkpath(targetFolder))
        throw Refusal{QStringLiteral("フォルダ '%1' を作成できません。").arg(targetFolder)};
    const QDir from(sourceFolder);
    if (!from.exists())
        return 0;
    static const QRegularExpression pictureName(QStringLiteral("^[4-9]_\\d+\\.jpg$"),
                                                QRegularExpression::CaseInsensitiveOption);
    int count = 0;
    for (const QFileInfo& f : from.entryInfoList(QDir::Files | QDir::NoSymLinks)) {
        if (!pictureName.match(f.fileName()).hasMatch())
            continue;
        tick();
        // The picture path is built with a lower-case extension, so that is the name the copy gets.
        const QString name = f.completeBaseName() + QStringLiteral(".jpg");
        if (!QFile::copy(f.filePath(), targetFolder + QLatin1Char('/') + name))
            throw Refusal{QStringLiteral("画像 '%1' をコピーできません。").arg(f.filePath())};
        ++count;
    }
    return count;
}

// Builds the whole new catalogue in the file at path; the summary counts go into result.
void BuildCatalogue(InventoryDatabase& source, const QString& path, CatalogueImport& result, RowTicker& tick) {
    store::CreateCatalogue(path);
    auto db = platform::Database::open(path);
    platform::Transaction tx(*db);
    // The new file's own first categories make way for the ones brought over.
    const store::CategoryConfig initial = store::LoadConfig(*db);
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        if (!initial[s].inUse())
            continue;
        db->execute(store::DropTableSql(initial[s].TableName.trimmed()));
        db->execute(store::DropTableSql(initial[s].SubTableName.trimmed()));
    }
    WriteConfigRows(*db, ReadConfigRows(source));
    store::CategoryConfig config = store::LoadConfig(*db);

    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        ConfigSection& c = config[s];
        if (!c.inUse())
            continue;
        CheckCategory(c);
        const QString mainTable = c.TableName.trimmed();
        const QString subTable = c.SubTableName.trimmed();
        db->execute(store::CreateMainTableSql(mainTable, store::MainFieldNames(c), store::MainFieldTypes(c)));
        db->execute(store::CreateSubTableSql(subTable, store::SubFieldNames(c), store::SubFieldTypes(c)));
        const Copied mains = CopyRows(source, mainTable, *db, mainTable, MainColumns, store::MainFieldSlots, tick);
        result.subRecords += CopyRows(source, subTable, *db, subTable, SubColumns, store::SubFieldSlots, tick).rows;
        result.mainRecords += mains.rows;
        ++result.categories;
        // A counter behind the numbers already given would hand one out twice.
        if (mains.largestKey > c.RegNo) {
            c.RegNo = static_cast<std::int32_t>(mains.largestKey);
            c.Dirty = 1;
        }
    }

    store::AppState names;
    names.config = config;
    names.ListTableNames = store::MakeListTableNames();
    for (int slot = 0; slot < store::ListSlotCount; ++slot) {
        const QString list = store::ListName(config, slot);
        if (list.isEmpty())
            continue;
        if (auto problem = platform::CheckSqlName(list))
            throw Refusal{QStringLiteral("リスト「%1」の名前は使えません。%2").arg(list, *problem)};
        const QString table = store::ListTableName(names, slot);
        db->execute(store::CreateListTableSql(table, list));
        result.listEntries += CopyRows(source, table, *db, table, 1, 0, tick).rows;
        ++result.lists;
    }
    store::SaveConfig(*db, config);
    tx.commit();
}

// The names of an import's swap: the new catalogue and pictures under temporary names, and the marker that says they
// are complete and where the catalogue in use goes.
struct ImportNames {
    QString db, pictures, tempDb, tempPictures, marker;
    explicit ImportNames(const QString& dataFolder)
        : db(dataFolder + QLatin1Char('/') + store::CatalogueFileName),
          pictures(dataFolder + QLatin1Char('/') + store::PictureFolderName),
          tempDb(dataFolder + QStringLiteral("/Quelm-取込み中.mdb")),
          tempPictures(dataFolder + QStringLiteral("/Quelm-画像-取込み中")),
          marker(dataFolder + QStringLiteral("/Quelm-取込み中.txt")) {}
    // With what the engine and the making of a new catalogue keep beside the new file while they write it.
    QStringList temporaries() const {
        return {tempDb, tempDb + QStringLiteral("-journal"), tempDb + QStringLiteral(".new"),
                tempDb + QStringLiteral(".new-journal"), tempPictures};
    }
    bool anyTemporary() const {
        const QStringList temps = temporaries();
        return std::any_of(temps.begin(), temps.end(), platform::PathExists);
    }
    void removeTemporaries() const {
        for (const QString& temp : temporaries())
            platform::RemoveTree(temp);
    }
};

// The marker names the backup folder; written whole under another name and renamed, so it is never half a name.
bool WriteMarker(const ImportNames& n, const QString& backup) {
    const QString temp = n.marker + QStringLiteral(".tmp");
    QFile file(temp);
    const QByteArray bytes = backup.toUtf8();
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
                         file.flush() && fsync(file.handle()) == 0;
    file.close();
    return written && QFile::rename(temp, n.marker) && platform::SyncToDisk(QFileInfo(n.marker).absolutePath());
}

// Moves what is in place into the backup folder and the new catalogue into place. Every step can be repeated after
// a kill, which is how a start after a cut-off import finishes it.
bool MoveIntoPlace(const ImportNames& n, const QString& backup) {
    if (!QDir().mkpath(backup))
        return false;
    for (const auto& [live, temp] : {std::pair{n.db, n.tempDb}, std::pair{n.pictures, n.tempPictures}}) {
        if (!platform::PathExists(temp))
            continue; // already in place
        const QString kept = backup + QLatin1Char('/') + QFileInfo(live).fileName();
        if (platform::PathExists(live) && !platform::PathExists(kept)) {
            if (!QDir().rename(live, kept))
                return false;
            platform::StepPoint();
        }
        if (platform::PathExists(live) || !QDir().rename(temp, live))
            return false;
        platform::StepPoint();
    }
    return platform::SyncToDisk(QFileInfo(n.db).absolutePath());
}

// Puts what is in the backup folder back in place where a swap failed part way (a disk error, not a kill).
void MoveBack(const ImportNames& n, const QString& backup) {
    for (const auto& [live, temp] : {std::pair{n.db, n.tempDb}, std::pair{n.pictures, n.tempPictures}}) {
        const QString kept = backup + QLatin1Char('/') + QFileInfo(live).fileName();
        if (!platform::PathExists(kept))
            continue;
        if (platform::PathExists(live) && !platform::PathExists(temp))
            QDir().rename(live, temp);
        QDir().rename(kept, live);
    }
    QDir().rmdir(backup);
}

// The swap of a complete new catalogue: the marker first, then the moves, the marker removed last.
void SwapIn(const ImportNames& n, const QString& backup) {
    platform::SyncToDisk(n.tempDb);
    platform::SyncFileSystemOf(n.tempPictures);
    if (!WriteMarker(n, backup))
        throw Refusal{QStringLiteral("データフォルダーに書き込めません。")};
    platform::StepPoint();
    if (!MoveIntoPlace(n, backup)) {
        MoveBack(n, backup);
        QFile::remove(n.marker);
        throw Refusal{QStringLiteral("データベースと画像フォルダーを入れ替えられません。")};
    }
    QFile::remove(n.marker);
}

} // namespace

CatalogueImport ImportAccessCatalogue(const QString& sourcePath, const QString& dataFolder,
                                      const RowProgress& progress) {
    CatalogueImport result;
    RowTicker tick(progress);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const ImportNames names(dataFolder);
    const QString tempDb = names.tempDb, tempPictures = names.tempPictures;
    const auto cleanUp = [&] { names.removeTemporaries(); };
    // An import cut off before is settled first: a complete one is finished, never thrown away.
    SettleCutOffImport(dataFolder);
    try {
        if (QFileInfo(sourcePath).canonicalFilePath() ==
            QFileInfo(dataFolder + QLatin1Char('/') + store::CatalogueFileName).canonicalFilePath())
            throw Refusal{QStringLiteral("使用中のデータベースは取込めません。")};
        {
            auto source = OpenInventoryFile(sourcePath);
            BuildCatalogue(*source, tempDb, result, tick);
        }
        result.pictures = CopyPictures(
            QFileInfo(sourcePath).absolutePath() + QLatin1Char('/') + store::PictureFolderName, tempPictures, tick);
        result.backupFolder = dataFolder + QStringLiteral("/Quelm-取込み前-") + stamp;
        SwapIn(names, result.backupFolder);
        result.ok = true;
    } catch (const Refusal& r) {
        result = {};
        result.message = r.message;
    } catch (const InventoryError& e) {
        result = {};
        result.message = e.message();
    } catch (const EngineError& e) {
        result = {};
        result.message = e.message();
    }
    if (!result.ok)
        cleanUp();
    return result;
}

std::optional<QString> SettleCutOffImport(const QString& dataFolder) {
    const ImportNames n(dataFolder);
    if (platform::PathExists(n.marker)) {
        QFile file(n.marker);
        const QString backup = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.read(1 << 16)) : QString();
        if (backup.isEmpty() || !MoveIntoPlace(n, backup))
            return QStringLiteral("前回のAccessデータベースの取込みは途中で中断されました。入れ替えを完了できないため、"
                                  "データフォルダー %1 を確かめてください。")
                .arg(QDir::toNativeSeparators(dataFolder));
        QFile::remove(n.marker);
        return QStringLiteral("前回のAccessデータベースの取込みは途中で中断されたため、完了させました。"
                              "それまでのデータベースは次のフォルダにあります。\r\n%1")
            .arg(QDir::toNativeSeparators(backup));
    }
    platform::RemoveFileIfPresent(n.marker + QStringLiteral(".tmp"));
    if (!n.anyTemporary())
        return std::nullopt;
    n.removeTemporaries();
    return QStringLiteral("前回のAccessデータベースの取込みは途中で中断されたため、取り消しました。"
                          "データベースは取込み前のままです。");
}

QString CatalogueImportSummary(const CatalogueImport& r) {
    return QStringLiteral("Accessデータベースの取込みが終了しました。\r\n"
                          "種目　　　　　　%1\r\n"
                          "メイン明細　　　%2\r\n"
                          "サブ明細　　　　%3\r\n"
                          "リスト・テーブル　%4（%5件）\r\n"
                          "画像　　　　　　%6\r\n"
                          "それまでのデータベースは次のフォルダに移しました。\r\n%7\r\n"
                          "プログラムを終了します。もう一度起動してください。")
        .arg(r.categories)
        .arg(r.mainRecords)
        .arg(r.subRecords)
        .arg(r.lists)
        .arg(r.listEntries)
        .arg(r.pictures)
        .arg(QDir::toNativeSeparators(r.backupFolder));
}

bool RunAccessCatalogueImport(store::AppState& state, platform::Ui& ui, QWidget* owner) {
    const QString file =
        platform::SelectOpenFile(ui, owner, {{QStringLiteral("Accessデータベース(*.mdb)"), QStringLiteral("*.mdb")}},
                                 QStringLiteral("取込むデータベース(Quelm.mdb)を選択してください"));
    if (file.isEmpty())
        return false;
    if (ui.message(QStringLiteral("選択したデータベースから新しいデータベースを作成します。\r\n"
                                  "今のデータベースと画像フォルダは退避します。よろしいですか。"),
                   platform::Icon::Question, platform::Buttons::OkCancel, QStringLiteral("取込みの確認"),
                   owner) != platform::Answer::Ok)
        return false;
    CatalogueImport result;
    {
        // Reading the file and building the new catalogue can take a while; the window closes before the result.
        const auto progress = ui.showProgress(QStringLiteral("データベースを取込んでいます…"),
                                              QStringLiteral("Accessデータベース取込み"), owner);
        result = ImportAccessCatalogue(file, state.dataFolder, [&](std::int64_t rows) { progress->report(rows, 0); });
    }
    if (!result.ok) {
        ui.message(result.message + QStringLiteral("\r\n今のデータベースは変更していません。"),
                   platform::Icon::Critical, platform::Buttons::Ok, QStringLiteral("Error"), owner);
        return false;
    }
    ui.message(CatalogueImportSummary(result), platform::Icon::Information, platform::Buttons::Ok,
               QStringLiteral("取込み終了"), owner);
    return true;
}

} // namespace quelm::exchange
