#include "exchange/CsvText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace quelm::exchange {

namespace {

constexpr QChar Quote = u'"';
constexpr QChar Comma = u',';
constexpr QChar Blank = u' ';

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
bool IsLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

// A number as written: its digits without separators, the power of ten they are scaled by, the sign.
struct WrittenNumber {
    QString digits;
    int exponent = 0;
    bool negative = false;
    bool hasPoint = false;
    // The number in C form (no currency, no commas).
    double toDouble() const {
        return (QString(negative ? QStringLiteral("-") : QString()) + digits + QStringLiteral("e%1").arg(exponent))
            .toDouble();
    }
};

bool IsCurrency(QChar c) {
    return c == u'$' || c == u'\\' || c == u'¥' || c == u'￥';
}

std::optional<WrittenNumber> ParseWrittenNumber(QStringView text) {
    QStringView s = text.trimmed();
    WrittenNumber n;
    qsizetype i = 0;
    const auto sign = [&] {
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            n.negative = s[i] == u'-';
            ++i;
            return true;
        }
        return false;
    };
    const bool signFirst = sign();
    if (i < s.size() && IsCurrency(s[i])) {
        ++i;
        if (!signFirst)
            sign();
    }
    int fraction = 0;
    bool anyDigit = false;
    while (i < s.size()) {
        const QChar c = s[i];
        if (IsDigit(c)) {
            n.digits.append(c);
            anyDigit = true;
            if (n.hasPoint)
                ++fraction;
        } else if (c == Comma && anyDigit && !n.hasPoint) {
            // thousands separator
        } else if (c == u'.' && !n.hasPoint) {
            n.hasPoint = true;
        } else {
            break;
        }
        ++i;
    }
    if (!anyDigit)
        return std::nullopt;
    int exponent = 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool negExp = false;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            negExp = s[i++] == u'-';
        if (i >= s.size() || !IsDigit(s[i]))
            return std::nullopt;
        for (; i < s.size() && IsDigit(s[i]); ++i)
            exponent = std::min(exponent * 10 + (s[i].unicode() - u'0'), 100000);
        if (negExp)
            exponent = -exponent;
    }
    if (i < s.size() && IsCurrency(s[i]))
        ++i;
    if (i != s.size())
        return std::nullopt;
    n.exponent = exponent - fraction;
    return n;
}

// The value in ten-thousandths, half to even, when it fits a signed 64-bit count.
std::optional<std::int64_t> TenThousandths(const WrittenNumber& n) {
    QString digits = n.digits;
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    const int scale = n.exponent + 4;
    QString kept;
    bool roundUp = false;
    if (scale >= 0) {
        if (digits == QLatin1String("0"))
            return 0;
        if (digits.size() + scale > 19)
            return std::nullopt;
        kept = digits + QString(scale, u'0');
    } else {
        const qsizetype cut = -static_cast<qsizetype>(scale);
        if (cut > digits.size() + 1)
            return 0;
        const qsizetype keep = std::max<qsizetype>(0, digits.size() - cut);
        kept = digits.left(keep);
        const QString dropped = digits.mid(keep).rightJustified(cut, u'0');
        const int first = dropped[0].unicode() - u'0';
        const bool restZero = dropped.mid(1).count(u'0') == dropped.size() - 1;
        const int lastKept = kept.isEmpty() ? 0 : kept.back().unicode() - u'0';
        roundUp = first > 5 || (first == 5 && (!restZero || lastKept % 2 == 1));
    }
    bool ok = true;
    std::uint64_t v = kept.isEmpty() ? 0 : kept.toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    v += roundUp ? 1 : 0;
    if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    const auto signedValue = static_cast<std::int64_t>(v);
    return n.negative ? -signedValue : signedValue;
}

QString FixedText(std::int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    const std::uint64_t a = negative ? 0 - static_cast<std::uint64_t>(tenThousandths) : tenThousandths;
    QString text = QString::number(a / 10000);
    if (const std::uint64_t frac = a % 10000) {
        QString f = QString::number(frac).rightJustified(4, u'0');
        while (f.endsWith(u'0'))
            f.chop(1);
        text += u'.' + f;
    }
    return negative ? u'-' + text : text;
}

