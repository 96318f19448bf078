#include "print/ReportLayout.h"
#include "platform/PrinterSurface.h"
#include "platform/RecordList.h"

#include <gtest/gtest.h>

using namespace quelm;
using platform::PenStyle;
using platform::RecordingSurface;
using print::ReportSide;
using store::PrintSettings;

namespace {

// The recording surface measures 0.17639 mm a byte at 10 pt (half an em) and 0.21167 mm at 12 pt.
constexpr double MmPerPoint = 25.4 / 72;
double Width(int bytes, double points) {
    return bytes * points * MmPerPoint / 2;
}

using Call = RecordingSurface::Call;

QList<Call> Ops(const RecordingSurface& s, const QString& op) {
    QList<Call> out;
    for (const Call& c : s.calls)
        if (c.op == op)
            out << c;
    return out;
}

// The texts printed, without the empty ones.
QList<Call> Texts(const RecordingSurface& s) {
    return Ops(s, QStringLiteral("text"));
}

const Call* TextOf(const RecordingSurface& s, const QString& text) {
    for (const Call& c : s.calls)
        if (c.op == QLatin1String("text") && c.text == text)
            return &c;
    return nullptr;
}

// A text printed with its top-left corner at (x, y) mm.
#define EXPECT_AT(call, ex, ey)                                                                                        \
    do {                                                                                                               \
        ASSERT_NE(call, nullptr);                                                                                      \
        EXPECT_NEAR((call)->mm.x(), ex, 1e-6);                                                                         \
        EXPECT_NEAR((call)->mm.y(), ey, 1e-6);                                                                         \
    } while (0)

// Horizontal or vertical lines as (x1, y1, x2, y2), with their pen.
struct Segment {
    double x1, y1, x2, y2;
    int pen;
    PenStyle style;
};
std::vector<Segment> Lines(const RecordingSurface& s, const QString& op = QStringLiteral("line")) {
    std::vector<Segment> out;
    for (const Call& c : s.calls)
        if (c.op == op)
            out.push_back({c.mm.left(), c.mm.top(), c.mm.right(), c.mm.bottom(), c.penWidth, c.penStyle});
    return out;
}
bool Has(const std::vector<Segment>& lines, double x1, double y1, double x2, double y2, int pen, PenStyle style) {
    for (const Segment& l : lines)
        if (std::abs(l.x1 - x1) < 1e-6 && std::abs(l.y1 - y1) < 1e-6 && std::abs(l.x2 - x2) < 1e-6 &&
            std::abs(l.y2 - y2) < 1e-6 && l.pen == pen && l.style == style)
            return true;
    return false;
}
int VerticalCount(const std::vector<Segment>& lines) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const Segment& l) { return l.x1 == l.x2; }));
}

// A report over a list of rows: two fields "曲名" (text) and "時間" (a number).
struct Report {
    PrintSettings s;
    platform::RecordList rows;
    platform::RecordList mainRow;
    print::ReportSource src;
    RecordingSurface printer;

    Report(std::int16_t kind, ReportSide side = ReportSide::Main) {
        s.reportKind = kind;
        s.itemCount = 2;
        s.columnField = {0, 1};
        s.columnWidth = {30, 24};
        s.columnBytes = {6, 6};
        s.leftMargin = 10;
        s.lineHeight = kind == PrintSettings::KindCdCase ? 4 : 5;
        s.ruleOffset = kind == PrintSettings::KindCdCase ? 0.75f : 1.0f;
        s.linesPerPage = kind == PrintSettings::KindCdCase ? 27 : 58;
        s.usableWidth = kind == PrintSettings::KindCdCase ? 130 : 200;
        s.title1 = QStringLiteral("ABCD");
        s.title2 = QStringLiteral("EF");
        s.fontSize = kind == PrintSettings::KindCdCase ? 8 : 10;
        s.paper = kind == PrintSettings::KindCdCase ? platform::PaperA5 : platform::PaperA4;
        for (int c = 0; c < 3; ++c)
            rows.addColumn(QString(), 1000);
        src.side = side;
        src.rows = &rows;
        src.fields = {{QStringLiteral("曲名"), QStringLiteral("時間"), QStringLiteral("備考")},
                      {QStringLiteral("TEXT"), QStringLiteral("LONG"), QStringLiteral("TEXT")}};
        if (side == ReportSide::Sub) {
            for (int c = 0; c < 3; ++c)
                mainRow.addColumn(QString(), 1000);
            mainRow.addRow({QStringLiteral("アルバム"), QStringLiteral(" 歌手 "), QStringLiteral("1")});
            src.mainRows = &mainRow;
            src.mainFieldNames = {QStringLiteral("タイトル"), QStringLiteral("アーティスト"), QStringLiteral("枚数")};
        }
        src.date = QDate(2026, 12, 9);
    }
    void add(int n) {
        for (int i = 1; i <= n; ++i)
            rows.addRow({QStringLiteral("曲%1").arg(i), QString::number(i), QString()});
    }
    bool render() { return print::RenderReport(s, src, printer); }
};

