// Frame of the three listing screens: heading, report list, screen print, close and help.
#include "maintenance/ListingScreen.h"

#include "maintenance/Statistics.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "print/ScreenPrint.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <algorithm>

namespace quelm::maintenance {

using platform::Buttons;
using platform::Icon;

ListingScreen::ListingScreen(store::AppState& state, platform::Ui& ui, QWidget* parent, const QString& name,
                             const QString& screenName, const QString& heading, bool withStatusBar)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(name);
    setWindowTitle(state_.caption(screenName));
    menuBar = new QMenuBar(this);
    mf = menuBar->addMenu(QStringLiteral("ファイル    "));
    mf11 = mf->addAction(QStringLiteral("画面印刷(ActiveWindow)"));
    mf->addSeparator(); // mfx
    mf12 = mf->addAction(QStringLiteral("閉じる"));
    mh1 = menuBar->addAction(QStringLiteral("ヘルプ　　"));
    connect(mf11, &QAction::triggered, this, &ListingScreen::mf11_Click);
    connect(mf12, &QAction::triggered, this, &ListingScreen::mf12_Click);
    connect(mh1, &QAction::triggered, this, &ListingScreen::mh1_Click);

    Label1 = new QLabel(heading, this);
    QFont headingFont = Label1->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    headingFont.setBold(true);
    Label1->setFont(headingFont);
    Picture1 = new QLabel(this);
    Picture1->hide();
    ListView1 = new platform::RecordList(this);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(Label1);
    layout->addWidget(ListView1, 1);
    if (withStatusBar) {
        StatusBar1 = new platform::StatusPanels(this);
        layout->addWidget(StatusBar1);
    }
    resize(platform::TwipsToPixels(9600), platform::TwipsToPixels(9600));
}

int ListingScreen::TextWidthTwips(const QString& text) const {
    QFont measured = font();
    measured.setPointSize(10);
    return platform::PixelsToTwips(QFontMetrics(measured).horizontalAdvance(text));
}

void ListingScreen::ListViewSet(const QList<ListingColumn>& columns) {
    int width = 0;
    qsizetype rows = 0;
    for (const ListingColumn& c : columns) {
        width = std::max(width, TextWidthTwips(c.heading) + 1000);
        ListView1->addColumn(c.heading, width);
        rows = std::max(rows, c.cells.size());
    }
    std::vector<QStringList> lines(static_cast<std::size_t>(rows));
    for (qsizetype r = 0; r < rows; ++r) {
        for (const ListingColumn& c : columns)
            lines[static_cast<std::size_t>(r)] << c.cells.value(r);
    }
    ListView1->addRows(std::move(lines));
}

void ListingScreen::Refuse(const QString& text) {
    ui_.message(text, Icon::Critical, Buttons::Ok, QStringLiteral("Error"), this);
    Loaded = false;
    reject();
}

void ListingScreen::mf11_Click() {
    print::PrintScreen(*this, StatusBar1, print::ScreenPrintArea::ActiveWindow, ui_, state_.dataFolder);
}

void ListingScreen::mf12_Click() {
    close();
}

void ListingScreen::mh1_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::maintenance
