#pragma once

#include "exchange/CsvText.h"
#include "store/AppState.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

namespace quelm::exchange {

// ---------------------------------------------------------------- column items and the preview

// "項目" + the 1-based column number + six blanks + the value's text form.
QString ColumnItemText(int column, const QString& text);
// The column number of an item: the characters from the third up to the first blank; 0 when they are no number.
int ColumnOfItem(const QString& item);

inline const QString UnevenRecordsMessage =
    QStringLiteral("CSVデータの１レコード当りの項目が不揃いです、処理できません。");
inline const QString NoCsvDataMessage = QStringLiteral("CSVファイルにデータがありません。");
inline const QString CsvErrorTitle = QStringLiteral("ERROR");

struct CsvPreview {
    enum class Status { Ok, Uneven, NoData };
    Status status = Status::NoData;
    QStringList items; // the column items of the record shown (also when the next check failed)
};

// The record the user maps from: the first one, or the second when the first is skipped. With the skip flag the
// two are compared for their number of values.
CsvPreview PreviewCsv(const CsvFile& file, bool skipFirst);

// The first records of the file as they will be stored, one line each, their values joined by " | "; a file that is
// not text in its encoding gives the reason instead.
inline constexpr int CsvSampleRecords = 5;
QStringList CsvSample(const CsvFile& file, bool skipFirst);

// ---------------------------------------------------------------- the run

struct CsvImportOptions {
    bool skipFirst = false;
    // Per field slot (0-based), the 1-based CSV column mapped to it; 0 when the slot is not mapped.
    std::vector<int> columns;
    // Called every few hundred records with the number of records read so far; false cancels the run.
    std::function<bool(int recordsRead)> progress;
};

struct CsvImportResult {
    enum class Status { Ok, Cancelled, Failed };
    Status status = Status::Ok;
    int written = 0;
    // Records with fewer values than a mapped column number: those fields received nothing.
    int shortRecords = 0;
    // Failed: the record of the file that could not be written (1-based, the skipped one counted) and its first line.
    int failedRecord = 0;
    int failedLine = 0;
    QString reason;

    bool ok() const { return status == Status::Ok; }
};

// Appends one main record per CSV record to the current category, numbered from its registration counter on, and
// stores the counter once; all in one transaction. Any failure or a cancel leaves the catalogue as it was.
CsvImportResult ImportMainRecords(store::AppState& state, const CsvFile& file, const CsvImportOptions& options);
// Appends one sub record per CSV record to the main record regNo, numbered after its largest stored サブＮＯ.
CsvImportResult ImportSubRecords(store::AppState& state, std::int32_t regNo, const CsvFile& file,
                                 const CsvImportOptions& options);

// The result message of a finished run; subRecords picks the sub-record wording.
QString ImportDoneMessage(const CsvImportResult& result, bool subRecords);
inline const QString ImportDoneTitle = QStringLiteral("作業結果");
// The message of a failed run: which record of the file and why, and that nothing was changed.
QString ImportFailedMessage(const CsvImportResult& result);
inline const QString ImportFailedTitle = QStringLiteral("取込みエラー");
inline const QString ImportCancelledMessage =
    QStringLiteral("データの取込みを中止しました。データベースは変更されていません。");

} // namespace quelm::exchange