TEST(ReportLayout, MainItemListPageFollowsTheLineTable) {
    Report r(PrintSettings::KindItemList);
    r.add(2);
    ASSERT_TRUE(r.render());
    const RecordingSurface& p = r.printer;

    // Title 12 pt bold on line 1, centred as (usable − margin − width) / 2.
    const Call* title = TextOf(p, QStringLiteral("ABCD"));
    EXPECT_AT(title, 91, 5); // (200 − 10 − 8.47) / 2 = 90.77
    EXPECT_TRUE(title->bold);
    EXPECT_EQ(title->fontSize, 12);
    // Page number right-aligned at the usable width on line 2, back in the report font.
    const Call* page = TextOf(p, QStringLiteral("1 頁"));
    EXPECT_AT(page, 200 - Width(4, 10), 10);
    EXPECT_FALSE(page->bold);
    EXPECT_EQ(page->fontSize, 10);
    // Headings on line 3, centred in their columns: (30 − 7) / 2 = 11.5 → 12, (24 − 7) / 2 = 8.5 → 8.
    EXPECT_AT(TextOf(p, QStringLiteral("曲名")), 22, 15);
    EXPECT_AT(TextOf(p, QStringLiteral("時間")), 48, 15);
    // First row on line 4: a text after one space, a number ending 2 mm before the next column (40 + 24 − 2).
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲1")), 10, 20);
    EXPECT_AT(TextOf(p, QStringLiteral("1")), 62 - Width(1, 10), 20);
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲2")), 10, 25);

    // Frame from line 3 to line 6 (after the last row), the rule under the headings, both pen 8.
    const auto rects = Lines(p, QStringLiteral("rectangle"));
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_TRUE(Has(rects, 10, 14, 200, 29, 8, PenStyle::Solid));
    const auto lines = Lines(p);
    EXPECT_TRUE(Has(lines, 10, 19, 200, 19, 8, PenStyle::Solid));
    // Column lines after each column, pen 2; a dotted row line between the two rows, pen 1.
    EXPECT_TRUE(Has(lines, 40, 14, 40, 29, 2, PenStyle::Solid));
    EXPECT_TRUE(Has(lines, 64, 14, 64, 29, 2, PenStyle::Solid));
    EXPECT_TRUE(Has(lines, 10, 24, 200, 24, 1, PenStyle::Dot));
    EXPECT_EQ(lines.size(), 4u);
    // Footer on the line after the last row, right-aligned, italic; then the document ends.
    const Call footer = Texts(p).last();
    EXPECT_TRUE(footer.text.startsWith(QStringLiteral("Quelm  ")));
    EXPECT_EQ(footer.text, print::FooterText(r.src.date));
    EXPECT_NEAR(footer.mm.y(), 30, 1e-6);
    EXPECT_NEAR(footer.mm.right(), 200, 1e-6);
    EXPECT_TRUE(footer.italic);
    EXPECT_EQ(p.calls.last().op, QStringLiteral("endDoc"));
    EXPECT_TRUE(Ops(p, QStringLiteral("newPage")).isEmpty());
}

