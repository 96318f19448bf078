#include "exchange/CsvExport.h"

#include "platform/Database.h"
#include "records/MainRecords.h"

#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

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
    for (std::size_t k = 0; k < ticks.size() && c < cells.size(); ++k)
        if (ticks[k])
            cells[c++] = {TrimBlanks(valueAt(static_cast<int>(k))), types[k]};
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

ExportText ComposeExport(platform::Database& db, const store::ConfigSection& section,
                         const std::vector<ExportMainRow>& rows, const ExportChoice& choice) {
    std::vector<QString> mainTypes, subTypes;
    for (int k = 1; k <= store::MainFieldSlots; ++k)
        mainTypes.push_back(records::MainFieldType(section, k));
    for (int k = 1; k <= store::SubFieldSlots; ++k)
        subTypes.push_back(records::SubFieldType(section, k));
    std::vector<bool> mainTicks = choice.mainFields, subTicks = choice.subFields;
    mainTicks.resize(store::MainFieldSlots, false);
    subTicks.resize(store::SubFieldSlots, false);

    const bool withSubs = ExportsSubRecords(choice.mode);
    std::optional<records::SubTable> subs;
    std::unique_ptr<platform::Recordset> rs; // one query for every main record's sub records
    if (withSubs)
        subs = records::CheckedSubTable(section);
    std::vector<CsvCell> cells(choice.width());
    // One read transaction: the engine takes its file lock once instead of once for every main record, and every
    // line comes from the same state of the catalogue. Nothing is written, so it simply ends unfinished.
    platform::Transaction reading(db);
    ExportText out;
    for (const ExportMainRow& row : rows) {
        const QString prefix = withSubs ? IdentifierPrefix(row.regNo) : QString();
        FillLine(
            cells, mainTicks, mainTypes, [&](int k) { return k < row.fields.size() ? row.fields[k] : QString(); },
            withSubs ? prefix + QLatin1Char('0') : QString());
        AppendCsvLine(out.text, cells);
        ++out.mainLines;
        if (!withSubs)
            continue;
        if (rs)
            rs->requery(platform::Value(row.regNo));
        else
            rs = subs->openRowsOf(db, row.regNo);
        const int userFields = std::min(subs->regNoPos, store::SubFieldSlots);
        for (; !rs->eof(); rs->moveNext()) {
            FillLine(
                cells, subTicks, subTypes, [&](int k) { return k < userFields ? rs->text(k) : QString(); },
                prefix + QString::number(rs->value(subs->subNoPos).toInt()));
            AppendCsvLine(out.text, cells);
            ++out.subLines;
        }
    }
    return out;
}

EncodedExport EncodeExport(const QString& text, platform::TextEncoding encoding) {
    EncodedExport e;
    bool lossless = true;
    e.bytes = platform::EncodeText(text, encoding, &lossless);
    if (encoding != platform::TextEncoding::Cp932 || lossless)
        return e;
    // What CP932 cannot hold comes back changed from a round trip; the first change names the character.
    const QString back = QStringDecoder("CP932").decode(e.bytes);
    e.lossless = false;
    qsizetype i = 0;
    while (i < text.size() && i < back.size() && text[i] == back[i])
        ++i;
    if (i < text.size())
        e.firstMisfit = text[i].isHighSurrogate() && i + 1 < text.size() ? text.mid(i, 2) : text.mid(i, 1);
    return e;
}

std::optional<FileFailure> WriteFileInPlace(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
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
