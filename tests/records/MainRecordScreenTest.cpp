#include "records/MainRecordScreen.h"
#include "TestCatalogue.h"
#include "platform/KeyedToolBar.h"
#include "platform/MaskedDateBox.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "records/MainRecordEditor.h"
#include "store/ListTables.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using records::MainRecordEditor;
using records::MainRecordScreen;

namespace {

struct MainScreen : ::testing::Test {
    test::TestCatalogue cat;

    std::unique_ptr<MainRecordScreen> open(int section = 4, std::int16_t mode = 0) {
        cat.state.CurrentSection = static_cast<std::int16_t>(section);
        cat.state.CurrentCategoryName = cat.state.config[section].ShumokuName;
        cat.state.ListMode = mode;
        auto screen = std::make_unique<MainRecordScreen>(cat.state, cat.ui);
        screen->Timer1_Timer();
        return screen;
    }
    void addRecords(int count) {
        for (int reg = 1; reg <= count; ++reg)
            cat.addMain(4, reg, {QStringLiteral("タイトル%1").arg(reg), QStringLiteral("歌手%1").arg(reg)});
        cat.state.config[4].RegNo = count;
        cat.state.config[4].Dirty = 1;
        store::SaveConfig(cat.state.databasePath(), cat.state.config);
    }
    // Plays the editor's part: fill the boxes by field number, then press OK (and close when adding).
    void driveEditor(std::function<void(MainRecordEditor&)> play) {
        cat.ui.modalDrivers.push_back([play](QDialog& d) { play(static_cast<MainRecordEditor&>(d)); });
    }
};

TEST_F(MainScreen, EmptyTableShowsNothingAndHidesTheSubButton) {
    auto screen = open();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 種目別メイン明細"));
    EXPECT_EQ(screen->ListView1->rowCount(), 0);
    EXPECT_EQ(screen->ListView1->columnCount(), 17);
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("0"));
    EXPECT_TRUE(screen->Command1->isHidden());
    EXPECT_EQ(screen->StatusBar1->panelText(1), QStringLiteral("種目別の全てのレコードを表示"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QString());
    EXPECT_EQ(screen->Label1->text(), QStringLiteral("CD1 (明細)"));
    EXPECT_EQ(screen->Label3[0]->text(), QStringLiteral("タイトル ："));
    EXPECT_TRUE(cat.ui.messages.isEmpty());

    cat.ui.answers = {};
    screen->mf12_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("明細レコードが指定されていません。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::None);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(cat.ui.modalScreens.isEmpty());
}

TEST_F(MainScreen, MenusAndToolBarCarryTheirCaptions) {
    auto screen = open();
    EXPECT_EQ(screen->mf11->text(), QStringLiteral("     新規作成"));
    EXPECT_EQ(screen->mf12->text(), QStringLiteral("     変　更"));
    EXPECT_EQ(screen->mf13->text(), QStringLiteral("     削　除"));
    EXPECT_EQ(screen->mf18->text(), QStringLiteral("閉じる       "));
    EXPECT_EQ(screen->me122->text(), QStringLiteral("CSVデータ取込み(メイン明細)"));
    EXPECT_EQ(screen->me14->text(), QStringLiteral("元に戻す"));
    EXPECT_EQ(screen->mv11->text(), QStringLiteral("登録ＮＯ表示"));
    EXPECT_EQ(screen->mf141->text(), QStringLiteral("UserData(種目別明細画面のユーザー・データ部)"));
    EXPECT_TRUE(screen->Text3->isHidden());
    screen->mv11->setChecked(true);
    screen->mv11_Click();
    EXPECT_FALSE(screen->Text3->isHidden());
    screen->mv12->setChecked(true);
    screen->mv12_Click();
    EXPECT_TRUE(screen->Toolbar1->isHidden());
    screen->Toolbar1->trigger(QStringLiteral("ヘルプ"));
    EXPECT_EQ(cat.ui.helpShown, 1);
}

TEST_F(MainScreen, DetailPanelPositionAndSubButton) {
    addRecords(3);
    for (int sub = 1; sub <= 12; ++sub)
        cat.addSub(4, 2, sub * 2, QStringLiteral("曲%1").arg(sub));
    auto screen = open();
    ASSERT_EQ(screen->ListView1->rowCount(), 3);
    EXPECT_EQ(screen->ListView1->selectedIndex(), 1);
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("タイトル1"));
    EXPECT_EQ(screen->Text1[2]->text(), QString()); // Null shows empty
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("1"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("レコード順／総数　　1 / 3"));
    EXPECT_EQ(screen->Command1->text(), QStringLiteral("サブ明細登録"));
    EXPECT_FALSE(screen->Command1->isHidden());

    screen->ListView1->select(2);
    screen->ListView1_ItemClick(2);
    EXPECT_EQ(screen->Text1[1]->text(), QStringLiteral("歌手2"));
    EXPECT_EQ(screen->Command1->text(), QStringLiteral("サブ明細表示(12)"));
    EXPECT_EQ(cat.state.SubRecordCount, 12);
    EXPECT_EQ(cat.state.MaxSubNo, 24);
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("レコード順／総数　　2 / 3"));

