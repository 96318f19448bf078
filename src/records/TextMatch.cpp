#include "records/TextMatch.h"

#include <array>

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
void AppendMark(QString& out, char16_t mark) {
    if (!out.isEmpty()) {
        const QString pair = QString(out.back()) + QChar(mark);
        const QString composed = pair.normalized(QString::NormalizationForm_C);
        if (composed.size() == 1) {
            out.back() = composed.front();
            return;
        }
    }
    out += QChar(mark);
}

Qt::CaseSensitivity Sensitivity(TextFold fold) {
    return fold == TextFold::Case ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

} // namespace

QString FoldForSearch(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        char16_t c = ch.unicode();
        if (IsHalfWidthKana(c))
            c = FullWidthKana(c); // ｶ becomes カ, and ﾞ the combining mark that joins it below
        if (IsCombiningMark(c)) {
            AppendMark(out, c);
            continue;
        }
        if (c >= 0xFF01 && c <= 0xFF5E) {
            c = static_cast<char16_t>(c - 0xFF01 + 0x21);
        } else if (c == 0x3000) {
            c = u' ';
        } else if (c >= 0xFFE0 && c <= 0xFFEE) {
            // Full-width ￥ ￡ ￢ and the half-width forms of arrows and symbols.
            out += QString(QChar(c)).normalized(QString::NormalizationForm_KC);
            continue;
        }
        // Hiragana as katakana, the iteration marks ゝゞ included.
        if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
            c = static_cast<char16_t>(c + 0x60);
        out += QChar(c).toCaseFolded();
    }
    return out;
}

TextMatcher::TextMatcher(const QString& sought, TextFold fold)
    : sought_(fold == TextFold::CaseWidthKana ? FoldForSearch(sought) : sought), fold_(fold) {}

QString TextMatcher::fold(const QString& value) const {
    return fold_ == TextFold::CaseWidthKana ? FoldForSearch(value) : value;
}

bool TextMatcher::occursIn(const QString& value) const {
    return fold(value).contains(sought_, Sensitivity(fold_));
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
