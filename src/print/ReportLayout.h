#pragma once

#include "store/PrintSettings.h"

#include <QDate>
#include <QImage>
#include <QStringList>
#include <functional>
#include <vector>

namespace quelm::platform {
class PrinterSurface;
class RecordList;
} // namespace quelm::platform

namespace quelm::store {
struct ConfigSection;
}

namespace quelm::print {

using store::PrintSettings;

// The report kinds cut to a CD case's real size, after the item list (1) and the A5 insert (2); new kinds are
// appended, so that a kind's number never changes its meaning.
inline constexpr std::int16_t KindTrayCard = 3;     // the back list on a tray card with two spines
inline constexpr std::int16_t KindBookletFront = 4; // the disc's picture or its titles, 120 × 120 mm
inline constexpr std::int16_t KindBookletBack = 5;  // the tracks, 120 × 120 mm (sub report only)

// The kinds laid out as the compact back list: 8 pt, 27 lines, 130 mm wide.
inline bool IsBackList(const PrintSettings& s) {
    return s.reportKind == PrintSettings::KindCdCase || s.reportKind == KindTrayCard;
}
// The kinds cut to a case's size, one per sheet, placed and turned to fit the paper.
inline bool IsCaseInsert(const PrintSettings& s) {
    return s.reportKind == KindTrayCard || s.reportKind == KindBookletFront || s.reportKind == KindBookletBack;
}

// Which record list a report prints: the main records of a category or the sub records of one main record.
enum class ReportSide { Main, Sub };

// Whole millimetres as the reports round them: a half goes to the even neighbour.
int RoundMm(double mm);

// The left margin typed by the user: the leading decimal number of the text, rounded ("7.5" 8, "6.5" 6,
// "12abc" 12); 0 for an empty text or one without a leading number. Negative or absurd values are kept within
// 0 … 999 mm, where they only make the columns not fit.
std::int16_t MarginFromText(const QString& text);

// Paper code of the paper-size list's text: "A5" 11, "B5" 13, anything else A4.
int PaperFromText(const QString& text);

// Line pitch and the distance of the ruled lines above a text line, from the printer font's size (8–9 pt 4 mm,
// 10–11 pt 5 mm, else the height of a text line in that font plus 1 mm), made taller where the font's glyphs
// would reach the rule under their line.
void SetLineMetrics(PrintSettings& settings, platform::PrinterSurface& printer);

// The least room between the ink of a text and a ruled line (half the thick frame pen and a little air).
inline constexpr double RuleClearance = 0.35;

// How far a text line is raised from its line so that its ink ends clear of the rule under it: nothing while it
// fits below the line, at most as far as keeps it clear of the rule above.
double TextLift(double inkHeight, int lineHeight, double ruleOffset);

// Lines per page and usable width of the printer's printable area; the CD-case insert has fixed ones.
void SetPageMetrics(PrintSettings& settings, const platform::PrinterSurface& printer);

// The CD-case insert's fixed printing area, 137 × 117 mm, and its fixed metrics.
inline constexpr int CdCaseLinesPerPage = 27;
inline constexpr int CdCaseUsableWidth = 130;
inline constexpr double CdCaseFontSize = 8;

// The field a chosen item prints: the last field with exactly that name, field 0 when none has it.
int FieldOfItem(const QString& item, const QStringList& fieldNames);

// Widest printed text (whole millimetres, no gap) and widest code-page length of one column over its heading and
// the cells of every row of the list.
struct ColumnMeasure {
    int width = 0;
    int bytes = 0;
};
// Measures the given fields (list columns) in the printer's current font. The rows are read, not visited: the
// list's current row is left alone.
std::vector<ColumnMeasure> MeasureColumns(platform::PrinterSurface& printer, const std::vector<int>& fields,
                                          const QStringList& fieldNames, const platform::RecordList& rows);

// Margin plus every column's width; the widths already include the gap.
int RequiredWidth(const PrintSettings& settings);

// Keeps the printer's font while it lives and puts it back when it ends.
class SavedFont {
public:
    explicit SavedFont(platform::PrinterSurface& printer);
    ~SavedFont();
    SavedFont(const SavedFont&) = delete;
    SavedFont& operator=(const SavedFont&) = delete;

private:
    platform::PrinterSurface& printer_;
    QString name_;
    double size_;
    bool bold_;
    bool italic_;
};

// The report's fields: names and type words, field 0 first.
struct ReportFields {
    QStringList names;
    QStringList types;
};
ReportFields FieldsOf(const store::ConfigSection& section, ReportSide side);

// What a report prints besides its settings.
struct ReportSource {
    ReportSide side = ReportSide::Main;
    const platform::RecordList* rows = nullptr; // the records, in the list's order
    ReportFields fields;                        // of the rows
    // Sub report: the main record on top of page 1, one row with a column per main field.
    const platform::RecordList* mainRows = nullptr;
    QStringList mainFieldNames;
    QDate date;                            // of the footer
    std::function<void(int row)> progress; // after each printed row (1-based)
    // The picture of a disc, for the booklet front: of a row of rows (main report) or of the main record (sub
    // report, row 1 of mainRows); a null image when it has none.
    std::function<QImage(int row)> picture;
};

// The text cut with "…" to at most width millimetres in the printer's current font; unchanged when it fits.
QString ElideText(const platform::PrinterSurface& printer, const QString& text, double width);

// Lays the report's pages out on the printer, which is already set up; the document is left open.
void LayOutReport(const PrintSettings& settings, const ReportSource& source, platform::PrinterSurface& printer);

// The footer text: "Quelm  " and the date in the short format of a Japanese desktop ("2026/12/09").
QString FooterText(const QDate& date);

// Prints the whole report on the printer: its paper, orientation and font first, then every page, then the end of
// the document. A failed document is dropped rather than left half sent. Returns false when the printer failed.
bool RenderReport(const PrintSettings& settings, const ReportSource& source, platform::PrinterSurface& printer);

// The CD-case insert's cut guide: the 137 × 117 mm printing area around the text, just outside it.
inline constexpr double CutGuideLeft = -2;
inline constexpr double CutGuideTop = -2;
inline constexpr double CutGuideWidth = 137;
inline constexpr double CutGuideHeight = 117;

} // namespace quelm::print
