// The inserts cut to a CD case's real size: tray card, booklet front and booklet back.
#include "print/CaseInserts.h"

#include "platform/PrinterSurface.h"
#include "platform/RecordList.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace quelm::print {

using platform::PageOrientation;
using platform::PenStyle;
using platform::PrinterSurface;

namespace {

constexpr double CropRoom = CropMarkGap + CropMarkLength;
constexpr double SpineEnd = 4;    // mm kept free at each end of a spine
constexpr double SpineGap = 4;    // mm between the title and the artist on a spine
constexpr double SpinePoints = 8; // a 7 mm spine holds one line of 8 pt
constexpr double FrontTitlePoints = 20;
constexpr double FrontArtistPoints = 14;
constexpr double SmallestPoints = 8; // a title too wide at this size is shortened
constexpr double BackTitlePoints = 11;
constexpr double BackArtistPoints = 9;
constexpr double BackRowPoints = 8;
constexpr double BackNumberWidth = 6; // mm of the track number, right-aligned
constexpr double BackColumnGap = 3;

// Draws on another surface, everything moved by an offset; the font and pen are handed on with each drawing.
// The back list is laid out on it as on the 137 × 117 mm insert and lands in the tray card's panel.
class ShiftedSurface : public PrinterSurface {
public:
    ShiftedSurface(PrinterSurface& target, QPointF offset, std::function<void()> pageBegun)
        : t_(target), d_(offset), pageBegun_(std::move(pageBegun)) {}

    bool setPaper(int code) override { return t_.setPaper(code); }
    int paper() const override { return t_.paper(); }
    bool setOrientation(PageOrientation orientation) override { return t_.setOrientation(orientation); }
    PageOrientation orientation() const override { return t_.orientation(); }
    QSizeF printableSize() const override { return t_.printableSize(); }
    double textWidth(const QString& text) const override {
        handFont();
        return t_.textWidth(text);
    }
    double textHeight() const override {
        handFont();
        return t_.textHeight();
    }
    double inkHeight() const override {
        handFont();
        return t_.inkHeight();
    }
    void line(double x1, double y1, double x2, double y2) override {
        handPen();
        t_.line(x1 + d_.x(), y1 + d_.y(), x2 + d_.x(), y2 + d_.y());
    }
    void rectangle(double x1, double y1, double x2, double y2) override {
        handPen();
        t_.rectangle(x1 + d_.x(), y1 + d_.y(), x2 + d_.x(), y2 + d_.y());
    }
    void drawPicture(const QImage& picture, const QRectF& mm) override { t_.drawPicture(picture, mm.translated(d_)); }
    void newPage() override {
        t_.newPage();
        pageBegun_();
    }
    bool endDoc() override { return t_.endDoc(); }
    void abortDoc() override { t_.abortDoc(); }

protected:
    void drawText(double x, double y, const QString& text) override {
        handFont();
        t_.setCurrentX(x + d_.x());
        t_.setCurrentY(y + d_.y());
        t_.print(text, false);
    }
    void drawTurnedText(double x, double y, const QString& text) override {
        handFont();
        t_.printTurned(x + d_.x(), y + d_.y(), text);
    }

private:
    void handFont() const {
        t_.setFontName(fontName());
        t_.setFontSize(fontSize());
        t_.setFontBold(fontBold());
        t_.setFontItalic(fontItalic());
    }
    void handPen() {
        t_.setPenWidth(penWidth());
        t_.setPenStyle(penStyle());
    }

