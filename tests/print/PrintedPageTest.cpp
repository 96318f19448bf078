// Reports painted with real fonts and looked at by their pixels, and saved PDFs read back as text.
#include "platform/PrinterSurface.h"
#include "platform/RecordList.h"
#include "print/CaseInserts.h"
#include "print/ReportLayout.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quelm;
using platform::RasterSurface;
using store::PrintSettings;

namespace {

constexpr double Dpi = 300;
constexpr double PagePrinterMargin = 5; // mm a printer cannot reach, all round

// The fonts a Japanese desktop prints with; one that is not installed is left out.
QStringList InstalledFonts() {
    QStringList out;
    for (const char* family : {"Noto Sans CJK JP", "IPAexGothic", "DejaVu Sans"})
        if (QFontDatabase::hasFamily(QString::fromUtf8(family)))
            out << QString::fromUtf8(family);
    return out;
}

bool Dark(const QImage& page, int x, int y) {
    return qGray(page.pixel(x, y)) < 128;
}

// A report of the records below, set up as the settings screen does it: the font, its line metrics, the columns
// measured over the rows.
struct PaintedReport {
    PrintSettings s;
    platform::RecordList rows;
    platform::RecordList mainRow;
    print::ReportSource src;
    RasterSurface printer{Dpi, QMarginsF(PagePrinterMargin, PagePrinterMargin, PagePrinterMargin, PagePrinterMargin)};

    PaintedReport(const QString& font, double points, std::int16_t kind, print::ReportSide side, int paper,
                  platform::PageOrientation orientation, int rowCount) {
        s.reportKind = kind;
        s.paper = paper;
        s.orientation = orientation == platform::PageOrientation::Landscape ? 2 : 1;
        s.fontName = font;
        s.fontSize = print::IsBackList(s) ? print::CdCaseFontSize : points;
        s.title1 = QStringLiteral("音楽の棚：山田太郎と仲間たちの全録音集（一九八〇年から二〇二五年までの完全版）");
        s.title2 = QStringLiteral("歌手 Jumping Quartet & 山田楽団 の思い出");
        for (int c = 0; c < 3; ++c)
            rows.addColumn(QString(), 1000);
        for (int i = 1; i <= rowCount; ++i)
            rows.addRow(
                {QStringLiteral("曲名 %1 gypsy 鬱 Ｑ").arg(i), QString::number(i * 1237), QStringLiteral("頁")});
        src.side = side;
        src.rows = &rows;
        src.fields = {{QStringLiteral("曲名"), QStringLiteral("時間"), QStringLiteral("備考")},
                      {QStringLiteral("TEXT"), QStringLiteral("LONG"), QStringLiteral("TEXT")}};
        if (side == print::ReportSide::Sub) {
            for (int c = 0; c < 2; ++c)
                mainRow.addColumn(QString(), 1000);
            mainRow.addRow({QString(60, QChar(0x97F3)), QStringLiteral("山田 jp")});
            src.mainRows = &mainRow;
            src.mainFieldNames = {QStringLiteral("タイトル"), QStringLiteral("アーティスト")};
        }
        src.date = QDate(2026, 12, 9);

        printer.setPaper(kind == PrintSettings::KindCdCase ? platform::PaperA5 : paper);
        printer.setOrientation(orientation);
        if (print::IsCaseInsert(s))
            print::SetFittingOrientation(kind, printer);
        printer.setFontName(font);
        printer.setFontSize(s.fontSize);
        print::SetLineMetrics(s, printer);
        print::SetPageMetrics(s, printer);
        s.itemCount = 3;
        s.columnField = {0, 1, 2};
        const auto measured = print::MeasureColumns(printer, {0, 1, 2}, src.fields.names, rows);
        for (int i = 0; i < 3; ++i) {
            s.columnWidth[i] = static_cast<std::int16_t>(measured[i].width + 4);
            s.columnBytes[i] = static_cast<std::int16_t>(measured[i].bytes);
        }
    }

    bool render() { return print::RenderReport(s, src, printer); }

