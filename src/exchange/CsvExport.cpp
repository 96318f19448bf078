#include "exchange/CsvExport.h"

#include "platform/CodePage.h"
#include "platform/Database.h"
#include "platform/WriteFaults.h"
#include "records/MainRecords.h"

#include <algorithm>
#include <future>
#include <limits>

namespace quelm::exchange {

namespace {

int Ticked(const std::vector<bool>& ticks) {
    return static_cast<int>(std::count(ticks.begin(), ticks.end(), true));
}

// Puts the ticked values with their types into the leading columns and the identifying column last; the columns
// between stay blank filler. Cells are overwritten in place, so a line costs no more strings than it has values.
void FillLine(std::vector<CsvCell>& cells, const std::vector<bool>& ticks, const std::vector<QString>& types,
              const auto& valueAt, const QString& identifier) {
    std::size_t c = 0;
    for (std::size_t k = 0; k < ticks.size() && c < cells.size(); ++k) {
        if (!ticks[k])
            continue;
        CsvCell& cell = cells[c++];
        cell.first = TrimBlanks(valueAt(static_cast<int>(k)));
        if (!cell.second.isSharedWith(types[k]))
            cell.second = types[k];
    }
    for (; c < cells.size(); ++c)
        if (!cells[c].first.isNull() || !cells[c].second.isNull())
            cells[c] = CsvCell();
    if (!identifier.isEmpty())
        cells.back() = {identifier, store::TypeText};
}

// "登録ＮＯ・" of a main record; its lines' identifiers add the サブＮＯ (0 for the main record itself).
QString IdentifierPrefix(std::int64_t regNo) {
    return QString::number(regNo) + QStringLiteral("・");
}

} // namespace

bool ExportsSubRecords(ExportMode mode) {
    return mode == ExportMode::AllMainAndSub || mode == ExportMode::SelectedMainAndSub;
}

int ExportChoice::mainCount() const {
    return Ticked(mainFields);
}

int ExportChoice::subCount() const {
    return ExportsSubRecords(mode) ? Ticked(subFields) : 0;
}

int ExportChoice::width() const {
    return std::max(mainCount(), subCount()) + (ExportsSubRecords(mode) ? 1 : 0);
}

namespace {

// Below this many main rows, or below this share of the main table, the sub records are read main record by main
// record through the 登録ＮＯ index; from there the whole sub table is read straight through instead.
constexpr std::size_t RowsWorthAWholeScan = 2048;
constexpr int ShareWorthAWholeScan = 4; // one main record in four

// The field types and ticks of a run, read once.
struct LineLayout {
    std::vector<QString> mainTypes, subTypes;
    std::vector<bool> mainTicks, subTicks;
    bool withSubs = false;
    std::optional<records::SubTable> subs;
    int width = 0;

    LineLayout(const store::ConfigSection& section, const ExportChoice& choice)
        : mainTicks(choice.mainFields), subTicks(choice.subFields), withSubs(ExportsSubRecords(choice.mode)),
          width(choice.width()) {
        for (int k = 1; k <= store::MainFieldSlots; ++k)
            mainTypes.push_back(records::MainFieldType(section, k));
        for (int k = 1; k <= store::SubFieldSlots; ++k)
            subTypes.push_back(records::SubFieldType(section, k));
        mainTicks.resize(store::MainFieldSlots, false);
        subTicks.resize(store::SubFieldSlots, false);
        if (withSubs)
            subs = records::CheckedSubTable(section);
    }

