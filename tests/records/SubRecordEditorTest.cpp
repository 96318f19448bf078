#include "records/SubRecordEditor.h"

#include "TestCatalogue.h"
#include "platform/MaskedDateBox.h"
#include "platform/Units.h"
#include "records/SubRecords.h"
#include "store/ListTables.h"
#include "store/TableSql.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using records::SubRecordEditor;

namespace {

constexpr int Cd = 4;

struct SubEditor : ::testing::Test {
    test::TestCatalogue cat;

    SubEditor() {
        cat.state.CurrentSection = Cd;
        cat.addMain(Cd, 1, {QStringLiteral("アルバム1")});
        cat.addMain(Cd, 2, {QStringLiteral("アルバム2")});
    }
    const store::ConfigSection& section() const { return cat.state.config[Cd]; }
    std::vector<QString> captions() const {
        std::vector<QString> c;
        for (int k = 1; k <= 10; ++k)
            c.push_back(section().SubFieldName[k] + QStringLiteral(" ："));
        return c;
    }
    QString subTable() const { return section().SubTableName.trimmed(); }
    // The first field of the sub record with both keys; a null QString when there is none.
    QString firstField(std::int32_t regNo, std::int32_t subNo) const {
        auto db = cat.open();
        auto rs = db->openTable(subTable(), store::MainKeyColumn, platform::Value(regNo));
        for (; !rs->eof(); rs->moveNext()) {
            if (rs->value(11).toInt() == subNo)
                return rs->value(0).toText();
        }
        return {};
    }
    std::unique_ptr<SubRecordEditor> opened() { return std::make_unique<SubRecordEditor>(cat.state, cat.ui); }
};

TEST_F(SubEditor, NewModeShowsItsControls) {
    cat.state.MaxSubNo = 4;
    auto e = opened();
    e->setUpNew(section(), captions(), QStringLiteral("1"));
    EXPECT_EQ(e->windowTitle(), QStringLiteral("ＣＤ管理 Quelm - サブ明細更新処理"));
    EXPECT_EQ(e->Label2->text(), QStringLiteral("CD1 (サブ明細)"));
    EXPECT_EQ(e->Label3->text(), QStringLiteral("新規作成"));
    EXPECT_EQ(e->Command1->text(), QStringLiteral("新規作成　ＯＫ"));
    EXPECT_EQ(e->Command2->text(), QStringLiteral("終　了"));
    EXPECT_EQ(e->Text2->text(), QStringLiteral("1"));
    EXPECT_EQ(e->Text1->text(), QStringLiteral("5"));
    EXPECT_EQ(e->Label5->text(), QStringLiteral("サブＮＯ"));
    EXPECT_EQ(e->Label10->text(), QStringLiteral("登録ＮＯ"));
    EXPECT_EQ(e->Text1->palette().color(QPalette::Base), platform::ColorFromWindowsRgb(14737632u));
    EXPECT_EQ(e->Text2->palette().color(QPalette::Base), platform::ColorFromWindowsRgb(14737632u));
    EXPECT_FALSE(e->Label6->isHidden());
    EXPECT_EQ(e->Label6->text(), QStringLiteral("データを残す"));
    EXPECT_FALSE(e->Check1[9]->isHidden());
    EXPECT_EQ(e->Label1[0]->text(), QStringLiteral("曲名 ："));
    EXPECT_EQ(e->Text3[0]->toolTip(), QStringLiteral("右クリックで、リスト・テーブル一覧を表示する。"));
    EXPECT_EQ(e->MaskEdBox1[8]->toolTip(), QStringLiteral("トラック番号"));
    EXPECT_EQ(e->MaskEdBox1[8]->mask(), QString());
    EXPECT_EQ(e->MaskEdBox1[9]->mask(), QStringLiteral("####/##/##"));
    EXPECT_EQ(e->MaskEdBox1[9]->text(), QStringLiteral("____/__/__"));
    EXPECT_EQ(e->Text3[8], nullptr);
    QStringList headings;
    for (QAction* a : e->findChild<QMenuBar*>()->actions())
        headings << a->text();
    EXPECT_EQ(headings,
              (QStringList{QStringLiteral("ファイル   "), QStringLiteral("編集    "), QStringLiteral("ヘルプ")}));
}

TEST_F(SubEditor, ChangeAndDeleteModesShowTheRecord) {
    std::vector<QString> values(10, QStringLiteral("x"));
    values[8] = QStringLiteral("7");
    values[9] = QStringLiteral("2009/04/06");
    auto change = opened();
    change->setUpChange(section(), captions(), values, QStringLiteral("2"), QStringLiteral("3"));
    EXPECT_EQ(change->Label2->text(), QStringLiteral("CD1 (サブ明細)"));
    EXPECT_EQ(change->Command1->text(), QStringLiteral("変更　ＯＫ"));
    EXPECT_EQ(change->Command2->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(change->Text1->text(), QStringLiteral("3"));
    EXPECT_TRUE(change->Check1[0]->isHidden());
    EXPECT_TRUE(change->Label6->isHidden());
    EXPECT_EQ(change->MaskEdBox1[9]->text(), QStringLiteral("2009/04/06"));

    auto del = opened();
    del->setUpDelete(section(), captions(), values, QStringLiteral("2"), QStringLiteral("3"));
    EXPECT_EQ(del->Label3->text(), QStringLiteral("削除"));
    EXPECT_EQ(del->Label2->text(), QStringLiteral("CD1 (サブ明細)"));
    EXPECT_FALSE(del->Text1->isEnabled());
    EXPECT_FALSE(del->Text2->isEnabled());
    EXPECT_EQ(del->Text3[0]->text(), QStringLiteral("x"));
}

TEST_F(SubEditor, NewModeAddsOneAfterAnotherAndSkipsARefusedNumber) {
    for (int sub = 1; sub <= 4; ++sub)
        cat.addSub(Cd, 1, sub, QStringLiteral("曲%1").arg(sub));
    cat.state.MaxSubNo = 4;
    auto e = opened();
    e->setUpNew(section(), captions(), QStringLiteral("1"));
    e->Check1[1]->setChecked(true);
    e->Text3[0]->setText(QStringLiteral("五"));
    e->Text3[1]->setText(QStringLiteral("残す"));
    e->Command1_Click();
    EXPECT_EQ(firstField(1, 5), QStringLiteral("五"));
    EXPECT_EQ(e->Text1->text(), QStringLiteral("6"));
    EXPECT_EQ(e->Text3[0]->text(), QString());
    EXPECT_EQ(e->Text3[1]->text(), QStringLiteral("残す"));
    EXPECT_EQ(e->Text3[2]->text(), QString()); // stored as two blanks, then emptied for the next entry

    e->MaskEdBox1[8]->setText(QStringLiteral("abc"));
    e->Command1_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("トラック番号が相違しています。[ abc ]"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("データ型相違"));
    EXPECT_TRUE(firstField(1, 6).isNull());
    EXPECT_EQ(e->MaskEdBox1[8]->text(), QString());
    EXPECT_EQ(e->Text1->text(), QStringLiteral("7"));

    e->Text3[0]->setText(QStringLiteral("七"));
    e->Command1_Click();
    EXPECT_EQ(firstField(1, 7), QStringLiteral("七"));
    EXPECT_EQ(e->Text1->text(), QStringLiteral("8"));
    EXPECT_EQ(e->result(), 0); // still open
    e->Command2_Click();
    EXPECT_EQ(cat.rowCount(subTable()), 6);
}

TEST_F(SubEditor, OverLongTextStopsWithTheInputKept) {
    cat.state.MaxSubNo = 0;
    auto e = opened();
    e->setUpNew(section(), captions(), QStringLiteral("1"));
    e->Text3[7]->setText(QString(128, QChar(0x3042)));
    e->Command1_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("入力したテキストの桁数が長がすぎます。"));
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(e->Text3[7]->text().size(), 128);
    EXPECT_EQ(e->Text1->text(), QStringLiteral("1"));
    EXPECT_EQ(cat.state.MaxSubNo, 0);
    EXPECT_EQ(cat.rowCount(subTable()), 0);
}

TEST_F(SubEditor, TypeErrorInChangeModeClosesAndKeepsTheRecord) {
    cat.addSub(Cd, 1, 1, QStringLiteral("元"));
    auto e = opened();
    e->setUpChange(section(), captions(), {QStringLiteral("元")}, QStringLiteral("1"), QStringLiteral("1"));
    e->Text3[0]->setText(QStringLiteral("新"));
    e->MaskEdBox1[8]->setText(QStringLiteral("1.5"));
    e->Command1_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("データ型相違"));
    EXPECT_EQ(e->result(), QDialog::Accepted);
    EXPECT_EQ(firstField(1, 1), QStringLiteral("元"));
}