    PrinterSurface& t_;
    QPointF d_;
    std::function<void()> pageBegun_;
};

// Pen width and style for a drawing, put back afterwards.
class SavedPen {
public:
    SavedPen(PrinterSurface& p, int width, PenStyle style) : p_(p), width_(p.penWidth()), style_(p.penStyle()) {
        p.setPenWidth(width);
        p.setPenStyle(style);
    }
    ~SavedPen() {
        p_.setPenWidth(width_);
        p_.setPenStyle(style_);
    }
    SavedPen(const SavedPen&) = delete;
    SavedPen& operator=(const SavedPen&) = delete;

private:
    PrinterSurface& p_;
    int width_;
    PenStyle style_;
};

void CropMarks(PrinterSurface& p, const QRectF& trim) {
    const SavedPen pen(p, 2, PenStyle::Solid);
    for (double x : {trim.left(), trim.right()}) {
        p.line(x, trim.top() - CropMarkGap, x, trim.top() - CropRoom);
        p.line(x, trim.bottom() + CropMarkGap, x, trim.bottom() + CropRoom);
    }
    for (double y : {trim.top(), trim.bottom()}) {
        p.line(trim.left() - CropMarkGap, y, trim.left() - CropRoom, y);
        p.line(trim.right() + CropMarkGap, y, trim.right() + CropRoom, y);
    }
}

// The text at the given size, made smaller down to SmallestPoints and then shortened with "…" until it fits in
// width millimetres; the font is left at the size it prints with.
QString FitText(PrinterSurface& p, const QString& text, double points, double width) {
    p.setFontSize(points);
    const double w = p.textWidth(text);
    if (w <= width)
        return text;
    p.setFontSize(std::max(SmallestPoints, std::floor(points * width / w * 2) / 2));
    return ElideText(p, text, width);
}

void PrintAt(PrinterSurface& p, double x, double y, const QString& text) {
    p.setCurrentX(x);
    p.setCurrentY(y);
    p.print(text, false);
}

// The text broken into lines of at most width millimetres in the current font, each as long as fits; a line
// is broken after a blank where one falls in its second half, so that Latin words stay whole. After limit − 1
// lines the rest makes the last line, however long (a huge text is not broken up to the end).
QStringList WrapLines(const PrinterSurface& p, const QString& text, double width, int limit) {
    QStringList lines;
    QString rest = text;
    while (!rest.isEmpty()) {
        if (lines.size() == limit - 1) {
            lines << rest;
            break;
        }
        int fit = ElideText(p, rest, width).size();
        if (fit >= rest.size() || p.textWidth(rest) <= width) {
            lines << rest;
            break;
        }
        fit = std::max(1, fit - 1); // less the ellipsis
        if (rest[fit - 1].isHighSurrogate())
            fit = std::max(1, fit - 1);
        const int blank = rest.left(fit + 1).lastIndexOf(QLatin1Char(' '));
        if (blank > fit / 2)
            fit = blank + 1;
        lines << rest.left(fit).trimmed();
        rest = rest.mid(fit).trimmed();
    }
    return lines;
}

// A text set as large as it fits, centred between the booklet's insets in at most maxLines lines, from the
// given size down to SmallestPoints, its last line shortened with "…" beyond that; its ink's top at y.
// Returns the bottom of its last line.
double CentredBlock(PrinterSurface& p, const QRectF& trim, double y, const QString& text, double points, bool bold,
                    int maxLines) {
    const double width = trim.width() - 2 * BookletInset;
    p.setFontBold(bold);
    QStringList lines;
    for (double size = points;; size = std::max(SmallestPoints, size - 2)) {
        p.setFontSize(size);
        lines = WrapLines(p, text.trimmed(), width, maxLines + 1);
        if (lines.size() <= maxLines || size == SmallestPoints)
            break;
    }
    if (lines.size() > maxLines) {
        lines = WrapLines(p, text.trimmed(), width, maxLines); // the last line holds the whole rest
        lines.last() = ElideText(p, lines.last(), width);
    }
    const double pitch = p.inkHeight() * 1.3;
    for (const QString& line : lines) {
        PrintAt(p, trim.center().x() - p.textWidth(line) / 2, y, line);
        y += pitch;
    }
    return y - pitch + p.inkHeight();
}

// Title and artist down a spine whose middle is at x: the title from the top, the artist ending at the bottom.
void Spine(PrinterSurface& p, double x, const QRectF& trim, const QString& title, const QString& artist) {
    p.setFontSize(SpinePoints);
    const double room = trim.height() - 2 * SpineEnd;
    p.setFontBold(false);
    const double artistWidth = std::min(p.textWidth(artist), artist.isEmpty() ? 0.0 : room / 2);
    p.setFontBold(true);
    const QString t = ElideText(p, title, room - artistWidth - (artist.isEmpty() ? 0 : SpineGap));
    const double titleWidth = p.textWidth(t);
    const double top = x + p.inkHeight() / 2;
    p.printTurned(top, trim.top() + SpineEnd, t);
    p.setFontBold(false);
    const QString a = ElideText(p, artist, room - titleWidth - SpineGap);
    p.printTurned(top, trim.bottom() - SpineEnd - p.textWidth(a), a);
}

void TrayCard(PrinterSurface& p, const QRectF& trim, const PrintSettings& s) {
    CropMarks(p, trim);
    {
        const SavedPen pen(p, 1, PenStyle::Dot);
        for (double x : {trim.left() + TraySpineWidth, trim.right() - TraySpineWidth})
            p.line(x, trim.top(), x, trim.bottom());
    }
    const SavedFont font(p);
    for (double x : {trim.left() + TraySpineWidth / 2, trim.right() - TraySpineWidth / 2})
        Spine(p, x, trim, s.title1.trimmed(), s.title2.trimmed());
}

// Runs page(trim) once per insert, each on a sheet of its own.
void EachSheet(PrinterSurface& p, std::int16_t kind, int count, const std::function<void(int, const QRectF&)>& page) {
    const QRectF trim = InsertTrim(kind, p.printableSize());
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            p.newPage();
        page(i, trim);
    }
}

} // namespace