    // Dark pixels on the pixel row y between the margin and the usable width, away from the vertical lines at xs.
    int inkOnRow(const QImage& page, int y, const std::vector<double>& xs) const {
        const int from = printer.pixelOf(s.leftMargin, 0).x() + 4;
        const int to = printer.pixelOf(s.usableWidth, 0).x() - 4;
        int count = 0;
        for (int x = from; x < to; ++x) {
            bool nearLine = false;
            for (double lineX : xs)
                nearLine = nearLine || std::abs(x - printer.pixelOf(lineX, 0).x()) <= 3;
            if (!nearLine && Dark(page, x, y))
                ++count;
        }
        return count;
    }
};

// The ruled lines of an item list page, by hand: the frame's top at line t and its bottom under the last row, the
// line under the headings, a dotted line between rows.
std::vector<double> RuleYs(const PrintSettings& s, int topLine, int rowsOnPage) {
    std::vector<double> ys;
    const int end = topLine + 1 + rowsOnPage; // the line after the last row
    for (int k = topLine; k <= end; ++k)
        ys.push_back(k * s.lineHeight - s.ruleOffset);
    return ys;
}

std::vector<double> ColumnXs(const PrintSettings& s) {
    std::vector<double> xs{static_cast<double>(s.leftMargin), static_cast<double>(s.usableWidth)};
    double x = s.leftMargin;
    for (int i = 0; i < s.itemCount; ++i)
        xs.push_back(x += s.columnWidth[i]);
    return xs;
}

// No glyph reaches a ruled line: the pixel rows just outside the thick pen (2 px either side of the line at
// 300 dpi) carry no ink but the vertical lines'.
void ExpectRulesClear(const PaintedReport& r, const QImage& page, const std::vector<double>& ruleYs,
                      const QString& what) {
    for (double y : ruleYs) {
        const int centre = r.printer.pixelOf(0, y).y();
        for (int dy : {-3, 3})
            EXPECT_EQ(r.inkOnRow(page, centre + dy, ColumnXs(r.s)), 0)
                << what.toStdString() << ": ink touches the rule at " << y << " mm (row " << dy << ")";
    }
}

// Nothing is printed outside the printable area or right of the usable width.
void ExpectInsideUsableWidth(const PaintedReport& r, const QImage& page, const QString& what) {
    const int right = r.printer.pixelOf(r.s.usableWidth + 0.5, 0).x();
    const int left = r.printer.pixelOf(0, 0).x();
    int outside = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if ((x < left || x > right) && Dark(page, x, y))
                ++outside;
    EXPECT_EQ(outside, 0) << what.toStdString();
}

TEST(PrintedPage, ItemListGlyphsStayClearOfEveryRuleInEveryFontAndSize) {
    const QStringList fonts = InstalledFonts();
    ASSERT_TRUE(fonts.contains(QStringLiteral("Noto Sans CJK JP")));
    for (const QString& font : fonts) {
        for (double points : {8.0, 9.0, 10.0, 11.0, 12.0, 16.0}) {
            const QString what = font + QStringLiteral(" %1 pt").arg(points);
            PaintedReport r(font, points, PrintSettings::KindItemList, print::ReportSide::Main, platform::PaperA4,
                            platform::PageOrientation::Portrait, 12);
            ASSERT_TRUE(r.render()) << what.toStdString();
            ASSERT_EQ(r.printer.pages().size(), 1);
            const QImage& page = r.printer.pages()[0];
            ExpectRulesClear(r, page, RuleYs(r.s, 3, 12), what);
            ExpectInsideUsableWidth(r, page, what);
            // The page number stands on line 2 and ends at the usable width.
            const int numberRight = r.printer.pixelOf(r.s.usableWidth, 0).x();
            bool numberInk = false;
            for (int y = r.printer.pixelOf(0, 2 * r.s.lineHeight - 0.5).y();
                 y < r.printer.pixelOf(0, 3 * r.s.lineHeight - r.s.ruleOffset).y() - 3; ++y)
                for (int x = numberRight - 20; x <= numberRight; ++x)
                    numberInk = numberInk || Dark(page, x, y);
            EXPECT_TRUE(numberInk) << what.toStdString();
        }
    }
}

TEST(PrintedPage, SubReportBlockAndTitlesFitPapersAndOrientations) {
    for (const QString& font : InstalledFonts()) {
        for (int paper : {platform::PaperA4, platform::PaperA5, platform::PaperB5}) {
            for (auto orientation : {platform::PageOrientation::Portrait, platform::PageOrientation::Landscape}) {
                const QString what =
                    font + QStringLiteral(" paper %1 orientation %2").arg(paper).arg(static_cast<int>(orientation));
                PaintedReport r(font, 10, PrintSettings::KindItemList, print::ReportSide::Sub, paper, orientation, 3);
                ASSERT_TRUE(r.render());
                const QImage& page = r.printer.pages()[0];
                // Two main fields: the block on lines 3 and 4, a blank line, the frame from line 6.
                ExpectRulesClear(r, page, RuleYs(r.s, 6, 3), what);
                ExpectInsideUsableWidth(r, page, what);
            }
        }
    }
}

TEST(PrintedPage, CdCaseInsertKeepsItsRowsClearOfTheBottomRule) {
    for (const QString& font : InstalledFonts()) {
        for (auto side : {print::ReportSide::Main, print::ReportSide::Sub}) {
            PaintedReport r(font, 12, PrintSettings::KindCdCase, side, platform::PaperA5,
                            platform::PageOrientation::Portrait, 30);
            ASSERT_TRUE(r.render());
            ASSERT_EQ(r.printer.pages().size(), 2) << font.toStdString();
            const QImage& page = r.printer.pages()[0];
            // The thick line above the headings (line 2, or 3 for the sub insert) and the one above the footer
            // on line 26, under the last row on line 25.
            const double above = (side == print::ReportSide::Main ? 2 : 3) * 4 - 0.75;
            ExpectRulesClear(r, page, {above, 26 * 4 - 0.75}, font);
            ExpectInsideUsableWidth(r, page, font);
        }
    }
}

constexpr double MmOfPixel(int pixel, double dpi) {
    return (pixel + 0.5) * 25.4 / dpi;
}

// The middle of the ink in a window of a page, in millimetres; NaN when the window holds none.
QPointF InkCentre(const QImage& page, double dpi, const QRectF& mm) {
    const auto px = [dpi](double v) { return static_cast<int>(std::lround(v * dpi / 25.4)); };
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = px(mm.top()); y < px(mm.bottom()); ++y)
        for (int x = px(mm.left()); x < px(mm.right()); ++x)
            if (Dark(page, x, y)) {
                sx += MmOfPixel(x, dpi);
                sy += MmOfPixel(y, dpi);
                ++n;
            }
    return n ? QPointF(sx / n, sy / n) : QPointF(std::nan(""), std::nan(""));
}