TEST_F(SubEditor, ChangeWritesOnlyTheRecordWithBothKeys) {
    cat.addSub(Cd, 1, 1, QStringLiteral("一"));
    cat.addSub(Cd, 2, 1, QStringLiteral("二"));
    auto e = opened();
    e->setUpChange(section(), captions(), {QStringLiteral("二")}, QStringLiteral("2"), QStringLiteral("1"));
    e->Text3[0]->clear();
    e->Command1_Click();
    EXPECT_TRUE(cat.ui.messages.isEmpty());
    EXPECT_EQ(firstField(2, 1), QStringLiteral("   "));
    EXPECT_EQ(firstField(1, 1), QStringLiteral("一"));
}

TEST_F(SubEditor, DeleteAsksFirstAndRemovesOnlyThatRecord) {
    cat.addSub(Cd, 1, 3, QStringLiteral("一"));
    cat.addSub(Cd, 2, 3, QStringLiteral("二"));
    cat.ui.answers = {Answer::Cancel};
    auto refused = opened();
    refused->setUpDelete(section(), captions(), {QStringLiteral("一")}, QStringLiteral("1"), QStringLiteral("3"));
    refused->Command1_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("このレコードを削除しますか？"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::None);
    EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("削除の確認"));
    EXPECT_EQ(refused->result(), QDialog::Accepted); // closes all the same
    EXPECT_EQ(cat.rowCount(subTable()), 2);

    cat.ui.answers = {Answer::Ok};
    auto confirmed = opened();
    confirmed->setUpDelete(section(), captions(), {QStringLiteral("一")}, QStringLiteral("1"), QStringLiteral("3"));
    confirmed->Command1_Click();
    EXPECT_TRUE(firstField(1, 3).isNull());
    EXPECT_EQ(firstField(2, 3), QStringLiteral("二"));
}

