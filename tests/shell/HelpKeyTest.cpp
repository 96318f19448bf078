#include "TestCatalogue.h"
#include "platform/HelpViewer.h"
#include "platform/QtUi.h"
#include "platform/RecordList.h"
#include "records/Form5.h"
#include "records/Form7.h"
#include "records/ListSearchDialog.h"
#include "search/Form9k.h"
#include "shell/Form1.h"
#include "store/Form2b.h"

#include <QApplication>
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
        {"Form1", [&] { return std::make_unique<shell::Form1>(cat.state, ui); }, "Form1.html",
         "メイン画面（ＣＤ管理　Quelm）"},
        {"Form5", [&] { return std::make_unique<records::Form5>(cat.state, ui); }, "Form5.html", "種目別メイン明細"},
        {"Form7", [&] { return std::make_unique<records::Form7>(cat.state, ui); }, "Form7.html",
         "メイン明細更新処理・サブ明細更新処理"},
        {"Form2b", [&] { return std::make_unique<store::Form2b>(cat.state, ui); }, "Form2b.html", "項目名変更"},
        {"Form9k", [&] { return std::make_unique<search::Form9k>(cat.state, ui); }, "Form9.html", "全ファイル検索"},
        {"Form6k", [&] { return records::MakeForm6k(cat.state, ui, list, nullptr, nullptr); }, "Form5k.html",
         "一覧の検索条件"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QWidget> screen = c.make();
        screen->show();
        QWidget* focus = screen->focusWidget() ? screen->focusWidget() : screen.get();
        QTest::keyClick(focus, Qt::Key_F1);
        platform::HelpViewer* viewer = ShownHelp();
        ASSERT_NE(viewer, nullptr) << c.screen;
        const auto* page = viewer->findChild<QTextBrowser*>();
        EXPECT_EQ(page->source().fileName(), c.page) << c.screen;
        EXPECT_EQ(page->documentTitle(), c.title) << c.screen;
        viewer->close();
        screen->close();
    }
}
