#include "records/SubRecordScreen.h"
#include "TestCatalogue.h"
#include "platform/KeyedToolBar.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "records/ListSearchDialog.h"
#include "records/MainRecordScreen.h"
#include "records/SubRecordEditor.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Buttons;
using platform::Icon;
using records::MainRecordScreen;
using records::SubRecordEditor;
using records::SubRecordScreen;

namespace {

struct SubScreen : ::testing::Test {
    test::TestCatalogue cat;

    SubScreen() {
        cat.addMain(4, 1, {QStringLiteral("一枚目"), QStringLiteral("歌手1")});
        cat.addMain(4, 2, {QStringLiteral("二枚目"), QStringLiteral("歌手2")});
        cat.state.config[4].RegNo = 2;
    }
    // As the main record screen opens it: the record's number set, its sub records counted by the opener.
    std::unique_ptr<SubRecordScreen> open(std::int32_t regNo, std::int16_t mode = 0, std::int32_t subNo = 0) {
        cat.state.CurrentSection = 4;
        cat.state.CurrentCategoryName = cat.state.config[4].ShumokuName;
        cat.state.ListMode = mode;
        cat.state.CurrentRegNo = regNo;
        cat.state.CurrentSubNo = subNo;
        auto screen = std::make_unique<SubRecordScreen>(cat.state, cat.ui);
        screen->Timer1_Timer();
        return screen;
    }
    void addSubs(std::int32_t regNo, std::initializer_list<int> subNos) {
        for (int subNo : subNos)
            cat.addSub(4, regNo, subNo, QStringLiteral("曲%1-%2").arg(regNo).arg(subNo));
    }
    void driveEditor(std::function<void(SubRecordEditor&)> play) {
        cat.ui.modalDrivers.push_back([play](QDialog& d) { play(static_cast<SubRecordEditor&>(d)); });
    }
    QStringList subNosShown(const SubRecordScreen& screen) {
        QStringList out;
        for (int i = 1; i <= screen.ListView1->rowCount(); ++i)
            out << screen.ListView1->cell(i, 11);
        return out;
    }
};

TEST_F(SubScreen, MainRecordWithoutSubRecords) {
    addSubs(2, {1, 2});
    auto screen = open(1);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("ＣＤ管理 Quelm 種目別サブ明細"));
    EXPECT_EQ(screen->Label1->text(), QStringLiteral("CD1 (サブ明細)"));
    EXPECT_EQ(screen->Label3[0]->text(), cat.state.config[4].SubFieldName[1] + QStringLiteral(" ："));
    EXPECT_FALSE(screen->Text1[9]->isHidden());
    EXPECT_EQ(screen->ListView1->columnCount(), 12);
    EXPECT_EQ(screen->ListView1->rowCount(), 0);
    ASSERT_EQ(screen->ListView2->rowCount(), 1);
    EXPECT_EQ(screen->ListView2->columnCount(), 16);
    EXPECT_EQ(screen->ListView2->cell(1, 0), QStringLiteral("一枚目"));
    EXPECT_EQ(screen->ListView2->cell(1, 15), QStringLiteral("1"));
    EXPECT_EQ(screen->Text2->text(), QStringLiteral("1"));
    EXPECT_EQ(screen->Text3->text(), QString());
    EXPECT_EQ(screen->StatusBar1->panelText(1), QStringLiteral("サブ明細のレコードを表示"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QString());
    EXPECT_EQ(cat.state.MaxSubNo, 0);

    screen->mf12_Click();
    screen->Toolbar1->trigger(QStringLiteral("削除"));
    ASSERT_EQ(cat.ui.messages.size(), 2);
    for (const auto& m : cat.ui.messages) {
        EXPECT_EQ(m.text, QStringLiteral("サブ明細レコードが指定されていません。"));
        EXPECT_EQ(m.icon, Icon::None);
        EXPECT_EQ(m.buttons, Buttons::Ok);
        EXPECT_EQ(m.title, QStringLiteral("Error"));
    }
    EXPECT_TRUE(cat.ui.modalScreens.isEmpty());

    // Without a main record number nothing is meant at all.
    screen->Text2->clear();
    screen->mf13_Click();
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("明細レコードが指定されていません。"));