    // Sub records added on the sub record screen show in the button as soon as it closes.
    screen->ListView1->select(1);
    screen->ListView1_ItemClick(1);
    cat.ui.modalDrivers.push_back([&](QDialog& d) {
        cat.addSub(4, 1, 1, QStringLiteral("新曲"));
        d.reject();
    });
    screen->Command1_Click();
    EXPECT_EQ(screen->Command1->text(), QStringLiteral("サブ明細表示(1)"));
    EXPECT_EQ(screen->ListView1->selectedIndex(), 1);

    cat.state.CurrentRegNo = 2;
    auto one = open(4, 2);
    EXPECT_EQ(one->ListView1->rowCount(), 1);
    EXPECT_EQ(one->Text3->text(), QStringLiteral("2"));
    EXPECT_TRUE(one->Command1->isHidden());
    EXPECT_EQ(one->StatusBar1->panelText(1), QStringLiteral("全ファイルより検索したレコードの内、１件を表示"));
}

TEST_F(MainScreen, CopyTakesTheLastSelectedBox) {
    addRecords(1);
    auto screen = open();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    screen->me11_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before")); // nothing selected: left alone
    screen->Text1[1]->setSelection(0, 2);
    screen->Text1[4]->setText(QStringLiteral("品番ABC"));
    screen->Text1[4]->setSelection(2, 3);
    screen->me11_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ABC"));
}

TEST_F(MainScreen, SameDisplayNameOpensTheLowestSection) {
    cat.state.config[7].ShumokuName = QStringLiteral("CD1");
    cat.addMain(7, 1, {QStringLiteral("DVDの記録")});
    cat.state.CurrentSection = 7;
    cat.state.CurrentCategoryName = QStringLiteral("CD1");
    MainRecordScreen screen(cat.state, cat.ui);
    screen.Timer1_Timer();
    EXPECT_EQ(cat.state.CurrentSection, 4);
    EXPECT_EQ(screen.ListView1->rowCount(), 0);
}

TEST_F(MainScreen, DeletingTheLastOfTenSelectsRowNine) {
    addRecords(10);
    auto screen = open();
    screen->ListView1->select(10);
    screen->ListView1_ItemClick(10);
    driveEditor([](MainRecordEditor& e) {
        EXPECT_EQ(e.Label3->text(), QStringLiteral("削除"));
        EXPECT_EQ(e.Command1->text(), QStringLiteral("削除　ＯＫ"));
        EXPECT_EQ(e.Text2->text(), QStringLiteral("10"));
        e.Command1_Click();
    });
    screen->mf13_Click();
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("このレコードを削除しますか？"));
    EXPECT_EQ(screen->ListView1->rowCount(), 9);
    EXPECT_EQ(screen->ListView1->selectedIndex(), 9);
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("9"));
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 9);
}

