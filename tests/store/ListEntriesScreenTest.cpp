#include "store/ListEntriesScreen.h"

#include "TestCatalogue.h"
#include "store/ListTables.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using store::ListEntriesScreen;

namespace {

struct ListEntriesScreenTest : ::testing::Test {
    test::TestCatalogue cat;

    // A list "保管場所" in slot 2 holding the given entries.
    void makeList(const QStringList& entries) {
        ASSERT_FALSE(store::CreateList(cat.state, 2, QStringLiteral("保管場所")));
        for (const QString& e : entries)
            ASSERT_EQ(store::AddListEntry(cat.state, 2, e), store::EntryCheck::Ok);
    }
    QStringList gridTexts(const ListEntriesScreen& form) {
        QStringList texts;
        for (int r = 0; r < form.DBGrid1->rowCount(); ++r)
            texts << form.DBGrid1->item(r, 0)->text();
        return texts;
    }
    // Runs one mode button, types into Text2 (unless null) and executes.
    void run(ListEntriesScreen& form, void (ListEntriesScreen::*mode)(), const QString& typed = {}) {
        (form.*mode)();
        if (!typed.isNull())
            form.Text2->setText(typed);
        form.Command4_Click();
    }
    QStringList messageTexts() {
        QStringList texts;
        for (const auto& m : cat.ui.messages)
            texts << m.text;
        return texts;
    }
};

TEST_F(ListEntriesScreenTest, WithoutListsItSaysSoAndOffersNothing) {
    ListEntriesScreen form(cat.state, cat.ui);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - リスト登録"));
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("リスト・テーブルが作成未済です。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(form.Combo1->count(), 0);
    EXPECT_TRUE(form.DBGrid1->isHidden());
    EXPECT_TRUE(form.Command1->isHidden());
}

TEST_F(ListEntriesScreenTest, ChoosingAListShowsItsEntriesAndBindsTheBoxes) {
    makeList({QStringLiteral("棚A"), QStringLiteral("棚B")});
    ListEntriesScreen form(cat.state, cat.ui);
    EXPECT_TRUE(cat.ui.messages.isEmpty());
    EXPECT_EQ(form.Combo1->placeholderText(), QStringLiteral("リスト・テーブル名を選択して下さい"));
    EXPECT_EQ(form.Combo1->count(), 10);
    EXPECT_EQ(form.Command1->text(), QStringLiteral("新規登録"));
    EXPECT_EQ(form.Command2->text(), QStringLiteral("変　更"));
    EXPECT_EQ(form.Command3->text(), QStringLiteral("削　除"));
    EXPECT_EQ(form.Command5->text(), QStringLiteral("戻る"));
    EXPECT_EQ(form.Command6->text(), QStringLiteral("ヘルプ"));
    EXPECT_EQ(form.Label5->text(), QStringLiteral("リスト名： "));
    EXPECT_EQ(form.Label6->text(), QStringLiteral("(全角25桁まで)"));
    EXPECT_TRUE(form.DBGrid1->isHidden());

    form.Combo1_Click(0); // a free slot: nothing happens
    EXPECT_FALSE(form.slot());
    EXPECT_TRUE(form.Combo1->isEnabled());

    form.Combo1_Click(2);
    EXPECT_EQ(form.slot(), 2);
    EXPECT_FALSE(form.Combo1->isEnabled());
    EXPECT_FALSE(form.DBGrid1->isHidden());
    EXPECT_EQ(form.DBGrid1->horizontalHeaderItem(0)->text(), QStringLiteral("保管場所"));
    EXPECT_EQ(gridTexts(form), (QStringList{QStringLiteral("棚A"), QStringLiteral("棚B")}));
    for (QPushButton* b : {form.Command1, form.Command2, form.Command3})
        EXPECT_TRUE(!b->isHidden() && b->isEnabled());
    EXPECT_TRUE(form.Command4->isHidden());
    EXPECT_TRUE(form.Text1->isHidden());
    EXPECT_FALSE(form.Text2->isHidden());
    EXPECT_TRUE(form.Text2->isReadOnly());
    EXPECT_EQ(form.Text2->text(), QStringLiteral("棚A"));

    form.setCurrentRow(1);
    EXPECT_EQ(form.Text1->text(), QStringLiteral("棚B"));
    EXPECT_EQ(form.Text2->text(), QStringLiteral("棚B"));

    form.Command6_Click();
    EXPECT_EQ(cat.ui.helpShown, 1);
}

TEST_F(ListEntriesScreenTest, AddingChecksEmptyLengthAndDuplicates) {
    makeList({QStringLiteral("棚A")});
    ListEntriesScreen form(cat.state, cat.ui);
    form.Combo1_Click(2);

    form.Command1_Click();
    EXPECT_EQ(form.Command4->text(), QStringLiteral("新規登録実行"));
    EXPECT_TRUE(form.Command1->isHidden());
    EXPECT_FALSE(form.Text2->isReadOnly());
    EXPECT_TRUE(form.Text2->text().isEmpty());
    form.Text2->setText(QStringLiteral(" ") + QString(25, QChar(0xFF21)) + QStringLiteral(" "));
    form.Command4_Click();
    EXPECT_TRUE(cat.ui.messages.isEmpty());
    EXPECT_EQ(form.currentRow(), 1);
    EXPECT_EQ(form.Text2->text(), QString(25, QChar(0xFF21)));
    EXPECT_TRUE(form.Command4->isHidden());
    EXPECT_TRUE(form.Command4->text().isEmpty());
    EXPECT_FALSE(form.Command1->isHidden());
    EXPECT_TRUE(form.Text2->isReadOnly());

    run(form, &ListEntriesScreen::Command1_Click, QString(26, QLatin1Char('x')));
    run(form, &ListEntriesScreen::Command1_Click, QString(26, QChar(0x3042)));
    run(form, &ListEntriesScreen::Command1_Click, QStringLiteral("   "));
    run(form, &ListEntriesScreen::Command1_Click, QStringLiteral("棚A "));
    EXPECT_EQ(messageTexts(), (QStringList{QStringLiteral("リスト名称の桁数が50桁オーバーです。"),
                                           QStringLiteral("リスト名称の桁数が50桁オーバーです。"),
                                           QStringLiteral("リスト名称が入力洩れです。"),
                                           QStringLiteral("リスト名称 [棚A] は既に登録済です。")}));
    for (const auto& m : cat.ui.messages) {
        EXPECT_EQ(m.icon, Icon::Critical);
        EXPECT_EQ(m.title, QStringLiteral("Error"));
    }
    EXPECT_EQ(gridTexts(form), (QStringList{QStringLiteral("棚A"), QString(25, QChar(0xFF21))}));
    EXPECT_EQ(store::ListEntries(cat.state, 2), gridTexts(form));
}

TEST_F(ListEntriesScreenTest, ChangeRewritesTheCurrentEntryWithoutADuplicateCheck) {
    makeList({QStringLiteral("棚A"), QStringLiteral("棚B"), QStringLiteral("棚C")});
    ListEntriesScreen form(cat.state, cat.ui);
    form.Combo1_Click(2);
    form.setCurrentRow(1);

    form.Command2_Click();
    EXPECT_EQ(form.Command4->text(), QStringLiteral("変更 実行"));
    EXPECT_FALSE(form.Text2->isReadOnly());
    EXPECT_EQ(form.Text2->text(), QStringLiteral("棚B"));
    form.Text2->setText(QStringLiteral(" 倉庫 "));
    form.Command4_Click();
    EXPECT_EQ(gridTexts(form), (QStringList{QStringLiteral("棚A"), QStringLiteral("倉庫"), QStringLiteral("棚C")}));
    EXPECT_EQ(form.currentRow(), 1);
    EXPECT_TRUE(cat.ui.messages.isEmpty());

    // A change has no length check of its own here: the entry limit applies as for an addition.
    run(form, &ListEntriesScreen::Command2_Click, QString(26, QChar(0x3042)));
    run(form, &ListEntriesScreen::Command2_Click, QStringLiteral(""));
    EXPECT_EQ(messageTexts(), (QStringList{QStringLiteral("リスト名称の桁数が50桁オーバーです。"),
                                           QStringLiteral("リスト名称が入力洩れです。")}));
    EXPECT_EQ(store::ListEntries(cat.state, 2),
              (QStringList{QStringLiteral("棚A"), QStringLiteral("倉庫"), QStringLiteral("棚C")}));

    // Changing to a text already there makes two equal entries, which the next change moves together.
    form.setCurrentRow(2);
    run(form, &ListEntriesScreen::Command2_Click, QStringLiteral("棚A"));
    form.setCurrentRow(0);
    run(form, &ListEntriesScreen::Command2_Click, QStringLiteral("棚Z"));
    EXPECT_EQ(store::ListEntries(cat.state, 2),
              (QStringList{QStringLiteral("棚Z"), QStringLiteral("倉庫"), QStringLiteral("棚Z")}));
}

TEST_F(ListEntriesScreenTest, DeleteAsksAndCancelKeepsTheEntry) {
    makeList({QStringLiteral("棚A"), QStringLiteral("棚B")});
    ListEntriesScreen form(cat.state, cat.ui);
    form.Combo1_Click(2);
    form.setCurrentRow(1);

    cat.ui.answers = {Answer::Cancel};
    form.Command3_Click();
    EXPECT_EQ(form.Command4->text(), QStringLiteral("削除 実行"));
    EXPECT_TRUE(form.Text2->isReadOnly());
    form.Command4_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("リスト[棚B]を削除しますか？"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Question);
    EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("削除の確認"));
    EXPECT_EQ(gridTexts(form), (QStringList{QStringLiteral("棚A"), QStringLiteral("棚B")}));

    run(form, &ListEntriesScreen::Command3_Click);
    EXPECT_EQ(gridTexts(form), QStringList{QStringLiteral("棚A")});
    EXPECT_EQ(form.Text2->text(), QStringLiteral("棚A"));

    run(form, &ListEntriesScreen::Command3_Click);
    EXPECT_EQ(form.DBGrid1->rowCount(), 0);
    EXPECT_TRUE(form.Text1->text().isEmpty());
    EXPECT_TRUE(form.Text2->text().isEmpty());
    EXPECT_TRUE(store::ListEntries(cat.state, 2).isEmpty());

    // With nothing left there is no entry to ask about.
    const auto asked = cat.ui.messages.size();
    run(form, &ListEntriesScreen::Command3_Click);
    EXPECT_EQ(cat.ui.messages.size(), asked);
}

} // namespace