    screen->Text2->setText(QStringLiteral("1"));
    driveEditor([](SubRecordEditor& e) {
        EXPECT_EQ(e.Text2->text(), QStringLiteral("1"));
        EXPECT_EQ(e.Text1->text(), QStringLiteral("1"));
        e.Command1_Click();
        e.Command2_Click();
    });
    screen->mf11_Click();
    EXPECT_EQ(subNosShown(*screen), QStringList{"1"});
    EXPECT_EQ(screen->ListView1->selectedIndex(), 1);
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("1"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("レコード順／総数　　1 / 1"));
}

TEST_F(SubScreen, NewSubRecordsFollowTheLargestNumberAndAreSelected) {
    addSubs(1, {1, 2, 5});
    addSubs(2, {9});
    cat.state.MaxSubNo = 9; // left by another record: the screen counts its own
    auto screen = open(1);
    EXPECT_EQ(cat.state.MaxSubNo, 5);
    EXPECT_EQ(subNosShown(*screen), (QStringList{"1", "2", "5"}));
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("曲1-1"));
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("1"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("レコード順／総数　　1 / 3"));

    driveEditor([](SubRecordEditor& e) {
        EXPECT_EQ(e.Text1->text(), QStringLiteral("6"));
        e.Text3[0]->setText(QStringLiteral("新曲"));
        e.Command1_Click();
        e.Command2_Click();
    });
    screen->mf11_Click();
    EXPECT_EQ(subNosShown(*screen), (QStringList{"1", "2", "5", "6"}));
    EXPECT_EQ(screen->ListView1->selectedIndex(), 4);
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("新曲"));
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("6"));
    EXPECT_EQ(cat.state.MaxSubNo, 6);
}

TEST_F(SubScreen, ChangeKeepsTheRowAndDeletingTheLastSelectsTheNewLast) {
    addSubs(1, {1, 2, 3});
    auto screen = open(1);
    screen->ListView1->select(2);
    screen->ListView1_ItemClick(2);
    driveEditor([](SubRecordEditor& e) {
        EXPECT_EQ(e.Text1->text(), QStringLiteral("2"));
        EXPECT_EQ(e.Text3[0]->text(), QStringLiteral("曲1-2"));
        e.Text3[0]->setText(QStringLiteral("直した曲"));
        e.Command1_Click();
    });
    screen->mf12_Click();
    EXPECT_EQ(screen->ListView1->selectedIndex(), 2);
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("直した曲"));

    screen->ListView1->select(3);
    screen->ListView1_ItemClick(3);
    driveEditor([](SubRecordEditor& e) { e.Command1_Click(); }); // the question is answered OK
    screen->Toolbar1->trigger(QStringLiteral("削除"));
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("このレコードを削除しますか？"));
    EXPECT_EQ(subNosShown(*screen), (QStringList{"1", "2"}));
    EXPECT_EQ(screen->ListView1->selectedIndex(), 2);
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("2"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("レコード順／総数　　2 / 2"));

    // Deleting what is left: no sub record stays shown as if it still existed.
    for (int i = 0; i < 2; ++i) {
        driveEditor([](SubRecordEditor& e) { e.Command1_Click(); });
        screen->mf13_Click();
    }
    EXPECT_EQ(screen->ListView1->rowCount(), 0);
    EXPECT_EQ(screen->Text3->text(), QString());
    EXPECT_EQ(screen->Text1[0]->text(), QString());
    EXPECT_EQ(screen->Text2->text(), QStringLiteral("1"));
    const int modal = cat.ui.modalScreens.size();
    screen->mf12_Click();
    EXPECT_EQ(cat.ui.modalScreens.size(), modal);
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("サブ明細レコードが指定されていません。"));
}

TEST_F(SubScreen, OpenedByTheAllCategorySearchShowsTheOneFound) {
    addSubs(2, {1, 3, 4});
    cat.state.MaxSubNo = 0;
    cat.state.SubRecordCount = 0;
    auto screen = open(2, 2, 3);
    EXPECT_EQ(subNosShown(*screen), QStringList{"3"});
    EXPECT_EQ(screen->StatusBar1->panelText(1), QStringLiteral("全ファイルより検索したレコードの内、１件を表示"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("レコード順／総数　　1 / 1"));
    EXPECT_EQ(screen->ListView2->cell(1, 0), QStringLiteral("二枚目"));
    EXPECT_EQ(cat.state.MaxSubNo, 4);
    EXPECT_EQ(cat.state.SubRecordCount, 3);

    driveEditor([](SubRecordEditor& e) {
        EXPECT_EQ(e.Text1->text(), QStringLiteral("5"));
        e.Command1_Click();
        e.Command2_Click();
    });
    screen->mf11_Click();
    EXPECT_EQ(subNosShown(*screen), QStringList{"3"}); // still only the one found
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("3"));
    EXPECT_EQ(cat.state.MaxSubNo, 5);
}

