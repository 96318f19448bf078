#include "exchange/CsvExport.h"

#include "platform/Database.h"
#include "platform/WriteFaults.h"
#include "records/MainRecords.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <future>

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

// Main rows below this count are composed on one thread: a second connection costs more than it saves.
constexpr std::size_t RowsWorthTwoThreads = 2048;

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
};

// Copies of strings for one thread's own use. A QString counts its sharers with atomic operations, and two threads
// counting on the same string keep taking its cache line from each other.
std::vector<QString> OwnCopies(const std::vector<QString>& strings) {
    std::vector<QString> copies;
    for (const QString& s : strings)
        copies.emplace_back(s.constData(), s.size());
    return copies;
}

// The lines of rows [begin, end), each main line followed by its sub records' lines.
ExportText ComposeRows(platform::Database& db, const LineLayout& layout, const std::vector<ExportMainRow>& rows,
                       std::size_t begin, std::size_t end) {
    const std::vector<QString> mainTypes = OwnCopies(layout.mainTypes), subTypes = OwnCopies(layout.subTypes);
    std::vector<CsvCell> cells(layout.width);
    std::unique_ptr<platform::Recordset> rs; // one query for every main record's sub records
    ExportText out;
    for (std::size_t r = begin; r < end; ++r) {
        const ExportMainRow& row = rows[r];
        const QString prefix = layout.withSubs ? IdentifierPrefix(row.regNo) : QString();
        FillLine(
            cells, layout.mainTicks, mainTypes,
            [&](int k) { return k < row.fields.size() ? row.fields[k] : QString(); },
            layout.withSubs ? prefix + QLatin1Char('0') : QString());
        AppendCsvLine(out.text, cells);
        ++out.mainLines;
        if (!layout.withSubs)
            continue;
        if (rs)
            rs->requery(platform::Value(row.regNo));
        else
            rs = layout.subs->openRowsOf(db, row.regNo);
        const int userFields = std::min(layout.subs->regNoPos, store::SubFieldSlots);
        for (; !rs->eof(); rs->moveNext()) {
            FillLine(
                cells, layout.subTicks, subTypes, [&](int k) { return k < userFields ? rs->text(k) : QString(); },
                prefix + QString::number(rs->value(layout.subs->subNoPos).toInt()));
            AppendCsvLine(out.text, cells);
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
    // Reading the sub records is most of the work: a second thread reads the later half of the rows through a second
    // connection that sees the same state.
    std::unique_ptr<platform::ReadTwin> twin;
    if (layout.withSubs && rows.size() >= RowsWorthTwoThreads)
        twin = platform::ReadTwin::open(db);
    if (!twin)
        return ComposeRows(db, layout, rows, 0, rows.size());
    const std::size_t half = rows.size() / 2;
    auto later =
        std::async(std::launch::async, [&] { return ComposeRows(twin->db(), layout, rows, half, rows.size()); });
    ExportText out;
    try {
        out = ComposeRows(db, layout, rows, 0, half);
    } catch (...) {
        later.wait(); // the second thread uses the layout and rows of this frame
        throw;
    }
    const ExportText rest = later.get();
    out.text += rest.text;
    out.mainLines += rest.mainLines;
    out.subLines += rest.subLines;
    return out;
}

namespace {

// The first character CP932 cannot hold. The text is tried a piece at a time, and only the piece that fails is
// decoded back and compared, so the answer costs about as much as the text before the misfit.
QString FirstCp932Misfit(const QString& text) {
    constexpr qsizetype PieceChars = 4096;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = std::min(text.size(), at + PieceChars);
        if (text[end - 1].isHighSurrogate() && end < text.size())
            ++end; // a surrogate pair stays in one piece
        const QString piece = text.mid(at, end - at);
        bool lossless = true;
        const QByteArray bytes = platform::EncodeText(piece, platform::TextEncoding::Cp932, &lossless);
        if (!lossless) {
            const QString back = QStringDecoder("CP932").decode(bytes);
            qsizetype i = 0;
            while (i < piece.size() && i < back.size() && piece[i] == back[i])
                ++i;
            if (i < piece.size())
                return piece[i].isHighSurrogate() && i + 1 < piece.size() ? piece.mid(i, 2) : piece.mid(i, 1);
        }
        at = end;
    }
    return {};
}

} // namespace

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
    e.firstMisfit = FirstCp932Misfit(text);
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
