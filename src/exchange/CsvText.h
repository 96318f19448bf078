#pragma once

#include "platform/CodePage.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace quelm::exchange {

// ---------------------------------------------------------------- values

// What a CSV field was read as. Only the text form is kept by the imports; the kind decides that form.
enum class CsvKind { Empty, Text, Boolean, Date, Real, Fixed };

struct CsvValue {
    CsvKind kind = CsvKind::Empty;
    QString text; // the text form: "True", "2009/04/06", "1.5", "123", or the field as read
    QString raw;  // the field as read, quotes removed and blanks trimmed

    bool operator==(const CsvValue&) const = default;
};

// Types one field: an unquoted number becomes Real (with ".") or Fixed; a date from 1900 on becomes Date, quoted or
// not; TRUE/FALSE in any case becomes Boolean; anything else is Text, or Empty when there is nothing.
CsvValue TypeCsvField(const QString& field, bool quoted);

// The number test: blanks, a sign, a currency sign ($ ¥ \), digits with thousands commas, a decimal point and an
// exponent are accepted.
bool IsCsvNumeric(const QString& text);
// The date test: y/M/d or y-M-d (year 100 on), with an optional H:mm or H:mm:ss. The result is a calendar date and
// time with no time zone (held as UTC).
std::optional<QDateTime> ParseCsvDate(const QString& text);
// The value of a text that passes the number test: grouping commas and a currency sign are no part of the value
// ("127,768" is 127768); nullopt for a text that is no number.
std::optional<double> CsvNumber(const QString& text);
// Removes half-width blanks at both ends; an ideographic space or a line break belongs to the text and stays.
QString TrimBlanks(QStringView text);
// The same, sharing the text itself when there is nothing to remove.
QString TrimBlanks(const QString& text);
// yyyy/MM/dd, and " H:mm:ss" when the time of day is not midnight.
QString CsvDateText(const QDateTime& d);

// ---------------------------------------------------------------- reading

// One record of a CSV file: its values, at least one.
struct CsvRecord {
    std::vector<CsvValue> values;
    int firstLine = 0; // the file's line (1-based) on which the record starts
    // A quoted value was still open at the end of the file; that value reads as empty.
    bool unterminated = false;
    // The record holds bytes that are not valid in the file's encoding, or a NUL character.
    bool undecodable = false;

    int count() const { return static_cast<int>(values.size()); }
};

// Reads records from decoded text. A record is one line, or several when a quoted value spans line ends; the line
// break inside such a value is kept as the file has it. Within a quoted value a doubled quote stands for one quote.
// A field ends at a comma; a comma at the end of a line adds no empty value ("a,b," gives two values). A line that
// is empty or holds only blanks is no record.
class CsvReader {
public:
    // faultLine: the first line whose bytes could not be decoded (0 for none); the record holding it is marked.
    explicit CsvReader(QString text, int faultLine = 0);

    bool atEnd() const { return pos_ >= text_.size(); }
    // The next record; the caller tests atEnd() first.
    CsvRecord read();
    // Skips the next record without typing its values.
    void skip() { read(); }

private:
    // Returns the field and whether it ended the record.
    bool readField(QString& field, bool& quoted, bool& unterminated);
    bool atLineEnd() const;
    void takeLineEnd(QString* into);
    void skipBlankLines();

    QString text_;
    qsizetype pos_ = 0;
    int line_ = 1;
    int faultLine_;
};

// CsvRecordRead: the next record of a reader.
inline CsvRecord CsvRecordRead(CsvReader& reader) {
    return reader.read();
}

// ---------------------------------------------------------------- files

// A CSV file read whole, with its encoding detected (or chosen by the user) and its text decoded.
struct CsvFile {
    QByteArray bytes;
    platform::TextEncoding encoding = platform::TextEncoding::Cp932;
    QString text;
    // The first line that is not text in the encoding (0 for none), and whether a NUL character is the reason.
    int faultLine = 0;
    bool faultNul = false;

    bool decodeErrors() const { return faultLine > 0; }
    // Why the file cannot be taken as it is decoded; empty when it can.
    QString decodeFault() const;
    // Decodes the bytes again in another encoding.
    void decodeAs(platform::TextEncoding e);
    CsvReader reader() const { return CsvReader(text, faultLine); }
};

// Reads and decodes a file; nullopt with the reason in error when it cannot be read.
std::optional<CsvFile> LoadCsvFile(const QString& path, QString* error = nullptr);

// ---------------------------------------------------------------- composing

// One column of an output line: its text and the type of its field ("TEXT", "LONG", "DATE", or empty for filler).
using CsvCell = std::pair<QString, QString>;

// Adds one line to the end of a text: the cells joined with ",", TEXT cells between double quotes with their quotes
// doubled, others bare; ends with CR LF.
void AppendCsvLine(QString& out, const std::vector<CsvCell>& cells);

} // namespace quelm::exchange