// The trim box an insert's crop marks stand for, measured near where it is expected: the x of the marks above
// its left and right edges, the y of the marks beside its top and bottom.
QRectF MeasuredTrim(const QImage& page, double dpi, const QRectF& expected) {
    const double left = InkCentre(page, dpi, {expected.left() - 1.5, expected.top() - 6.5, 3, 4}).x();
    const double right = InkCentre(page, dpi, {expected.right() - 1.5, expected.top() - 6.5, 3, 4}).x();
    const double top = InkCentre(page, dpi, {expected.left() - 6.5, expected.top() - 1.5, 4, 3}).y();
    const double bottom = InkCentre(page, dpi, {expected.left() - 6.5, expected.bottom() - 1.5, 4, 3}).y();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// Inserts printed to PDF are cut at their real size, centred on the sheet, one per sheet: measured from the PDF's
// pixels at 300 dpi. Positions are millimetres from the paper's corner.
TEST(PrintedPage, CaseInsertsInAPdfHaveTheirRealSize) {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    struct Case {
        std::int16_t kind;
        print::ReportSide side;
        int paper;
        bool picture;
        QRectF trim;
        int sheets;
    };
    const Case cases[] = {
        // A4 portrait: (210 − 151) / 2, (297 − 118) / 2.
        {print::KindTrayCard, print::ReportSide::Sub, platform::PaperA4, false, {29.5, 89.5, 151, 118}, 1},
        // 151 + marks is wider than A5 standing, so it lies: 210 × 148.
        {print::KindTrayCard, print::ReportSide::Main, platform::PaperA5, false, {29.5, 15, 151, 118}, 2},
        {print::KindBookletFront, print::ReportSide::Sub, platform::PaperA5, true, {14, 45, 120, 120}, 1},
        // One booklet per listed disc.
        {print::KindBookletFront, print::ReportSide::Main, platform::PaperA4, false, {45, 88.5, 120, 120}, 2},
        // B5 (JIS) 182 × 257; 40 tracks take two booklets.
        {print::KindBookletBack, print::ReportSide::Sub, platform::PaperB5, false, {31, 68.5, 120, 120}, 2},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Case& c : cases) {
        const QString what = QStringLiteral("kind %1 paper %2").arg(c.kind).arg(c.paper);
        PaintedReport r(QStringLiteral("Noto Sans CJK JP"), 10, c.kind, c.side, c.paper,
                        platform::PageOrientation::Portrait, c.sheets == 2 ? 40 : 3);
        if (c.kind == print::KindBookletFront && c.side == print::ReportSide::Main) {
            r.rows.clearRows();
            r.rows.addRow({QStringLiteral("一枚目"), QStringLiteral("1"), QString()});
            r.rows.addRow({QString(), QString(), QString()}); // a disc with empty fields still gets its booklet
        }
        if (c.picture)
            r.src.picture = [](int) {
                QImage dark(400, 300, QImage::Format_RGB32); // wider than the square: its middle is taken
                dark.fill(QColor(20, 20, 60));
                return dark;
            };
        const QString path = dir.filePath(QStringLiteral("insert%1.pdf").arg(++n));
        auto pdf = platform::QtPrinterSurface::pdf(path);
        // The whole sheet is printable, so that the positions on paper are the layout's own.
        pdf->qprinter().setFullPage(true);
        ASSERT_TRUE(print::RenderReport(r.s, r.src, *pdf)) << what.toStdString();
        const QString prefix = dir.filePath(QStringLiteral("page%1").arg(n));
        ASSERT_EQ(QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                                               QStringLiteral("-png"), path, prefix}),
                  0);
        const QStringList sheets =
            QDir(dir.path()).entryList({QStringLiteral("page%1-*.png").arg(n)}, QDir::Files, QDir::Name);
        ASSERT_EQ(sheets.size(), c.sheets) << what.toStdString();
        for (const QString& sheet : sheets) {
            const QImage page(dir.filePath(sheet));
            const QRectF trim = MeasuredTrim(page, 300, c.trim);
            EXPECT_NEAR(trim.left(), c.trim.left(), 0.5) << what.toStdString();
            EXPECT_NEAR(trim.top(), c.trim.top(), 0.5) << what.toStdString();
            EXPECT_NEAR(trim.width(), c.trim.width(), 0.5) << what.toStdString();
            EXPECT_NEAR(trim.height(), c.trim.height(), 0.5) << what.toStdString();
            if (!c.picture)
                continue;
            // The picture fills the square to its edges and no further.
            const auto darkAt = [&](double x, double y) {
                return Dark(page, static_cast<int>(x * 300 / 25.4), static_cast<int>(y * 300 / 25.4));
            };
            const QPointF mid = c.trim.center();
            const QRectF inside = c.trim.adjusted(0.7, 0.7, -0.7, -0.7);
            const QRectF outside = c.trim.adjusted(-1, -1, 1, 1);
            for (const auto& [r, dark] : {std::pair{inside, true}, std::pair{outside, false}}) {
                EXPECT_EQ(darkAt(r.left(), mid.y()), dark);
                EXPECT_EQ(darkAt(r.right(), mid.y()), dark);
                EXPECT_EQ(darkAt(mid.x(), r.top()), dark);
                EXPECT_EQ(darkAt(mid.x(), r.bottom()), dark);
            }
        }
    }
}

