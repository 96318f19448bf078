#include "search/SearchAllScreen.h"
#include "SearchTestData.h"
#include "platform/MaskedDateBox.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "records/FieldSearchDialog.h"
#include "records/ListSearchDialog.h"
#include "search/SearchTextDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Buttons;
using platform::Icon;
using search::SearchAllScreen;
using search::SearchTextDialog;

namespace {

struct AllSearchScreen : ::testing::Test {
    test::TestCatalogue cat;
    AllSearchScreen() { test::FillSearchCatalogue(cat); }

    // Plays the search text dialog: types the text, ticks the box when exact, presses 検索.
    void typeSearch(const QString& text, bool exact = false) {
        cat.ui.modalDrivers.push_back([text, exact](QDialog& d) {
            auto& dialog = static_cast<SearchTextDialog&>(d);
            dialog.Text1->setText(text);
            if (exact)
                dialog.Check1->click();
            dialog.Command1->click();
        });
    }
    std::unique_ptr<SearchAllScreen> search(const QString& text, bool exact = false) {
        typeSearch(text, exact);
        auto screen = std::make_unique<SearchAllScreen>(cat.state, cat.ui);
        screen->Timer1_Timer();
        return screen;
    }
    QStringList column(const platform::RecordList& list, int c) {
        QStringList out;
        for (int i = 1; i <= list.rowCount(); ++i)
            out << list.cell(i, c);
        return out;
    }
};

TEST_F(AllSearchScreen, DialogRefusesEmptyAndBlankTextsAndKeepsItsOption) {
    SearchTextDialog dialog(cat.state, cat.ui);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 検索条件(全ファイル)"));
    const std::vector<std::pair<QString, QString>> texts{
        {dialog.Label1->text(), QStringLiteral("全ファイルより検索")},
        {dialog.Label3->text(),
         QStringLiteral("全種目ファイル(メイン・サブ)のＴＥＸＴ型(文字)項目を対象に検索します。")},
        {dialog.Label2->text(), QStringLiteral("検索文字")},
        {dialog.Check1->text(), QStringLiteral("大/小文字、全角/半角、カナ/ひらがなを区別する")},
        {dialog.Command1->text(), QStringLiteral("検索")},
        {dialog.Command2->text(), QStringLiteral("ヘルプ")}};
    for (const auto& [shown, expected] : texts)
        EXPECT_EQ(shown, expected);
    EXPECT_FALSE(dialog.Command1->autoDefault());

    for (const QString& text : {QString(), QStringLiteral("  "), QStringLiteral("　")}) {
        dialog.Text1->setText(text);
        dialog.Command1_Click();
    }
    ASSERT_EQ(cat.ui.messages.size(), 3);
    for (const auto& m : cat.ui.messages) {
        EXPECT_EQ(m.text, QStringLiteral("検索文字が入力されていません"));
        EXPECT_EQ(m.icon, Icon::None);
        EXPECT_EQ(m.title, QStringLiteral("ERROR"));
    }
    EXPECT_TRUE(dialog.cancelled());
    dialog.Check1->click();
    EXPECT_EQ(cat.state.FieldSearchCriteria.exactMatch, 1); // at once, before the search is accepted
    dialog.Text1->setText(QStringLiteral(" blue"));
    dialog.Command1_Click();
    EXPECT_FALSE(dialog.cancelled());
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchText, QStringLiteral(" blue"));
}

// Shows a dialog and presses Return in one of its controls.
void PressReturnIn(QDialog& dialog, QWidget* control) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Return);
}

// The search dialogs only read, so Return runs their search from the box or choice that has the focus.
TEST_F(AllSearchScreen, ReturnRunsTheSearchOfEverySearchDialog) {
    SearchTextDialog all(cat.state, cat.ui);
    all.Text1->setText(QStringLiteral("blue"));
    PressReturnIn(all, all.Text1);
    EXPECT_FALSE(all.cancelled());
    EXPECT_EQ(all.result(), QDialog::Accepted);
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchText, QStringLiteral("blue"));

    cat.state.CurrentSection = 4;
    records::FieldSearchDialog field(cat.state, cat.ui);
    field.Option1[0]->click();
    field.MaskEdBox1->setText(QStringLiteral("Blue Moon"));
    PressReturnIn(field, field.MaskEdBox1);
    EXPECT_FALSE(cat.state.SearchCancelled);
    EXPECT_EQ(field.result(), QDialog::Accepted);

    platform::RecordList list;
    list.addColumn(QStringLiteral("タイトル"), 3000);
    list.addColumn(QStringLiteral("アーティスト"), 2000);
    for (const char* title : {"Blue Moon", "Night", "Moonlight"})
        list.addRow({QString::fromUtf8(title), QString()});
    auto inList = records::MakeInquiryListSearch(cat.state, cat.ui, list, nullptr);
    PressReturnIn(*inList, inList->Option1[0]); // the first column: then how it must match
    EXPECT_TRUE(inList->Frame2->isVisible());
    EXPECT_EQ(inList->focusWidget(), inList->Option2[0]);
    EXPECT_TRUE(cat.ui.inputPrompts.isEmpty());
    cat.ui.inputs = {QStringLiteral("moon")};
    PressReturnIn(*inList, inList->Option2[1]); // begins with
    EXPECT_EQ(cat.ui.inputPrompts.size(), 1);
    EXPECT_EQ(list.selectedIndex(), 3);
    EXPECT_EQ(inList->result(), QDialog::Accepted);
}

