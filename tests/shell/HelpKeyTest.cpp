#include "TestCatalogue.h"
#include "maintenance/RestoreScreen.h"
#include "platform/HelpViewer.h"
#include "platform/QtUi.h"
#include "platform/RecordList.h"
#include "records/ListSearchDialog.h"
#include "records/MainRecordEditor.h"
#include "records/MainRecordScreen.h"
#include "search/SearchTextDialog.h"
#include "shell/MainWindow.h"
#include "store/FieldRenameScreen.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <functional>
#include <gtest/gtest.h>

using namespace quelm;

namespace {

// The help window that is up, if any.
platform::HelpViewer* ShownHelp() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<platform::HelpViewer*>(w); viewer && viewer->isVisible())
            return viewer;
    return nullptr;
}

} // namespace

// F1 goes through the running program's Ui, whichever control of the screen has the focus.
TEST(HelpKey, F1OpensThePageOfTheScreenItWasPressedOn) {
    test::TestCatalogue cat;
    cat.state.CurrentSection = 4;
    cat.state.CurrentCategoryName = cat.state.config[4].ShumokuName.trimmed();
    platform::QtUi ui(test::HelpFolder());
    platform::RecordList list;
    struct Case {
        const char* screen;
        std::function<std::unique_ptr<QWidget>()> make;
        QString page;
        QString title;
    };
    const std::vector<Case> cases{
        {"Form1", [&] { return std::make_unique<shell::MainWindow>(cat.state, ui); }, "main-window.html",
         "メイン画面（ＣＤ管理　Quelm）"},
        {"Form5", [&] { return std::make_unique<records::MainRecordScreen>(cat.state, ui); }, "main-records.html",
         "種目別メイン明細"},
        {"Form7", [&] { return std::make_unique<records::MainRecordEditor>(cat.state, ui); }, "record-editor.html",
         "メイン明細更新処理・サブ明細更新処理"},
        {"Form2b", [&] { return std::make_unique<store::FieldRenameScreen>(cat.state, ui); }, "field-rename.html",
         "項目名変更"},
        {"Form9k", [&] { return std::make_unique<search::SearchTextDialog>(cat.state, ui); },
         "search-all.html#search-text", "全ファイル検索"},
        {"Form12b", [&] { return std::make_unique<maintenance::RestoreScreen>(cat.state, ui); },
         "backup-restore.html#restore", "データベース,画像フォルダー・バックアップと復元"},
        {"Form6k", [&] { return records::MakeSubListSearch(cat.state, ui, list, nullptr, nullptr); },
         "list-search.html", "一覧の検索条件"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QWidget> screen = c.make();
        screen->show();
        QWidget* focus = screen->focusWidget() ? screen->focusWidget() : screen.get();
        QTest::keyClick(focus, Qt::Key_F1);
        platform::HelpViewer* viewer = ShownHelp();
        ASSERT_NE(viewer, nullptr) << c.screen;
        const auto* page = viewer->findChild<QTextBrowser*>();
        const QString fragment = page->source().fragment();
        EXPECT_EQ(page->source().fileName() + (fragment.isEmpty() ? QString() : "#" + fragment), c.page) << c.screen;
        EXPECT_EQ(page->documentTitle(), c.title) << c.screen;
        // A shared page opens at the screen's own section, further down than its top.
        if (!fragment.isEmpty() && c.page.startsWith("backup-restore")) {
            EXPECT_GT(page->verticalScrollBar()->value(), 0) << c.screen;
        }
        viewer->close();
        screen->close();
    }
}

// Every section the help map names is an anchor of its page.
TEST(HelpKey, SharedPagesHaveTheSectionsTheScreensOpenAt) {
    const QString folder = test::HelpFolder();
    for (const char* code :
         {"Form9", "Form9k", "Form10ml", "Form10sl", "Form12a", "Form12b", "Form13a", "Form13b", "Form13c"}) {
        const QString page = platform::HelpPageFor(folder, code);
        ASSERT_TRUE(page.contains('#')) << code;
        QFile file(folder + "/" + page.section('#', 0, 0));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << code;
        EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains("<a name=\"" + page.section('#', 1) + "\">")) << code;
    }
}
