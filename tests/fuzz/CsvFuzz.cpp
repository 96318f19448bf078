#include "FuzzTargets.h"

#include "exchange/CsvImport.h"
#include "exchange/CsvText.h"

namespace quelm::fuzz {

namespace {

// Every record of the file, as the import reads them: each holds a value, starts on a later line than the one
// before, and comes to an end.
void ReadEveryRecord(const exchange::CsvFile& file) {
    exchange::CsvReader reader = file.reader();
    qsizetype records = 0;
    int lastLine = 0;
    while (!reader.atEnd()) {
        const exchange::CsvRecord record = reader.read();
        Require(record.count() >= 1, "a record without a value");
        Require(record.firstLine > lastLine, "a record does not start on a later line");
        Require(++records <= file.text.size() + 1, "more records than characters");
        lastLine = record.firstLine;
        for (const exchange::CsvValue& v : record.values) {
            Require((v.kind == exchange::CsvKind::Empty) == v.text.isEmpty(), "an empty value with a text");
            if (v.kind == exchange::CsvKind::Date)
                Require(exchange::ParseCsvDate(v.raw).has_value(), "a date that the date test refuses");
            Require(exchange::CsvNumber(v.raw).has_value() == exchange::IsCsvNumeric(v.raw),
                    "the number test and the number disagree");
        }
    }
}

// The bytes cut into texts (0x01 ends a text, 0x02 a line), written as the export writes TEXT cells and read back:
// every text returns, blanks at its ends apart.
void RoundTrip(const QByteArray& bytes) {
    QString out;
    std::vector<QStringList> lines;
    for (const QByteArray& line : bytes.split('\x02')) {
        QStringList texts;
        std::vector<exchange::CsvCell> cells;
        for (const QByteArray& piece : line.split('\x01')) {
            texts << QString::fromUtf8(piece);
            cells.emplace_back(texts.last(), QStringLiteral("TEXT"));
        }
        exchange::AppendCsvLine(out, cells);
        lines.push_back(texts);
    }
    exchange::CsvReader reader(out);
    for (const QStringList& texts : lines) {
        Require(!reader.atEnd(), "a composed line was not read back");
        const exchange::CsvRecord record = reader.read();
        Require(record.count() == texts.size(), "a composed line reads back with another number of values");
        for (int i = 0; i < texts.size(); ++i)
            Require(record.values[i].raw == exchange::TrimBlanks(texts[i]), "a composed text reads back changed");
    }
    Require(reader.atEnd(), "more records than composed lines");
}

} // namespace

// A CSV file chosen for an import may hold anything: the reader types every value, the preview shows the first
// record, and nothing it reads crashes, hangs or breaks the reader's own rules.
void FuzzCsvReader(const std::uint8_t* data, std::size_t size) {
    exchange::CsvFile file;
    file.bytes = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    file.decodeAs(platform::DetectTextEncoding(file.bytes));
    ReadEveryRecord(file);
    for (const bool skipFirst : {false, true}) {
        const exchange::CsvPreview preview = exchange::PreviewCsv(file, skipFirst);
        Require(preview.status != exchange::CsvPreview::Status::Ok || !preview.items.isEmpty(),
                "a preview without items");
    }
    RoundTrip(file.bytes);
}

} // namespace quelm::fuzz