TEST(ReportLayout, MainCdCaseInsertHasBracketsOneRuleAndTheFooterOnLine26) {
    Report r(PrintSettings::KindCdCase);
    r.add(2);
    r.render();
    const RecordingSurface& p = r.printer;
    EXPECT_AT(TextOf(p, QStringLiteral("ABCD")), 56, 0); // (130 − 10 − 8.47) / 2 = 55.77
    EXPECT_AT(TextOf(p, QStringLiteral("1")), 130 - Width(1, 8), 4);
    // Headings in brackets on line 2: "[曲名]" is 6 bytes, 8.47 mm → 8; (30 − 8) / 2 = 11.
    EXPECT_AT(TextOf(p, QStringLiteral("[曲名]")), 21, 8);
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲1")), 10, 12);
    const auto lines = Lines(p);
    EXPECT_TRUE(Has(lines, 10, 7.25, 130, 7.25, 8, PenStyle::Solid));     // above the headings
    EXPECT_TRUE(Has(lines, 10, 103.25, 130, 103.25, 8, PenStyle::Solid)); // above the footer
    EXPECT_EQ(lines.size(), 2u);                                          // no column or row lines
    const Call footer = Texts(p).last();
    EXPECT_NEAR(footer.mm.y(), 104, 1e-6);
    EXPECT_TRUE(footer.italic);
    // The cut guide: the 137 × 117 mm area as a thin dotted frame just outside the text.
    const auto rects = Lines(p, QStringLiteral("rectangle"));
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_TRUE(Has(rects, -2, -2, 135, 115, 1, PenStyle::Dot));
}

TEST(ReportLayout, SubItemListPutsTheMainRecordBlockOnPageOneOnly) {
    Report r(PrintSettings::KindItemList, ReportSide::Sub);
    r.s.linesPerPage = 13; // rows up to line 9 on a page
    r.add(6);
    r.render();
    const RecordingSurface& p = r.printer;
    EXPECT_AT(TextOf(p, QStringLiteral("ABCD")), 91, 5);
    EXPECT_EQ(TextOf(p, QStringLiteral("EF")), nullptr); // the second title is the insert's only
    EXPECT_AT(TextOf(p, QStringLiteral("1 頁")), 200 - Width(4, 10), 10);
    // The block: lines 3 to 5, the names at margin + 30, the values as listed at margin + 64.
    EXPECT_AT(TextOf(p, QStringLiteral("メイン明細")), 12, 15);
    EXPECT_AT(TextOf(p, QStringLiteral("タイトル")), 40, 15);
    EXPECT_AT(TextOf(p, QStringLiteral("アルバム")), 74, 15);
    EXPECT_AT(TextOf(p, QStringLiteral(" 歌手 ")), 74, 20);
    EXPECT_AT(TextOf(p, QStringLiteral("枚数")), 40, 25);
    EXPECT_AT(TextOf(p, QStringLiteral(" ")), 12, 30); // the blank line under it
    // Box as wide as margin + 70 + the widest value ("アルバム", 8 bytes at 10 pt, 14.1 → 14).
    const auto rects = Lines(p, QStringLiteral("rectangle"));
    EXPECT_TRUE(Has(rects, 10, 14, 94, 29, 8, PenStyle::Solid));
    const auto lines = Lines(p);
    EXPECT_TRUE(Has(lines, 38, 14, 38, 29, 5, PenStyle::Solid));
    EXPECT_TRUE(Has(lines, 72, 14, 72, 29, 5, PenStyle::Solid));
    EXPECT_TRUE(Has(lines, 38, 19, 94, 19, 4, PenStyle::Solid));
    EXPECT_TRUE(Has(lines, 38, 24, 94, 24, 4, PenStyle::Solid));
    // Headings on line field count + 4 = 7, first row on line 8; the frame starts at the headings.
    EXPECT_AT(TextOf(p, QStringLiteral("曲名")), 22, 35);
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲1")), 10, 40);
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲2")), 10, 45);
    EXPECT_TRUE(Has(rects, 10, 34, 200, 49, 8, PenStyle::Solid));
    EXPECT_TRUE(Has(lines, 10, 39, 200, 39, 8, PenStyle::Solid));
    EXPECT_TRUE(Has(lines, 10, 44, 200, 44, 1, PenStyle::Dot));
    // Page 2: no block, headings on line 3, rows from line 4 up to line 9.
    ASSERT_EQ(Ops(p, QStringLiteral("newPage")).size(), 1);
    int blocks = 0;
    for (const Call& c : Texts(p))
        blocks += c.text == QStringLiteral("メイン明細");
    EXPECT_EQ(blocks, 1);
    EXPECT_AT(TextOf(p, QStringLiteral("2 頁")), 200 - Width(4, 10), 10);
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲3")), 10, 20);
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲6")), 10, 35);
    EXPECT_TRUE(Has(rects, 10, 14, 200, 39, 8, PenStyle::Solid));
}