TEST_F(MainScreen, ReopenShowsTableOrderAgain) {
    addRecords(3);
    auto screen = open();
    screen->ListView1->setSortOrder(Qt::DescendingOrder);
    screen->ListView1_ColumnClick(0);
    EXPECT_EQ(screen->ListView1->cell(1, 0), QStringLiteral("タイトル3"));
    EXPECT_EQ(screen->StatusBar1->panelText(1), QStringLiteral("クリックした項目列でソートした結果を表示"));
    EXPECT_EQ(screen->StatusBar1->panelText(2),
              QStringLiteral("レコード順／総数　　3 / 3")); // row 1 follows its record
    QStringList reopened;
    cat.ui.modalDrivers.push_back([&](QDialog& d) {
        auto& again = static_cast<MainRecordScreen&>(d);
        again.Timer1_Timer();
        for (int i = 1; i <= again.ListView1->rowCount(); ++i)
            reopened << again.ListView1->cell(i, 0);
    });
    screen->me14_Click();
    EXPECT_EQ(reopened, (QStringList{"タイトル1", "タイトル2", "タイトル3"}));
}

TEST_F(MainScreen, ReopenInModeTwoShowsItsOwnRecordAndPassesOnTheEnd) {
    addRecords(3);
    cat.state.CurrentRegNo = 2;
    auto screen = open(4, 2);
    ASSERT_EQ(screen->ListView1->rowCount(), 1);
    cat.state.CurrentRegNo = 3; // another screen moved the shared record number meanwhile
    QString shown;
    int ended = 0;
    QObject::connect(screen.get(), &MainRecordScreen::endRequested, [&] { ++ended; });
    cat.ui.modalDrivers.push_back([&](QDialog& d) {
        auto& again = static_cast<MainRecordScreen&>(d);
        again.Timer1_Timer();
        shown = again.Text3->text();
        again.mf19_Click();
    });
    screen->me14_Click();
    EXPECT_EQ(shown, QStringLiteral("2"));
    EXPECT_EQ(ended, 1);
}

struct Editor : MainScreen {};

TEST_F(Editor, AddsOneAfterAnotherWithConsecutiveNumbersAndKeptValues) {
    auto screen = open();
    driveEditor([&](MainRecordEditor& e) {
        EXPECT_EQ(e.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - メイン明細更新処理"));
        EXPECT_EQ(e.Label2->text(), QStringLiteral("CD1 (明細)"));
        EXPECT_EQ(e.Command2->text(), QStringLiteral("終　了"));
        EXPECT_EQ(e.Text2->text(), QStringLiteral("1"));
        EXPECT_EQ(e.Label1[0]->text(), QStringLiteral("タイトル ："));
        EXPECT_EQ(e.MaskEdBox1[12]->text(), QStringLiteral("____/__/__"));
        EXPECT_EQ(e.Text1[0]->toolTip(), QStringLiteral("右クリックで、リスト・テーブル一覧を表示する。"));
        EXPECT_EQ(e.MaskEdBox1[11]->toolTip(), QStringLiteral("価格"));

        e.Text1[0]->setText(QStringLiteral("交響曲第９番"));
        e.Text1[1]->setText(QStringLiteral("フィルハーモニー"));
        e.Check1[1]->setChecked(true);
        e.MaskEdBox1[11]->setText(QStringLiteral("2800"));
        e.MaskEdBox1[12]->setText(QStringLiteral("2009/04/06"));
        e.Command1_Click();
        EXPECT_EQ(e.Text2->text(), QStringLiteral("2"));
        EXPECT_EQ(e.Text1[0]->text(), QString());
        EXPECT_EQ(e.Text1[1]->text(), QStringLiteral("フィルハーモニー")); // ticked: kept
        EXPECT_EQ(e.MaskEdBox1[12]->text(), QStringLiteral("____/__/__"));

        e.MaskEdBox1[11]->setText(QStringLiteral("abc")); // refused: the number stays
        e.Command1_Click();
        EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("価格が相違しています。[ abc ]"));
        EXPECT_EQ(cat.ui.messages.last().title, QStringLiteral("データ型相違"));
        EXPECT_EQ(e.Text2->text(), QStringLiteral("2"));

        e.Text1[0]->setText(QStringLiteral("第二"));
        e.Command1_Click();
        e.Text1[0]->setText(QStringLiteral("第三"));
        e.Command1_Click();
        EXPECT_EQ(e.Text2->text(), QStringLiteral("4"));
        e.Command2_Click();
    });
    screen->mf11_Click();
    ASSERT_EQ(screen->ListView1->rowCount(), 3);
    EXPECT_EQ(screen->ListView1->selectedIndex(), 3);
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("第三"));
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("3"));
    EXPECT_EQ(screen->ListView1->cell(1, 11), QStringLiteral("2800"));
    EXPECT_EQ(screen->ListView1->cell(1, 12), QStringLiteral("2009/04/06"));
    EXPECT_EQ(screen->ListView1->cell(1, 2), QStringLiteral("   ")); // an empty text box is stored as three blanks
    EXPECT_EQ(screen->ListView1->cell(1, 13), QString());            // an untouched date is Null
    EXPECT_EQ(screen->ListView1->cell(3, 1), QStringLiteral("フィルハーモニー"));
    EXPECT_EQ(cat.reload()[4].RegNo, 3);
}

