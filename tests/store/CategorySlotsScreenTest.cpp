#include "store/CategorySlotsScreen.h"
#include "TestCatalogue.h"
#include "platform/Database.h"
#include "platform/Units.h"
#include "store/CategoryTables.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using store::CategorySlotsScreen;

namespace {

using Message = platform::ScriptedUi::Message;

void ExpectMessage(const Message& m, const QString& text, Icon icon, Buttons buttons, const QString& title) {
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.icon, icon);
    EXPECT_EQ(m.buttons, buttons);
    EXPECT_EQ(m.title, title);
}

QColor ButtonColor(const QPushButton* b) {
    return b->palette().color(QPalette::Button);
}

struct CategorySlotsScreenTest : ::testing::Test {
    test::TestCatalogue cat;
};

} // namespace

TEST_F(CategorySlotsScreenTest, ShowsItsTextsAndOffersTheNextSlots) {
    CategorySlotsScreen form(cat.state, cat.ui);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 種目追加"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("種目追加"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("種目(CDまたはDVD各２個)を追加します。"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("追加するCD 又はDVDをクリックしてください。"));
    EXPECT_EQ(form.Label4->text(), QStringLiteral("種目ファイルの全データを削除します。"));
    EXPECT_EQ(form.Command1->text(), QStringLiteral("データ削除"));
    EXPECT_EQ(form.Command1->toolTip(), QStringLiteral("登録済のデータを削除します。ファイル、項目は変更ありません。"));
    EXPECT_EQ(form.Command3->text(), QStringLiteral("戻る"));
    EXPECT_EQ(form.Command5->text(), QStringLiteral("ヘルプ"));
    EXPECT_EQ(form.SDF->title(), QStringLiteral("ファイル"));
    EXPECT_EQ(form.SDF1->text(), QStringLiteral("戻る"));
    EXPECT_EQ(form.ShuDataDel->title(), QStringLiteral("データ削除"));
    EXPECT_FALSE(form.menuBar->actions().contains(form.ShuDataDel->menuAction()));
    EXPECT_EQ(form.SD->text(), QStringLiteral("種目データを削除します"));
    EXPECT_EQ(form.SD1->text(), QStringLiteral("[データを削除する種目を選択する]"));

    const QStringList captions{QStringLiteral("CD1"),  QStringLiteral("CD2"),  QStringLiteral("CD3"),
                               QStringLiteral("DVD1"), QStringLiteral("DVD2"), QStringLiteral("DVD3")};
    const QStringList items{QStringLiteral("CD1   "),  QStringLiteral("CD2"),  QStringLiteral("CD3"),
                            QStringLiteral("DVD1   "), QStringLiteral("DVD2"), QStringLiteral("DVD3")};
    const QColor orange = platform::ColorFromWindowsRgb(12640511);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(form.Command6[i]->text(), captions[i]);
        EXPECT_FALSE(form.Command6[i]->isHidden());
        const bool offered = i == 1 || i == 4;
        EXPECT_EQ(form.Command6[i]->isEnabled(), offered) << i;
        EXPECT_EQ(ButtonColor(form.Command6[i]) == orange, offered) << i;
        EXPECT_EQ(form.SD11[i]->text(), items[i]);
        EXPECT_EQ(form.SD11[i]->isEnabled(), i == 0 || i == 3) << i;
    }
    EXPECT_TRUE(cat.ui.messages.isEmpty());

    form.Command5_Click();
    EXPECT_EQ(cat.ui.helpShown, 1);
}

TEST_F(CategorySlotsScreenTest, AddingASlotAsksCreatesAndCloses) {
    {
        CategorySlotsScreen form(cat.state, cat.ui);
        cat.ui.answers = {Answer::Cancel};
        form.Command6_Click(1);
        EXPECT_FALSE(cat.state.config[5].inUse());
        EXPECT_FALSE(cat.open()->tableExists(QStringLiteral("CD2")));

        cat.ui.answers = {Answer::Ok};
        form.Command6_Click(1);
        ASSERT_EQ(cat.ui.messages.size(), 3);
        ExpectMessage(cat.ui.messages[0], QStringLiteral("CD2 の種目を作成しますか？"), Icon::None, Buttons::OkCancel,
                      QStringLiteral("種目追加の確認"));
        ExpectMessage(cat.ui.messages[2], QStringLiteral("種目追加の処理が終了しました。"), Icon::Exclamation,
                      Buttons::Ok, QStringLiteral("処理終了"));
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_TRUE(cat.state.config[5].inUse());
        EXPECT_TRUE(cat.reload()[5].inUse());
        EXPECT_TRUE(cat.open()->tableExists(QStringLiteral("CD2SUB")));
    }
    // With CD2 in use the next screen offers CD3 and still DVD2.
    CategorySlotsScreen next(cat.state, cat.ui);
    EXPECT_TRUE(next.Command6[2]->isEnabled());
    EXPECT_FALSE(next.Command6[1]->isEnabled());
    EXPECT_TRUE(next.Command6[4]->isEnabled());
    EXPECT_EQ(ButtonColor(next.Command6[1]), QApplication::palette().color(QPalette::Button));
}