TEST_F(AllSearchScreen, HitsShowTheirRecordsAndSortingMovesThePositions) {
    auto screen = search(QStringLiteral("blue"));
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 全ファイル検索"));
    EXPECT_TRUE(cat.ui.messages.isEmpty());
    EXPECT_EQ(cat.ui.modalScreens, QList<QString>{QStringLiteral("Form9k")});
    ASSERT_EQ(screen->ListView1->columnCount(), 6);
    EXPECT_EQ(screen->ListView1->columnWidthTwips(0), 4000); // the narrow layout
    EXPECT_EQ(screen->ListView1->columnWidthTwips(1), 2800);
    EXPECT_EQ(screen->ListView1->columnWidthTwips(3), 1500);
    EXPECT_EQ(screen->ListView1->columnWidthTwips(4), 0);
    EXPECT_EQ(screen->ListView1->rowCount(), 7);
    EXPECT_EQ(screen->StatusBar1->panelText(1), QStringLiteral("[検索文字]    blue"));
    EXPECT_EQ(screen->StatusBar1->panelText(3), QString());
    EXPECT_TRUE(screen->mf11->isEnabled());

    // Row 1 is shown at once.
    EXPECT_EQ(screen->ListView1->selectedIndex(), 1);
    EXPECT_EQ(screen->Label5->text(), QStringLiteral("CD1"));
    EXPECT_EQ(screen->Text2->text(), QStringLiteral("CD1"));
    ASSERT_EQ(screen->ListView2->rowCount(), 1);
    EXPECT_EQ(screen->ListView2->columnCount(), 16);
    EXPECT_EQ(screen->ListView2->cell(1, 1), QStringLiteral("BLUE Trio"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("検索レコード順／総数　　 1 / 7"));

    // The detail marks the field the hit was found in; the hit row names it.
    EXPECT_EQ(screen->ListView2->markedColumn(), 0);
    for (int hit : {2, 7}) {
        screen->ListView1_ItemClick(hit);
        const int marked = screen->ListView2->markedColumn();
        EXPECT_EQ(screen->ListView2->columnHeading(marked), screen->ListView1->cell(hit, 2));
        EXPECT_EQ(screen->ListView2->cell(1, marked), screen->ListView1->cell(hit, 0));
    }
    EXPECT_EQ(screen->ListView1->cell(7, 2), QStringLiteral("備考"));
    EXPECT_NE(screen->ListView2->markedColumn(), 0);

    // A sub hit of a record numbered past 32767.
    screen->ListView1_ItemClick(5);
    EXPECT_EQ(screen->Label5->text(), QStringLiteral("CD1  ：サブ"));
    EXPECT_EQ(screen->ListView1->cell(5, 1), QStringLiteral("CD1 :サブ"));
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("40000"));
    EXPECT_EQ(screen->Text4->text(), QStringLiteral("3"));
    ASSERT_EQ(screen->ListView2->rowCount(), 1);
    EXPECT_EQ(screen->ListView2->columnCount(), 12);
    EXPECT_EQ(screen->ListView2->cell(1, 0), QStringLiteral("Night Blue"));
    EXPECT_EQ(cat.state.CurrentSection, 4);
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("検索レコード順／総数　　 5 / 7"));

    // Sorting by the text column: the same hit, now last.
    screen->ListView1_ColumnClick(0);
    EXPECT_EQ(screen->ListView1->cell(1, 0), QStringLiteral("blue"));
    EXPECT_EQ(screen->ListView1->selectedIndex(), 7);
    EXPECT_EQ(screen->ListView1->cell(7, 0), QStringLiteral("Night Blue"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("検索レコード順／総数　　 7 / 7"));
    // By category: main hits of CD1, then its sub hits in their last order, then DVD1.
    screen->ListView1_ColumnClick(1);
    EXPECT_EQ(column(*screen->ListView1, 1).mid(3), (QStringList{"CD1 :サブ", "CD1 :サブ", "DVD1", "DVD1"}));
    EXPECT_EQ(screen->ListView1->cell(5, 0), QStringLiteral("Night Blue"));
    EXPECT_EQ(screen->StatusBar1->panelText(2), QStringLiteral("検索レコード順／総数　　 5 / 7"));

    // The keys stay hidden until asked for.
    EXPECT_TRUE(screen->Text3->isHidden());
    screen->mv11->trigger();
    EXPECT_FALSE(screen->Text3->isHidden());
    EXPECT_FALSE(screen->Label8->isHidden());
}

