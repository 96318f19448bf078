#include "exchange/CsvExport.h"

#include "platform/CodePage.h"
#include "platform/Database.h"
#include "platform/WriteFaults.h"
#include "records/MainRecords.h"

#include <QStringDecoder>
#include <algorithm>
#include <charconv>
#include <functional>
#include <future>
#include <limits>

namespace quelm::exchange {

namespace {

int Ticked(const std::vector<bool>& ticks) {
    return static_cast<int>(std::count(ticks.begin(), ticks.end(), true));
}

// Puts the ticked values with their types into the leading columns and the identifying column last; the columns
// between stay blank filler. Cells are overwritten in place, so a line costs no more strings than it has values:
// setValue(k, cell) writes field k's value into the cell's text, and setIdentifier(cell) the last cell's (when the
// lines carry one).
void FillLine(std::vector<CsvCell>& cells, const std::vector<bool>& ticks, const std::vector<QString>& types,
              const auto& setValue, const auto& setIdentifier, bool withIdentifier) {
    std::size_t c = 0;
    for (std::size_t k = 0; k < ticks.size() && c < cells.size(); ++k) {
        if (!ticks[k])
            continue;
        CsvCell& cell = cells[c++];
        setValue(static_cast<int>(k), cell.first);
        if (!cell.second.isSharedWith(types[k]))
            cell.second = types[k];
    }
    for (; c < cells.size(); ++c)
        if (!cells[c].first.isNull() || !cells[c].second.isNull())
            cells[c] = CsvCell();
    if (withIdentifier) {
        setIdentifier(cells.back().first);
        cells.back().second = store::TypeText;
    }
}

// "登録ＮＯ・サブＮＯ" written into the cell's own text (サブＮＯ 0 for the main record itself).
void SetIdentifier(QString& cell, std::int64_t regNo, std::int64_t subNo) {
    char digits[48];
    char* end = std::to_chars(digits, digits + 20, regNo).ptr;
    cell.truncate(0);
    cell.append(QLatin1StringView(digits, end - digits));
    cell.append(QChar(u'・'));
    end = std::to_chars(digits, digits + 20, subNo).ptr;
    cell.append(QLatin1StringView(digits, end - digits));
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

// Text of whole lines gathered for the sink and handed over about a megabyte at a time, so that the whole export is
// never held at once.
class PieceWriter {
public:
    PieceWriter(ExportSink& sink, const ExportProgress& progress, std::size_t total)
        : sink_(sink), progress_(progress), total_(total) {}

    bool stopped() const { return stopped_; }
    ExportCounts counts() const { return counts_; }

    void mainLine(std::vector<CsvCell>& cells, const LineLayout& layout, const std::vector<QString>& mainTypes,
                  const ExportMainRow& row) {
        FillLine(
            cells, layout.mainTicks, mainTypes,
            [&](int k, QString& cell) { cell = TrimBlanks(k < row.fields.size() ? row.fields[k] : QString()); },
            [&](QString& cell) { SetIdentifier(cell, row.regNo, 0); }, layout.withSubs);
        AppendCsvLine(text_, cells);
        ++counts_.mainLines;
        if (progress_ && counts_.mainLines % ProgressEvery == 0)
            progress_(counts_.mainLines, static_cast<std::int64_t>(total_));
    }
    void subLine(QStringView line) {
        text_.append(line);
        ++counts_.subLines;
    }
    QString& text() { return text_; }
    void countSubLine() { ++counts_.subLines; }

    // Hands the gathered lines over once they make a piece (every line when force); false when the sink stops.
    bool flush(bool force = false) {
        if (stopped_ || (!force && text_.size() < PieceChars))
            return !stopped_;
        if (!text_.isEmpty() && !sink_.take(text_))
            stopped_ = true;
        text_.truncate(0);
        return !stopped_;
    }
    // Every line handed over so far is void: the sink and the counts begin again.
    void restart() {
        sink_.restart();
        text_.truncate(0);
        counts_ = {};
    }

private:
    static constexpr qsizetype PieceChars = 1 << 17;
    static constexpr int ProgressEvery = 1024;
    ExportSink& sink_;
    const ExportProgress& progress_;
    std::size_t total_;
    QString text_;
    ExportCounts counts_;
    bool stopped_ = false;
};

// The cell's text made the engine's UTF-8 without its leading and trailing blanks, in the cell's own buffer: a sub
// table of a million records would otherwise cost a string for each of its cells.
void SetTrimmedUtf8(QString& cell, std::string_view utf8, QStringDecoder& decoder) {
    while (!utf8.empty() && utf8.front() == ' ')
        utf8.remove_prefix(1);
    while (!utf8.empty() && utf8.back() == ' ')
        utf8.remove_suffix(1);
    if (utf8.empty()) {
        cell.truncate(0);
        return;
    }
    cell.resize(static_cast<qsizetype>(utf8.size())); // never fewer UTF-16 units than UTF-8 bytes
    QChar* begin = cell.data();
    cell.truncate(decoder.appendToBuffer(begin, QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size()))) -
                  begin);
}

// Composes the lines of sub records; each thread has its own.
class SubLineWriter {
public:
    explicit SubLineWriter(const LineLayout& layout)
        : layout_(layout), types_(OwnCopies(layout.subTypes)), cells_(layout.width) {}