QString RealText(double d) {
    QString text = QString::number(d, 'g', 15);
    text.replace(u'e', u'E');
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

// Reads an unsigned number of at most maxDigits digits at i.
std::optional<int> TakeNumber(QStringView s, qsizetype& i, int maxDigits) {
    int v = 0, n = 0;
    while (i < s.size() && IsDigit(s[i]) && n < maxDigits) {
        v = v * 10 + (s[i].unicode() - u'0');
        ++i;
        ++n;
    }
    if (n == 0 || (i < s.size() && IsDigit(s[i])))
        return std::nullopt;
    return v;
}

bool TakeChar(QStringView s, qsizetype& i, QChar c) {
    if (i < s.size() && s[i] == c) {
        ++i;
        return true;
    }
    return false;
}

} // namespace

QString TrimBlanks(QStringView s) {
    qsizetype from = 0, to = s.size();
    while (from < to && s[from] == Blank)
        ++from;
    while (to > from && s[to - 1] == Blank)
        --to;
    return s.sliced(from, to - from).toString();
}

QString TrimBlanks(const QString& s) {
    if (s.isEmpty() || (s.front() != Blank && s.back() != Blank))
        return s;
    return TrimBlanks(QStringView(s));
}

bool IsCsvNumeric(const QString& text) {
    return ParseWrittenNumber(text).has_value();
}