QSizeF InsertSize(std::int16_t kind) {
    switch (kind) {
    case KindTrayCard:
        return {TrayCardWidth, TrayCardHeight};
    case KindBookletFront:
    case KindBookletBack:
        return {BookletSide, BookletSide};
    default:
        return {};
    }
}

QRectF InsertTrim(std::int16_t kind, QSizeF printable) {
    const QSizeF size = InsertSize(kind);
    return {(printable.width() - size.width()) / 2, (printable.height() - size.height()) / 2, size.width(),
            size.height()};
}

void SetFittingOrientation(std::int16_t kind, PrinterSurface& printer) {
    const QSizeF need = InsertSize(kind) + QSizeF(2 * CropRoom, 2 * CropRoom);
    const auto fits = [&] {
        const QSizeF room = printer.printableSize();
        return need.width() <= room.width() && need.height() <= room.height();
    };
    printer.setOrientation(PageOrientation::Portrait);
    if (fits())
        return;
    printer.setOrientation(PageOrientation::Landscape);
    if (!fits())
        printer.setOrientation(PageOrientation::Portrait);
}

QImage SquareMiddle(const QImage& picture) {
    const int side = std::min(picture.width(), picture.height());
    return picture.copy((picture.width() - side) / 2, (picture.height() - side) / 2, side, side);
}

void PrintTrayCards(const PrintSettings& settings, const ReportSource& source, PrinterSurface& printer) {
    const QRectF trim = InsertTrim(KindTrayCard, printer.printableSize());
    // The back list's area (137 × 117) stands in the panel, centred in its height; the list's own origin lies
    // inside that area as on the A5 insert.
    const QPointF origin(trim.left() + TraySpineWidth - CutGuideLeft,
                         trim.top() + (TrayCardHeight - CutGuideHeight) / 2 - CutGuideTop);
    const auto card = [&] { TrayCard(printer, trim, settings); };
    ShiftedSurface panel(printer, origin, card);
    panel.setFontName(printer.fontName());
    panel.setFontSize(printer.fontSize());
    panel.setFontBold(printer.fontBold());
    panel.setFontItalic(printer.fontItalic());
    card();
    LayOutReport(settings, source, panel);
}