TEST_F(SubEditor, EngineErrorShowsTheErrorBoxAndKeepsTheInput) {
    cat.state.MaxSubNo = 2;
    auto e = opened();
    e->setUpNew(section(), captions(), QStringLiteral("1"));
    cat.open()->execute(store::DropTableSql(subTable()));
    e->Text3[0]->setText(QStringLiteral("消えない"));
    e->Command1_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(e->Text3[0]->text(), QStringLiteral("消えない"));
    EXPECT_EQ(e->Text1->text(), QStringLiteral("3"));
    EXPECT_EQ(cat.state.MaxSubNo, 2);
    EXPECT_EQ(e->result(), 0);
}

TEST_F(SubEditor, CutTakesTheLastSelectionAndRemovesEvery) {
    auto e = opened();
    e->setUpNew(section(), captions(), QStringLiteral("1"));
    e->Text3[1]->setText(QStringLiteral("ABCDE"));
    e->MaskEdBox1[8]->setText(QStringLiteral("12345"));
    e->Text3[1]->setSelection(1, 2);
    e->MaskEdBox1[8]->setSelection(0, 3);
    e->me13->setEnabled(false);
    e->me11_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("123"));
    EXPECT_EQ(e->Text3[1]->text(), QStringLiteral("ADE"));
    EXPECT_EQ(e->MaskEdBox1[8]->text(), QStringLiteral("45"));
    EXPECT_TRUE(e->me13->isEnabled());

    e->me12_Click(); // nothing selected: the clipboard stays
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("123"));
}

TEST_F(SubEditor, PickListFillsTheTextBoxPressedLast) {
    ASSERT_FALSE(store::CreateList(cat.state, 1, QStringLiteral("作曲家")).has_value());
    ASSERT_EQ(store::AddListEntry(cat.state, 1, QStringLiteral("バッハ")), store::EntryCheck::Ok);
    auto e = opened();
    e->setUpNew(section(), captions(), QStringLiteral("1"));
    e->Text3_MouseDown(2, Qt::LeftButton, {});
    e->MenuList();
    EXPECT_FALSE(e->mList1[0]->isEnabled());
    ASSERT_TRUE(e->mList1[1]->isEnabled());
    e->mList1_Click(1);
    ASSERT_EQ(e->Combo1->count(), 1);
    e->Combo1_Click(0);
    EXPECT_EQ(e->Text3[2]->text(), QStringLiteral("バッハ"));
    EXPECT_TRUE(e->Combo1->isHidden());
}

} // namespace