TEST_F(Editor, TextLengthIsCountedInCodePageBytes) {
    auto screen = open();
    driveEditor([&](MainRecordEditor& e) {
        e.Text1[0]->setText(QString(128, QChar(0x3042)));
        e.Command1_Click();
        EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("入力したテキストの桁数が長がすぎます。"));
        EXPECT_EQ(cat.ui.messages.last().icon, Icon::Critical);
        EXPECT_EQ(e.Text1[0]->text().size(), 128); // the input stays for correction
        EXPECT_EQ(e.Text2->text(), QStringLiteral("1"));
        e.Text1[0]->setText(QString(127, QChar(0x3042)));
        e.Text1[1]->setText(QString(255, QLatin1Char('a')));
        e.Command1_Click();
        e.Command2_Click();
    });
    screen->mf11_Click();
    EXPECT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(screen->ListView1->rowCount(), 1);
    EXPECT_EQ(screen->Text1[1]->text().size(), 255);
}

TEST_F(Editor, ChangeKeepsTheRecordOnATypeError) {
    addRecords(2);
    auto screen = open();
    driveEditor([&](MainRecordEditor& e) {
        EXPECT_EQ(e.Label2->text(), QStringLiteral("CD1(明細)"));
        EXPECT_EQ(e.Text1[0]->text(), QStringLiteral("タイトル1"));
        e.Text1[0]->setText(QStringLiteral("新しい題"));
        e.MaskEdBox1[10]->setText(QStringLiteral("x1"));
        e.Command1_Click();
    });
    screen->mf12_Click();
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("枚数が相違しています。[ x1 ]"));
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("タイトル1"));

    driveEditor([&](MainRecordEditor& e) {
        e.Text1[0]->setText(QStringLiteral("新しい題"));
        e.Command1_Click();
    });
    screen->mf12_Click();
    EXPECT_EQ(screen->ListView1->selectedIndex(), 1);
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("新しい題"));
}

TEST_F(Editor, DeletingARecordWithSubRecordsAsksTwice) {
    addRecords(1);
    for (int sub = 1; sub <= 3; ++sub)
        cat.addSub(4, 1, sub, QStringLiteral("曲"));
    auto screen = open();
    cat.ui.answers = {Answer::Ok, Answer::Cancel};
    driveEditor([](MainRecordEditor& e) { e.Command1_Click(); });
    screen->mf13_Click();
    ASSERT_EQ(cat.ui.messages.size(), 2);
    EXPECT_EQ(cat.ui.messages[1].text,
              QStringLiteral("サブ明細が3件あります。\r\n全てのサブ明細レコードを削除しても宜しいですか？"));
    EXPECT_EQ(cat.ui.messages[1].title, QStringLiteral("サブ明細レコード削除の確認"));
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 1);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 3);

    cat.ui.answers = {Answer::Ok, Answer::Ok};
    driveEditor([](MainRecordEditor& e) { e.Command1_Click(); });
    screen->mf13_Click();
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 0);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 0);
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("0"));
    EXPECT_TRUE(screen->Command1->isHidden());
}