TEST(ReportLayout, SubCdCaseInsertHasTwoTitlesAndTwentyTwoRowsAPage) {
    Report r(PrintSettings::KindCdCase, ReportSide::Sub);
    r.add(23);
    r.render();
    const RecordingSurface& p = r.printer;
    EXPECT_AT(TextOf(p, QStringLiteral("ABCD")), 56, 0);
    // Second title at 5 mm, 10 pt, centred by its bold width (2 bytes, 3.53 mm): (120 − 3.53) / 2 = 58.2.
    const Call* title2 = TextOf(p, QStringLiteral("EF"));
    EXPECT_AT(title2, 58, 5);
    EXPECT_EQ(title2->fontSize, 10);
    EXPECT_FALSE(title2->bold);
    EXPECT_AT(TextOf(p, QStringLiteral("1")), 130 - Width(1, 8), 8); // line 2
    EXPECT_AT(TextOf(p, QStringLiteral("[曲名]")), 21, 12);          // line 3
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲1")), 10, 16);            // line 4
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲22")), 10, 100);          // line 25
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲23")), 10, 16);           // next page, line 4
    EXPECT_EQ(TextOf(p, QStringLiteral("メイン明細")), nullptr);
    const auto lines = Lines(p);
    EXPECT_TRUE(Has(lines, 10, 11.25, 130, 11.25, 8, PenStyle::Solid));
    EXPECT_EQ(VerticalCount(lines), 0);
    EXPECT_EQ(Ops(p, QStringLiteral("newPage")).size(), 1);
    int footers = 0;
    for (const Call& c : Texts(p))
        if (c.text.startsWith(QStringLiteral("Quelm  "))) {
            ++footers;
            EXPECT_NEAR(c.mm.y(), 104, 1e-6);
        }
    EXPECT_EQ(footers, 2);
    EXPECT_EQ(Lines(p, QStringLiteral("rectangle")).size(), 2u); // a cut guide on each page
}

TEST(ReportLayout, MainCdCaseInsertHoldsTwentyThreeRowsAPage) {
    Report r(PrintSettings::KindCdCase);
    r.add(24);
    r.render();
    const RecordingSurface& p = r.printer;
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲23")), 10, 100); // line 25
    EXPECT_AT(TextOf(p, QStringLiteral(" 曲24")), 10, 12);  // next page, line 3
    EXPECT_EQ(Ops(p, QStringLiteral("newPage")).size(), 1);
    // Page 2's number, on line 1 after the new page (the number 2 of row 2 stands on page 1).
    const auto next = std::find_if(p.calls.begin(), p.calls.end(), [](const Call& c) { return c.op == "newPage"; });
    const auto number =
        std::find_if(next, p.calls.end(), [](const Call& c) { return c.op == "text" && c.text == "2"; });
    ASSERT_NE(number, p.calls.end());
    EXPECT_AT(&*number, 130 - Width(1, 8), 4);
}

// Titles too wide for the usable width get smaller, down to 8 pt, then shorter; the insert's title keeps clear of
// the page number beside it; the main record's values are cut so that its box ends at the usable width.
TEST(ReportLayout, TitlesAndTheMainRecordBlockStayInsideTheUsableWidth) {
    const QString sixty(60, QChar(0x97F3));
    const QString twoHundred(200, QChar(0x97F3));
    struct Case {
        std::int16_t kind;
        QString title;
        double size; // points the title prints at
        QString printed;
        double x;
    };
    // 60 full-width at 12 pt are 254 mm for 200 − 0: 12 × 200 / 254 = 9.45 → 9 pt, 190.5 mm, x = round(−0.25).
    // 200 at 8 pt would be 564 mm: 69 and "…" make 197.6 mm. The insert: (130 − 10 − 8.47) / 2 = 55.77.
    for (const Case& c : {Case{PrintSettings::KindItemList, sixty, 9, sixty, 0},
                          Case{PrintSettings::KindItemList, twoHundred, 8, twoHundred.left(69) + u'…', 0},
                          Case{PrintSettings::KindCdCase, QStringLiteral("ABCD"), 12, QStringLiteral("ABCD"), 56}}) {
        Report r(c.kind);
        r.s.title1 = c.title;
        r.add(1);
        ASSERT_TRUE(r.render());
        const Call* title = TextOf(r.printer, c.printed);
        ASSERT_NE(title, nullptr) << c.printed.size();
        EXPECT_EQ(title->fontSize, c.size);
        EXPECT_NEAR(title->mm.x(), c.x, 1e-6);
    }
    // On the insert the title shares its height with the page number: it ends 2 mm before it.
    Report cd(PrintSettings::KindCdCase);
    cd.s.title1 = sixty;
    cd.add(1);
    cd.printer.setFontSize(11);
    ASSERT_TRUE(cd.render());
    const Call title = Texts(cd.printer)[0];
    EXPECT_LE(title.mm.right(), 130 - Width(1, 8) - 2 + 1e-6);
    EXPECT_GE(title.fontSize, 8);
    EXPECT_EQ(cd.printer.fontSize(), 11); // the insert's 8 pt ends with it

    Report sub(PrintSettings::KindItemList, ReportSide::Sub);
    sub.mainRow.setCell(1, 0, twoHundred);
    sub.add(1);
    ASSERT_TRUE(sub.render());
    // 200 − 10 − 70 = 120 mm of room at 1.764 mm a byte: 33 full-width and "…".
    EXPECT_NE(TextOf(sub.printer, twoHundred.left(33) + u'…'), nullptr);
    const auto box = Lines(sub.printer, QStringLiteral("rectangle"))[0];
    EXPECT_LE(box.x2, 200 + 1e-6);
}

