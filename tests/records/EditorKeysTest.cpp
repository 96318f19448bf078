// Keyboard paths of the record editors: Return stores nothing, typing starts in the first field.
#include "TestCatalogue.h"
#include "records/MainRecordEditor.h"
#include "records/SubRecordEditor.h"
#include "store/ListTables.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelm;
using records::MainRecordEditor;
using records::SubRecordEditor;

namespace {

constexpr int Cd = 4;

struct EditorKeys : ::testing::Test {
    test::TestCatalogue cat;
    EditorKeys() { cat.state.CurrentSection = Cd; }
    const store::ConfigSection& section() const { return cat.state.config[Cd]; }
    static std::vector<QString> Captions(int n) { return std::vector<QString>(n, QStringLiteral("項目 ：")); }

    // Shows the editor and presses Return and keypad Enter in its first field box.
    static void PressReturnIn(QDialog& editor, QLineEdit* box) {
        editor.show();
        QApplication::setActiveWindow(&editor);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
    }
};

TEST_F(EditorKeys, ReturnInTheMainEditorStoresNothing) {
    MainRecordEditor editor(cat.state, cat.ui);
    editor.setUpNew(section(), Captions(15), 1);
    EXPECT_EQ(editor.focusWidget(), editor.Text1[0]); // not the read-only 登録ＮＯ box
    editor.Text1[0]->setText(QStringLiteral("打ちかけ"));
    PressReturnIn(editor, editor.Text1[0]);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 0);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 0);
    EXPECT_EQ(editor.Text1[0]->text(), QStringLiteral("打ちかけ"));
    for (QPushButton* b : editor.findChildren<QPushButton*>())
        EXPECT_FALSE(b->isDefault()) << b->text().toStdString();
}

TEST_F(EditorKeys, ReturnInTheSubEditorStoresNothing) {
    cat.addMain(Cd, 1, {QStringLiteral("アルバム")});
    SubRecordEditor editor(cat.state, cat.ui);
    editor.setUpNew(section(), Captions(10), QStringLiteral("1"));
    EXPECT_EQ(editor.focusWidget(), editor.Text3[0]);
    editor.Text3[0]->setText(QStringLiteral("曲"));
    PressReturnIn(editor, editor.Text3[0]);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 0);
}

TEST_F(EditorKeys, PickListTakesOnlyARealChoice) {
    ASSERT_FALSE(store::CreateList(cat.state, 0, QStringLiteral("ジャンル一覧")).has_value());
    ASSERT_EQ(store::AddListEntry(cat.state, 0, QStringLiteral("ジャズ")), store::EntryCheck::Ok);
    MainRecordEditor editor(cat.state, cat.ui);
    editor.setUpNew(section(), Captions(15), 1);
    editor.show();
    editor.Text1_MouseDown(2, Qt::LeftButton, {});
    editor.mList1_Click(0);
    editor.Combo1->setFocus();
    QTest::keyClicks(editor.Combo1, QStringLiteral("rock"));
    QTest::keyClick(editor.Combo1, Qt::Key_Return);
    EXPECT_EQ(editor.Combo1->count(), 1); // nothing typed became an entry
    EXPECT_EQ(editor.Text1[2]->text(), QString());
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 0);
    // A refused index (none chosen) leaves the field as it was.
    editor.Combo1_Click(-1);
    EXPECT_EQ(editor.Text1[2]->text(), QString());
}

} // namespace
