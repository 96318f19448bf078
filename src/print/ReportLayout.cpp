#include "print/ReportLayout.h"

#include "platform/CodePage.h"
#include "platform/PrinterSurface.h"
#include "platform/RecordList.h"
#include "print/CaseInserts.h"
#include "store/CategoryConfig.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace quelm::print {

using platform::PenStyle;
using platform::PrinterSurface;

namespace {

constexpr int PrintedColumns = 8; // columns beyond these count in the width budget but are not printed
constexpr int ColumnGap = 4;      // mm between a column's widest text and the next column
constexpr int MinLineGap = 10;    // a column line this close to the right edge would crowd the frame's own

constexpr double MinTitleSize = 8; // points; a title that does not fit at this size is shortened
constexpr double TitleGap = 2;     // mm between a title and the page number beside it

} // namespace

QString ElideText(const PrinterSurface& p, const QString& text, double width) {
    if (p.textWidth(text) <= width)
        return text;
    const QString ellipsis = QStringLiteral("…");
    // The longest head that fits, found by halving; a surrogate pair is never split.
    int lo = 0;
    int hi = text.size();
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (p.textWidth(text.left(mid) + ellipsis) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo > 0 && text[lo - 1].isHighSurrogate())
        --lo;
    return lo == 0 && p.textWidth(ellipsis) > width ? QString() : text.left(lo) + ellipsis;
}

int RoundMm(double mm) {
    return static_cast<int>(std::nearbyint(mm)); // the default rounding mode rounds a half to even
}

std::int16_t MarginFromText(const QString& text) {
    const QString t = text.trimmed();
    int end = 0;
    if (end < t.size() && (t[end] == u'+' || t[end] == u'-'))
        ++end;
    const int digitsFrom = end;
    while (end < t.size() && t[end].isDigit() && t[end].unicode() < 128)
        ++end;
    if (end < t.size() && t[end] == u'.') {
        ++end;
        while (end < t.size() && t[end].isDigit() && t[end].unicode() < 128)
            ++end;
    }
    bool ok = false;
    const double value = end > digitsFrom ? t.left(end).toDouble(&ok) : 0;
    if (!ok)
        return 0;
    return static_cast<std::int16_t>(std::clamp(RoundMm(std::clamp(value, -1.0, 1000.0)), 0, 999));
}

int PaperFromText(const QString& text) {
    if (text == QLatin1String("A5"))
        return platform::PaperA5;
    if (text == QLatin1String("B5"))
        return platform::PaperB5;
    return platform::PaperA4;
}

void SetLineMetrics(PrintSettings& settings, PrinterSurface& printer) {
    const int points = RoundMm(printer.fontSize());
    if (points == 8 || points == 9) {
        settings.lineHeight = 4;
        settings.ruleOffset = 0.75f;
    } else if (points == 10 || points == 11) {
        settings.lineHeight = 5;
        settings.ruleOffset = 1.0f;
    } else {
        settings.lineHeight = RoundMm(printer.textHeight()) + 1;
        settings.ruleOffset = 0.5f;
    }
    // The ink of a line must stand clear of the rules above and below it (see TextLift): a font whose glyphs are
    // taller than that gets a taller line.
    // The insert's 27 lines of 4 mm are fixed by the case; its 8 pt fits them in the fonts in use.
    const double needed = printer.inkHeight() + 2 * RuleClearance;
    if (settings.lineHeight < needed && !IsBackList(settings))
        settings.lineHeight = static_cast<std::int32_t>(std::ceil(needed - 1e-9));
}

void SetPageMetrics(PrintSettings& settings, const PrinterSurface& printer) {
    if (IsBackList(settings)) {
        settings.linesPerPage = CdCaseLinesPerPage;
        settings.usableWidth = CdCaseUsableWidth;
        return;
    }
    const int pitch = std::max(1, settings.lineHeight);
    settings.linesPerPage = static_cast<std::int32_t>(std::floor(printer.printableHeight() / pitch));
    settings.usableWidth = static_cast<std::int32_t>(std::trunc(printer.printableWidth() - 5));
}

