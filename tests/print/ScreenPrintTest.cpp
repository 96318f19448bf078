#include "print/ScreenPrint.h"
#include "TestCatalogue.h"
#include "platform/KeyedToolBar.h"
#include "platform/PrinterSurface.h"
#include "platform/StatusPanels.h"
#include "records/MainRecordScreen.h"
#include "records/SubRecordScreen.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Icon;
using platform::PageOrientation;
using platform::RecordingSurface;
using print::ScreenPrintArea;

namespace {

QImage Sized(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
}

// The last picture drawn, with the orientation it was drawn in.
RecordingSurface::Call LastPicture(const RecordingSurface& printer) {
    for (auto it = printer.calls.rbegin(); it != printer.calls.rend(); ++it)
        if (it->op == QLatin1String("picture"))
            return *it;
    return {};
}

void ExpectRect(const QRectF& actual, const QRectF& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

TEST(PrintImageFitted, TurnsThePageAndFillsItsWidthOrHeightFromTheTopLeft) {
    RecordingSurface a4;                                 // 210 × 297 mm, no margins
    EXPECT_FALSE(print::PrintImageFitted(a4, QImage())); // an empty grab: nothing drawn, reported to the caller
    EXPECT_TRUE(a4.calls.isEmpty());
    EXPECT_TRUE(print::PrintImageFitted(a4, Sized(400, 200)));
    EXPECT_EQ(a4.orientation(), PageOrientation::Landscape);
    ExpectRect(LastPicture(a4).mm, {0, 0, 297, 148.5}); // relatively wider than the page: full width
    EXPECT_EQ(LastPicture(a4).pictureSize, QSize(400, 200));

    print::PrintImageFitted(a4, Sized(300, 250)); // wider than high, but less so than the page: full height
    EXPECT_EQ(a4.orientation(), PageOrientation::Landscape);
    ExpectRect(LastPicture(a4).mm, {0, 0, 252, 210});

    print::PrintImageFitted(a4, Sized(200, 400));
    EXPECT_EQ(a4.orientation(), PageOrientation::Portrait);
    ExpectRect(LastPicture(a4).mm, {0, 0, 148.5, 297});

    print::PrintImageFitted(a4, Sized(300, 300)); // square: portrait, full width
    EXPECT_EQ(a4.orientation(), PageOrientation::Portrait);
    ExpectRect(LastPicture(a4).mm, {0, 0, 210, 210});

    // The printable area is what counts, in the orientation just chosen.
    RecordingSurface b5(QMarginsF(5, 4, 5, 4));
    b5.setPaper(platform::PaperB5);
    print::PrintImageFitted(b5, Sized(1000, 500));
    EXPECT_EQ(b5.printableSize(), QSizeF(247, 174));
    ExpectRect(LastPicture(b5).mm, {0, 0, 247, 123.5});

    const int before = a4.calls.size();
    print::PrintImageFitted(a4, QImage()); // nothing to print
    EXPECT_EQ(a4.calls.size(), before);
}

// A window with a menu bar and a status bar, as the record screens have.
struct Window : QWidget {
    QMenuBar* menu;
    platform::StatusPanels* status;
    Window() {
        auto* layout = new QVBoxLayout(this);
        menu = new QMenuBar(this);
        menu->addMenu(QStringLiteral("ファイル"));
        layout->setMenuBar(menu);
        layout->addWidget(new QLabel(QStringLiteral("明細"), this), 1);
        status = new platform::StatusPanels(this);
        layout->addWidget(status);
        resize(600, 300);
        show();
    }
};

// Notes what panel 3 read when the picture reached the printer.
struct WatchingPrinter : RecordingSurface {
    platform::StatusPanels* status = nullptr;
    QString panelWhilePrinting;
    void drawPicture(const QImage& picture, const QRectF& mm) override {
        panelWhilePrinting = status->panelText(3);
        RecordingSurface::drawPicture(picture, mm);
    }
};

TEST(PrintScreen, ShowsTheStatusWhileGrabbingThenPrintsAndEndsTheDocument) {
    Window window;
    const QSize client = print::GrabClientImage(window).size();
    const QSize form = print::GrabFormImage(window).size();
    // The client area leaves out the menu bar (and, where the window system shows them, frame and title bar).
    EXPECT_EQ(client.width(), window.width());
    EXPECT_LE(client.height(), window.height() - window.menu->height());
    EXPECT_GE(form.height(), window.height());

    struct Case {
        ScreenPrintArea area;
        QString status;
        QSize picture;
    };
    const QSize display = print::GrabScreenImage(&window).size();
    for (const Case& c : {Case{ScreenPrintArea::ActiveWindow, QStringLiteral("画面印刷中　ActiveWindow"), form},
                          Case{ScreenPrintArea::UserData, QStringLiteral("画面印刷中　UserData"), client},
                          Case{ScreenPrintArea::EntireScreen, QStringLiteral("画面印刷中　EntireScreen"), display}}) {
        WatchingPrinter printer;
        printer.status = window.status;
        EXPECT_TRUE(print::PrintScreen(window, window.status, c.area, printer));
        EXPECT_EQ(printer.panelWhilePrinting, c.status);
        EXPECT_EQ(window.status->panelText(3), QString());
        ASSERT_EQ(printer.calls.size(), 2);
        EXPECT_EQ(printer.calls[0].op, QStringLiteral("picture"));
        EXPECT_EQ(printer.calls[0].pictureSize, c.picture);
        EXPECT_EQ(printer.calls[1].op, QStringLiteral("endDoc"));
    }

    // A screen without a status bar prints all the same.
    RecordingSurface plain;
    EXPECT_TRUE(print::PrintScreen(window, nullptr, ScreenPrintArea::ActiveWindow, plain));
    EXPECT_EQ(plain.calls.size(), 2);
}

TEST(PrintScreen, NoPrinterGoesToAPdfInTheDataFolderAndFailuresAreReported) {
    test::TestCatalogue cat;
    Window window;
    print::PrintScreen(window, window.status, ScreenPrintArea::ActiveWindow, cat.ui, cat.folder());
    ASSERT_EQ(cat.ui.printerFallbacks.size(), 1);
    EXPECT_TRUE(cat.ui.printerFallbacks[0].startsWith(cat.folder() + QStringLiteral("/画面印刷_")));
    EXPECT_TRUE(cat.ui.printerFallbacks[0].endsWith(QStringLiteral(".pdf")));
    EXPECT_TRUE(cat.ui.messages.isEmpty()); // a printer: nothing to say
    EXPECT_EQ(cat.ui.printerSurface.calls.size(), 2);

    cat.ui.printerSurface.pdfFile = cat.ui.printerFallbacks[0];
    print::PrintScreen(window, window.status, ScreenPrintArea::ActiveWindow, cat.ui, cat.folder());
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text,
              QStringLiteral("プリンターが見つからないため、画面印刷をＰＤＦファイルに出力しました。\n") +
                  cat.ui.printerFallbacks[0] + QStringLiteral("\n\nこのファイルを開きますか？"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Information);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("画面印刷"));
    EXPECT_EQ(cat.ui.openedDocuments, QStringList{cat.ui.printerFallbacks[0]}); // answered Yes
    cat.ui.answers.push_back(platform::Answer::No);
    print::PrintScreen(window, window.status, ScreenPrintArea::ActiveWindow, cat.ui, cat.folder());
    EXPECT_EQ(cat.ui.openedDocuments.size(), 1);

    cat.ui.messages.clear();
    cat.ui.printerSurface.failEndDoc = true;
    print::PrintScreen(window, window.status, ScreenPrintArea::ActiveWindow, cat.ui, cat.folder());
    cat.ui.hasPrinter = false;
    print::PrintScreen(window, window.status, ScreenPrintArea::ActiveWindow, cat.ui, cat.folder());
    ASSERT_EQ(cat.ui.messages.size(), 2);
    for (const auto& m : cat.ui.messages) {
        EXPECT_EQ(m.text, QStringLiteral("画面印刷ができませんでした。"));
        EXPECT_EQ(m.icon, Icon::Exclamation);
        EXPECT_EQ(m.title, QStringLiteral("ERROR"));
    }
    EXPECT_EQ(window.status->panelText(3), QString());
}

// Both record screens print this window, its client area and the display from their menu, and this window from
// the tool bar button, each on a page of its own.
template <class Screen> void ExpectScreenPrintFromMenuAndToolBar(test::TestCatalogue& cat, Screen& screen) {
    screen.Timer1_Timer();
    screen.show();
    const QSize client = print::GrabClientImage(screen).size();
    const QSize form = print::GrabFormImage(screen).size();

    screen.mf140->trigger();
    screen.mf141->trigger();
    screen.mf142->trigger();
    screen.Toolbar1_ButtonClick(QStringLiteral("画面印刷"));
    const auto& calls = cat.ui.printerSurface.calls;
    ASSERT_EQ(calls.size(), 8);
    EXPECT_EQ(calls[0].pictureSize, form);
    EXPECT_EQ(calls[2].pictureSize, client);
    EXPECT_EQ(calls[4].pictureSize, print::GrabScreenImage(&screen).size());
    EXPECT_EQ(calls[6].pictureSize, form);
    EXPECT_LT(client.height(), form.height());
    for (int i = 1; i < 8; i += 2)
        EXPECT_EQ(calls[i].op, QStringLiteral("endDoc"));
    EXPECT_EQ(screen.StatusBar1->panelText(3), QString());
    EXPECT_TRUE(cat.ui.messages.isEmpty());
}

TEST(PrintScreen, RecordScreensPrintFromTheirMenusAndToolBars) {
    test::TestCatalogue cat;
    cat.state.CurrentSection = 4;
    cat.state.CurrentCategoryName = cat.state.config[4].ShumokuName;
    {
        records::MainRecordScreen screen(cat.state, cat.ui);
        ExpectScreenPrintFromMenuAndToolBar(cat, screen);
    }
    cat.ui.printerSurface.calls.clear();
    cat.state.CurrentRegNo = 1;
    records::SubRecordScreen screen(cat.state, cat.ui);
    ExpectScreenPrintFromMenuAndToolBar(cat, screen);
}

} // namespace