TEST(ReportLayout, ColumnsBeyondEightAreNotPrinted) {
    Report r(PrintSettings::KindItemList);
    r.s.itemCount = 9;
    for (int i = 0; i < 9; ++i) {
        r.s.columnField[i] = 2; // the 備考 field, printed as one space
        r.s.columnWidth[i] = 15;
    }
    r.s.usableWidth = 400;
    r.add(1);
    r.render();
    int headings = 0, cells = 0;
    for (const Call& c : Texts(r.printer)) {
        headings += c.text == QStringLiteral("備考");
        cells += c.text == QLatin1String(" ");
    }
    EXPECT_EQ(headings, 8);
    EXPECT_EQ(cells, 8);
    // The ninth still counts in the width.
    EXPECT_EQ(print::RequiredWidth(r.s), 10 + 9 * 15);
}

TEST(ReportLayout, NumbersAndDatesEndTwoBytesBeforeTheLongestEntry) {
    Report r(PrintSettings::KindItemList);
    r.rows.addRow({QStringLiteral("a"), QStringLiteral("12"), QString()});
    r.rows.addRow({QStringLiteral("b"), QStringLiteral("123456"), QString()});
    r.rows.addRow({QStringLiteral("c"), QStringLiteral(" 1234 "), QString()}); // trimmed before counting
    r.src.fields.types[1] = QStringLiteral("DATE");
    r.render();
    EXPECT_NE(TextOf(r.printer, QStringLiteral("  12")), nullptr);
    EXPECT_NE(TextOf(r.printer, QStringLiteral("123456")), nullptr);
    EXPECT_NE(TextOf(r.printer, QStringLiteral("1234")), nullptr);
    EXPECT_NE(TextOf(r.printer, QStringLiteral(" a")), nullptr); // text: always one space
}

TEST(ReportLayout, EmptyListPrintsTheHeaderOnly) {
    for (auto kind : {PrintSettings::KindItemList, PrintSettings::KindCdCase}) {
        Report r(kind);
        ASSERT_TRUE(r.render());
        EXPECT_NE(TextOf(r.printer, QStringLiteral("ABCD")), nullptr);
        for (const Call& c : Texts(r.printer))
            EXPECT_FALSE(c.text.startsWith(QStringLiteral("Quelm")));
        EXPECT_TRUE(Lines(r.printer).empty());
        EXPECT_EQ(r.printer.calls.last().op, QStringLiteral("endDoc"));
    }
}

TEST(ReportLayout, ColumnLinesForOneItemAndNearTheRightEdge) {
    Report main(PrintSettings::KindItemList);
    main.s.itemCount = 1;
    main.add(1);
    main.render();
    EXPECT_EQ(VerticalCount(Lines(main.printer)), 0);

    Report sub(PrintSettings::KindItemList, ReportSide::Sub);
    sub.s.itemCount = 1;
    sub.add(1);
    sub.render();
    EXPECT_TRUE(Has(Lines(sub.printer), 40, 34, 40, 44, 2, PenStyle::Solid));

    // Column ends 10 mm before the usable width and less: no line; 10.5 mm: a line.
    for (auto [usable, lines] : {std::pair{74, 1}, std::pair{73, 1}, std::pair{75, 2}}) {
        Report r(PrintSettings::KindItemList);
        r.s.usableWidth = usable; // the columns end at 40 and 64
        r.add(1);
        r.render();
        EXPECT_EQ(VerticalCount(Lines(r.printer)), lines) << usable;
    }
}