double TextLift(double inkHeight, int lineHeight, double ruleOffset) {
    const double overflow = inkHeight + ruleOffset + RuleClearance - lineHeight;
    return std::clamp(overflow, 0.0, std::max(0.0, ruleOffset - RuleClearance));
}

int FieldOfItem(const QString& item, const QStringList& fieldNames) {
    int field = 0;
    for (int k = 0; k < fieldNames.size(); ++k)
        if (fieldNames[k] == item)
            field = k;
    return field;
}

std::vector<ColumnMeasure> MeasureColumns(PrinterSurface& printer, const std::vector<int>& fields,
                                          const QStringList& fieldNames, const platform::RecordList& rows) {
    std::vector<ColumnMeasure> out;
    out.reserve(fields.size());
    for (int field : fields) {
        const QString name = fieldNames.value(field).trimmed();
        out.push_back({RoundMm(printer.textWidth(name)), platform::LenMbcs(name)});
    }
    const int n = rows.rowCount();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        ColumnMeasure& m = out[i];
        for (int r = 1; r <= n; ++r) {
            const QString cell = rows.cell(r, fields[i]).trimmed();
            const int bytes = platform::LenMbcs(cell);
            m.bytes = std::max(m.bytes, bytes);
            // A text no longer in bytes than one already measured narrower than the widest is rarely wider;
            // still, every cell is measured, since proportional fonts do not follow byte counts.
            m.width = std::max(m.width, RoundMm(printer.textWidth(cell)));
        }
    }
    return out;
}

int RequiredWidth(const PrintSettings& settings) {
    int total = settings.leftMargin;
    for (int i = 0; i < std::min<int>(settings.itemCount, PrintSettings::MaxColumns); ++i)
        total += settings.columnWidth[i];
    return total;
}

SavedFont::SavedFont(PrinterSurface& printer)
    : printer_(printer), name_(printer.fontName()), size_(printer.fontSize()), bold_(printer.fontBold()),
      italic_(printer.fontItalic()) {}

SavedFont::~SavedFont() {
    printer_.setFontName(name_);
    printer_.setFontSize(size_);
    printer_.setFontBold(bold_);
    printer_.setFontItalic(italic_);
}

ReportFields FieldsOf(const store::ConfigSection& section, ReportSide side) {
    ReportFields f;
    const bool sub = side == ReportSide::Sub;
    const int count = sub ? std::clamp<int>(section.SubFieldCount, 0, store::SubFieldSlots)
                          : std::clamp<int>(section.FieldCount, 0, store::MainFieldSlots);
    for (int k = 1; k <= count; ++k) {
        f.names << (sub ? section.SubFieldName[k] : section.FieldName[k]);
        f.types << (sub ? section.SubFieldType[k] : section.FieldType[k]).trimmed();
    }
    return f;
}

QString FooterText(const QDate& date) {
    return QStringLiteral("Quelm  ") + QLocale(QLocale::Japanese, QLocale::Japan).toString(date, QLocale::ShortFormat);
}

namespace {

// One printout: the page and line counters and the routines that lay out a page.
class Report {
public:
    Report(const PrintSettings& s, const ReportSource& src, PrinterSurface& p)
        : s_(s), src_(src), p_(p), items_(std::clamp<int>(s.itemCount, 0, PrintSettings::MaxColumns)),
          lh_(std::max(1, s.lineHeight)), ro_(s.ruleOffset), lift_(TextLift(p.inkHeight(), lh_, ro_)) {}

    void run() {
        pageNumber_ = 1;
        header();
        body();
    }

private:
    double lineY(int line) const { return line * lh_; }
    double ruleY(int line) const { return line * lh_ - ro_; }
    bool sub() const { return src_.side == ReportSide::Sub; }
    // The sub report's page 1 of the item list carries the main record above the headings.
    bool mainBlockPage() const { return sub() && pageNumber_ == 1 && !IsBackList(s_); }

    void printAt(double x, double y, const QString& text, bool endLine = false) {
        p_.setCurrentX(x);
        p_.setCurrentY(y);
        p_.print(text, endLine);
    }