TEST_F(Editor, PickListsComeFromTheListTables) {
    ASSERT_FALSE(store::CreateList(cat.state, 1, QStringLiteral("作曲家")).has_value());
    ASSERT_EQ(store::AddListEntry(cat.state, 1, QStringLiteral("バッハ")), store::EntryCheck::Ok);
    ASSERT_EQ(store::AddListEntry(cat.state, 1, QStringLiteral("ベートーヴェン")), store::EntryCheck::Ok);
    auto screen = open();
    driveEditor([&](MainRecordEditor& e) {
        e.Text1_MouseDown(5, Qt::LeftButton, {});
        e.MenuList();
        EXPECT_FALSE(e.mList1[0]->isEnabled());
        EXPECT_TRUE(e.mList1[1]->isEnabled());
        EXPECT_EQ(e.mList1[1]->text(), QStringLiteral("作曲家"));
        // Free slots are left out of the popup rather than shown as empty lines.
        for (int i = 0; i < store::ListSlotCount; ++i)
            EXPECT_EQ(e.mList1[i]->isVisible(), i == 1) << i;
        e.mList1_Click(1);
        EXPECT_FALSE(e.Combo1->isHidden());
        ASSERT_EQ(e.Combo1->count(), 2);
        EXPECT_EQ(e.Combo1->currentIndex(), -1);
        EXPECT_EQ(e.Combo1->placeholderText(), QStringLiteral("リストを選択して下さい"));
        e.Combo1_Click(1);
        EXPECT_EQ(e.Text1[5]->text(), QStringLiteral("ベートーヴェン"));
        EXPECT_TRUE(e.Combo1->isHidden());
        e.Command2_Click();
    });
    screen->mf11_Click();
}

} // namespace

namespace {

TEST_F(MainScreen, SearchModeListsTheMatchesOrSaysThereAreNone) {
    addRecords(3);
    store::FieldSearch& c = cat.state.FieldSearchCriteria;
    c.searchField = 1;
    c.searchType = store::TypeText;
    c.searchText = QStringLiteral("歌手2");
    c.exactMatch = 1;
    auto found = open(4, 1);
    EXPECT_EQ(found->StatusBar1->panelText(1), QStringLiteral("種目別に検索したレコードを表示"));
    ASSERT_EQ(found->ListView1->rowCount(), 1);
    EXPECT_EQ(found->Text3->text(), QStringLiteral("2"));
    EXPECT_TRUE(cat.ui.messages.isEmpty());

    c.searchText = QStringLiteral("誰もいない");
    auto none = open(4, 1);
    EXPECT_EQ(none->ListView1->rowCount(), 0);
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("検索の結果、該当のレコードが見つかりませんでした。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Information);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("検索結果"));
}

} // namespace

namespace {

TEST_F(MainScreen, CommandsActOnTheCategoryTheScreenShowsWhateverOthersChose) {
    addRecords(1);
    cat.addMain(7, 1, {QStringLiteral("DVDの記録")});
    auto screen = open();
    // The rename screen or the search popup picks another category while this screen stays open.
    cat.state.CurrentSection = 7;
    cat.state.CurrentCategoryName = QStringLiteral("DVD1");
    cat.state.ListMode = 1;
    driveEditor([](MainRecordEditor& e) { e.Command1_Click(); });
    screen->mf13_Click();
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 0);
    EXPECT_EQ(cat.rowCount(QStringLiteral("DVD1")), 1);
    EXPECT_EQ(cat.state.CurrentSection, 4);
}

TEST_F(Editor, SubRecordsAddedAfterTheRecordWasShownAreDeletedWithIt) {
    addRecords(1);
    auto screen = open();
    ASSERT_EQ(screen->Command1->text(), QStringLiteral("サブ明細登録"));
    cat.addSub(4, 1, 1, QStringLiteral("後から"));
    cat.addSub(4, 1, 2, QStringLiteral("後から"));
    cat.ui.answers = {Answer::Ok, Answer::Ok};
    driveEditor([](MainRecordEditor& e) { e.Command1_Click(); });
    screen->mf13_Click();
    ASSERT_EQ(cat.ui.messages.size(), 2);
    EXPECT_EQ(cat.ui.messages[1].text,
              QStringLiteral("サブ明細が2件あります。\r\n全てのサブ明細レコードを削除しても宜しいですか？"));
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 0);
}

