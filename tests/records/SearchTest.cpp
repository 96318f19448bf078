#include "records/FieldSearchDialog.h"

#include "TestCatalogue.h"
#include "platform/MaskedDateBox.h"
#include "records/MainRecords.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <map>

using namespace quelm;
using platform::Buttons;
using platform::Icon;
using records::FieldSearchDialog;

namespace {

constexpr int Cd = 4;

// Fifteen cells for TestCatalogue::addMain; a null QString is a Null cell.
QStringList Cells(const std::map<int, QString>& byField) {
    QStringList cells;
    for (int k = 1; k <= 15; ++k)
        cells << (byField.count(k) ? byField.at(k) : QString());
    return cells;
}

struct FieldSearch : ::testing::Test {
    test::TestCatalogue cat;

    void SetUp() override {
        cat.state.CurrentSection = Cd;
        cat.state.CurrentCategoryName = cat.state.config[Cd].ShumokuName;
        cat.state.ListMode = 1;
    }
    // What the main record screen lists for the criteria the dialog left behind: the first cell of each row.
    QStringList found() {
        auto db = cat.open();
        QStringList titles;
        for (const auto& row : records::ReadMainRows(*db, cat.state))
            titles << row.cell(0);
        return titles;
    }
    // One accepted search: choose the field (element of Option1), optionally a date comparison, type, accept.
    void search(int option, const QString& text, int comparison = -1) {
        FieldSearchDialog dialog(cat.state, cat.ui);
        dialog.Option1[option]->click();
        if (comparison >= 0)
            dialog.Option2[comparison]->click();
        dialog.MaskEdBox1->setText(text);
        dialog.Command1->click();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
    }
};

TEST_F(FieldSearch, OpensWithTheFieldsOfTheCategoryAndEverythingElseHidden) {
    store::FieldSearch& f = cat.state.FieldSearchCriteria;
    f = {3, store::TypeText, QStringLiteral("old"), 77, QDate(2001, 1, 1), 2, 1};
    cat.state.SearchCancelled = false;

    FieldSearchDialog dialog(cat.state, cat.ui);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - レコード別検索条件"));
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("検索して開く  （レコードの選択）"));
    EXPECT_EQ(dialog.Frame1->title(), QStringLiteral("検索する項目"));
    EXPECT_EQ(dialog.Option1[0]->text(), QStringLiteral("タイトル ----- (文字)"));
    EXPECT_EQ(dialog.Option1[10]->text(), QStringLiteral("枚数 ----- (数値)"));
    EXPECT_EQ(dialog.Option1[12]->text(), QStringLiteral("購入日 ----- (日付)"));
    EXPECT_EQ(dialog.Option1[14]->text(), QStringLiteral("備考 ----- (文字)"));
    for (QRadioButton* option : dialog.Option1) {
        EXPECT_TRUE(option->isVisibleTo(&dialog));
        EXPECT_FALSE(option->isChecked());
    }
    EXPECT_TRUE(dialog.Frame1->isEnabled());
    for (QWidget* hidden : {static_cast<QWidget*>(dialog.Frame2), static_cast<QWidget*>(dialog.Check1),
                            static_cast<QWidget*>(dialog.MaskEdBox1), static_cast<QWidget*>(dialog.Command1)})
        EXPECT_FALSE(hidden->isVisibleTo(&dialog));
    // The label of the value box is there from the start; only the box waits for a field.
    EXPECT_TRUE(dialog.Label2->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.Command2->text(), QStringLiteral("ヘルプ"));

    // Text, number and date are reset; the comparison and the exact-match flag are kept.
    EXPECT_TRUE(cat.state.SearchCancelled);
    EXPECT_EQ(f.searchText, QString());
    EXPECT_EQ(f.searchNumber, 0);
    EXPECT_EQ(f.searchDate, store::FieldSearch::ZeroDate);
    EXPECT_EQ(f.dateComparison, 2);
    EXPECT_EQ(f.exactMatch, 1);

    dialog.Command2->click();
    EXPECT_EQ(cat.ui.helpShown, 1);
    dialog.reject();
    EXPECT_TRUE(cat.state.SearchCancelled);
}

