#include "search/InquiryScreen.h"
#include "SearchTestData.h"
#include "platform/MaskedDateBox.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "records/FieldSearchDialog.h"
#include "records/RecordPicture.h"
#include "search/InquiryMainView.h"
#include "search/InquirySubView.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Icon;
using search::InquiryMainView;
using search::InquiryScreen;
using search::InquirySubView;

namespace {

struct InquiryLists : ::testing::Test {
    test::TestCatalogue cat;
    InquiryScreen screen{cat.state, cat.ui};
    InquiryLists() {
        test::FillSearchCatalogue(cat);
        test::AddSubFields(cat, 4, 1, 2, {QStringLiteral("Second")});
        cat.addMain(7, 8, {QStringLiteral("DVD作品")});
        test::AddSubFields(cat, 7, 8, 1, {QStringLiteral("DVDの章")});
    }
    // Plays a single-record view once it is open.
    template <class View> void driveView(std::function<void(View&)> play) {
        cat.ui.modalDrivers.push_back([play](QDialog& d) { play(static_cast<View&>(d)); });
    }
};

TEST_F(InquiryLists, MenusOfferTheCategoriesInUse) {
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 照会"));
    EXPECT_EQ(screen.mf10[0]->text(), QStringLiteral("　     CD1"));
    EXPECT_EQ(screen.mf11[3]->text(), QStringLiteral("　(検索)  DVD1"));
    for (int i : {1, 2, 4, 5}) {
        EXPECT_FALSE(screen.mf10[i]->isEnabled());
        EXPECT_FALSE(screen.mf11[i]->isEnabled());
    }
    EXPECT_FALSE(screen.Text2->isHidden());
    EXPECT_EQ(screen.ListView1->columnCount(), 0);

    screen.mf10_Click(1);
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("ファイル設定が未済です。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(screen.source().section, 0);
}

TEST_F(InquiryLists, OpeningACategoryShowsItsRecordsAndTheSubRecordsOfTheSelectedOne) {
    screen.mf10_Click(0);
    EXPECT_TRUE(screen.Text2->isHidden());
    EXPECT_EQ(screen.Label3->text(), QStringLiteral("CD1"));
    EXPECT_EQ(screen.StatusBar1->panelText(1), QStringLiteral("種目別に全てのレコードを表示"));
    ASSERT_EQ(screen.ListView1->columnCount(), 16);
    EXPECT_EQ(screen.ListView1->columnWidthTwips(0), 3500);
    EXPECT_EQ(screen.ListView1->columnWidthTwips(15), 0);
    ASSERT_EQ(screen.ListView1->rowCount(), 3);
    EXPECT_EQ(screen.Label5->text(), QStringLiteral("1"));
    EXPECT_EQ(screen.StatusBar1->panelText(2), QStringLiteral("メイン明細レコード順／総数 　　1 / 3"));
    EXPECT_EQ(screen.StatusBar1->panelText(3), QStringLiteral("Blue Moon"));
    ASSERT_EQ(screen.ListView2->rowCount(), 2);
    EXPECT_EQ(screen.ListView2->columnCount(), 12);
    EXPECT_EQ(screen.ListView2->cell(2, 0), QStringLiteral("Second"));

    screen.ListView2_ItemClick(2);
    EXPECT_EQ(screen.Label9->text(), QStringLiteral("2"));
    EXPECT_EQ(screen.StatusBar1->panelText(2), QStringLiteral("サブ明細レコード順／総数 　　2 / 2"));

    // A record without a first field and without sub records: empty first cell, sub headings but no rows.
    screen.ListView1_ItemClick(3);
    EXPECT_EQ(screen.ListView1->cell(3, 0), QString());
    EXPECT_EQ(screen.Label5->text(), QStringLiteral("40001"));
    EXPECT_EQ(screen.Label9->text(), QStringLiteral("2")); // the sub number stays until a sub row is clicked
    EXPECT_EQ(screen.ListView2->columnCount(), 12);
    EXPECT_EQ(screen.ListView2->rowCount(), 0);
    // 登録ＮＯ 40000 and its sub record.
    screen.ListView1_ItemClick(2);
    EXPECT_EQ(screen.Label5->text(), QStringLiteral("40000"));
    ASSERT_EQ(screen.ListView2->rowCount(), 1);
    EXPECT_EQ(screen.ListView2->cell(1, 0), QStringLiteral("Night Blue"));

    EXPECT_TRUE(screen.Label5->isHidden());
    screen.mv11->trigger();
    EXPECT_FALSE(screen.Label5->isHidden());
    EXPECT_FALSE(screen.Label9->isHidden());
}

TEST_F(InquiryLists, KeepsItsOwnCategoryWhenAnotherScreenChangesTheCurrentOne) {
    screen.mf10_Click(0);
    // A record screen opened from the main window meanwhile.
    cat.state.CurrentSection = 7;
    cat.state.CurrentCategoryName = QStringLiteral("DVD1");
    screen.ListView1_ItemClick(1);
    ASSERT_EQ(screen.ListView2->rowCount(), 2);
    EXPECT_EQ(screen.ListView2->cell(1, 0), QStringLiteral("Blue in Green"));
    driveView<InquiryMainView>([](InquiryMainView& v) {
        EXPECT_EQ(v.Label2->text(), QStringLiteral("CD1"));
        EXPECT_EQ(v.Label1[0]->text(), QStringLiteral("タイトル"));
        EXPECT_EQ(v.Text1[0]->text(), QStringLiteral("Blue Moon"));
    });
    screen.ListView1_DblClick();
    driveView<InquirySubView>([](InquirySubView& v) {
        EXPECT_EQ(v.Label1[0]->text(), QStringLiteral("曲名"));
        EXPECT_EQ(v.Text2->text(), QStringLiteral("1"));
        EXPECT_TRUE(v.Text1[10]->isHidden());
    });
    screen.ListView2->select(1);
    screen.ListView2_DblClick();
    EXPECT_EQ(cat.ui.modalScreens, (QList<QString>{"Form10ml", "Form10sl"}));
}

TEST_F(InquiryLists, SearchThatFindsNothingLeavesThePositionText) {
    screen.mf10_Click(3);
    EXPECT_EQ(screen.StatusBar1->panelText(2), QStringLiteral("メイン明細レコード順／総数 　　1 / 2"));
    cat.ui.modalDrivers.push_back([](QDialog& d) {
        auto& dialog = static_cast<records::FieldSearchDialog&>(d);
        dialog.Option1[0]->click();
        dialog.MaskEdBox1->setText(QStringLiteral("見つからない"));
        dialog.Command1->click();
    });
    screen.mf11_Click(0);
    EXPECT_EQ(screen.StatusBar1->panelText(1), QStringLiteral("種目別に検索したレコードを表示"));
    EXPECT_EQ(screen.Label3->text(), QStringLiteral("CD1"));
    EXPECT_EQ(screen.ListView1->rowCount(), 0);
    EXPECT_EQ(screen.ListView2->rowCount(), 0);
    EXPECT_EQ(screen.Label5->text(), QString());
    EXPECT_EQ(screen.StatusBar1->panelText(2), QStringLiteral("メイン明細レコード順／総数 　　1 / 2"));

    // A search that finds: hiragana finds katakana; cancelling clears both lists.
    cat.ui.modalDrivers.push_back([](QDialog& d) {
        auto& dialog = static_cast<records::FieldSearchDialog&>(d);
        dialog.Option1[1]->click();
        dialog.MaskEdBox1->setText(QStringLiteral("ひかり"));
        dialog.Command1->click();
    });
    screen.mf11_Click(0);
    ASSERT_EQ(screen.ListView1->rowCount(), 1);
    EXPECT_EQ(screen.Label5->text(), QStringLiteral("40001"));
    cat.ui.modalDrivers.push_back([](QDialog& d) { d.reject(); });
    screen.mf11_Click(0);
    EXPECT_EQ(screen.ListView1->columnCount(), 0);
    EXPECT_EQ(screen.ListView2->columnCount(), 0);
    EXPECT_EQ(screen.StatusBar1->panelText(2), QString());
}

TEST_F(InquiryLists, PreviousAndNextStopAtBothEndsWithTheirMessages) {
    screen.mf10_Click(0);
    screen.ListView1_ItemClick(2);
    driveView<InquiryMainView>([](InquiryMainView& v) {
        EXPECT_EQ(v.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 照会(メイン明細)個別詳細表示"));
        EXPECT_EQ(v.Text2->text(), QStringLiteral("40000"));
        EXPECT_EQ(v.StatusBar1->panelText(1), QStringLiteral("レコード順／総数　　2 / 3"));
        EXPECT_EQ(v.StatusBar1->panelText(2), QStringLiteral("登録Ｎｏ．　40000"));
        v.Command2->click();
        EXPECT_EQ(v.Text1[1]->text(), QStringLiteral("ひかりの森"));
        v.Command2->click();
        v.Command2->click();
        EXPECT_EQ(v.position(), 3);
        v.Command1->click();
        EXPECT_EQ(v.Text2->text(), QStringLiteral("40000"));
        v.Command1->click();
        v.Command1->click();
        EXPECT_EQ(v.position(), 1);
    });
    screen.ListView1_DblClick();
    QStringList texts;
    for (const auto& m : cat.ui.messages) {
        texts << m.text;
        EXPECT_EQ(m.icon, Icon::Exclamation);
        EXPECT_EQ(m.title, QStringLiteral("ERROR"));
    }
    EXPECT_EQ(texts, (QStringList{"これより後に明細はありません　", "これより後に明細はありません　",
                                  "これより前に明細はありません　"}));
    // The view moved the list's selection; the sub list followed it.
    EXPECT_EQ(screen.ListView1->selectedIndex(), 1);
    EXPECT_EQ(screen.Label5->text(), QStringLiteral("1"));

    cat.ui.messages.clear();
    screen.ListView2->select(2);
    driveView<InquirySubView>([](InquirySubView& v) {
        EXPECT_EQ(v.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 照会(サブ明細)個別詳細表示"));
        EXPECT_EQ(v.StatusBar1->panelText(2), QStringLiteral("サブＮｏ．　2"));
        v.Command2->click();
        v.Command1->click();
        v.Command1->click();
    });
    screen.ListView2_DblClick();
    ASSERT_EQ(cat.ui.messages.size(), 2);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("これより後にサブ明細はありません　"));
    EXPECT_EQ(cat.ui.messages[1].text, QStringLiteral("これより前にサブ明細はありません　"));
    EXPECT_EQ(screen.Label9->text(), QStringLiteral("1"));
}

TEST_F(InquiryLists, MainViewShowsThePictureOfItsOwnCategory) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(records::WriteJpeg(image, cat.state.RecordPicturePath(4, 1)));
    screen.mf10_Click(0);
    cat.state.CurrentSection = 7;
    driveView<InquiryMainView>([](InquiryMainView& v) {
        EXPECT_FALSE(v.Picture2->pixmap().isNull());
        v.Command2->click(); // 40000 has none: the box is emptied, nothing is said
        EXPECT_TRUE(v.Picture2->pixmap().isNull());
    });
    screen.ListView1_DblClick();
    EXPECT_TRUE(cat.ui.messages.isEmpty());
}

// Another screen writes while the inquiry screen is open; coming back to it, or F5, shows the catalogue as it is,
// with the selection kept on its records.
TEST_F(InquiryLists, ComingBackAfterAWriteOrF5ReadsTheListsAgain) {
    QWidget elsewhere;
    elsewhere.show();
    screen.show();
    QApplication::setActiveWindow(&screen);
    screen.mf10_Click(0);
    screen.ListView1_ItemClick(2); // 40000, its sub record 3
    screen.ListView2_ItemClick(1);
    const auto write = [&](const QString& sql) {
        QApplication::setActiveWindow(&elsewhere);
        cat.open()->execute(sql);
        QApplication::setActiveWindow(&screen);
    };

    write(QStringLiteral("UPDATE CD1 SET [タイトル] = 'Night' WHERE [登録ＮＯ] = 40000"));
    ASSERT_EQ(screen.ListView1->rowCount(), 3);
    EXPECT_EQ(screen.ListView1->selectedIndex(), 2);
    EXPECT_EQ(screen.ListView1->cell(2, 0), QStringLiteral("Night"));
    EXPECT_EQ(screen.Label5->text(), QStringLiteral("40000"));
    EXPECT_EQ(screen.ListView2->selectedIndex(), 1);
    EXPECT_EQ(screen.Label9->text(), QStringLiteral("3"));

    // The record before the selected one goes: the selection stays on 40000, now the first row.
    write(QStringLiteral("DELETE FROM CD1 WHERE [登録ＮＯ] = 1"));
    ASSERT_EQ(screen.ListView1->rowCount(), 2);
    EXPECT_EQ(screen.ListView1->selectedIndex(), 1);
    EXPECT_EQ(screen.Label5->text(), QStringLiteral("40000"));
    EXPECT_EQ(screen.StatusBar1->panelText(2), QStringLiteral("サブ明細レコード順／総数 　　1 / 1"));

    // The selected record itself goes: the row at its place is selected, with its own sub list.
    write(QStringLiteral("DELETE FROM CD1 WHERE [登録ＮＯ] = 40000"));
    ASSERT_EQ(screen.ListView1->rowCount(), 1);
    EXPECT_EQ(screen.Label5->text(), QStringLiteral("40001"));
    EXPECT_EQ(screen.ListView2->rowCount(), 0);
    EXPECT_EQ(screen.Label9->text(), QString());

    // A write while the screen stays active shows at F5.
    cat.addMain(4, 50, {QStringLiteral("新譜")});
    EXPECT_EQ(screen.ListView1->rowCount(), 1);
    QTest::keyClick(&screen, Qt::Key_F5);
    ASSERT_EQ(screen.ListView1->rowCount(), 2);
    EXPECT_EQ(screen.Label5->text(), QStringLiteral("40001"));
}

TEST_F(InquiryLists, AllCategorySearchFromHereOffersNoEditing) {
    cat.ui.modalDrivers.push_back([](QDialog& d) { d.reject(); });
    screen.mff2->trigger();
    EXPECT_TRUE(cat.state.SearchFromInquiry);
    EXPECT_EQ(cat.ui.modalScreens, QList<QString>{QStringLiteral("Form9")});
}

TEST(InquiryFromMainWindow, OneInquiryScreenOwnedByTheMainWindow) {
    test::TestCatalogue cat;
    shell::MainWindow w(cat.state, cat.ui);
    ASSERT_TRUE(w.Form_Load());
    w.mi1->trigger();
    w.mi1->trigger();
    ASSERT_FALSE(w.inquiryScreen.isNull());
    EXPECT_EQ(w.inquiryScreen->parent(), &w);
    EXPECT_EQ(cat.ui.modelessScreens, (QList<QString>{"Form10", "Form10"}));
    EXPECT_EQ(w.findChildren<InquiryScreen*>().size(), 1);

    // 全ファイルより検索 of the main window: the search with editing.
    cat.state.SearchFromInquiry = true;
    cat.ui.modalDrivers.push_back([](QDialog& d) { d.reject(); });
    w.Command3->click();
    EXPECT_FALSE(cat.state.SearchFromInquiry);
    EXPECT_EQ(cat.ui.modalScreens, QList<QString>{QStringLiteral("Form9")});
}

} // namespace