TEST_F(Editor, ChangingARecordKeepsADateThatCarriesATime) {
    addRecords(1);
    {
        auto db = cat.open();
        auto rs = db->openTable(QStringLiteral("CD1"));
        rs->edit();
        rs->setValue(QStringLiteral("発売日"), platform::Value(QStringLiteral("2009/04/06 10:30")));
        rs->update();
    }
    auto screen = open();
    EXPECT_EQ(screen->Text1[13]->text(), QStringLiteral("2009/04/06 10:30:00"));
    driveEditor([](MainRecordEditor& e) {
        EXPECT_EQ(e.MaskEdBox1[13]->text(), QStringLiteral("2009/04/06"));
        e.Text1[1]->setText(QStringLiteral("別の歌手"));
        e.Command1_Click();
    });
    screen->mf12_Click();
    EXPECT_EQ(screen->Text1[13]->text(), QStringLiteral("2009/04/06"));
    EXPECT_EQ(screen->Text1[1]->text(), QStringLiteral("別の歌手"));
}

TEST_F(Editor, AnAddTheEngineRefusesKeepsWhatWasTyped) {
    // A unique index the catalogue carries refuses a second record of one title.
    cat.addMain(4, 1, {QStringLiteral("残る題")});
    cat.open()->execute(QStringLiteral("CREATE UNIQUE INDEX one_title ON CD1 (タイトル)"));
    auto screen = open();
    driveEditor([&](MainRecordEditor& e) {
        e.Text1[0]->setText(QStringLiteral("残る題"));
        e.Command1_Click();
        ASSERT_FALSE(cat.ui.messages.isEmpty());
        EXPECT_EQ(cat.ui.messages.last().title, QStringLiteral("Error"));
        EXPECT_TRUE(cat.ui.messages.last().text.contains(QStringLiteral("UNIQUE")));
        EXPECT_EQ(e.Text1[0]->text(), QStringLiteral("残る題"));
        EXPECT_EQ(e.Text2->text(), QStringLiteral("1"));
        e.Command2_Click();
    });
    screen->mf11_Click();
    EXPECT_EQ(cat.reload()[4].RegNo, 0);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 1);
}

} // namespace

namespace {

// Under a column sort the refilled list keeps the sort, and the edited record stays the shown one.
TEST_F(Editor, ASortedListKeepsItsSortAndTheEditedRecordAcrossEdits) {
    addRecords(3);
    auto screen = open();
    screen->ListView1->setSortOrder(Qt::DescendingOrder);
    screen->ListView1_ColumnClick(0); // タイトル3, タイトル2, タイトル1
    screen->ListView1->select(1);
    screen->ListView1_ItemClick(1);
    ASSERT_EQ(screen->Text3->text(), QStringLiteral("3"));

    // The change moves record 3 to the bottom of the sort.
    driveEditor([](MainRecordEditor& e) {
        e.Text1[0]->setText(QStringLiteral("タイトル0"));
        e.Command1_Click();
    });
    screen->mf12_Click();
    EXPECT_EQ(screen->ListView1->cell(1, 0), QStringLiteral("タイトル2"));
    EXPECT_EQ(screen->ListView1->selectedIndex(), 3);
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("3"));
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("タイトル0"));

    // A new record is selected where the sort put it.
    driveEditor([](MainRecordEditor& e) {
        e.Text1[0]->setText(QStringLiteral("タイトル5"));
        e.Command1_Click();
        e.Command2_Click();
    });
    screen->mf11_Click();
    EXPECT_EQ(screen->ListView1->selectedIndex(), 1);
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("4"));

    // A delete keeps the position on the sorted list: row 1 is now the next record of the sort.
    driveEditor([](MainRecordEditor& e) { e.Command1_Click(); });
    screen->mf13_Click();
    EXPECT_EQ(screen->ListView1->rowCount(), 3);
    EXPECT_EQ(screen->ListView1->selectedIndex(), 1);
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("2"));
}

} // namespace
