#include "store/FieldRenameScreen.h"
#include "TestCatalogue.h"
#include "platform/Database.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Buttons;
using platform::Icon;
using store::FieldRenameScreen;

namespace {

struct FieldRenameScreenTest : ::testing::Test {
    test::TestCatalogue cat;
};

} // namespace

TEST_F(FieldRenameScreenTest, OpensWithOnlyTheCategoryChoice) {
    FieldRenameScreen form(cat.state, cat.ui);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 項目名変更"));
    EXPECT_EQ(form.Combo1->placeholderText(), QStringLiteral("種目名を選択して下さい"));
    EXPECT_EQ(form.Combo1->currentIndex(), -1);
    ASSERT_EQ(form.Combo1->count(), 6);
    const QStringList entries{QStringLiteral("CD1"), {}, {}, QStringLiteral("DVD1"), {}, {}};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form.Combo1->itemText(i), entries[i]);
    EXPECT_EQ(form.Label4->text(),
              QStringLiteral(
                  "データベースを再構築しますので、念のため作業前にデータベースをバックアップすることを奨めます。"));
    EXPECT_EQ(form.Command4->text(), QStringLiteral("変更実行"));
    EXPECT_EQ(form.Command5->text(), QStringLiteral("戻る"));
    EXPECT_EQ(form.Command6->text(), QStringLiteral("ヘルプ"));
    EXPECT_TRUE(form.Command4->isHidden());
    EXPECT_TRUE(form.Label3->isHidden());
    EXPECT_TRUE(form.Label5->isHidden());
    for (QLineEdit* box : form.Text1)
        EXPECT_TRUE(box->isHidden() && !box->isEnabled());
    for (QLineEdit* box : form.Text2)
        EXPECT_TRUE(box->isHidden() && !box->isEnabled());

    // A slot not in use has an empty entry, left out of the popup and out of reach of the arrow keys.
    auto* popup = qobject_cast<QListView*>(form.Combo1->view());
    ASSERT_TRUE(popup);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(popup->isRowHidden(i), entries[i].isEmpty()) << i;
        EXPECT_EQ(form.Combo1->model()->flags(form.Combo1->model()->index(i, 0)).testFlag(Qt::ItemIsEnabled),
                  !entries[i].isEmpty())
            << i;
    }
    form.Combo1_Click(1);
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("種目名が選択されていません。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(form.Command4->isHidden());
    EXPECT_TRUE(form.Combo1->isEnabled());

    form.Command6_Click();
    EXPECT_EQ(cat.ui.helpShown, 1);
}

TEST_F(FieldRenameScreenTest, ChoosingACategoryFillsTheBoxesAndRenamingClosesQuietly) {
    cat.addMain(7, 3, {QStringLiteral("映画")}, 0);
    FieldRenameScreen form(cat.state, cat.ui);
    form.Combo1->setCurrentIndex(3);
    form.Combo1_Click(3);
    EXPECT_EQ(cat.state.CurrentSection, 7);
    EXPECT_EQ(cat.state.CurrentCategoryName, QStringLiteral("DVD1"));
    EXPECT_FALSE(form.Combo1->isEnabled());
    EXPECT_EQ(form.Label3->text(), QStringLiteral("DVD1(MAIN)"));
    EXPECT_EQ(form.Label5->text(), QStringLiteral("DVD1(SUB)"));
    EXPECT_FALSE(form.Label3->isHidden());
    EXPECT_FALSE(form.Command4->isHidden());
    for (int k = 0; k < 15; ++k) {
        EXPECT_EQ(form.Text1[k]->text(), cat.state.config[7].FieldName[k + 1]);
        EXPECT_TRUE(form.Text1[k]->isEnabled() && !form.Text1[k]->isHidden());
    }
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(form.Text2[k]->text(), cat.state.config[7].SubFieldName[k + 1]);

    form.Text2[9]->setText(QStringLiteral("初回放送日"));
    form.Command4_Click();
    EXPECT_TRUE(cat.ui.messages.isEmpty());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(cat.state.config[7].SubTableName, QStringLiteral("DVD1SUB_1"));
    EXPECT_EQ(cat.state.config[7].TableName, QStringLiteral("DVD1"));
    EXPECT_EQ(cat.reload()[7].SubFieldName[10], QStringLiteral("初回放送日"));
    EXPECT_EQ(cat.rowCount(QStringLiteral("DVD1")), 1);
}

