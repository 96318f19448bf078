#include "records/ListSearchDialog.h"

#include "TestCatalogue.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "records/ListSort.h"
#include "records/MainRecordScreen.h"
#include "records/SortOrderDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Buttons;
using platform::Icon;
using platform::RecordList;
using platform::StatusPanels;
using records::ListSearchDialog;
using records::SortOrderDialog;

namespace {

const QString NotFound = QStringLiteral("該当するレコードが有りません。");
const QString FoundPanel = QStringLiteral("項目列で検索した結果を表示(フォーカス)");

struct ListDialogs : ::testing::Test {
    test::TestCatalogue cat;
    RecordList list;
    StatusPanels panels;

    // Two visible columns and the two hidden key columns of a main record list.
    void fill(const std::vector<QStringList>& rows) {
        list.addColumn(QStringLiteral("タイトル"), 3700);
        list.addColumn(QStringLiteral("アーティスト"), 2000);
        list.addColumn(QStringLiteral("登録ＮＯ"), 0, Qt::AlignRight);
        list.addColumn(QStringLiteral("画像jpg"), 0, Qt::AlignRight);
        for (const QStringList& row : rows)
            list.addRow(row);
    }
    QStringList column(int c) const {
        QStringList texts;
        for (int i = 1; i <= list.rowCount(); ++i)
            texts << list.cell(i, c);
        return texts;
    }
};

TEST_F(ListDialogs, SearchDialogsDifferOnlyInNameAndCaption) {
    fill({});
    auto main = records::MakeMainListSearch(cat.state, cat.ui, list, &panels, nullptr);
    auto sub = records::MakeSubListSearch(cat.state, cat.ui, list, &panels, nullptr);
    auto inquiry = records::MakeInquiryListSearch(cat.state, cat.ui, list, nullptr);
    EXPECT_EQ(main->objectName(), QStringLiteral("Form5k"));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 項目別検索条件(メイン)"));
    EXPECT_EQ(sub->objectName(), QStringLiteral("Form6k"));
    EXPECT_EQ(sub->windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 項目別検索条件(サブ)"));
    EXPECT_EQ(inquiry->objectName(), QStringLiteral("Form10k"));
    EXPECT_EQ(inquiry->windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 検索条件"));

    EXPECT_EQ(main->Label1->text(), QStringLiteral("検索条件"));
    EXPECT_EQ(main->Frame1->title(), QStringLiteral("検索するリスト項目"));
    EXPECT_EQ(main->Option1[0]->text(), QStringLiteral(" 1番目の項目(最左側)"));
    EXPECT_EQ(main->Option1[1]->text(), QStringLiteral(" ２番目以降の項目"));
    EXPECT_EQ(main->Frame2->title(), QStringLiteral("検索で一致する条件"));
    EXPECT_EQ(main->Label2->text(), QStringLiteral("１番目の項目検索のみ"));
    EXPECT_EQ(main->Option2[0]->text(), QStringLiteral(" 検索文字と完全に一致  する文字列を検索する"));
    EXPECT_EQ(main->Option2[1]->text(), QStringLiteral(" 検索文字で始まる文字列  を検索する"));
    EXPECT_FALSE(main->Frame2->isVisibleTo(main.get()));

    auto sort = records::MakeMainSortOrder(cat.state, cat.ui, list, nullptr);
    EXPECT_EQ(sort->objectName(), QStringLiteral("Form5s"));
    EXPECT_EQ(sort->windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 項目別ソート条件(メイン)"));
    EXPECT_EQ(records::MakeSubSortOrder(cat.state, cat.ui, list, nullptr)->windowTitle(),
              QStringLiteral("ＣＤ管理 Quelm - 項目別ソート条件(サブ)"));
    EXPECT_EQ(records::MakeInquirySortOrder(cat.state, cat.ui, list, nullptr)->windowTitle(),
              QStringLiteral("ＣＤ管理 Quelm - ソート条件"));
    EXPECT_EQ(sort->Frame1->title(), QStringLiteral("ソート順序"));
    EXPECT_EQ(sort->Option1[0]->text(), QStringLiteral("昇順  (A～Z)"));
    EXPECT_EQ(sort->Option1[1]->text(), QStringLiteral("降順　(Z～A)"));
}

TEST_F(ListDialogs, FirstColumnWholeOrPrefixIgnoringCaseOnly) {
    fill({{QStringLiteral("Abcd"), QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("0")},
          {QStringLiteral("ABC"), QStringLiteral("y"), QStringLiteral("2"), QStringLiteral("0")},
          {QStringLiteral("ａｂｃ"), QStringLiteral("z"), QStringLiteral("3"), QStringLiteral("0")}});
    panels.setPanelText(1, QStringLiteral("種目別の全てのレコードを表示"));
    auto dialog = records::MakeMainListSearch(cat.state, cat.ui, list, &panels, nullptr);

    dialog->Option1[0]->click();
    EXPECT_FALSE(dialog->Frame1->isEnabled());
    EXPECT_TRUE(dialog->Frame2->isVisibleTo(dialog.get()));
    EXPECT_TRUE(cat.ui.inputPrompts.isEmpty());

    // Whole text: "abc" is row 2 (ABC), not row 1 (Abcd) and not the full-width row 3.
    cat.ui.inputs = {QStringLiteral("abc")};
    dialog->Option2[0]->click();
    EXPECT_EQ(cat.ui.inputPrompts, QList<QString>({QStringLiteral("検索文字")}));
    EXPECT_EQ(cat.ui.inputTitles, QList<QString>({QStringLiteral("検索")}));
    EXPECT_EQ(list.selectedIndex(), 2);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(panels.panelText(1), FoundPanel);

    // Prefix: the first row in the list's order.
    auto prefix = records::MakeMainListSearch(cat.state, cat.ui, list, &panels, nullptr);
    prefix->Option1[0]->click();
    cat.ui.inputs = {QStringLiteral("aB")};
    prefix->Option2[1]->click();
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(records::FindListRow(list, QStringLiteral("ａｂ"), records::ListSearchWhere::FirstColumn,
                                   records::ListSearchMatch::Prefix),
              3);
}

TEST_F(ListDialogs, NotFoundKeepsTheDialogOpenForAnotherTry) {
    fill({{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("5"), QStringLiteral("0")}});
    list.select(1);
    panels.setPanelText(1, QStringLiteral("種目別の全てのレコードを表示"));
    auto dialog = records::MakeSubListSearch(cat.state, cat.ui, list, &panels, nullptr);
    dialog->Option1[0]->click();
    cat.ui.inputs = {QStringLiteral("zz"), QStringLiteral("A")};
    dialog->Option2[0]->click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, NotFound);
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::None);
    EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("検索"));
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(panels.panelText(1), QStringLiteral("種目別の全てのレコードを表示"));

    // The same choice clicked again is another try.
    dialog->Option2[0]->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(panels.panelText(1), FoundPanel);
}

TEST_F(ListDialogs, LaterColumnsFindARowThroughItsHiddenKeyCells) {
    fill({{QStringLiteral("1st"), QStringLiteral("x"), QStringLiteral("5"), QStringLiteral("0")},
          {QStringLiteral("y"), QStringLiteral("z"), QStringLiteral("17"), QStringLiteral("0")},
          {QStringLiteral("w"), QStringLiteral("10cc"), QStringLiteral("3"), QStringLiteral("0")}});
    panels.setPanelText(1, QStringLiteral("x"));
    auto dialog = records::MakeInquiryListSearch(cat.state, cat.ui, list, nullptr);
    cat.ui.inputs = {QStringLiteral("1")};
    dialog->Option1[1]->click();
    // Row 1 begins with 1 only in its first cell; row 2 through its hidden 登録ＮＯ.
    EXPECT_EQ(list.selectedIndex(), 2);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    // Form10k leaves the status bar alone, and the column choice stays enabled.
    EXPECT_EQ(panels.panelText(1), QStringLiteral("x"));
    EXPECT_TRUE(dialog->Frame1->isEnabled());

    // A cancelled input box searches for the empty text, which the first row's second cell begins with.
    list.select(3);
    auto again = records::MakeInquiryListSearch(cat.state, cat.ui, list, nullptr);
    cat.ui.inputs = {std::nullopt};
    again->Option1[1]->click();
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_TRUE(cat.ui.messages.isEmpty());

    // The first column alone never looks at the others; the later ones ignore letter case as well.
    EXPECT_EQ(records::FindListRow(list, QStringLiteral("1"), records::ListSearchWhere::FirstColumn,
                                   records::ListSearchMatch::WholeText),
              0);
    EXPECT_EQ(records::FindListRow(list, QStringLiteral("10C"), records::ListSearchWhere::LaterColumns,
                                   records::ListSearchMatch::Prefix),
              3);
    // The later columns never look at the first; their hidden key cells count like the shown ones.
    EXPECT_EQ(records::FindListRow(list, QStringLiteral("W"), records::ListSearchWhere::LaterColumns,
                                   records::ListSearchMatch::Prefix),
              0);
    EXPECT_EQ(records::FindListRow(list, QStringLiteral("3"), records::ListSearchWhere::LaterColumns,
                                   records::ListSearchMatch::Prefix),
              3);
}

TEST_F(ListDialogs, ColumnSortByTextInTheListsOrder) {
    fill({{QStringLiteral("9"), QStringLiteral("b"), QStringLiteral("1"), QStringLiteral("0")},
          {QStringLiteral("10"), QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("0")},
          {QStringLiteral("100"), QStringLiteral("a"), QStringLiteral("3"), QStringLiteral("0")}});
    list.select(1);
    records::SortByColumn(list, panels, 0);
    EXPECT_EQ(column(0), QStringList({QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("9")}));
    EXPECT_EQ(panels.panelText(1), QStringLiteral("クリックした項目列でソートした結果を表示"));
    // The current row stays on its record (9), now the third.
    EXPECT_EQ(panels.panelText(2), QStringLiteral("レコード順／総数　　3 / 3"));

    auto descending = records::MakeMainSortOrder(cat.state, cat.ui, list, nullptr);
    descending->Option1[1]->click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("ソート順序は「降順」で設定しました。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Information);
    EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(cat.ui.messages[0].title, QString());
    EXPECT_EQ(descending->result(), QDialog::Accepted);
    // Nothing moves until the next click.
    EXPECT_EQ(column(0), QStringList({QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("9")}));
    records::SortByColumn(list, panels, 0);
    EXPECT_EQ(column(0), QStringList({QStringLiteral("9"), QStringLiteral("100"), QStringLiteral("10")}));

    auto ascending = records::MakeSubSortOrder(cat.state, cat.ui, list, nullptr);
    ascending->Option1[0]->click();
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("ソート順序は「昇順」で設定しました。"));
    EXPECT_EQ(list.sortOrder(), Qt::AscendingOrder);
    // Letter case does not order the rows: b and B are equal and keep their order.
    records::SortByColumn(list, panels, 1);
    EXPECT_EQ(column(1), QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("B")}));
}

