#include "exchange/CsvImport.h"

#include "platform/Database.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"

#include <cmath>
#include <limits>

namespace quelm::exchange {

using platform::EngineError;
using platform::Value;

namespace {

constexpr int ProgressStep = 500;

// Where a field slot's value goes and which rule converts it.
enum class FieldRule { Text, Number, Date };

// The value a slot's text becomes: numbers by the number test (grouped digits read whole), dates by the date test;
// a value that is neither leaves the field empty. Text goes in unchanged, also when it is empty.
Value ConvertField(const QString& text, FieldRule rule) {
    switch (rule) {
    case FieldRule::Text:
        return Value(text);
    case FieldRule::Number: {
        const std::optional<double> number = CsvNumber(text);
        if (!number)
            return Value();
        const double n = *number;
        // Whole numbers go in exactly; anything else is rounded by the engine, which also refuses what a LONG
        // column cannot hold.
        if (std::isfinite(n) && std::abs(n) < 9.0e15 && n == std::trunc(n))
            return Value(static_cast<std::int64_t>(n));
        return std::isfinite(n) && std::abs(n) < 9.0e15 ? Value(n) : Value(text);
    }
    case FieldRule::Date:
        if (const auto d = ParseCsvDate(text))
            return Value(*d);
        return Value();
    }
    return Value();
}

class RunFailure : public std::runtime_error {
public:
    explicit RunFailure(QString reason) : std::runtime_error("csv import"), reason_(std::move(reason)) {}
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

struct Cancelled {};

// Reads the file record by record and hands each mapped record to write(values); throws RunFailure, EngineError or
// Cancelled. Returns the counts.
template <typename Write>
CsvImportResult ReadAndWrite(const CsvFile& file, const CsvImportOptions& options, const std::vector<FieldRule>& rules,
                             int& recordNo, int& recordLine, Write&& write) {
    CsvImportResult result;
    CsvReader reader = file.reader();
    const std::size_t slotCount = std::min(options.columns.size(), rules.size());
    std::vector<Value> values(rules.size());
    while (!reader.atEnd()) {
        const CsvRecord record = reader.read();
        ++recordNo;
        recordLine = record.firstLine;
        if (options.progress && recordNo % ProgressStep == 0 && !options.progress(recordNo))
            throw Cancelled{};
        // Bytes that are no text in the encoding refuse the file, also in a skipped heading.
        if (record.undecodable)
            throw RunFailure(file.decodeFault());
        if (recordNo == 1 && options.skipFirst)
            continue;
        if (record.unterminated)
            throw RunFailure(QStringLiteral("引用符(\")で始まる項目が、ファイルの終わりまで閉じられていません。"));
        bool isShort = false;
        for (std::size_t i = 0; i < slotCount; ++i) {
            const int column = options.columns[i];
            values[i] = Value();
            if (column <= 0)
                continue;
            if (column > record.count()) {
                isShort = true;
                continue;
            }
            values[i] = ConvertField(record.values[column - 1].text, rules[i]);
        }
        write(values);
        ++result.written;
        result.shortRecords += isShort ? 1 : 0;
    }
    return result;
}

template <typename Body> CsvImportResult Guarded(Body&& body) {
    int recordNo = 0, recordLine = 0;
    CsvImportResult failed;
    failed.status = CsvImportResult::Status::Failed;
    try {
        return body(recordNo, recordLine);
    } catch (const Cancelled&) {
        CsvImportResult r;
        r.status = CsvImportResult::Status::Cancelled;
        return r;
    } catch (const RunFailure& e) {
        failed.reason = e.reason();
    } catch (const EngineError& e) {
        failed.reason = e.message();
    }
    failed.failedRecord = recordNo;
    failed.failedLine = recordLine;
    return failed;
}

void WriteFields(platform::Recordset& rs, const std::vector<Value>& values, int userFields) {
    const int n = std::min<int>(userFields, static_cast<int>(values.size()));
    for (int i = 0; i < n; ++i)
        if (!values[i].isNull())
            rs.setValue(i, values[i]);
}

} // namespace

QString ColumnItemText(int column, const QString& text) {
    return QStringLiteral("項目%1      ").arg(column) + text;
}

int ColumnOfItem(const QString& item) {
    const qsizetype blank = item.indexOf(u' ');
    bool ok = false;
    const int column = item.mid(2, blank < 0 ? -1 : blank - 2).toInt(&ok);
    return ok ? column : 0;
}

CsvPreview PreviewCsv(const CsvFile& file, bool skipFirst) {
    CsvPreview preview;
    CsvReader reader = file.reader();
    int n = 0, firstCount = 0;
    while (!reader.atEnd()) {
        const CsvRecord record = reader.read();
        if (n == 0) {
            firstCount = record.count();
        } else if (record.count() != firstCount) {
            preview.status = CsvPreview::Status::Uneven;
            return preview;
        }
        ++n;
        if (n == 1 && skipFirst)
            continue;
        for (int c = 0; c < record.count(); ++c)
            preview.items << ColumnItemText(c + 1, record.values[c].text);
        break;
    }
    if (skipFirst)
        --n;
    preview.status = n > 0 ? CsvPreview::Status::Ok : CsvPreview::Status::NoData;
    return preview;
}

QStringList CsvSample(const CsvFile& file, bool skipFirst) {
    if (file.decodeErrors())
        return {file.decodeFault()};
    QStringList lines;
    CsvReader reader = file.reader();
    if (skipFirst && !reader.atEnd())
        reader.skip();
    while (!reader.atEnd() && lines.size() < CsvSampleRecords) {
        QStringList texts;
        for (const CsvValue& v : reader.read().values)
            texts << v.text;
        lines << texts.join(QStringLiteral(" | "));
    }
    return lines;
}

CsvImportResult ImportMainRecords(store::AppState& state, const CsvFile& file, const CsvImportOptions& options) {
    return Guarded([&](int& recordNo, int& recordLine) {
        const int section = records::CheckedSection(state.CurrentSection);
        const QString table = records::CheckedTableName(state.config[section].TableName);
        std::vector<FieldRule> rules(store::MainFieldSlots, FieldRule::Text);
        rules[10] = rules[11] = FieldRule::Number;
        rules[12] = rules[13] = FieldRule::Date;

        auto db = store::OpenCatalogue(state.databasePath());
        store::CategoryConfig next = state.config;
        std::int32_t regNo = next[section].RegNo;
        platform::Transaction tx(*db);
        auto rs = db->openTable(table, store::MainKeyColumn, Value(-1));
        const int keyPos = rs->indexOf(store::MainKeyColumn);
        const int picturePos = rs->indexOf(store::PictureFlagColumn);
        CsvImportResult result = ReadAndWrite(file, options, rules, recordNo, recordLine, [&](const auto& values) {
            if (regNo >= std::numeric_limits<std::int32_t>::max())
                throw RunFailure(QStringLiteral("登録NOが上限に達しています。"));
            ++regNo;
            rs->addNew();
            WriteFields(*rs, values, std::min(keyPos, store::MainFieldSlots));
            rs->setValue(keyPos, Value(regNo));
            rs->setValue(picturePos, Value(0));
            rs->update();
        });
        if (result.written > 0) {
            next[section].RegNo = regNo;
            next[section].Dirty = 1;
            store::SaveConfig(*db, next);
        }
        tx.commit();
        state.config = next;
        return result;
    });
}

CsvImportResult ImportSubRecords(store::AppState& state, std::int32_t regNo, const CsvFile& file,
                                 const CsvImportOptions& options) {
    return Guarded([&](int& recordNo, int& recordLine) {
        const store::ConfigSection& section = state.config[records::CheckedSection(state.CurrentSection)];
        const records::SubTable subs = records::CheckedSubTable(section);
        std::vector<FieldRule> rules(store::SubFieldSlots, FieldRule::Text);
        rules[8] = FieldRule::Number;
        rules[9] = FieldRule::Date;

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        // The next number follows the largest one stored under the main record, gaps and all.
        std::int64_t subNo = records::CountSubRecords(*db, section, regNo).maxSubNo;
        auto rs = subs.openRowsOf(*db, regNo);
        const int keyPos = rs->indexOf(store::MainKeyColumn);
        const int subNoPos = rs->indexOf(store::SubKeyColumn);
        CsvImportResult result = ReadAndWrite(file, options, rules, recordNo, recordLine, [&](const auto& values) {
            if (subNo >= std::numeric_limits<std::int32_t>::max())
                throw RunFailure(QStringLiteral("サブＮＯが上限に達しています。"));
            ++subNo;
            rs->addNew();
            WriteFields(*rs, values, std::min(keyPos, store::SubFieldSlots));
            rs->setValue(keyPos, Value(regNo));
            rs->setValue(subNoPos, Value(subNo));
            rs->update();
        });
        tx.commit();
        return result;
    });
}

QString ImportDoneMessage(const CsvImportResult& result, bool subRecords) {
    QString text = QStringLiteral("データ移行が終了しました。 \r\n") +
                   (subRecords ? QStringLiteral("種目サブ明細　") : QStringLiteral("種目メイン明細　")) +
                   QString::number(result.written);
    if (result.shortRecords > 0)
        text += QStringLiteral("\r\n項目が足りないレコード　%1").arg(result.shortRecords);
    return text;
}

QString ImportFailedMessage(const CsvImportResult& result) {
    QString text;
    if (result.failedRecord > 0)
        text = QStringLiteral("CSVファイルの %1 件目のレコード(%2 行目)を取込めませんでした。\r\n")
                   .arg(result.failedRecord)
                   .arg(result.failedLine);
    return text + result.reason + QStringLiteral("\r\n取込みを中止しました。データベースは変更されていません。");
}

} // namespace quelm::exchange
