#include "records/TextMatch.h"

#include <array>
#include <cstring>
#include <string>

namespace quelm::records {

namespace {

bool IsHalfWidthKana(char16_t c) {
    return c >= 0xFF61 && c <= 0xFF9F;
}

// The full-width form of a half-width katakana or mark; each is one character. A table, as a record list search folds
// every cell of a large table.
char16_t FullWidthKana(char16_t c) {
    static const auto table = [] {
        std::array<char16_t, 0xFF9F - 0xFF61 + 1> t{};
        for (char16_t k = 0xFF61; k <= 0xFF9F; ++k)
            t[k - 0xFF61] = QString(QChar(k)).normalized(QString::NormalizationForm_KC).at(0).unicode();
        return t;
    }();
    return table[c - 0xFF61];
}

// The combining voiced and semi-voiced sound marks.
bool IsCombiningMark(char16_t c) {
    return c == 0x3099 || c == 0x309A;
}

// A voiced or semi-voiced mark joins the letter before it (ｶﾞ and カ + U+3099 are ガ). Only that pair is composed:
// composing the whole text would also change other characters, such as compatibility ideographs, on one side only.
void AppendMark(std::u16string& out, char16_t mark) {
    if (!out.empty()) {
        const QString pair = QString(QChar(out.back())) + QChar(mark);
        const QString composed = pair.normalized(QString::NormalizationForm_C);
        if (composed.size() == 1) {
            out.back() = composed.front().unicode();
            return;
        }
    }
    out.push_back(mark);
}

// Appends the folded form of one UTF-16 unit.
void FoldUnit(char16_t c, std::u16string& out) {
    if (c < 0x80) { // most cells are mostly ASCII
        out.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c);
        return;
    }
    if (IsHalfWidthKana(c))
        c = FullWidthKana(c); // ｶ becomes カ, and ﾞ the combining mark that joins it below
    if (IsCombiningMark(c)) {
        AppendMark(out, c);
        return;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) {
        c = static_cast<char16_t>(c - 0xFF01 + 0x21);
    } else if (c == 0x3000) {
        c = u' ';
    } else if (c >= 0xFFE0 && c <= 0xFFEE) {
        // Full-width ￥ ￡ ￢ and the half-width forms of arrows and symbols.
        const QString narrow = QString(QChar(c)).normalized(QString::NormalizationForm_KC);
        out.append(reinterpret_cast<const char16_t*>(narrow.utf16()), static_cast<std::size_t>(narrow.size()));
        return;
    }
    // Hiragana as katakana, the iteration marks ゝゞ included.
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
        c = static_cast<char16_t>(c + 0x60);
    if (c > 0x3000 && c < 0xA000) { // kana, CJK symbols and ideographs have no case
        out.push_back(c);
        return;
    }
    out.push_back(QChar(c).toCaseFolded().unicode());
}

// Decodes UTF-8 and folds it on the way; a malformed byte reads as U+FFFD, as Qt decodes it.
void FoldUtf8(std::string_view utf8, std::u16string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            out.push_back(b >= 'A' && b <= 'Z' ? static_cast<char16_t>(b + 0x20) : static_cast<char16_t>(b));
            ++p;
            continue;
        }
        const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
        char32_t cp = extra == 3 ? (b & 0x07u) : extra == 2 ? (b & 0x0Fu) : (b & 0x1Fu);
        bool ok = extra > 0 && b < 0xF5 && end - p > extra;
        for (int i = 1; ok && i <= extra; ++i) {
            ok = (p[i] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i] & 0x3Fu);
        }
        static constexpr char32_t Least[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || cp < Least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            FoldUnit(0xFFFD, out);
            ++p;
            continue;
        }
        p += extra + 1;
        if (cp >= 0x10000) { // outside the folded ranges: the surrogate pair as it is
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            FoldUnit(static_cast<char16_t>(cp), out);
        }
    }
}

Qt::CaseSensitivity Sensitivity(TextFold fold) {
    return fold == TextFold::Case ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

} // namespace

void FoldForSearchInto(QStringView text, std::u16string& out) {
    out.clear();
    for (const QChar ch : text)
        FoldUnit(ch.unicode(), out);
}

QString FoldForSearch(const QString& text) {
    std::u16string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    FoldForSearchInto(text, out);
    return QString::fromStdU16String(out);
}

TextMatcher::TextMatcher(const QString& sought, TextFold fold)
    : sought_(fold == TextFold::CaseWidthKana ? FoldForSearch(sought) : sought), fold_(fold),
      soughtUtf8_(sought.toStdString()) {}

QString TextMatcher::fold(const QString& value) const {
    return fold_ == TextFold::CaseWidthKana ? FoldForSearch(value) : value;
}

bool TextMatcher::occursIn(const QString& value) const {
    if (fold_ == TextFold::CaseWidthKana) {
        FoldForSearchInto(value, scratch_);
        return std::u16string_view(scratch_).find(soughtView()) != std::u16string_view::npos;
    }
    return value.contains(sought_, Sensitivity(fold_));
}

bool TextMatcher::occursInUtf8(std::string_view utf8) const {
    switch (fold_) {
    case TextFold::Exact:
        // Whole characters of valid UTF-8 only ever match whole characters, so the bytes can be compared as they are.
        if (soughtUtf8_.empty())
            return true;
        return utf8.size() >= soughtUtf8_.size() &&
               memmem(utf8.data(), utf8.size(), soughtUtf8_.data(), soughtUtf8_.size()) != nullptr;
    case TextFold::CaseWidthKana:
        scratch_.clear();
        FoldUtf8(utf8, scratch_);
        return std::u16string_view(scratch_).find(soughtView()) != std::u16string_view::npos;
    case TextFold::Case:
        break;
    }
    return occursIn(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::u16string_view TextMatcher::soughtView() const {
    return {reinterpret_cast<const char16_t*>(sought_.utf16()), static_cast<std::size_t>(sought_.size())};
}

bool TextMatcher::begins(const QString& value) const {
    return fold(value).startsWith(sought_, Sensitivity(fold_));
}

bool TextMatcher::equals(const QString& value) const {
    return fold(value).compare(sought_, Sensitivity(fold_)) == 0;
}

bool ContainsSearchText(const QString& value, const QString& sought, bool exact) {
    return TextMatcher(sought, exact ? TextFold::Exact : TextFold::CaseWidthKana).occursIn(value);
}

} // namespace quelm::records
