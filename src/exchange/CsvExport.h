#pragma once

#include "exchange/CsvText.h"
#include "store/CategoryConfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace quelm::platform {
class Database;
}

namespace quelm::exchange {

// The four modes of the export, as the option buttons stand.
enum class ExportMode { AllMain = 0, AllMainAndSub = 1, SelectedMainAndSub = 2, SelectedMain = 3 };
bool ExportsSubRecords(ExportMode mode);

// One main record as the main record list shows it: the cells of fields 1 … n and its 登録ＮＯ.
struct ExportMainRow {
    QStringList fields;
    std::int64_t regNo = 0;
};

struct ExportChoice {
    ExportMode mode = ExportMode::AllMain;
    std::vector<bool> mainFields; // ticked main fields, by position 0 … 14
    std::vector<bool> subFields;  // ticked sub fields, by position 0 … 9

    int mainCount() const;
    int subCount() const; // 0 in modes without sub records
    // Columns of every line: the larger count, and the identifying column in modes with sub records.
    int width() const;
};

struct ExportText {
    QString text; // every line, each ending in CR LF
    int mainLines = 0;
    int subLines = 0;
};

// Composes the lines of the rows in their order: each main line, then (in modes with sub records) the lines of its
// sub records, read through the 登録ＮＯ index. Raises platform::EngineError when the sub table cannot be read.
ExportText ComposeExport(platform::Database& db, const store::ConfigSection& section,
                         const std::vector<ExportMainRow>& rows, const ExportChoice& choice);

// The text encoded, and whether every character could be held; when not (CP932 only), no bytes but the first
// character that could not.
struct EncodedExport {
    QByteArray bytes;
    bool lossless = true;
    QString firstMisfit;
};
EncodedExport EncodeExport(const QString& text, platform::TextEncoding encoding);

// Writes the bytes to a temporary file beside path and renames it into place when complete, so that a failure leaves
// an earlier file whole. Returns the error (its number and the system's description) on failure.
struct FileFailure {
    int code = 0;
    QString description;
};
std::optional<FileFailure> WriteFileInPlace(const QString& path, const QByteArray& bytes);

inline const QString ExportDoneTitle = QStringLiteral("作業結果");
// "ＣＳＶデータ出力が終了しました。 " and the two counts.
QString ExportDoneMessage(const ExportText& text);
// "ファイルエラー " followed by the error number and its description.
QString FileErrorMessage(const FileFailure& failure);

} // namespace quelm::exchange
