#include "platform/PrinterSurface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quelm::platform;

namespace {

TEST(PrinterSurface, PaperCodesAndThePrintPosition) {
    EXPECT_EQ(PageSizeOfPaper(PaperA4).size(QPageSize::Millimeter), QSizeF(210, 297));
    EXPECT_EQ(PageSizeOfPaper(PaperA5).size(QPageSize::Millimeter), QSizeF(148, 210));
    EXPECT_EQ(PageSizeOfPaper(PaperB5).size(QPageSize::Millimeter), QSizeF(182, 257)); // JIS, not ISO B5
    EXPECT_EQ(PageSizeOfPaper(1).id(), QPageSize::A4);

    RecordingSurface printer;
    printer.setFontSize(10);
    printer.setCurrentX(12);
    printer.setCurrentY(20);
    printer.print(QStringLiteral("ab"), false); // stays on the line, moves to the end of the text
    const double em = 10 * 25.4 / 72;
    EXPECT_DOUBLE_EQ(printer.currentX(), 12 + em);
    printer.setFontBold(true);
    printer.print(QStringLiteral("曲名"), true); // ends the line
    EXPECT_DOUBLE_EQ(printer.currentX(), 0);
    EXPECT_DOUBLE_EQ(printer.currentY(), 20 + em);
    printer.print(QString(), true); // an empty line only moves down
    EXPECT_DOUBLE_EQ(printer.currentY(), 20 + 2 * em);
    ASSERT_EQ(printer.calls.size(), 2);
    EXPECT_EQ(printer.calls[1].text, QStringLiteral("曲名"));
    EXPECT_DOUBLE_EQ(printer.calls[1].mm.x(), 12 + em);
    EXPECT_DOUBLE_EQ(printer.calls[1].mm.width(), 2 * em);
    EXPECT_TRUE(printer.calls[1].bold);

    printer.setPenWidth(8);
    printer.setPenStyle(PenStyle::Dot);
    printer.rectangle(10, 12, 200, 150);
    EXPECT_EQ(printer.calls.last().mm, QRectF(QPointF(10, 12), QPointF(200, 150)));
    EXPECT_EQ(printer.calls.last().penWidth, 8);
    EXPECT_EQ(printer.calls.last().penStyle, PenStyle::Dot);
    printer.newPage();
    EXPECT_DOUBLE_EQ(printer.currentY(), 0);
}

TEST(PrinterSurface, QtSurfaceWritesAPdfAndReportsAFailedOne) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/画面印刷.pdf");
    auto pdf = QtPrinterSurface::pdf(path);
    EXPECT_EQ(pdf->outputFile(), path);
    pdf->setPaper(PaperB5);
    const QSizeF portrait = pdf->printableSize();
    pdf->setOrientation(PageOrientation::Landscape);
    EXPECT_EQ(pdf->orientation(), PageOrientation::Landscape);
    EXPECT_GT(pdf->printableWidth(), pdf->printableHeight());
    EXPECT_NEAR(pdf->printableWidth(), portrait.height(), 0.01);
    EXPECT_LE(pdf->printableWidth(), 257);

    pdf->setFontSize(12);
    const double narrow = pdf->textWidth(QStringLiteral("i"));
    EXPECT_GT(pdf->textWidth(QStringLiteral("WWWW")), narrow);
    EXPECT_GT(pdf->textHeight(), 3); // a 12-point line is over 4 mm high
    pdf->print(QStringLiteral("画面印刷"), true);
    pdf->line(0, 10, 100, 10);
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    pdf->drawPicture(picture, QRectF(0, 20, 80, 40));
    EXPECT_TRUE(pdf->endDoc());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));

    auto nowhere = QtPrinterSurface::pdf(dir.path() + QStringLiteral("/later/x.pdf"));
    nowhere->line(0, 0, 10, 10);
    EXPECT_FALSE(nowhere->endDoc());
    // A failure ends that document only: once the printer can be reached again, the next one prints.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("later")));
    nowhere->line(0, 0, 10, 10);
    EXPECT_TRUE(nowhere->endDoc());
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/later/x.pdf")));
}

} // namespace