    int userSubFields() const { return std::min(subs->regNoPos, store::SubFieldSlots); }
};

// Copies of strings for one thread's own use. A QString counts its sharers with atomic operations, and two threads
// counting on the same string keep taking its cache line from each other.
std::vector<QString> OwnCopies(const std::vector<QString>& strings) {
    std::vector<QString> copies;
    for (const QString& s : strings)
        copies.emplace_back(s.constData(), s.size());
    return copies;
}

void AppendMainLine(ExportText& out, std::vector<CsvCell>& cells, const LineLayout& layout,
                    const std::vector<QString>& mainTypes, const ExportMainRow& row) {
    FillLine(
        cells, layout.mainTicks, mainTypes, [&](int k) { return k < row.fields.size() ? row.fields[k] : QString(); },
        layout.withSubs ? IdentifierPrefix(row.regNo) + QLatin1Char('0') : QString());
    AppendCsvLine(out.text, cells);
    ++out.mainLines;
}

void AppendSubLine(QString& text, std::vector<CsvCell>& cells, const LineLayout& layout,
                   const std::vector<QString>& subTypes, const platform::Recordset& rs, std::int64_t regNo,
                   std::int64_t subNo) {
    const int userFields = layout.userSubFields();
    FillLine(
        cells, layout.subTicks, subTypes, [&](int k) { return k < userFields ? rs.text(k) : QString(); },
        IdentifierPrefix(regNo) + QString::number(subNo));
    AppendCsvLine(text, cells);
}

// Each main line followed by its sub records' lines, read main record by main record through the 登録ＮＯ index.
ExportText ComposeByIndex(platform::Database& db, const LineLayout& layout, const std::vector<ExportMainRow>& rows) {
    std::vector<CsvCell> cells(layout.width);
    std::unique_ptr<platform::Recordset> rs; // one query for every main record's sub records
    ExportText out;
    for (const ExportMainRow& row : rows) {
        AppendMainLine(out, cells, layout, layout.mainTypes, row);
        if (!layout.withSubs)
            continue;
        if (rs)
            rs->requery(platform::Value(row.regNo));
        else
            rs = layout.subs->openRowsOf(db, row.regNo);
        for (; !rs->eof(); rs->moveNext()) {
            AppendSubLine(out.text, cells, layout, layout.subTypes, *rs, row.regNo,
                          rs->value(layout.subs->subNoPos).toInt());
            ++out.subLines;
        }
    }
    return out;
}

// Sub record lines composed in the order the table stores them, each with its key, to be put in key order after.
struct StoredSubLines {
    struct Line {
        records::RecordKey key;
        qsizetype from, length;
        const QString* text;
    };
    QString text;
    std::vector<Line> lines;
    bool keyedByNumbers = true; // false when the table's key, or a key's value, is not the record numbers
};

// The lines of the sub records in the rowid range whose 登録ＮＯ is among wanted (sorted).
StoredSubLines ComposeStoredSubLines(platform::Database& db, const LineLayout& layout,
                                     const std::vector<std::int64_t>& wanted, std::int64_t fromRowid,
                                     std::int64_t toRowid) {
    const records::SubTable& subs = *layout.subs;
    const std::vector<QString> subTypes = OwnCopies(layout.subTypes);
    std::vector<CsvCell> cells(layout.width);
    StoredSubLines out;
    auto rs = db.openTableInStoredOrder(subs.name, fromRowid, toRowid);
    records::RequireColumnCount(*rs, subs.subNoPos + 1);
    if (!records::KeyedByRecordNumbers(db, *rs, subs.regNoPos, subs.subNoPos)) {
        out.keyedByNumbers = false;
        return out;
    }
    for (; !rs->eof(); rs->moveNext()) {
        const std::optional<records::RecordKey> key = records::RecordKeyOf(*rs, subs.regNoPos, subs.subNoPos);
        if (!key) {
            out.keyedByNumbers = false;
            return out;
        }
        if (!std::binary_search(wanted.begin(), wanted.end(), key->regNo))
            continue;
        const qsizetype from = out.text.size();
        AppendSubLine(out.text, cells, layout, subTypes, *rs, key->regNo, key->subNo);
        out.lines.push_back({*key, from, out.text.size() - from, nullptr});
    }
    return out;
}

// The same lines as ComposeByIndex, the sub table read straight through in its stored order (on two threads, each
// half of the rowids, when a second connection can see the same state) and the sub lines put in key order after:
// visiting the index for every sub record would cost more than all the rest. nullopt when the table's key is not the
// record numbers or a key is not a whole number, so that the order cannot be told without the engine.
std::optional<ExportText> ComposeByWholeScan(platform::Database& db, const LineLayout& layout,
                                             const std::vector<ExportMainRow>& rows) {
    std::vector<std::int64_t> wanted;
    wanted.reserve(rows.size());
    for (const ExportMainRow& row : rows)
        wanted.push_back(row.regNo);
    std::sort(wanted.begin(), wanted.end());

    std::vector<StoredSubLines> pieces(1);
    const std::unique_ptr<platform::ReadTwin> twin = platform::ReadTwin::open(db);
    if (twin) {
        const std::int64_t middle = db.maxOf(layout.subs->name, QStringLiteral("rowid")) / 2;
        auto later = std::async(std::launch::async, [&] {
            return ComposeStoredSubLines(twin->db(), layout, wanted, middle, std::numeric_limits<std::int64_t>::max());
        });
        try {
            pieces[0] = ComposeStoredSubLines(db, layout, wanted, std::numeric_limits<std::int64_t>::min(), middle - 1);
        } catch (...) {
            later.wait(); // the second thread uses this frame's layout and numbers
            throw;
        }
        pieces.push_back(later.get());
    } else {
        pieces[0] = ComposeStoredSubLines(db, layout, wanted, std::numeric_limits<std::int64_t>::min(),
                                          std::numeric_limits<std::int64_t>::max());
    }

    std::vector<StoredSubLines::Line> lines;
    for (StoredSubLines& piece : pieces) {
        if (!piece.keyedByNumbers)
            return std::nullopt;
        for (StoredSubLines::Line& line : piece.lines)
            line.text = &piece.text;
        lines.insert(lines.end(), piece.lines.begin(), piece.lines.end());
    }
    // The key is unique, so this is the order of the index.
    const auto keyOrder = [](const StoredSubLines::Line& a, const StoredSubLines::Line& b) { return a.key < b.key; };
    std::sort(lines.begin(), lines.end(), keyOrder);

    std::vector<CsvCell> cells(layout.width);
    ExportText out;
    for (const ExportMainRow& row : rows) {
        AppendMainLine(out, cells, layout, layout.mainTypes, row);
        const StoredSubLines::Line probe{{row.regNo, std::numeric_limits<std::int64_t>::min()}, 0, 0, nullptr};
        for (auto line = std::lower_bound(lines.begin(), lines.end(), probe, keyOrder);
             line != lines.end() && line->key.regNo == row.regNo; ++line) {
            out.text.append(QStringView(*line->text).sliced(line->from, line->length));
            ++out.subLines;
        }
    }
    return out;
}

} // namespace

ExportText ComposeExport(platform::Database& db, const store::ConfigSection& section,
                         const std::vector<ExportMainRow>& rows, const ExportChoice& choice) {
    const LineLayout layout(section, choice);
    // One read transaction: the engine takes its file lock once instead of once for every main record, and every
    // line comes from the same state of the catalogue. Nothing is written, so it simply ends unfinished.
    platform::Transaction reading(db);
    if (layout.withSubs && rows.size() >= RowsWorthAWholeScan &&
        static_cast<std::int64_t>(rows.size()) * ShareWorthAWholeScan >=
            db.rowCount(records::CheckedTableName(section.TableName))) {
        if (std::optional<ExportText> out = ComposeByWholeScan(db, layout, rows))
            return std::move(*out);
    }
    return ComposeByIndex(db, layout, rows);
}

EncodedExport EncodeExport(const QString& text, platform::TextEncoding encoding) {
    EncodedExport e;
    if (encoding != platform::TextEncoding::Cp932) {
        e.bytes = platform::EncodeText(text, encoding, &e.lossless);
        return e;
    }
    if (std::optional<QByteArray> bytes = platform::EncodeCp932Exactly(text)) {
        e.bytes = std::move(*bytes);
        return e;
    }
    e.lossless = false;
    e.firstMisfit = platform::FirstCp932Misfit(text);
    return e;
}

std::optional<FileFailure> WriteFileInPlace(const QString& path, const QByteArray& bytes) {
    platform::AtomicFile file(path);
    const auto failure = [&] { return FileFailure{static_cast<int>(file.error()), file.errorString()}; };
    if (!file.open(QIODevice::WriteOnly))
        return failure();
    if (file.write(bytes) != bytes.size()) {
        const FileFailure f = failure();
        file.cancelWriting();
        return f;
    }
    if (!file.commit())
        return failure();
    return std::nullopt;
}

QString ExportDoneMessage(const ExportText& text) {
    return QStringLiteral("ＣＳＶデータ出力が終了しました。 \r\n種目メイン明細　%1\r\n種目サブ明細　　%2")
        .arg(text.mainLines)
        .arg(text.subLines);
}

QString FileErrorMessage(const FileFailure& failure) {
    return QStringLiteral("ファイルエラー %1 %2").arg(failure.code).arg(failure.description);
}

} // namespace quelm::exchange
