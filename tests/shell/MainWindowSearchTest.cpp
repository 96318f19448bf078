#include "TestCatalogue.h"
#include "platform/MaskedDateBox.h"
#include "platform/RecordList.h"
#include "records/FieldSearchDialog.h"
#include "records/MainRecordScreen.h"
#include "shell/MainWindow.h"

#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace quelm;
using records::FieldSearchDialog;
using shell::MainWindow;

namespace {

// 検索して開く: the per-field search runs first, and the record screen opens in search mode only when it is accepted.
TEST(MainWindowSearch, OpensTheRecordScreenInSearchModeOnlyWhenTheSearchIsAccepted) {
    test::TestCatalogue cat;
    cat.addMain(7, 1, {QStringLiteral("ローマの休日")});
    cat.addMain(7, 2, {QStringLiteral("ろーま")});
    cat.addMain(7, 3, {QStringLiteral("パリ")});
    MainWindow w(cat.state, cat.ui);
    ASSERT_TRUE(w.Form_Load());

    // Closed without accepting: nothing opens.
    cat.ui.modalDrivers.push_back([](QDialog& d) { d.reject(); });
    w.mk11_Click(3);
    EXPECT_EQ(cat.ui.modalScreens, QList<QString>({QStringLiteral("Form5kf")}));
    EXPECT_EQ(cat.state.CurrentSection, 7);
    EXPECT_EQ(cat.state.ListMode, 1);
    EXPECT_TRUE(cat.state.SearchCancelled);
    EXPECT_TRUE(cat.ui.modelessScreens.isEmpty());
    EXPECT_TRUE(w.recordScreen.isNull());

    // A field chosen but a refused value, then closed: still nothing.
    cat.ui.modalDrivers.push_back([](QDialog& d) {
        auto& search = static_cast<FieldSearchDialog&>(d);
        search.Option1[0]->click();
        search.Command1->click();
        d.reject();
    });
    w.mk11_Click(3);
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("検索文字が入力されていません"));
    EXPECT_TRUE(cat.ui.modelessScreens.isEmpty());

    cat.ui.modalDrivers.push_back([](QDialog& d) {
        auto& search = static_cast<FieldSearchDialog&>(d);
        search.Option1[0]->click();
        search.MaskEdBox1->setText(QStringLiteral("ローマ"));
        search.Command1->click();
    });
    w.mk11_Click(3);
    EXPECT_FALSE(cat.state.SearchCancelled);
    ASSERT_EQ(cat.ui.modelessScreens, QList<QString>({QStringLiteral("Form5")}));
    ASSERT_FALSE(w.recordScreen.isNull());
    EXPECT_EQ(w.recordScreen->parent(), &w);
    w.recordScreen->Timer1_Timer();
    EXPECT_EQ(w.recordScreen->ListView1->rowCount(), 2);
    EXPECT_EQ(w.recordScreen->ListView1->cell(2, 0), QStringLiteral("ろーま"));
}

} // namespace
