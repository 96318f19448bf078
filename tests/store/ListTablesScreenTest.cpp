#include "store/ListTablesScreen.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "store/ListTables.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using store::ListTablesScreen;

namespace {

struct ListTablesScreenTest : ::testing::Test {
    test::TestCatalogue cat;

    void makeLists(std::initializer_list<int> listSlots) {
        for (int slot : listSlots)
            ASSERT_FALSE(store::CreateList(cat.state, slot, QStringLiteral("リスト%1").arg(slot + 1)));
    }
    const platform::ScriptedUi::Message& lastMessage() { return cat.ui.messages.back(); }
};

TEST_F(ListTablesScreenTest, ShowsItsTextsAndStartsWithNothingToDrop) {
    makeLists({1});
    ListTablesScreen form(cat.state, cat.ui);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - リスト・テーブル設定"));
    EXPECT_EQ(form.Command1->text(), QStringLiteral("作成"));
    EXPECT_EQ(form.Command3->text(), QStringLiteral("削除"));
    EXPECT_EQ(form.Command2->text(), QStringLiteral("戻る"));
    EXPECT_EQ(form.Command4->text(), QStringLiteral("ヘルプ"));
    EXPECT_EQ(form.Combo2->placeholderText(), QStringLiteral("リスト・テーブル名を選択して下さい"));
    QStringList labels;
    for (QLabel* l : {form.Label1, form.Label2, form.Label3, form.Label4, form.Label5, form.Label6})
        labels << l->text();
    EXPECT_EQ(labels,
              (QStringList{QStringLiteral("リスト・テーブル設定"),
                           QStringLiteral("作成するリストのテーブル名を登録してください。"),
                           QStringLiteral("リスト・テーブル名"),
                           QStringLiteral("リストとは？・・・・・・・［ヘルプ］を参照願います。"),
                           QStringLiteral("（リスト・テーブル削除）"), QStringLiteral("削除するリスト・テーブル名")}));
    EXPECT_EQ(form.Combo2->count(), 10);
    EXPECT_EQ(form.Combo2->itemText(1), QStringLiteral("リスト2"));
    EXPECT_FALSE(form.Command3->isEnabled());
    EXPECT_EQ(form.targetSlot(), 0);
    EXPECT_TRUE(cat.ui.messages.isEmpty());

    form.Command4_Click();
    EXPECT_EQ(cat.ui.helpShown, 1);
}

TEST_F(ListTablesScreenTest, CreatesInTheFirstFreeSlotWhateverTheDropListShows) {
    makeLists({0, 1, 3});
    ListTablesScreen form(cat.state, cat.ui);
    form.Combo2_Click(5); // an empty entry: nothing to lock
    EXPECT_TRUE(form.Combo2->isEnabled());
    EXPECT_FALSE(form.Command3->isEnabled());
    form.Combo2_Click(3);
    EXPECT_FALSE(form.Combo2->isEnabled());
    EXPECT_TRUE(form.Command3->isEnabled());

    form.Command1_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("リスト・テーブル名を入力してください"));
    EXPECT_EQ(lastMessage().icon, Icon::Critical);
    EXPECT_EQ(lastMessage().title, QStringLiteral("ERROR"));

    form.Text1->setText(QStringLiteral(" 作曲家 "));
    form.Command1_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("作曲家 リスト・テーブルを作成しました。"));
    EXPECT_EQ(lastMessage().icon, Icon::Exclamation);
    EXPECT_EQ(lastMessage().title, QStringLiteral("処理終了"));
    EXPECT_EQ(form.result(), QDialog::Accepted);

    EXPECT_EQ(cat.state.config[store::ListSection].FieldName[3], QStringLiteral("作曲家"));
    EXPECT_EQ(store::ListCount(cat.state.config), 4);
    EXPECT_EQ(cat.open()->columns(QStringLiteral("ListTable3")).front().name, QStringLiteral("作曲家"));
    EXPECT_EQ(test::ListDirectory(cat.reload()), test::ListDirectory(cat.state.config));
}