    // Where a text on a line starts: at the line, raised where a tall font would reach the rule under it.
    double textY(int line) const { return line * lh_ - lift_; }

    int pageNumberLine() const { return IsBackList(s_) && !sub() ? 1 : 2; }
    QString pageNumberText() const {
        return IsBackList(s_) ? QString::number(pageNumber_) : QString::number(pageNumber_) + QStringLiteral(" 頁");
    }

    // The right end of the room for a title at y in the current font: the usable width, or the start of the page
    // number when the title's line reaches down to it.
    double titleRight(double y) const {
        if (y + p_.inkHeight() <= textY(pageNumberLine()))
            return s_.usableWidth;
        return s_.usableWidth - pageNumberWidth_ - TitleGap;
    }

    // A title at the given size, made smaller down to MinTitleSize and then shortened with "…" until it fits in
    // right millimetres; the font is left at the size it prints with.
    QString fitTitle(const QString& text, double size, double right) {
        p_.setFontSize(size);
        const double w = p_.textWidth(text);
        if (w <= right)
            return text;
        // Half points, rounded down, so that the smaller title still fits after rounding.
        p_.setFontSize(std::max(MinTitleSize, std::floor(size * std::max(0.0, right) / w * 2) / 2));
        return ElideText(p_, text, right);
    }

    // The title's x: centred as (usable − margin − width) / 2, kept inside 0 … right.
    double titleX(double width, double right) const {
        const double x = RoundMm((s_.usableWidth - s_.leftMargin - width) / 2);
        return std::clamp(x, 0.0, std::max(0.0, right - width));
    }

    // The title centred between the margin and the usable width, 12 pt bold.
    void title() {
        const double size = p_.fontSize();
        const bool bold = p_.fontBold();
        pageNumberWidth_ = p_.textWidth(pageNumberText());
        p_.setFontSize(12);
        p_.setFontBold(true);
        const double y1 = IsBackList(s_) ? 0 : lh_;
        const double right1 = titleRight(y1);
        const QString t = fitTitle(s_.title1.trimmed(), 12, right1);
        printAt(titleX(p_.textWidth(t), right1), y1, t, true);
        if (sub() && IsBackList(s_)) {
            p_.setFontSize(10);
            const double right2 = titleRight(5);
            const QString t2 = fitTitle(s_.title2.trimmed(), 10, right2);
            const double x = titleX(p_.textWidth(t2), right2); // measured bold
            p_.setFontBold(false);
            printAt(x, 5, t2, true);
        }
        p_.setFontSize(size);
        p_.setFontBold(bold);
    }

    void pageNumber(int line) {
        const QString text = pageNumberText();
        printAt(s_.usableWidth - p_.textWidth(text), textY(line), text, true);
        lineNo_ = line + 1;
    }

    void header() {
        if (s_.reportKind == PrintSettings::KindCdCase)
            cutGuide(); // the tray card has crop marks of its own
        title();
        // Main report: the CD-case insert numbers its pages on line 1, the item list on line 2. The sub report
        // keeps line 2 for both, below its second title.
        pageNumber(pageNumberLine());
        if (mainBlockPage())
            mainBlock();
        headings();
    }

    void cutGuide() {
        const int pen = p_.penWidth();
        const PenStyle style = p_.penStyle();
        p_.setPenWidth(1);
        p_.setPenStyle(PenStyle::Dot);
        p_.rectangle(CutGuideLeft, CutGuideTop, CutGuideLeft + CutGuideWidth, CutGuideTop + CutGuideHeight);
        p_.setPenWidth(pen);
        p_.setPenStyle(style);
    }

    void headings() {
        const int shown = std::min(items_, PrintedColumns);
        double s = s_.leftMargin;
        const double y = textY(lineNo_);
        for (int i = 0; i < items_; ++i) {
            QString h = src_.fields.names.value(s_.columnField[i]).trimmed();
            if (IsBackList(s_))
                h = QLatin1Char('[') + h + QLatin1Char(']');
            const int w = RoundMm(p_.textWidth(h));
            if (i < shown)
                printAt(s + RoundMm((s_.columnWidth[i] - w) / 2.0), y, h, i == shown - 1);
            s += s_.columnWidth[i];
        }
        ++lineNo_;
    }