// On the tray card nothing but the crop marks lies outside the card, the spines carry their texts and no glyph
// reaches the fold lines between the spines and the panel.
TEST(PrintedPage, TrayCardKeepsItsTextsBetweenItsFolds) {
    struct Case {
        int paper;
        print::ReportSide side;
        QRectF trim; // from the printable corner: the paper less 5 mm all round, the card in its middle
    };
    for (const Case& c : {Case{platform::PaperA4, print::ReportSide::Sub, {24.5, 84.5, 151, 118}},
                          Case{platform::PaperA5, print::ReportSide::Main, {24.5, 10, 151, 118}}}) {
        for (const QString& font : InstalledFonts()) {
            PaintedReport r(font, 10, print::KindTrayCard, c.side, c.paper, platform::PageOrientation::Portrait, 12);
            ASSERT_TRUE(r.render());
            ASSERT_EQ(r.printer.pages().size(), 1);
            const QImage& page = r.printer.pages()[0];
            const auto px = [&](double xMm, double yMm) { return r.printer.pixelOf(xMm, yMm); };
            const QRectF& t = c.trim;
            int outside = 0;
            int nearFolds = 0;
            int leftSpine = 0;
            int rightSpine = 0;
            const double fold1 = t.left() + 7;
            const double fold2 = t.right() - 7;
            for (int y = px(0, t.top() - 8).y(); y < px(0, t.bottom() + 8).y(); ++y) {
                for (int x = px(t.left() - 8, 0).x(); x < px(t.right() + 8, 0).x(); ++x) {
                    if (!Dark(page, x, y))
                        continue;
                    const double xm = (x + 0.5) * 25.4 / Dpi - PagePrinterMargin;
                    const double ym = (y + 0.5) * 25.4 / Dpi - PagePrinterMargin;
                    const bool onMarkLine = std::abs(xm - t.left()) < 0.5 || std::abs(xm - t.right()) < 0.5 ||
                                            std::abs(ym - t.top()) < 0.5 || std::abs(ym - t.bottom()) < 0.5;
                    if (!t.adjusted(-0.3, -0.3, 0.3, 0.3).contains(xm, ym) && !onMarkLine)
                        ++outside;
                    const double fromFold = std::min(std::abs(xm - fold1), std::abs(xm - fold2));
                    if (fromFold > 0.3 && fromFold < 1.0)
                        ++nearFolds;
                    leftSpine += xm > t.left() + 0.3 && xm < fold1 - 0.3;
                    rightSpine += xm > fold2 + 0.3 && xm < t.right() - 0.3;
                }
            }
            EXPECT_EQ(outside, 0) << font.toStdString();
            EXPECT_EQ(nearFolds, 0) << font.toStdString();
            EXPECT_GT(leftSpine, 500) << font.toStdString();
            EXPECT_GT(rightSpine, 500) << font.toStdString();
        }
    }
}