TEST_F(SubScreen, AListSearchShowsTheFoundRowAndTheEditorOpensOnIt) {
    addSubs(1, {1, 2, 3, 4});
    auto screen = open(1);
    cat.ui.inputs = {QStringLiteral("曲1-4")};
    cat.ui.modalDrivers.push_back([](QDialog& d) {
        auto& search = static_cast<records::ListSearchDialog&>(d);
        search.Option1_Click(0);
        search.Option2_Click(0);
    });
    screen->mk11_Click();
    EXPECT_EQ(screen->ListView1->selectedIndex(), 4);
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("曲1-4"));
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("4"));
    EXPECT_EQ(screen->StatusBar1->panelText(1), QStringLiteral("項目列で検索した結果を表示(フォーカス)"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), screen->positionText());
    driveEditor([](SubRecordEditor& editor) {
        EXPECT_EQ(editor.Text1->text(), QStringLiteral("4"));
        EXPECT_EQ(editor.Text3[0]->text(), QStringLiteral("曲1-4"));
        editor.reject();
    });
    screen->mf12_Click();

    // A search that finds nothing leaves the shown record alone.
    screen->ListView1->select(2);
    screen->ListView1_ItemClick(2);
    cat.ui.inputs = {QStringLiteral("無い曲")};
    cat.ui.modalDrivers.push_back([](QDialog& d) {
        auto& search = static_cast<records::ListSearchDialog&>(d);
        search.Option1_Click(0);
        search.Option2_Click(0);
        search.reject();
    });
    screen->mk11_Click();
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("2"));
}

TEST_F(SubScreen, MenusToolBarAndKeyDisplay) {
    auto screen = open(1);
    EXPECT_EQ(screen->mf10->text(), QStringLiteral("(サブ明細レコード)"));
    EXPECT_EQ(screen->mf11->text(), QStringLiteral("     新規作成"));
    EXPECT_EQ(screen->mf12->text(), QStringLiteral("     変　更"));
    EXPECT_EQ(screen->mf13->text(), QStringLiteral("     削　除"));
    EXPECT_EQ(screen->mf140->text(), QStringLiteral("ActiveWindow(種目別サブ明細画面)"));
    EXPECT_EQ(screen->mf141->text(), QStringLiteral("UserData(種目別サブ明細画面のユーザー・データ部)"));
    EXPECT_EQ(screen->mf142->text(), QStringLiteral("EntireScreen(画面全体)"));
    EXPECT_EQ(screen->mf16->text(), QStringLiteral("印　刷　"));
    EXPECT_EQ(screen->mf18->text(), QStringLiteral("閉じる          "));
    EXPECT_EQ(screen->me131->text(), QStringLiteral("CSVデータの取込み(サブ明細)"));
    EXPECT_EQ(screen->me14->text(), QStringLiteral("元に戻す"));
    EXPECT_EQ(screen->mv11->text(), QStringLiteral("登録ＮＯ表示     "));
    EXPECT_EQ(screen->mv12->text(), QStringLiteral("ツールバー非表示"));
    EXPECT_EQ(screen->mk11->text(), QStringLiteral("検索条件"));
    EXPECT_EQ(screen->ms11->text(), QStringLiteral("ソート条件"));
    EXPECT_EQ(screen->Label7->text(), QStringLiteral("(メイン・レコード)"));
    EXPECT_EQ(screen->Label8->text(), QStringLiteral("(サブ・レコード)"));
    for (const char* key : {"新規作成", "変更", "削除", "画面印刷", "印刷設定", "印刷", "検索", "ソート", "ヘルプ"})
        EXPECT_NE(screen->Toolbar1->button(QString::fromUtf8(key)), nullptr) << key;

    EXPECT_TRUE(screen->Text2->isHidden());
    EXPECT_TRUE(screen->Label6->isHidden());
    screen->mv11->trigger();
    EXPECT_FALSE(screen->Text2->isHidden());
    EXPECT_FALSE(screen->Text3->isHidden());
    EXPECT_EQ(screen->Label2->text(), QStringLiteral("登録ＮＯ："));
    EXPECT_EQ(screen->Label6->text(), QStringLiteral("サブＮＯ："));
    screen->mv11->trigger();
    EXPECT_TRUE(screen->Label2->isHidden());
    screen->mv12->trigger();
    EXPECT_TRUE(screen->Toolbar1->isHidden());

    screen->Toolbar1->trigger(QStringLiteral("ヘルプ"));
    EXPECT_EQ(cat.ui.helpShown, 1);
    screen->mf19->trigger();
    EXPECT_TRUE(cat.ui.ended);
}