TEST_F(FieldSearch, ChoosingAFieldShowsItsControlsAndFixesTheChoice) {
    FieldSearchDialog text(cat.state, cat.ui);
    text.Option1[1]->click();
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchField, 1);
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchType, store::TypeText);
    EXPECT_TRUE(text.Check1->isVisibleTo(&text));
    EXPECT_EQ(text.Check1->text(), QStringLiteral("大/小文字、全角/半角、カナ/ひらがなを区別する"));
    EXPECT_FALSE(text.Frame2->isVisibleTo(&text));
    EXPECT_TRUE(text.MaskEdBox1->isVisibleTo(&text));
    EXPECT_TRUE(text.Command1->isVisibleTo(&text));
    EXPECT_EQ(text.Command1->text(), QStringLiteral("検　索"));
    EXPECT_FALSE(text.Frame1->isEnabled());
    text.Option1[12]->click(); // disabled: the field stays
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchField, 1);

    FieldSearchDialog date(cat.state, cat.ui);
    date.Option1[13]->click();
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchType, store::TypeDate);
    EXPECT_EQ(date.MaskEdBox1->mask(), QStringLiteral("####/##/##"));
    EXPECT_TRUE(date.Frame2->isVisibleTo(&date));
    EXPECT_EQ(date.Frame2->title(), QStringLiteral("検索条件（日付）"));
    EXPECT_EQ(date.Option2[0]->text(), QStringLiteral("検索文字と　一致"));
    EXPECT_EQ(date.Option2[1]->text(), QStringLiteral("検索文字より 大きい"));
    EXPECT_EQ(date.Option2[2]->text(), QStringLiteral("検索文字より 小さい"));
    EXPECT_FALSE(date.Check1->isVisibleTo(&date));

    FieldSearchDialog number(cat.state, cat.ui);
    number.Option1[10]->click();
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchType, store::TypeLong);
    EXPECT_EQ(number.MaskEdBox1->mask(), QString());
    EXPECT_FALSE(number.Frame2->isVisibleTo(&number));
    EXPECT_FALSE(number.Check1->isVisibleTo(&number));
}

TEST_F(FieldSearch, RefusedValuesShowAnErrorAndKeepTheDialogOpen) {
    auto refused = [this](int option, const QString& typed, const QString& message) {
        cat.ui.messages.clear();
        FieldSearchDialog dialog(cat.state, cat.ui);
        dialog.Option1[option]->click();
        dialog.MaskEdBox1->setText(typed);
        dialog.Command1->click();
        ASSERT_EQ(cat.ui.messages.size(), 1) << typed.toStdString();
        EXPECT_EQ(cat.ui.messages[0].text, message) << typed.toStdString();
        EXPECT_EQ(cat.ui.messages[0].icon, Icon::None);
        EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::Ok);
        EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("ERROR"));
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(cat.state.SearchCancelled);
    };
    refused(0, QString(), QStringLiteral("検索文字が入力されていません"));
    refused(10, QString(), QStringLiteral("検索文字が入力されていません"));
    refused(10, QStringLiteral("12a"), QStringLiteral("検索文字が数値ではありません"));
    refused(10, QStringLiteral("99999999999"), QStringLiteral("検索文字が数値ではありません"));
    refused(12, QString(), QStringLiteral("検索文字が入力されていません"));
    refused(12, QStringLiteral("2009/04/__"), QStringLiteral("検索文字が日付ではありません"));
    refused(12, QStringLiteral("2009/02/30"), QStringLiteral("検索文字が日付ではありません"));
}

TEST_F(FieldSearch, AcceptedValuesBecomeTheCriteria) {
    search(10, QStringLiteral("-15"));
    EXPECT_FALSE(cat.state.SearchCancelled);
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchField, 10);
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchNumber, -15);

    search(13, QStringLiteral("20090406"));
    EXPECT_EQ(cat.state.FieldSearchCriteria.searchDate, QDate(2009, 4, 6));

    {
        FieldSearchDialog dialog(cat.state, cat.ui);
        dialog.Option1[0]->click();
        dialog.Check1->click();
        EXPECT_EQ(cat.state.FieldSearchCriteria.exactMatch, 1);
        dialog.MaskEdBox1->setText(QStringLiteral("Ab"));
        dialog.Command1->click();
        EXPECT_EQ(cat.state.FieldSearchCriteria.searchText, QStringLiteral("Ab"));
        EXPECT_EQ(cat.state.FieldSearchCriteria.exactMatch, 1);
    }
    // The check box opens unticked each time, so a new TEXT search is loose again.
    search(0, QStringLiteral("Ab"));
    EXPECT_EQ(cat.state.FieldSearchCriteria.exactMatch, 0);
}