namespace {

struct DateParts {
    QDate date;
    QTime time;
};

// Dates are parsed and written without QDateTime: a local date-time looks up the time zone on every use, which
// would cost more than the rest of reading a record.
std::optional<DateParts> ParseDateParts(QStringView text) {
    const QStringView s = text.trimmed();
    if (s.isEmpty() || !IsDigit(s[0]))
        return std::nullopt;
    qsizetype i = 0;
    const auto year = TakeNumber(s, i, 4);
    if (!year)
        return std::nullopt;
    const qsizetype yearDigits = i;
    const bool kanji = i < s.size() && s[i] == u'年';
    QChar sep;
    if (kanji)
        ++i;
    else if (i < s.size() && (s[i] == u'/' || s[i] == u'-'))
        sep = s[i++];
    else
        return std::nullopt;
    const auto month = TakeNumber(s, i, 2);
    if (!month || !(kanji ? TakeChar(s, i, u'月') : TakeChar(s, i, sep)))
        return std::nullopt;
    const auto day = TakeNumber(s, i, 2);
    if (!day || (kanji && !TakeChar(s, i, u'日')))
        return std::nullopt;
    int y = *year;
    if (yearDigits <= 2)
        y += y < 30 ? 2000 : 1900; // two-digit years as Windows reads them
    const QDate date(y, *month, *day);
    if (!date.isValid() || y < 100)
        return std::nullopt;
    QTime time(0, 0);
    if (i < s.size()) {
        if (s[i] != Blank)
            return std::nullopt;
        while (i < s.size() && s[i] == Blank)
            ++i;
        const auto h = TakeNumber(s, i, 2);
        if (!h || !TakeChar(s, i, u':'))
            return std::nullopt;
        const auto m = TakeNumber(s, i, 2);
        std::optional<int> sec = 0;
        if (m && TakeChar(s, i, u':'))
            sec = TakeNumber(s, i, 2);
        if (!m || !sec || i != s.size())
            return std::nullopt;
        time = QTime(*h, *m, *sec);
        if (!time.isValid())
            return std::nullopt;
    }
    return DateParts{date, time};
}

QString DateText(const DateParts& d) {
    char buffer[32];
    int n = std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", d.date.year(), d.date.month(), d.date.day());
    if (d.time != QTime(0, 0))
        n += std::snprintf(buffer + n, sizeof buffer - n, " %d:%02d:%02d", d.time.hour(), d.time.minute(),
                           d.time.second());
    return QString::fromLatin1(buffer, n);
}

bool SameLetters(const QString& field, QLatin1StringView word) {
    return field.size() == word.size() && field.compare(word, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<QDateTime> ParseCsvDate(const QString& text) {
    const auto d = ParseDateParts(text);
    if (!d)
        return std::nullopt;
    return QDateTime(d->date, d->time, Qt::UTC);
}

QString CsvDateText(const QDateTime& d) {
    return DateText({d.date(), d.time()});
}

std::optional<double> CsvNumber(const QString& text) {
    if (const auto n = ParseWrittenNumber(text))
        return n->toDouble();
    return std::nullopt;
}

CsvValue TypeCsvField(const QString& field, bool quoted) {
    if (field.isEmpty())
        return {};
    if (!quoted) {
        if (const auto n = ParseWrittenNumber(field)) {
            if (n->hasPoint)
                return {CsvKind::Real, RealText(n->toDouble()), field};
            // A whole number too large for the fixed-point kind keeps its digits as text.
            if (const auto fixed = TenThousandths(*n))
                return {CsvKind::Fixed, FixedText(*fixed), field};
            return {CsvKind::Text, field, field};
        }
    }
    if (const auto d = ParseDateParts(field)) {
        if (d->date >= QDate(1900, 1, 1))
            return {CsvKind::Date, DateText(*d), field};
        return {CsvKind::Text, field, field};
    }
    if (SameLetters(field, QLatin1StringView("TRUE")))
        return {CsvKind::Boolean, QStringLiteral("True"), field};
    if (SameLetters(field, QLatin1StringView("FALSE")))
        return {CsvKind::Boolean, QStringLiteral("False"), field};
    return {CsvKind::Text, field, field};
}

// ---------------------------------------------------------------- reading

CsvReader::CsvReader(QString text, int faultLine) : text_(std::move(text)), faultLine_(faultLine) {
    skipBlankLines();
}

void CsvReader::skipBlankLines() {
    while (pos_ < text_.size()) {
        qsizetype end = pos_;
        while (end < text_.size() && (text_[end] == Blank || text_[end] == u'\t'))
            ++end;
        if (end < text_.size() && !IsLineEnd(text_[end]))
            return;
        pos_ = end;
        takeLineEnd(nullptr);
    }
}

bool CsvReader::atLineEnd() const {
    return pos_ < text_.size() && IsLineEnd(text_[pos_]);
}

void CsvReader::takeLineEnd(QString* into) {
    if (pos_ >= text_.size())
        return;
    const qsizetype from = pos_;
    if (text_[pos_] == u'\r')
        ++pos_;
    if (pos_ < text_.size() && text_[pos_] == u'\n')
        ++pos_;
    if (pos_ > from) {
        ++line_;
        if (into)
            into->append(QStringView(text_).sliced(from, pos_ - from));
    }
}

bool CsvReader::readField(QString& field, bool& quoted, bool& unterminated) {
    const QStringView text(text_);
    if (text[pos_] == Quote) {
        quoted = true;
        ++pos_;
        QString value;
        for (;;) {
            // Copy up to the next quote or line end in one piece.
            qsizetype run = pos_;
            while (run < text.size() && text[run] != Quote && !IsLineEnd(text[run]))
                ++run;
            value.append(text.sliced(pos_, run - pos_));
            pos_ = run;
            if (pos_ >= text.size()) {
                unterminated = true;
                return true;
            }
            if (IsLineEnd(text[pos_])) {
                takeLineEnd(&value);
                continue;
            }
            // A quote: doubled it is one quote; before a comma or the line end it closes the value; anything else
            // after it, and it is taken as it stands.
            const QChar next = pos_ + 1 < text.size() ? text[pos_ + 1] : QChar(u'\n');
            if (next == Quote) {
                value.append(Quote);
                pos_ += 2;
            } else if (next == Comma) {
                pos_ += 2;
                field = TrimBlanks(value);
                return false;
            } else if (IsLineEnd(next)) {
                ++pos_;
                takeLineEnd(nullptr);
                field = TrimBlanks(value);
                return true;
            } else {
                value.append(Quote);
                ++pos_;
            }
        }
    }
    qsizetype end = pos_;
    while (end < text.size() && text[end] != Comma && !IsLineEnd(text[end]))
        ++end;
    field = TrimBlanks(text.sliced(pos_, end - pos_));
    pos_ = end;
    if (pos_ < text.size() && text[pos_] == Comma) {
        ++pos_;
        return false;
    }
    takeLineEnd(nullptr);
    return true;
}

CsvRecord CsvReader::read() {
    CsvRecord record;
    record.firstLine = line_;
    if (atEnd()) {
        record.values.emplace_back();
        return record;
    }
    for (;;) {
        QString field;
        bool quoted = false, unterminated = false;
        const bool ended = readField(field, quoted, unterminated);
        if (unterminated) {
            record.unterminated = true;
            record.values.emplace_back();
        } else {
            record.values.push_back(TypeCsvField(field, quoted));
        }
        if (ended)
            break;
        if (atEnd() || atLineEnd()) {
            takeLineEnd(nullptr);
            break;
        }
    }
    // The record's lines run from its first up to the one the reader now stands on (that one only when the text
    // ended without a line break).
    record.undecodable = faultLine_ >= record.firstLine && (faultLine_ < line_ || (faultLine_ == line_ && atEnd()));
    skipBlankLines();
    return record;
}

// ---------------------------------------------------------------- files

void CsvFile::decodeAs(platform::TextEncoding e) {
    encoding = e;
    platform::DecodedText decoded = platform::DecodeStrict(bytes, e);
    text = std::move(decoded.text);
    faultLine = decoded.faultLine;
    faultNul = decoded.nul;
}

QString CsvFile::decodeFault() const {
    if (faultLine == 0)
        return {};
    platform::DecodedText fault;
    fault.faultLine = faultLine;
    fault.nul = faultNul;
    return platform::DecodeFaultMessage(fault, encoding);
}

std::optional<CsvFile> LoadCsvFile(const QString& path, QString* error) {
    // The path may be typed: a pipe would wait for ever and a device such as /dev/zero never end.
    if (const QFileInfo info(path); info.exists() && !info.isFile()) {
        if (error)
            *error = QStringLiteral("通常のファイルではないため読み込めません。");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    CsvFile csv;
    csv.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    csv.decodeAs(platform::DetectTextEncoding(csv.bytes));
    return csv;
}

// ---------------------------------------------------------------- composing

void AppendCsvLine(QString& out, const std::vector<CsvCell>& cells) {
    // The line is written straight into room made for the longest it can be (every quote doubled), then cut to what
    // it took: an export writes a million lines, and a character at a time through append costs several times more.
    qsizetype most = 2 + static_cast<qsizetype>(cells.size()); // the commas, CR LF
    for (const auto& cell : cells)
        most += 2 * cell.first.size() + 2;
    const qsizetype start = out.size();
    out.resize(start + most);
    QChar* const begin = out.data();
    QChar* p = begin + start;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            *p++ = Comma;
        const auto& [text, type] = cells[i];
        // A number or a date never needs quotes; should another cell hold a separator, it is quoted all the same,
        // so that the line keeps its columns. One pass over the text tells both.
        bool separator = false, hasQuote = false;
        for (const QChar c : text) {
            hasQuote = hasQuote || c == Quote;
            separator = separator || c == Comma || c == u'\r' || c == u'\n';
        }
        const bool textType = type.size() == 4 && QStringView(type) == u"TEXT"; // the length first: most are filler
        if (!hasQuote && !separator && !textType) {
            p = std::copy(text.cbegin(), text.cend(), p);
            continue;
        }
        *p++ = Quote;
        if (hasQuote) {
            for (const QChar c : text) {
                *p++ = c;
                if (c == Quote)
                    *p++ = Quote;
            }
        } else {
            p = std::copy(text.cbegin(), text.cend(), p);
        }
        *p++ = Quote;
    }
    *p++ = u'\r';
    *p++ = u'\n';
    out.truncate(p - begin);
}

} // namespace quelm::exchange