TEST(ReportLayout, FailedDocumentIsDropped) {
    Report r(PrintSettings::KindItemList);
    r.add(1);
    r.printer.failEndDoc = true;
    EXPECT_FALSE(r.render());
    EXPECT_EQ(r.printer.calls.last().op, QStringLiteral("abortDoc"));
}

TEST(PrintSetup, MarginsPapersAndLineMetrics) {
    for (auto [text, mm] : {std::pair{"7.5", 8},
                            {"6.5", 6},
                            {"12abc", 12},
                            {"", 0},
                            {"abc", 0},
                            {" 15 ", 15},
                            {"-5", 0},
                            {"99999999", 999},
                            {"１２", 0}})
        EXPECT_EQ(print::MarginFromText(QString::fromUtf8(text)), mm) << text;

    EXPECT_EQ(print::PaperFromText(QStringLiteral("A5")), platform::PaperA5);
    EXPECT_EQ(print::PaperFromText(QStringLiteral("B5")), platform::PaperB5);
    EXPECT_EQ(print::PaperFromText(QStringLiteral("A3")), platform::PaperA4);

    RecordingSurface p;
    PrintSettings s;
    // A line grows where the font's ink and 0.35 mm either side do not fit: 9.4 pt is 3.32 mm high.
    for (auto [points, height, offset] : {std::tuple{8.0, 4, 0.75f},
                                          {9.0, 4, 0.75f},
                                          {9.4, 5, 0.75f},
                                          {10.5, 5, 1.0f},
                                          {11.0, 5, 1.0f},
                                          {12.0, 5, 0.5f},
                                          {20.0, 8, 0.5f}}) {
        p.setFontSize(points); // 12 pt: 4.23 mm high, 5 mm a line; 20 pt: 7.06 → 8
        print::SetLineMetrics(s, p);
        EXPECT_EQ(s.lineHeight, height) << points;
        EXPECT_EQ(s.ruleOffset, offset) << points;
    }

    // A4 with 5 mm margins all round: 200 × 287 mm printable.
    RecordingSurface a4(QMarginsF(5, 5, 5, 5));
    s.reportKind = PrintSettings::KindItemList;
    s.lineHeight = 5;
    print::SetPageMetrics(s, a4);
    EXPECT_EQ(s.linesPerPage, 57);
    EXPECT_EQ(s.usableWidth, 195);
    s.reportKind = PrintSettings::KindCdCase; // whatever the paper
    print::SetPageMetrics(s, a4);
    EXPECT_EQ(s.linesPerPage, 27);
    EXPECT_EQ(s.usableWidth, 130);
}

TEST(PrintSetup, MeasuresHeadingAndCellsAndPicksTheLastOfSameNamedFields) {
    const QStringList names{QStringLiteral("名前"), QStringLiteral("番号"), QStringLiteral("名前")};
    EXPECT_EQ(print::FieldOfItem(QStringLiteral("名前"), names), 2);
    EXPECT_EQ(print::FieldOfItem(QStringLiteral("番号"), names), 1);
    EXPECT_EQ(print::FieldOfItem(QStringLiteral("ない"), names), 0);

    platform::RecordList rows;
    for (int c = 0; c < 3; ++c)
        rows.addColumn(QString(), 1000);
    RecordingSurface p; // 10 pt: 1.764 mm a byte
    auto m = print::MeasureColumns(p, {1}, names, rows);
    EXPECT_EQ(m[0].width, 7); // the heading alone: 4 bytes, 7.06 mm
    EXPECT_EQ(m[0].bytes, 4);
    rows.addRow({QString(), QStringLiteral("  123456789  "), QString()});
    rows.addRow({QString(), QStringLiteral("12"), QString()});
    rows.select(1);
    m = print::MeasureColumns(p, {1, 0}, names, rows);
    EXPECT_EQ(m[0].width, 16); // 9 bytes, 15.88 mm
    EXPECT_EQ(m[0].bytes, 9);
    EXPECT_EQ(m[1].width, 7);
    EXPECT_EQ(rows.selectedIndex(), 1); // measured without moving through the rows

    // Two columns measured at 30 and 20 mm with a 10 mm margin need 10 + 34 + 24.
    PrintSettings s;
    s.itemCount = 2;
    s.columnWidth = {34, 24};
    s.leftMargin = 10;
    EXPECT_EQ(print::RequiredWidth(s), 68);
}

} // namespace