TEST_F(SubScreen, ReopenReadsTheTablesAgainInTheirOrder) {
    addSubs(1, {1, 2, 3});
    auto screen = open(1);
    screen->ListView1->setSortOrder(Qt::DescendingOrder);
    screen->ListView1_ColumnClick(0);
    EXPECT_EQ(subNosShown(*screen), (QStringList{"3", "2", "1"}));
    cat.state.CurrentRegNo = 2; // whatever happened meanwhile, the screen reopens for its own record
    QStringList reopened;
    cat.ui.modalDrivers.push_back([&](QDialog& d) {
        auto& again = static_cast<SubRecordScreen&>(d);
        again.Timer1_Timer();
        reopened = subNosShown(again);
        EXPECT_EQ(again.ListView2->rowCount(), 1);
    });
    screen->me14_Click();
    EXPECT_EQ(reopened, (QStringList{"1", "2", "3"}));
}

// The main record screen's button opens this screen for its shown record and, afterwards, stays where it was.
TEST_F(SubScreen, OpenedFromTheMainRecordScreen) {
    addSubs(2, {1, 2});
    cat.state.CurrentSection = 4;
    cat.state.CurrentCategoryName = cat.state.config[4].ShumokuName;
    cat.state.ListMode = 0;
    MainRecordScreen main(cat.state, cat.ui);
    main.Timer1_Timer();
    main.ListView1->select(2);
    main.ListView1_ItemClick(2);
    EXPECT_EQ(main.Command1->text(), QStringLiteral("サブ明細表示(2)"));
    QStringList shown;
    cat.ui.modalDrivers.push_back([&](QDialog& d) {
        auto& sub = static_cast<SubRecordScreen&>(d);
        sub.Timer1_Timer();
        shown = subNosShown(sub);
        EXPECT_EQ(sub.Text2->text(), QStringLiteral("2"));
    });
    main.Command1_Click();
    EXPECT_EQ(cat.ui.modalScreens, QList<QString>{QStringLiteral("Form6")});
    EXPECT_EQ(cat.state.CurrentRegNo, 2);
    EXPECT_EQ(shown, (QStringList{"1", "2"}));
    EXPECT_EQ(main.ListView1->selectedIndex(), 2);
    EXPECT_EQ(main.Text3->text(), QStringLiteral("2"));
}

} // namespace

namespace {

TEST_F(SubScreen, ASortedListShowsTheChangedSubRecord) {
    addSubs(1, {1, 2, 3});
    auto screen = open(1);
    screen->ListView1->setSortOrder(Qt::DescendingOrder);
    screen->ListView1_ColumnClick(0); // 曲1-3, 曲1-2, 曲1-1
    screen->ListView1->select(1);
    screen->ListView1_ItemClick(1);
    ASSERT_EQ(screen->Text3->text(), QStringLiteral("3"));
    driveEditor([](SubRecordEditor& e) {
        e.Text3[0]->setText(QStringLiteral("曲1-0"));
        e.Command1_Click();
    });
    screen->mf12_Click();
    EXPECT_EQ(subNosShown(*screen), (QStringList{"2", "1", "3"}));
    EXPECT_EQ(screen->ListView1->selectedIndex(), 3);
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("3"));
}

// After the import screen closes, the refilled list shows its first record and says so.
TEST_F(SubScreen, AfterAnImportTheFirstRecordIsShownAndCounted) {
    auto screen = open(2);
    cat.ui.modalDrivers.push_back([&](QDialog& d) {
        addSubs(2, {1, 2});
        d.reject();
    });
    screen->me131_Click();
    ASSERT_EQ(screen->ListView1->rowCount(), 2);
    EXPECT_EQ(screen->ListView1->selectedIndex(), 1);
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("曲2-1"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("レコード順／総数　　1 / 2"));
}

} // namespace