TEST_F(ListTablesScreenTest, BadNamesAreRefusedAndTheScreenStaysOpen) {
    makeLists({0});
    const store::CategoryConfig before = cat.state.config;
    const auto tablesBefore = cat.open()->tableNames();
    ListTablesScreen form(cat.state, cat.ui);
    for (const QString& bad :
         {QStringLiteral("曲 名"), QStringLiteral("TABLE"), QStringLiteral("a); DROP TABLE CD1; --")}) {
        form.Text1->setText(bad);
        form.Command1_Click();
        EXPECT_EQ(lastMessage().icon, Icon::Critical);
        EXPECT_EQ(lastMessage().title, QStringLiteral("ERROR"));
    }
    ASSERT_EQ(cat.ui.messages.size(), 3);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("名前の中に空白は使えません。"));
    EXPECT_TRUE(cat.ui.messages[1].text.contains(QStringLiteral("TABLE")));
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(cat.state.config, before);
    EXPECT_EQ(test::ListDirectory(cat.reload()), test::ListDirectory(before));
    EXPECT_EQ(cat.open()->tableNames(), tablesBefore);
}

TEST_F(ListTablesScreenTest, DropAsksFirstAndFreesTheSlotForTheNextCreation) {
    makeLists({0, 1, 2});
    {
        ListTablesScreen form(cat.state, cat.ui);
        form.Combo2_Click(1);
        cat.ui.answers = {Answer::Cancel};
        form.Command3_Click();
        EXPECT_EQ(lastMessage().text, QStringLiteral("リスト2 のリスト・テーブルを削除しますか？"));
        EXPECT_EQ(lastMessage().buttons, Buttons::OkCancel);
        EXPECT_EQ(lastMessage().title, QStringLiteral("削除の確認"));
        EXPECT_TRUE(cat.open()->tableExists(QStringLiteral("ListTable2")));
        EXPECT_EQ(store::ListCount(cat.state.config), 3);

        form.Command3_Click();
        EXPECT_EQ(lastMessage().text, QStringLiteral("リスト・テーブルを削除しました。"));
        EXPECT_EQ(lastMessage().icon, Icon::Information);
        EXPECT_EQ(lastMessage().title, QStringLiteral("削除終了"));
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_FALSE(cat.open()->tableExists(QStringLiteral("ListTable2")));
    EXPECT_EQ(store::ListCount(cat.state.config), 2);
    EXPECT_EQ(test::ListDirectory(cat.reload()), test::ListDirectory(cat.state.config));

    ListTablesScreen again(cat.state, cat.ui);
    EXPECT_EQ(again.targetSlot(), 1);
    again.Text1->setText(QStringLiteral("演奏者"));
    again.Command1_Click();
    EXPECT_EQ(cat.open()->columns(QStringLiteral("ListTable2")).front().name, QStringLiteral("演奏者"));
}

TEST_F(ListTablesScreenTest, TenListsRefuseCreationButCanStillBeDropped) {
    makeLists({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    ListTablesScreen form(cat.state, cat.ui);
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(lastMessage().text, QStringLiteral("リスト・テーブルは１０個作成済みです。"));
    EXPECT_EQ(lastMessage().icon, Icon::Critical);
    EXPECT_EQ(lastMessage().title, QStringLiteral("Error"));
    EXPECT_FALSE(form.Text1->isEnabled());
    EXPECT_FALSE(form.targetSlot());

    // 作成 answers with the reason and the way out rather than doing nothing, whatever the box holds.
    for (const QString& typed : {QString(), QStringLiteral("十一番目")}) {
        form.Text1->setText(typed);
        form.Command1->click();
        ASSERT_EQ(cat.ui.messages.size(), typed.isEmpty() ? 2 : 3);
        EXPECT_EQ(lastMessage().text,
                  QStringLiteral("リスト・テーブルは１０個作成済みです。\r\n新しいリスト・テーブルを作成するには、"
                                 "不要なリスト・テーブルを削除してから、この画面を開き直してください。"));
        EXPECT_EQ(lastMessage().icon, Icon::Exclamation);
        EXPECT_EQ(lastMessage().title, QStringLiteral("Error"));
    }
    EXPECT_EQ(cat.open()->tableNames().filter(QStringLiteral("ListTable")).size(), 10);
    EXPECT_EQ(store::ListCount(cat.state.config), 10);

    form.Combo2_Click(9);
    form.Command3_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("リスト・テーブルを削除しました。"));
    EXPECT_FALSE(cat.open()->tableExists(QStringLiteral("ListTable10")));
}

} // namespace