TEST_F(FieldRenameScreenTest, RefusalsAndEngineErrorsKeepTheScreenAndTheConfiguration) {
    const auto config = cat.state.config;
    FieldRenameScreen form(cat.state, cat.ui);
    form.Combo1_Click(0);
    form.Text1[2]->setText(QStringLiteral("曲 名"));
    form.Command4_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("メイン項目3「曲 名」: 名前の中に空白は使えません。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(cat.state.config, config);
    EXPECT_TRUE(cat.open()->tableExists(QStringLiteral("CD1")));
    EXPECT_TRUE(cat.ui.progressWindows.isEmpty()); // refused before any rebuild began

    // A text too long for any rebuilt table, written past the engine's checks: the rebuild fails and is undone.
    cat.open()->execute(QStringLiteral("INSERT INTO CD1 (タイトル, 登録ＮＯ, 画像jpg有無) VALUES ('%1', 1, 0)")
                            .arg(QString(300, QLatin1Char('x'))));
    form.Text1[2]->setText(QStringLiteral("分類"));
    form.Command4_Click();
    ASSERT_EQ(cat.ui.messages.size(), 2);
    EXPECT_EQ(cat.ui.messages[1].title, QStringLiteral("Error"));
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(cat.state.config, config);
    EXPECT_EQ(cat.reload(), config);
    EXPECT_TRUE(cat.open()->tableExists(QStringLiteral("CD1")));
    EXPECT_FALSE(cat.open()->tableExists(QStringLiteral("CD1_1")));
    EXPECT_EQ(cat.ui.progressOpen, 0); // the failed rebuild closed its window
}

TEST_F(FieldRenameScreenTest, TheBoxesOfBothGroupsLineUpAtTheirFullHeight) {
    FieldRenameScreen form(cat.state, cat.ui);
    form.show();
    form.Combo1_Click(0);
    QCoreApplication::processEvents();
    for (int k = 0; k < 15; ++k) {
        EXPECT_GE(form.Text1[k]->height(), form.Text1[k]->sizeHint().height()) << k;
        if (k < 10) {
            EXPECT_EQ(form.Text1[k]->geometry().top(), form.Text2[k]->geometry().top()) << k;
        }
    }
}

TEST_F(FieldRenameScreenTest, ARefusedLongNameIsCutInTheMessage) {
    FieldRenameScreen form(cat.state, cat.ui);
    form.Combo1_Click(0);
    form.Text1[1]->setText(QString(300, QChar(u'曲')));
    form.Command4_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("メイン項目2「") + QString(30, QChar(u'曲')) +
                                           QStringLiteral("…」: 名前が長すぎます（64文字まで）。"));
}

TEST_F(FieldRenameScreenTest, ReturnInANameBoxRebuildsNothing) {
    FieldRenameScreen form(cat.state, cat.ui);
    form.show();
    form.Combo1_Click(0);
    const QString before = cat.state.config[4].FieldName[1];
    form.Text1[0]->setText(QStringLiteral("新しい名前"));
    form.Text1[0]->setFocus();
    QTest::keyClick(form.Text1[0], Qt::Key_Return);
    QTest::keyClick(form.Text2[0], Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(cat.reload()[4].FieldName[1], before);
    for (QPushButton* b : form.findChildren<QPushButton*>())
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << b->text().toStdString();
}

TEST_F(FieldRenameScreenTest, ALargeRebuildShowsItsProgressUntilItEnds) {
    // 40,000 sub rows, one of them titled with a lone blank (which becomes Null): the copy goes in several pieces,
    // each reported.
    cat.addMain(4, 1, {QStringLiteral("t")});
    cat.open()->execute(QStringLiteral("INSERT INTO CD1SUB (曲名, 登録ＮＯ, サブＮＯ) WITH RECURSIVE n(k) AS "
                                       "(SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 40000) "
                                       "SELECT CASE k WHEN 7 THEN ' ' ELSE 'track' END, 1, k FROM n"));
    FieldRenameScreen form(cat.state, cat.ui);
    form.Combo1_Click(0);
    form.Text1[0]->setText(QStringLiteral("題名"));
    form.Text2[0]->setText(QStringLiteral("曲目"));
    form.Command4_Click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_EQ(cat.ui.progressWindows.size(), 1);
    EXPECT_EQ(cat.ui.progressWindows[0].text, QStringLiteral("データベースを再構築しています…"));
    EXPECT_EQ(cat.ui.progressWindows[0].title, form.windowTitle());
    EXPECT_EQ(cat.ui.progressOpen, 0);
    const auto& reports = cat.ui.progressReports;
    ASSERT_GE(reports.size(), 4);
    EXPECT_EQ(reports.front(), std::make_pair(std::int64_t{0}, std::int64_t{40001}));
    EXPECT_EQ(reports.back(), std::make_pair(std::int64_t{40001}, std::int64_t{40001}));
    for (int i = 1; i < reports.size(); ++i)
        EXPECT_LE(reports[i - 1].first, reports[i].first);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB_1")), 40000);
    const auto nulls = [&](const QString& table) {
        auto rs = cat.open()->openTable(table);
        int n = 0;
        for (; !rs->eof(); rs->moveNext())
            n += rs->value(0).isNull() ? 1 : 0;
        return n;
    };
    EXPECT_EQ(nulls(QStringLiteral("CD1SUB_1")), 1);

    // A sub field renamed again, no cell changes: the rows are copied whole, every one kept, and the window told.
    cat.ui.progressReports.clear();
    FieldRenameScreen again(cat.state, cat.ui);
    again.Combo1_Click(0);
    again.Text2[0]->setText(QStringLiteral("曲"));
    again.Command4_Click();
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB_2")), 40000);
    EXPECT_EQ(nulls(QStringLiteral("CD1SUB_2")), 1);
    EXPECT_EQ(cat.ui.progressReports.back(), std::make_pair(std::int64_t{40000}, std::int64_t{40000}));
}
