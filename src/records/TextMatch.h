#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

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
// The same into a buffer the caller keeps (cleared first), so a scan of many values folds without allocating.
void FoldForSearchInto(QStringView text, std::u16string& out);

// One sought text compared with many values; the sought side is folded once, not per value.
class TextMatcher {
public:
    TextMatcher(const QString& sought, TextFold fold);

    // sought occurs somewhere in value.
    bool occursIn(const QString& value) const;
    // The same for a value given as UTF-8 (a cell as the engine holds it), without making a QString of it. One
    // matcher is not to be used from two threads at once: it folds into a buffer of its own.
    bool occursInUtf8(std::string_view utf8) const;
    // value begins with sought.
    bool begins(const QString& value) const;
    // value and sought are the same text.
    bool equals(const QString& value) const;

private:
    QString fold(const QString& value) const;

    std::u16string_view soughtView() const;

    QString sought_;
    TextFold fold_;
    std::string soughtUtf8_;         // the sought text as given, for the exact comparison of UTF-8 values
    mutable std::u16string scratch_; // the folded value
};

// Text search of the per-field and the all-category search: does value contain sought? Unless exact, letter case,
// full-/half-width forms and katakana/hiragana are not told apart.
bool ContainsSearchText(const QString& value, const QString& sought, bool exact);

} // namespace quelm::records