void PrintBookletFronts(const PrintSettings& settings, const ReportSource& source, PrinterSurface& printer) {
    const bool sub = source.side == ReportSide::Sub;
    const platform::RecordList* rows = sub ? source.mainRows : source.rows;
    const int count = sub ? 1 : (rows ? rows->rowCount() : 0);
    const SavedFont font(printer);
    EachSheet(printer, KindBookletFront, count, [&](int i, const QRectF& trim) {
        CropMarks(printer, trim);
        const QImage picture = source.picture ? source.picture(i + 1) : QImage();
        if (!picture.isNull()) {
            printer.drawPicture(SquareMiddle(picture), trim);
            return;
        }
        QString title = settings.title1;
        QString artist = settings.title2;
        if (!sub) {
            const auto item = [&](int k) {
                return k < settings.itemCount ? rows->cell(i + 1, settings.columnField[k]) : QString();
            };
            title = item(0);
            artist = item(1);
        }
        const double below =
            CentredBlock(printer, trim, trim.top() + trim.height() * 0.3, title, FrontTitlePoints, true, 3);
        CentredBlock(printer, trim, below + 6, artist, FrontArtistPoints, false, 2);
    });
}

void PrintBookletBacks(const PrintSettings& settings, const ReportSource& source, PrinterSurface& printer) {
    const int n = source.rows ? source.rows->rowCount() : 0;
    const int items = std::clamp<int>(settings.itemCount, 0, PrintSettings::MaxColumns);
    const SavedFont font(printer);
    // Rows per booklet, from the height of the header in this font.
    printer.setFontBold(false);
    printer.setFontSize(BackRowPoints);
    const double pitch = std::max(4.0, std::ceil((printer.inkHeight() + 0.8) * 2) / 2);
    printer.setFontSize(BackTitlePoints);
    const double titleInk = printer.inkHeight();
    printer.setFontSize(BackArtistPoints);
    const double headerHeight = titleInk + 1.5 + printer.inkHeight() + 2.5;
    const int perPage =
        std::max(1, static_cast<int>(std::floor((BookletSide - 2 * BookletInset - headerHeight) / pitch)));
    const int pages = std::max(1, (n + perPage - 1) / perPage);
    EachSheet(printer, KindBookletBack, pages, [&](int page, const QRectF& trim) {
        CropMarks(printer, trim);
        const double left = trim.left() + BookletInset;
        const double right = trim.right() - BookletInset;
        double y = trim.top() + BookletInset;
        printer.setFontBold(true);
        const QString t1 = FitText(printer, settings.title1.trimmed(), BackTitlePoints, right - left);
        PrintAt(printer, left, y, t1);
        y += titleInk + 1.5;
        printer.setFontBold(false);
        const QString t2 = FitText(printer, settings.title2.trimmed(), BackArtistPoints, right - left);
        PrintAt(printer, left, y, t2);
        y = trim.top() + BookletInset + headerHeight;
        {
            const SavedPen pen(printer, 2, PenStyle::Solid);
            printer.line(left, y - 1.25, right, y - 1.25);
        }
        printer.setFontSize(BackRowPoints);
        for (int r = page * perPage + 1; r <= std::min(n, (page + 1) * perPage); ++r, y += pitch) {
            const QString number = QString::number(r);
            PrintAt(printer, left + BackNumberWidth - printer.textWidth(number), y, number);
            // The other items from the right edge leftwards, then the first one in what room is left.
            double end = right;
            for (int k = items - 1; k >= 1; --k) {
                const QString cell = source.rows->cell(r, settings.columnField[k]).trimmed();
                if (cell.isEmpty())
                    continue;
                const double w = printer.textWidth(cell);
                PrintAt(printer, std::max(left + BackNumberWidth + BackColumnGap, end - w), y, cell);
                end -= w + BackColumnGap;
            }
            const double from = left + BackNumberWidth + BackColumnGap;
            if (items > 0)
                PrintAt(printer, from, y,
                        ElideText(printer, source.rows->cell(r, settings.columnField[0]).trimmed(), end - from));
        }
    });
}

} // namespace quelm::print