TEST_F(FieldSearch, TextSearchFoldsUnlessTheBoxIsTicked) {
    cat.addMain(Cd, 1, Cells({{1, QStringLiteral("ＡＢＣの歌")}}));
    cat.addMain(Cd, 2, Cells({{1, QStringLiteral("かきくけこ")}}));
    cat.addMain(Cd, 3, Cells({{1, QStringLiteral("ﾀﾞﾝｽ ab")}}));
    cat.addMain(Cd, 4, Cells({{2, QStringLiteral("ab")}}));

    search(0, QStringLiteral("ab"));
    EXPECT_EQ(found(), QStringList({QStringLiteral("ＡＢＣの歌"), QStringLiteral("ﾀﾞﾝｽ ab")}));
    search(0, QStringLiteral("カ"));
    EXPECT_EQ(found(), QStringList({QStringLiteral("かきくけこ")}));
    search(0, QStringLiteral("だんす"));
    EXPECT_EQ(found(), QStringList({QStringLiteral("ﾀﾞﾝｽ ab")}));

    FieldSearchDialog exact(cat.state, cat.ui);
    exact.Option1[0]->click();
    exact.Check1->click();
    exact.MaskEdBox1->setText(QStringLiteral("ＡＢ"));
    exact.Command1->click();
    EXPECT_EQ(found(), QStringList({QStringLiteral("ＡＢＣの歌")}));
}

TEST_F(FieldSearch, DateComparisonsNullDatesAndTheRememberedComparison) {
    cat.addMain(Cd, 1, Cells({{1, QStringLiteral("5日")}, {13, QStringLiteral("2009/04/05")}}));
    cat.addMain(Cd, 2, Cells({{1, QStringLiteral("6日")}, {13, QStringLiteral("2009/04/06")}}));
    cat.addMain(Cd, 3, Cells({{1, QStringLiteral("7日")}, {13, QStringLiteral("2009/04/07")}}));
    cat.addMain(Cd, 4, Cells({{1, QStringLiteral("なし")}}));

    // Never clicked in this run: equality.
    search(12, QStringLiteral("2009/04/06"));
    EXPECT_EQ(found(), QStringList({QStringLiteral("6日")}));
    search(12, QStringLiteral("2009/04/06"), 1);
    EXPECT_EQ(found(), QStringList({QStringLiteral("7日")}));
    search(12, QStringLiteral("2009/04/06"), 2);
    EXPECT_EQ(found(), QStringList({QStringLiteral("5日")}));

    // The next date search keeps "earlier than" without a click, and shows it.
    {
        FieldSearchDialog dialog(cat.state, cat.ui);
        dialog.Option1[12]->click();
        EXPECT_TRUE(dialog.Option2[2]->isChecked());
        dialog.MaskEdBox1->setText(QStringLiteral("2009/04/07"));
        dialog.Command1->click();
    }
    EXPECT_EQ(found(), QStringList({QStringLiteral("5日"), QStringLiteral("6日")}));

    // A stored time of day makes a date later than the midnight of its day.
    cat.addMain(Cd, 5, Cells({{1, QStringLiteral("6日朝")}, {13, QStringLiteral("2009/04/06 09:00")}}));
    search(12, QStringLiteral("2009/04/06"), 1);
    EXPECT_EQ(found(), QStringList({QStringLiteral("7日"), QStringLiteral("6日朝")}));
    search(12, QStringLiteral("2009/04/06"), 0);
    EXPECT_EQ(found(), QStringList({QStringLiteral("6日")}));

    // The Null date matches no comparison, also against the far past or future.
    search(12, QStringLiteral("0100/01/01"), 1);
    EXPECT_EQ(found().size(), 4);
    search(12, QStringLiteral("9999/12/31"), 2);
    EXPECT_EQ(found().size(), 4);
}

} // namespace