// The texts copied out of a saved PDF are the ones printed, ideographs included.
TEST(PrintedPage, SavedPdfHoldsTheExactJapaneseText) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    for (const QString& font : InstalledFonts()) {
        const QString path = dir.filePath(font + QStringLiteral(".pdf"));
        PaintedReport r(font, 10, PrintSettings::KindItemList, print::ReportSide::Main, platform::PaperA4,
                        platform::PageOrientation::Portrait, 2);
        r.s.title1 = QStringLiteral("音楽 山田 長い");
        auto pdf = platform::QtPrinterSurface::pdf(path);
        ASSERT_TRUE(print::RenderReport(r.s, r.src, *pdf));
        QProcess extract;
        extract.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
        ASSERT_TRUE(extract.waitForFinished(30000));
        // The extractor guesses the blanks from the glyphs' spacing, so they are left out of the comparison.
        QString text = QString::fromUtf8(extract.readAllStandardOutput());
        text.remove(QRegularExpression(QStringLiteral("\\s")));
        for (const char* printed : {"音楽山田長い", "1頁", "曲名1gypsy鬱Ｑ", "時間", "備考", "2474"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(printed)))
                << font.toStdString() << " lacks " << printed << " in:\n"
                << text.toStdString();
        EXPECT_FALSE(text.contains(QChar(0x2FB3))) << font.toStdString(); // the radical that looks like 音
    }
}

TEST(PrintedPage, MendingTheTextLayerReplacesRadicalsOnlyWhereAGlyphStandsAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.pdf"));
    const QByteArray before =
        "stream\n3 beginbfrange\n<0003> <0003> <2FB3>\n<0004> <0006> [<2F2D> <0041> <2ED1> <2E80>]\n"
        "<0010> <0019> <2F00>\nendbfrange\nendstream\n<2FB3>\n";
    // ⾳ → 音, ⼭ → 山, ⻑ → 長 (drawn with its glyph), ⺀ (a radical no ideograph shares) kept; a run counting up is
    // left alone, and a code outside a map is not touched.
    const QByteArray after =
        "stream\n3 beginbfrange\n<0003> <0003> <97F3>\n<0004> <0006> [<5C71> <0041> <9577> <2E80>]\n"
        "<0010> <0019> <2F00>\nendbfrange\nendstream\n<2FB3>\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();
    ASSERT_TRUE(platform::MendPdfTextLayer(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), after);
    EXPECT_FALSE(platform::MendPdfTextLayer(dir.filePath(QStringLiteral("missing.pdf"))));
}

} // namespace