    void append(QString& text, const platform::Recordset& rs, std::int64_t regNo, std::int64_t subNo) {
        const int userFields = layout_.userSubFields();
        FillLine(
            cells_, layout_.subTicks, types_,
            [&](int k, QString& cell) {
                if (k < userFields)
                    SetTrimmedUtf8(cell, rs.listUtf8(k), decoder_);
                else
                    cell.truncate(0);
            },
            [&](QString& cell) { SetIdentifier(cell, regNo, subNo); }, true);
        AppendCsvLine(text, cells_);
    }

private:
    const LineLayout& layout_;
    std::vector<QString> types_;
    std::vector<CsvCell> cells_;
    QStringDecoder decoder_{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

// Each main line followed by its sub records' lines, read main record by main record through the 登録ＮＯ index.
void ComposeByIndex(platform::Database& db, const LineLayout& layout, const std::vector<ExportMainRow>& rows,
                    PieceWriter& out) {
    std::vector<CsvCell> cells(layout.width);
    SubLineWriter subLines(layout);
    std::unique_ptr<platform::Recordset> rs; // one query for every main record's sub records
    for (const ExportMainRow& row : rows) {
        out.mainLine(cells, layout, layout.mainTypes, row);
        if (layout.withSubs) {
            if (rs)
                rs->requery(platform::Value(row.regNo));
            else
                rs = layout.subs->openRowsOf(db, row.regNo);
            for (; !rs->eof(); rs->moveNext()) {
                subLines.append(out.text(), *rs, row.regNo, rs->value(layout.subs->subNoPos).toInt());
                out.countSubLine();
            }
        }
        if (!out.flush())
            return;
    }
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
    SubLineWriter subLines(layout);
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
        subLines.append(out.text, *rs, key->regNo, key->subNo);
        out.lines.push_back({*key, from, out.text.size() - from, nullptr});
    }
    return out;
}

std::vector<std::int64_t> SortedRegNos(const std::vector<ExportMainRow>& rows) {
    std::vector<std::int64_t> wanted;
    wanted.reserve(rows.size());
    for (const ExportMainRow& row : rows)
        wanted.push_back(row.regNo);
    std::sort(wanted.begin(), wanted.end());
    return wanted;
}

constexpr std::int64_t FirstRowid = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t LastRowid = std::numeric_limits<std::int64_t>::max();

// The sub table read in stored order in rowid ranges, the ranges handed to use one after another in their order: the
// first range takes every rowid below it too, the last every rowid above. With a second connection that sees the same
// state, every other range is read on a second thread while this one works, so at most two ranges are held at a time.
// false when use says stop.
bool ReadRangesInOrder(platform::Database& db, const LineLayout& layout, const std::vector<std::int64_t>& wanted,
                       const std::function<bool(StoredSubLines&)>& use) {
    // About a sixteenth of the table a range, within bounds that keep the ranges in hand small.
    const std::int64_t last = db.maxOf(layout.subs->name, QStringLiteral("rowid"));
    const std::int64_t RangeRows = std::clamp<std::int64_t>(last / 16, 1024, 32768);
    const auto read = [&](platform::Database& on, std::int64_t from) {
        return ComposeStoredSubLines(on, layout, wanted, from == 1 ? FirstRowid : from,
                                     from + RangeRows > last ? LastRowid : from + RangeRows - 1);
    };
    const auto isLast = [&](std::int64_t from) { return from + RangeRows > last; };
    const std::unique_ptr<platform::ReadTwin> twin = platform::ReadTwin::open(db);
    for (std::int64_t from = 1;; from += 2 * RangeRows) {
        const std::int64_t next = from + RangeRows;
        std::future<StoredSubLines> later;
        if (twin && !isLast(from))
            later = std::async(std::launch::async, [&, next] { return read(twin->db(), next); });
        bool going = false;
        try {
            StoredSubLines here = read(db, from);
            going = use(here);
        } catch (...) {
            if (later.valid())
                later.wait(); // the second thread uses this frame's layout and numbers
            throw;
        }
        if (isLast(from))
            return going;
        if (!going) {
            if (later.valid())
                later.wait();
            return false;
        }
        StoredSubLines there = later.valid() ? later.get() : read(db, next);
        if (!use(there))
            return false;
        if (isLast(next))
            return true;
    }
}

// What a read in stored order found: whether its lines could be used as they came.
enum class StoredOrder { Used, NotKeyOrder, NotNumbers };

// The lines of a list in 登録ＮＯ order (as the list stands when it was not sorted by a column), taken straight from
// the sub table in its stored order, range by range, each main line put before its first sub line: nothing is held but
// the ranges in hand. NotKeyOrder when the table does not store its rows in key order (rows added out of order by
// another program): what was handed over is then void.
StoredOrder ComposeInStoredOrder(platform::Database& db, const LineLayout& layout,
                                 const std::vector<ExportMainRow>& rows, PieceWriter& out) {
    const std::vector<std::int64_t> wanted = SortedRegNos(rows);
    std::vector<CsvCell> cells(layout.width);
    std::size_t nextMain = 0;
    std::optional<records::RecordKey> lastKey;
    StoredOrder found = StoredOrder::Used;
    const bool complete = ReadRangesInOrder(db, layout, wanted, [&](StoredSubLines& range) {
        if (!range.keyedByNumbers) {
            found = StoredOrder::NotNumbers;
            return false;
        }
        for (const StoredSubLines::Line& line : range.lines) {
            if (lastKey && line.key < *lastKey) {
                found = StoredOrder::NotKeyOrder;
                return false;
            }
            lastKey = line.key;
            for (; nextMain < rows.size() && rows[nextMain].regNo <= line.key.regNo; ++nextMain)
                out.mainLine(cells, layout, layout.mainTypes, rows[nextMain]);
            out.subLine(QStringView(range.text).sliced(line.from, line.length));
            if (!out.flush())
                return false;
        }
        return true;
    });
    if (complete) {
        for (; nextMain < rows.size() && out.flush(); ++nextMain)
            out.mainLine(cells, layout, layout.mainTypes, rows[nextMain]);
    }
    return found;
}

// The same lines as ComposeByIndex, the sub table read straight through in its stored order (on two threads, each
// half of the rowids, when a second connection can see the same state) and the sub lines put in key order after:
// visiting the index for every sub record would cost more than all the rest. This holds every sub line at once; it
// serves a list sorted by a column. false when the table's key is not the record numbers or a key is not a whole
// number, so that the order cannot be told without the engine.
bool ComposeByWholeScan(platform::Database& db, const LineLayout& layout, const std::vector<ExportMainRow>& rows,
                        PieceWriter& out) {
    const std::vector<std::int64_t> wanted = SortedRegNos(rows);
    std::vector<StoredSubLines> pieces(1);
    const std::unique_ptr<platform::ReadTwin> twin = platform::ReadTwin::open(db);
    if (twin) {
        const std::int64_t middle = db.maxOf(layout.subs->name, QStringLiteral("rowid")) / 2;
        auto later = std::async(std::launch::async,
                                [&] { return ComposeStoredSubLines(twin->db(), layout, wanted, middle, LastRowid); });
        try {
            pieces[0] = ComposeStoredSubLines(db, layout, wanted, FirstRowid, middle - 1);
        } catch (...) {
            later.wait(); // the second thread uses this frame's layout and numbers
            throw;
        }
        pieces.push_back(later.get());
    } else {
        pieces[0] = ComposeStoredSubLines(db, layout, wanted, FirstRowid, LastRowid);
    }

    std::vector<StoredSubLines::Line> lines;
    for (StoredSubLines& piece : pieces) {
        if (!piece.keyedByNumbers)
            return false;
        for (StoredSubLines::Line& line : piece.lines)
            line.text = &piece.text;
        lines.insert(lines.end(), piece.lines.begin(), piece.lines.end());
    }
    // The key is unique, so this is the order of the index.
    const auto keyOrder = [](const StoredSubLines::Line& a, const StoredSubLines::Line& b) { return a.key < b.key; };
    std::sort(lines.begin(), lines.end(), keyOrder);

    std::vector<CsvCell> cells(layout.width);
    for (const ExportMainRow& row : rows) {
        out.mainLine(cells, layout, layout.mainTypes, row);
        const StoredSubLines::Line probe{{row.regNo, FirstRowid}, 0, 0, nullptr};
        for (auto line = std::lower_bound(lines.begin(), lines.end(), probe, keyOrder);
             line != lines.end() && line->key.regNo == row.regNo; ++line)
            out.subLine(QStringView(*line->text).sliced(line->from, line->length));
        if (!out.flush())
            break;
    }
    return true;
}

bool AscendingRegNos(const std::vector<ExportMainRow>& rows) {
    return std::adjacent_find(rows.begin(), rows.end(), [](const ExportMainRow& a, const ExportMainRow& b) {
               return a.regNo >= b.regNo;
           }) == rows.end();
}

// Appends every piece to one text.
class TextSink : public ExportSink {
public:
    bool take(const QString& piece) override {
        text.append(piece);
        return true;
    }
    void restart() override { text.clear(); }
    QString text;
};

} // namespace

ExportCounts StreamExport(platform::Database& db, const store::ConfigSection& section,
                          const std::vector<ExportMainRow>& rows, const ExportChoice& choice, ExportSink& sink,
                          const ExportProgress& progress) {
    const LineLayout layout(section, choice);
    PieceWriter out(sink, progress, rows.size());
    // One read transaction: the engine takes its file lock once instead of once for every main record, and every
    // line comes from the same state of the catalogue. Nothing is written, so it simply ends unfinished.
    platform::Transaction reading(db);
    const bool wholeScan = layout.withSubs && rows.size() >= RowsWorthAWholeScan &&
                           static_cast<std::int64_t>(rows.size()) * ShareWorthAWholeScan >=
                               db.rowCount(records::CheckedTableName(section.TableName));
    bool done = false;
    if (wholeScan && AscendingRegNos(rows)) {
        const StoredOrder found = ComposeInStoredOrder(db, layout, rows, out);
        done = found == StoredOrder::Used;
        if (found == StoredOrder::NotKeyOrder) {
            out.restart();
            done = ComposeByWholeScan(db, layout, rows, out);
        }
    } else if (wholeScan) {
        done = ComposeByWholeScan(db, layout, rows, out);
    }
    if (!done && !out.stopped()) {
        out.restart();
        ComposeByIndex(db, layout, rows, out);
    }
    out.flush(true);
    ExportCounts counts = out.counts();
    counts.stopped = out.stopped();
    return counts;
}

ExportText ComposeExport(platform::Database& db, const store::ConfigSection& section,
                         const std::vector<ExportMainRow>& rows, const ExportChoice& choice) {
    TextSink sink;
    const ExportCounts counts = StreamExport(db, section, rows, choice, sink);
    return {std::move(sink.text), counts.mainLines, counts.subLines};
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

ExportFile::ExportFile(const QString& path, platform::TextEncoding encoding) : path_(path), encoding_(encoding) {
    open();
}

ExportFile::~ExportFile() {
    if (file_ && file_->isOpen())
        file_->cancelWriting();
}

void ExportFile::open() {
    file_ = std::make_unique<platform::AtomicFile>(path_);
    if (!file_->open(QIODevice::WriteOnly)) {
        failure_ = FileFailure{static_cast<int>(file_->error()), file_->errorString()};
        return;
    }
    // UTF-8 files carry their mark once, at the start. (Exports are written in CP932 or UTF-8 only.)
    if (encoding_ == platform::TextEncoding::Utf8Bom)
        write(QByteArrayLiteral("\xEF\xBB\xBF"));
}

bool ExportFile::write(const QByteArray& bytes) {
    if (failure_)
        return false;
    if (file_->write(bytes) == bytes.size())
        return true;
    failure_ = FileFailure{static_cast<int>(file_->error()), file_->errorString()};
    return false;
}

bool ExportFile::take(const QString& piece) {
    if (failure_)
        return false;
    if (encoding_ != platform::TextEncoding::Cp932) {
        // The mark went first; the pieces follow without one.
        const auto plain = encoding_ == platform::TextEncoding::Utf8Bom ? platform::TextEncoding::Utf8 : encoding_;
        return write(platform::EncodeText(piece, plain));
    }
    std::optional<QByteArray> bytes = platform::EncodeCp932Exactly(piece);
    if (!bytes) {
        misfit_ = platform::FirstCp932Misfit(piece);
        return false;
    }
    return write(*bytes);
}

void ExportFile::restart() {
    if (file_->isOpen())
        file_->cancelWriting();
    failure_.reset();
    misfit_.clear();
    open();
}

std::optional<FileFailure> ExportFile::commit() {
    if (failure_)
        return failure_;
    if (!file_->commit())
        failure_ = FileFailure{static_cast<int>(file_->error()), file_->errorString()};
    return failure_;
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

QString ExportDoneMessage(int mainLines, int subLines) {
    return QStringLiteral("ＣＳＶデータ出力が終了しました。 \r\n種目メイン明細　%1\r\n種目サブ明細　　%2")
        .arg(mainLines)
        .arg(subLines);
}

QString FileErrorMessage(const FileFailure& failure) {
    return QStringLiteral("ファイルエラー %1 %2").arg(failure.code).arg(failure.description);
}

} // namespace quelm::exchange