TEST_F(ListDialogs, HeadingClickOnAnEmptyListChangesNothing) {
    fill({});
    panels.setPanelText(1, QStringLiteral("種目別に検索したレコードを表示"));
    records::SortByColumn(list, panels, 1);
    EXPECT_EQ(panels.panelText(1), QStringLiteral("種目別に検索したレコードを表示"));
    EXPECT_EQ(panels.panelText(2), QString());
    EXPECT_EQ(list.sortKey(), 0);
}

// The main record screen runs Form5k from mk11 and the tool bar, and shows the found row afterwards.
TEST_F(ListDialogs, MainScreenSearchShowsTheFoundRowInItsPanel) {
    for (int reg = 1; reg <= 5; ++reg)
        cat.addMain(4, reg, {QStringLiteral("タイトル%1").arg(reg), QStringLiteral("歌手%1").arg(reg)});
    cat.state.CurrentSection = 4;
    cat.state.CurrentCategoryName = cat.state.config[4].ShumokuName;
    cat.state.ListMode = 0;
    records::MainRecordScreen screen(cat.state, cat.ui);
    screen.Timer1_Timer();

    cat.ui.inputs = {QStringLiteral("歌手3")};
    cat.ui.modalDrivers.push_back([](QDialog& d) { static_cast<ListSearchDialog&>(d).Option1[1]->click(); });
    screen.mk11_Click();
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form5k"));
    EXPECT_EQ(screen.Text1[0]->text(), QStringLiteral("タイトル3"));
    EXPECT_EQ(screen.Text3->text(), QStringLiteral("3"));
    EXPECT_EQ(screen.StatusBar1->panelText(1), FoundPanel);
    EXPECT_EQ(screen.StatusBar1->panelText(2), QStringLiteral("レコード順／総数　　3 / 5"));

    cat.ui.modalDrivers.push_back([](QDialog& d) { static_cast<SortOrderDialog&>(d).Option1[1]->click(); });
    screen.Toolbar1_ButtonClick(QStringLiteral("ソート"));
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form5s"));
    screen.ListView1_ColumnClick(1);
    EXPECT_EQ(screen.ListView1->cell(1, 1), QStringLiteral("歌手5"));
    EXPECT_EQ(screen.StatusBar1->panelText(2), QStringLiteral("レコード順／総数　　3 / 5"));

    screen.Toolbar1_ButtonClick(QStringLiteral("検索"));
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form5k"));
}

} // namespace