TEST_F(CategorySlotsScreenTest, AFailedAddIsReportedAndTheScreenStays) {
    cat.open()->execute(QStringLiteral("CREATE TABLE DVD2 (x TEXT)"));
    CategorySlotsScreen form(cat.state, cat.ui);
    cat.ui.answers = {Answer::Ok};
    form.Command6_Click(4);
    ASSERT_EQ(cat.ui.messages.size(), 2);
    ExpectMessage(cat.ui.messages[1], QStringLiteral("テーブル「DVD2」は既に存在します。"), Icon::Critical, Buttons::Ok,
                  QStringLiteral("Error"));
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_FALSE(cat.state.config[8].inUse());
}

TEST_F(CategorySlotsScreenTest, AllSlotsInUseIsSaidOnOpening) {
    for (int s : {5, 6, 8, 9})
        ASSERT_EQ(store::AddSlot(cat.state, s), std::nullopt);
    CategorySlotsScreen form(cat.state, cat.ui);
    ASSERT_EQ(cat.ui.messages.size(), 1);
    ExpectMessage(cat.ui.messages[0], QStringLiteral("種目(CD,DVD各３個)使用中のため、追加出来ません。"),
                  Icon::Exclamation, Buttons::Ok, QStringLiteral("種目追加不可"));
    for (QPushButton* b : form.Command6)
        EXPECT_FALSE(b->isEnabled());
    for (QAction* item : form.SD11)
        EXPECT_TRUE(item->isEnabled());
}

TEST_F(CategorySlotsScreenTest, DeletingDataAsksThenReports) {
    cat.addMain(4, 1, {QStringLiteral("t")}, 1);
    cat.addSub(4, 1, 1, QStringLiteral("a"));
    cat.state.config[4].RegNo = 1;
    cat.state.config[4].Dirty = 1;
    store::SaveConfig(cat.state.databasePath(), cat.state.config);
    QFile picture(cat.state.RecordPicturePath(4, 1));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();

    CategorySlotsScreen form(cat.state, cat.ui);
    cat.ui.answers = {Answer::Cancel};
    form.SD11[0]->trigger();
    EXPECT_EQ(cat.state.CurrentSection, 4);
    EXPECT_EQ(cat.state.CurrentCategoryName, QStringLiteral("CD1"));
    ASSERT_EQ(cat.ui.messages.size(), 1);
    ExpectMessage(cat.ui.messages[0], QStringLiteral("CD1のデータを全て削除しますか？"), Icon::None, Buttons::OkCancel,
                  QStringLiteral("削除の確認"));
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 1);

    form.SD11_Click(0);
    ASSERT_EQ(cat.ui.messages.size(), 3);
    ExpectMessage(cat.ui.messages[2], QStringLiteral("CD1ファイルのデータを削除しました。"), Icon::Information,
                  Buttons::Ok, QStringLiteral("削除終了"));
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 0);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 0);
    EXPECT_FALSE(picture.exists());
    EXPECT_EQ(cat.reload()[4].RegNo, 0);

    form.SD11_Click(0);
    ASSERT_EQ(cat.ui.messages.size(), 5);
    ExpectMessage(cat.ui.messages[4], QStringLiteral("CD1ファイルに削除するデータは有りません。"), Icon::Exclamation,
                  Buttons::Ok, QStringLiteral("注意"));

    form.SD11_Click(1);
    EXPECT_EQ(cat.state.CurrentSection, 5);
    EXPECT_EQ(cat.state.CurrentCategoryName, QStringLiteral("CD2"));
    ASSERT_EQ(cat.ui.messages.size(), 7);
    ExpectMessage(cat.ui.messages[6], QStringLiteral("CD2のファイルが作成されていません。"), Icon::Exclamation,
                  Buttons::Ok, QStringLiteral("注意"));

    // A damaged catalogue: the engine's message in an "Error" box, and the screen carries on.
    cat.open()->execute(QStringLiteral("DROP TABLE DVD1SUB"));
    form.SD11_Click(3);
    ASSERT_EQ(cat.ui.messages.size(), 9);
    EXPECT_EQ(cat.ui.messages[8].title, QStringLiteral("Error"));
    EXPECT_NE(form.result(), QDialog::Accepted);
}
