#pragma once

#include <QString>

namespace quelm::records {

// How far two texts may differ and still match.
enum class TextFold {
    Exact,         // character by character
    Case,          // letter case ignored (the list search)
    CaseWidthKana, // letter case, full-/half-width forms and katakana/hiragana ignored (the per-field and
                   // all-category searches when not exact)
};

// The form both sides are brought to under TextFold::CaseWidthKana: narrow ASCII, katakana for hiragana, half-width
// katakana as full-width letters with their voicing marks composed (ｶﾞ is ガ), case folded.
QString FoldForSearch(const QString& text);

// One sought text compared with many values; the sought side is folded once, not per value.
class TextMatcher {
public:
    TextMatcher(const QString& sought, TextFold fold);

    // sought occurs somewhere in value.
    bool occursIn(const QString& value) const;
    // value begins with sought.
    bool begins(const QString& value) const;
    // value and sought are the same text.
    bool equals(const QString& value) const;

private:
    QString fold(const QString& value) const;

    QString sought_;
    TextFold fold_;
};

// Text search of the per-field and the all-category search: does value contain sought? Unless exact, letter case,
// full-/half-width forms and katakana/hiragana are not told apart.
bool ContainsSearchText(const QString& value, const QString& sought, bool exact);

} // namespace quelm::records
