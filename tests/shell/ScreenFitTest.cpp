// Every screen made as the help pictures make it: it fits a 1024×768 screen with its default font, and the pictures
// show the demo catalogue and its backup folder, never the folders of the machine they are taken on.
#include "DemoCatalogue.h"
#include "ScreenRegistry.h"
#include "exchange/ExchangeScreens.h"
#include "maintenance/FolderScreen.h"
#include "maintenance/ListTablesListing.h"
#include "platform/RecordList.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace quelm;

namespace {

constexpr int LowScreenWidth = 1024, LowScreenHeight = 768;
// What a desktop's window frame adds to a window's own area: the title bar with the border, and the side borders.
constexpr int TitleBarPixels = 30, SideBorderPixels = 8;

// Lets a shown screen run its deferred load (the record screens read 100 ms after showing).
void LetLoad() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 200)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

struct Pictures : ::testing::Test {
    QTemporaryDir home;
    std::unique_ptr<shots::DemoCatalogue> demo;

    Pictures() {
        exchange::InstallExchangeOpeners();
        demo = std::make_unique<shots::DemoCatalogue>(home.path());
        // The layout values the main window works out for a 1024×768 screen.
        const shell::LayoutValues v = shell::Dspsize(LowScreenWidth * 15, LowScreenHeight * 15);
        demo->state.ListFormWidth = v.ListFormWidth;
        demo->state.ListFormLeft = v.ListFormLeft;
        demo->state.ListFormTop = v.ListFormTop;
        demo->state.ListViewExtraWidth = v.ListViewExtraWidth;
    }
    std::unique_ptr<QWidget> shown(const shots::ScreenShot& shot) {
        std::unique_ptr<QWidget> screen = shot.make(*demo);
        if (!screen)
            return nullptr;
        screen->show();
        LetLoad();
        if (shot.prepare)
            shot.prepare(*screen);
        return screen;
    }
    std::unique_ptr<QWidget> shown(const QString& name) {
        for (const shots::ScreenShot& shot : shots::Screens())
            if (shot.name == name)
                return shown(shot);
        return nullptr;
    }
};

TEST_F(Pictures, EveryScreenFitsALowScreen) {
    for (const shots::ScreenShot& shot : shots::Screens()) {
        std::unique_ptr<QWidget> screen = shown(shot);
        ASSERT_TRUE(screen) << shot.name.toStdString();
        const QSize size = screen->size();
        EXPECT_LE(size.width() + SideBorderPixels, LowScreenWidth) << shot.name.toStdString();
        EXPECT_LE(size.height() + TitleBarPixels, LowScreenHeight) << shot.name.toStdString();
        EXPECT_LE(screen->minimumSize().height() + TitleBarPixels, LowScreenHeight) << shot.name.toStdString();
        screen->close();
    }
}

TEST_F(Pictures, FoldersShownAreTheDemoOnes) {
    for (const char* name : {"Form12a", "Form12b"}) {
        std::unique_ptr<QWidget> screen = shown(name);
        ASSERT_TRUE(screen) << name;
        auto& folders = static_cast<maintenance::FolderScreen&>(*screen);
        const auto* model = static_cast<const QFileSystemModel*>(folders.Dir1->model());
        EXPECT_EQ(model->filePath(folders.Dir1->rootIndex()), demo->home) << name;
        EXPECT_EQ(folders.Folder(), demo->backupFolder) << name;
        EXPECT_FALSE(folders.File1->findItems("Quelm.mdb", Qt::MatchExactly).isEmpty()) << name;
    }
    // The list listing refuses to open without lists; the demo has two.
    std::unique_ptr<QWidget> listing = shown("Form13b");
    ASSERT_TRUE(listing);
    auto& lists = static_cast<maintenance::ListTablesListing&>(*listing);
    EXPECT_TRUE(lists.Loaded);
    EXPECT_EQ(lists.ListView1->columnCount(), 2);
    EXPECT_EQ(lists.ListView1->cell(1, 0), QStringLiteral("クラシック"));
    EXPECT_TRUE(demo->ui.messages.isEmpty());
}

} // namespace