TEST_F(AllSearchScreen, EditOpensTheHitsRecordScreenInOneRecordMode) {
    auto screen = search(QStringLiteral("night"));
    ASSERT_EQ(screen->ListView1->rowCount(), 2);
    screen->mf11->trigger();
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form5"));
    EXPECT_EQ(cat.state.ListMode, 2);
    EXPECT_EQ(cat.state.CurrentRegNo, 40000);
    EXPECT_EQ(cat.state.CurrentCategoryName, QStringLiteral("CD1"));

    screen->ListView1_ItemClick(2);
    screen->mf11->trigger();
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form6"));
    EXPECT_EQ(cat.state.CurrentRegNo, 40000);
    EXPECT_EQ(cat.state.CurrentSubNo, 3);

    // A double click on a hit opens its record the same way.
    QTreeView* view = screen->ListView1->view();
    emit view->doubleClicked(view->model()->index(0, 0));
    EXPECT_EQ(screen->ListView1->selectedIndex(), 1);
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form5"));
    EXPECT_EQ(cat.state.CurrentRegNo, 40000);
    EXPECT_EQ(cat.state.ListMode, 2);
}

TEST_F(AllSearchScreen, FromTheInquiryScreenNothingIsEdited) {
    cat.state.SearchFromInquiry = true;
    auto screen = search(QStringLiteral("ヒカリ"));
    EXPECT_EQ(screen->ListView1->rowCount(), 2);
    EXPECT_FALSE(screen->mf11->isEnabled());
    screen->mf11_Click();
    screen->ListView1_DblClick(1);
    EXPECT_EQ(cat.ui.modalScreens, QList<QString>{QStringLiteral("Form9k")});

    // A new search keeps it so.
    cat.state.SearchFromInquiry = false;
    typeSearch(QStringLiteral("blue"));
    cat.ui.modalDrivers.push_back([](QDialog& d) {
        auto& again = static_cast<SearchAllScreen&>(d);
        again.Timer1_Timer();
        EXPECT_FALSE(again.mf11->isEnabled());
        EXPECT_EQ(again.ListView1->rowCount(), 7);
    });
    // The order of the drivers: the new screen first, then its dialog.
    std::swap(cat.ui.modalDrivers[0], cat.ui.modalDrivers[1]);
    screen->mk1_Click();
    EXPECT_EQ(cat.ui.modalScreens.mid(1), (QList<QString>{"Form9", "Form9k"}));
}

TEST_F(AllSearchScreen, CancelledNothingFoundAndNoCategory) {
    cat.ui.modalDrivers.push_back([](QDialog& d) { d.reject(); });
    SearchAllScreen cancelled(cat.state, cat.ui);
    cancelled.Timer1_Timer();
    EXPECT_EQ(cancelled.StatusBar1->panelText(3), QStringLiteral("検索条件の入力がキャンセルされました。"));
    EXPECT_FALSE(cancelled.mf11->isEnabled());
    EXPECT_TRUE(cat.ui.messages.isEmpty());

    auto none = search(QStringLiteral("存在しない"));
    EXPECT_EQ(none->ListView1->rowCount(), 0);
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("検索の結果、該当のレコードが見つかりませんでした。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Information);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("検索結果"));
    none->mf11_Click(); // nothing selected: nothing opens
    EXPECT_EQ(cat.ui.modalScreens.count(QStringLiteral("Form5")), 0);

    cat.state.config[4].InUse = 0;
    cat.state.config[7].InUse = 0;
    auto unset = search(QStringLiteral("blue"));
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("ファイル設定が未済です。"));
    EXPECT_EQ(cat.ui.messages.last().icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages.last().title, QStringLiteral("ERROR"));
    EXPECT_EQ(unset->ListView1->columnCount(), 0);
}

// A running search takes Esc and a close: Esc stops it and keeps the screen, a close stops it and closes.
TEST_F(AllSearchScreen, EscStopsARunningSearchAndClosingEndsIt) {
    typeSearch(QStringLiteral("blue"));
    SearchAllScreen screen(cat.state, cat.ui);
    screen.setResponseInterval(0);
    screen.show();
    bool wasSearching = false;
    QTimer::singleShot(0, &screen, [&] {
        wasSearching = screen.searching();
        screen.reject();
    });
    screen.Timer1_Timer();
    EXPECT_TRUE(wasSearching);
    EXPECT_TRUE(screen.isVisible());
    EXPECT_EQ(screen.ListView1->rowCount(), 0);
    EXPECT_EQ(screen.StatusBar1->panelText(3), QStringLiteral("検索を中止しました。"));
    EXPECT_TRUE(cat.ui.messages.isEmpty()); // a stopped search has not found "nothing"
    EXPECT_TRUE(screen.ListView1->isEnabled());

    typeSearch(QStringLiteral("blue"));
    SearchAllScreen closing(cat.state, cat.ui);
    closing.setResponseInterval(0);
    closing.show();
    QTimer::singleShot(0, &closing, [&] { closing.close(); });
    closing.Timer1_Timer();
    EXPECT_FALSE(closing.isVisible());
    EXPECT_TRUE(cat.ui.messages.isEmpty());
}

} // namespace