    // The one main record whose sub records follow, boxed: "メイン明細", each field's name and value.
    void mainBlock() {
        const int fieldCount = src_.mainFieldNames.size();
        const platform::RecordList* rows = src_.mainRows;
        const int rowCount = rows ? rows->rowCount() : 0;
        // The values are cut to the room left of the usable width, so the box keeps its right side on the page.
        const double valueRoom = std::max(0.0, s_.usableWidth - s_.leftMargin - 70.0);
        double blockWidth = 0;
        for (int r = 1; r <= rowCount; ++r) {
            blockWidth = std::max<double>(blockWidth,
                                          RoundMm(p_.textWidth(ElideText(p_, rows->cell(r, 0).trimmed(), valueRoom))));
            for (int f = 0; f < fieldCount; ++f) {
                const double y = textY(lineNo_);
                printAt(s_.leftMargin + 2, y, f == 0 ? ElideText(p_, QStringLiteral("メイン明細"), 25) : QString());
                printAt(s_.leftMargin + 30, y, ElideText(p_, src_.mainFieldNames[f].trimmed(), 31));
                const QString value = ElideText(p_, rows->cell(r, f), valueRoom);
                printAt(s_.leftMargin + 64, y, value, true);
                blockWidth = std::max<double>(blockWidth, RoundMm(p_.textWidth(value.trimmed())));
                ++lineNo_;
            }
        }
        blockWidth = std::min(blockWidth, valueRoom);
        printAt(12, textY(lineNo_), QStringLiteral(" "), true);
        ++lineNo_;

        const double left = s_.leftMargin;
        const double right = left + 70 + blockWidth;
        const double top = ruleY(3);
        const double bottom = ruleY(lineNo_ - 1);
        p_.setPenStyle(PenStyle::Solid);
        p_.setPenWidth(8);
        p_.rectangle(left, top, right, bottom);
        p_.setPenWidth(5);
        p_.line(left + 28, top, left + 28, bottom);
        p_.line(left + 62, top, left + 62, bottom);
        p_.setPenWidth(4);
        for (int k = 1; k < fieldCount; ++k)
            p_.line(left + 28, ruleY(3 + k), right, ruleY(3 + k));
    }

    void body() {
        const platform::RecordList& rows = *src_.rows;
        const int n = rows.rowCount();
        if (n == 0)
            return; // the header alone: no ruling, no footer
        // The last line a row may take; the footer and, on the insert, its rule follow below it.
        const int limit = (s_.linesPerPage - (IsBackList(s_) ? 2 : 4)) * lh_;
        const int shown = std::min(items_, PrintedColumns);
        std::vector<bool> numeric(items_);
        std::vector<bool> dated(items_);
        for (int i = 0; i < items_; ++i) {
            const QString type = src_.fields.types.value(s_.columnField[i]);
            numeric[i] = type == store::TypeLong;
            dated[i] = type == store::TypeDate;
        }
        for (int r = 1; r <= n; ++r) {
            // A page is full when the next row would start below the limit. Counting lines rather than reading
            // the print position keeps a font whose line is taller than the pitch from losing a row per page.
            if (lineY(lineNo_) > limit && lineNo_ > firstRowLine()) {
                rule();
                p_.newPage();
                ++pageNumber_;
                header();
            }
            double x = s_.leftMargin;
            const double y = textY(lineNo_);
            for (int i = 0; i < shown; ++i) {
                const QString cell = rows.cell(r, s_.columnField[i]).trimmed();
                if (numeric[i]) {
                    // Digits differ in width in a proportional font, so a number is set against the column's
                    // right end (half the gap before the next column) rather than padded with spaces.
                    const double end = x + s_.columnWidth[i] - ColumnGap / 2.0;
                    printAt(std::max(x, end - p_.textWidth(cell)), y, cell, i == shown - 1);
                } else {
                    const int spaces = dated[i] ? std::max(0, s_.columnBytes[i] - platform::LenMbcs(cell) - 2) : 1;
                    printAt(x, y, QString(spaces, QLatin1Char(' ')) + cell, i == shown - 1);
                }
                x += s_.columnWidth[i];
            }
            ++lineNo_;
            if (src_.progress)
                src_.progress(r);
        }
        rule();
    }

