#pragma once

#include "exchange/CsvText.h"
#include "store/CategoryConfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quelm::platform {
class AtomicFile;
class Database;
} // namespace quelm::platform

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

struct FileFailure {
    int code = 0;
    QString description;
};

// Where the lines of an export go, in pieces of whole lines in the file's order.
class ExportSink {
public:
    virtual ~ExportSink() = default;
    // The next piece; false stops the export.
    virtual bool take(const QString& piece) = 0;
    // Every piece taken so far is void: the lines come again from the first.
    virtual void restart() = 0;
};

struct ExportCounts {
    int mainLines = 0;
    int subLines = 0;
    bool stopped = false; // the sink stopped the export before its end
};

// Told now and then how many of the main rows are written.
using ExportProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// Composes the lines of the rows in their order, as ComposeExport does, and hands them to the sink piece by piece, so
// that the whole text is never held at once (unless the list is sorted by a column, when the sub lines are gathered
// to be put in its order). Raises platform::EngineError when a table cannot be read.
ExportCounts StreamExport(platform::Database& db, const store::ConfigSection& section,
                          const std::vector<ExportMainRow>& rows, const ExportChoice& choice, ExportSink& sink,
                          const ExportProgress& progress = {});

// An export file: the pieces encoded and written to a temporary file beside path, renamed into place by commit(). In
// CP932 a piece with a character CP932 cannot hold stops the export, naming that character (misfit()); nothing is then
// written in path's place.
class ExportFile : public ExportSink {
public:
    ExportFile(const QString& path, platform::TextEncoding encoding);
    ~ExportFile() override;
    bool take(const QString& piece) override;
    void restart() override;
    // The file renamed into place; the failure when it could not be written.
    std::optional<FileFailure> commit();
    const std::optional<FileFailure>& failure() const { return failure_; }
    const QString& misfit() const { return misfit_; }

private:
    void open();
    bool write(const QByteArray& bytes);
    QString path_;
    std::unique_ptr<platform::AtomicFile> file_;
    platform::TextEncoding encoding_;
    std::optional<FileFailure> failure_;
    QString misfit_;
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
std::optional<FileFailure> WriteFileInPlace(const QString& path, const QByteArray& bytes);

inline const QString ExportDoneTitle = QStringLiteral("作業結果");
// "ＣＳＶデータ出力が終了しました。 " and the two counts.
QString ExportDoneMessage(int mainLines, int subLines);
inline QString ExportDoneMessage(const ExportText& text) {
    return ExportDoneMessage(text.mainLines, text.subLines);
}
// "ファイルエラー " followed by the error number and its description.
QString FileErrorMessage(const FileFailure& failure);

} // namespace quelm::exchange