    int firstRowLine() const {
        if (mainBlockPage())
            return src_.mainFieldNames.size() + 5;
        return IsBackList(s_) && !sub() ? 3 : 4;
    }

    // Frame, column and row lines of the page, then its footer.
    void rule() {
        const double left = s_.leftMargin;
        const double right = s_.usableWidth;
        const int top = !sub() ? 3 : mainBlockPage() ? src_.mainFieldNames.size() + 4 : 3;
        p_.setPenStyle(PenStyle::Solid);
        p_.setPenWidth(8);
        if (IsBackList(s_)) {
            const double y = ruleY(sub() ? 3 : 2);
            p_.line(left, y, right, y);
        } else {
            p_.rectangle(left, ruleY(top), right, ruleY(lineNo_));
            p_.line(left, ruleY(top + 1), right, ruleY(top + 1));
        }
        p_.setPenWidth(2);
        // The main report leaves a single column unruled; the sub report rules after it too.
        if (!IsBackList(s_) && (items_ > 1 || sub())) {
            double x = left;
            for (int i = 0; i < items_; ++i) {
                x += s_.columnWidth[i];
                if (right - x > MinLineGap)
                    p_.line(x, ruleY(top), x, ruleY(lineNo_));
            }
        }
        p_.setPenWidth(1);
        p_.setPenStyle(PenStyle::Dot);
        if (IsBackList(s_)) {
            lineNo_ = 26;
            p_.setPenStyle(PenStyle::Solid);
            p_.setPenWidth(8);
            p_.line(left, ruleY(26), right, ruleY(26));
        } else {
            for (int k = top + 2; k < lineNo_; ++k)
                p_.line(left, ruleY(k), right, ruleY(k));
        }
        footer();
    }

    void footer() {
        p_.setPenStyle(PenStyle::Solid);
        p_.setFontItalic(true);
        const QString text = FooterText(src_.date);
        printAt(s_.usableWidth - p_.textWidth(text), textY(lineNo_), text, true);
        ++lineNo_;
        p_.setFontItalic(false);
    }

    const PrintSettings& s_;
    const ReportSource& src_;
    PrinterSurface& p_;
    const int items_;
    const int lh_;
    const double ro_;
    const double lift_;
    double pageNumberWidth_ = 0;
    int pageNumber_ = 1;
    int lineNo_ = 0;
};

} // namespace

void LayOutReport(const PrintSettings& settings, const ReportSource& source, PrinterSurface& printer) {
    if (source.rows)
        Report(settings, source, printer).run();
}

bool RenderReport(const PrintSettings& settings, const ReportSource& source, PrinterSurface& printer) {
    printer.setPaper(settings.paper);
    if (IsCaseInsert(settings))
        SetFittingOrientation(settings.reportKind, printer);
    else
        printer.setOrientation(settings.orientation == 2 ? platform::PageOrientation::Landscape
                                                         : platform::PageOrientation::Portrait);
    // The report's font lasts for this printout only: a CD-case insert at its fixed 8 pt must not leave the next
    // report measured and printed at 8 pt.
    const SavedFont chosen(printer);
    printer.setFontName(settings.fontName);
    printer.setFontSize(settings.fontSize);
    printer.setFontBold(settings.fontBold);
    printer.setFontItalic(settings.fontItalic);
    switch (settings.reportKind) {
    case KindTrayCard:
        PrintTrayCards(settings, source, printer);
        break;
    case KindBookletFront:
        PrintBookletFronts(settings, source, printer);
        break;
    case KindBookletBack:
        PrintBookletBacks(settings, source, printer);
        break;
    default:
        LayOutReport(settings, source, printer);
    }
    if (printer.endDoc())
        return true;
    printer.abortDoc();
    return false;
}

} // namespace quelm::print
