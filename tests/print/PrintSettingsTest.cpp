#include "TestCatalogue.h"
#include "platform/KeyedToolBar.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "print/PrintSettingsDialog.h"
#include "print/PrintStatusDialog.h"
#include "records/MainRecordScreen.h"
#include "records/SubRecordScreen.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Buttons;
using platform::Icon;
using print::PrintSettingsDialog;
using store::PrintSettings;

namespace {

QStringList Items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void Pick(QListWidget* list, int row) {
    list->setCurrentRow(row);
}

struct Printing : ::testing::Test {
    test::TestCatalogue cat;
    std::unique_ptr<records::MainRecordScreen> main;

    Printing() {
        cat.addMain(4, 1, {QStringLiteral("一枚目のアルバム"), QStringLiteral("歌手1")});
        cat.addMain(4, 2, {QStringLiteral("二枚目"), QStringLiteral("歌手2")});
        cat.addSub(4, 1, 1, QStringLiteral("序曲"));
        cat.addSub(4, 1, 2, QStringLiteral("第二曲"));
        cat.state.config[4].RegNo = 2;
        cat.state.CurrentSection = 4;
        cat.state.CurrentCategoryName = QStringLiteral("CD1");
        main = std::make_unique<records::MainRecordScreen>(cat.state, cat.ui);
        main->Timer1_Timer();
    }
    std::unique_ptr<records::SubRecordScreen> openSub() {
        cat.state.CurrentRegNo = 1;
        auto sub = std::make_unique<records::SubRecordScreen>(cat.state, cat.ui);
        sub->Timer1_Timer();
        return sub;
    }
    print::ReportScreen owner() {
        return {main.get(), main->ListView1, nullptr, main->StatusBar1, main->Label1->text()};
    }
    // Plays the user's part in the next settings screen.
    void drive(std::function<void(PrintSettingsDialog&)> play) {
        cat.ui.modalDrivers.push_back([play](QDialog& d) { play(static_cast<PrintSettingsDialog&>(d)); });
    }
    QList<platform::ScriptedUi::Message>& messages() { return cat.ui.messages; }
};

TEST_F(Printing, SettingsScreensShowTheirTexts) {
    auto sub = openSub();
    PrintSettingsDialog m(cat.state, cat.ui, print::ReportSide::Main, owner());
    PrintSettingsDialog s(cat.state, cat.ui, print::ReportSide::Sub,
                          {sub.get(), sub->ListView1, sub->ListView2, sub->StatusBar1, sub->Label1->text()});
    const std::vector<std::pair<QString, QString>> texts{
        {m.windowTitle(), "ＣＤ管理 Quelm - 印刷設定"},
        {s.windowTitle(), "ＣＤ管理 Quelm - 印刷設定(サブ)"},
        {m.Label6->text(), "印 刷 設 定"},
        {s.Label6->text(), "印 刷 設 定 (サブ明細)"},
        {m.SSTab1->tabText(0), "帳表の選定"},
        {m.SSTab1->tabText(1), "印刷項目の選定"},
        {m.SSTab1->tabText(2), "フォント"},
        {m.SSTab1->tabText(3), "用 紙"},
        {m.SSTab1->tabText(4), "ヘッダー・タイトル"},
        {m.Frame3->title(), "作成する帳表を選択する"},
        {m.Option3[0]->text(), "　種目明細一覧表"},
        {s.Option3[0]->text(), "　種目サブ明細一覧表"},
        {m.Option3[1]->text(), "　ＣＤケース背面用明細リスト"},
        {m.Option3[2]->text(), "　トレーカード（151×118mm）"},
        {m.Option3[3]->text(), "　ブックレット表（120×120mm）"},
        {s.Option3[4]->text(), "　ブックレット裏（120×120mm）"},
        {m.Label12->text(),
         "出力するプリンターのドライバーによっては、印刷設定でエラーになったり、設定が無視されることがこと"
         "があります。　事前にプリンターのプロバティで、「フチなし印刷」のチェックをはずしたり・用紙サイズ"
         "等を設定しておくことをお勧めします。"},
        {m.Label1->text(), "印刷する項目の選択"},
        {m.Label2->text(), "印刷可能な項目"},
        {m.Label3->text(), "印刷する項目"},
        {m.Command1->text(), "選択　＞"},
        {m.Command2->text(), "＜　削除"},
        {m.Command5->text(), "全て選択　≫"},
        {m.Label7->text(),
         "ＣＤケース背面用リストは、印刷できる項目が２項目(文字数が少なければ３項目)程度となります。"},
        {m.Label8->text(), "ＣＤケース背面用リストのフォント・サイズは ”８” に固定されます。"},
        {m.Frame1->title(), "用 紙"},
        {m.PaperLabel->text(), "サイズ"},
        {m.Frame2->title(), "印刷の向き"},
        {m.Option1->text(), "縦"},
        {m.Option2->text(), "横"},
        {m.Label10->text(), "ＣＤケース背面用リストは、用紙が印刷領域(137x117)に固定されます。"},
        {m.Label4->text(), "ヘッダー・タイトル"},
        {m.Label5->text(), "(入力ない場合は種目名とする)"},
        {s.Label13->text(), "ヘッダー・タイトル．２"},
        {s.Label14->text(), "(入力ない場合は項目２のデータとする)"},
        {s.Label15->text(), "メイン明細データ"},
        {s.Label16->text(), "←選択"},
        {s.Command7->text(), "挿入 ≫"},
        {s.Command8->text(), "挿入 ≫"},
        {m.Command4->text(), "Ｏ　Ｋ"},
        {m.Command3->text(), "キャンセル"},
        {m.Command6->text(), "ヘルプ"},
        {m.Command7->text(), "印刷設定状況確認"},
        {s.Command9->text(), "印刷設定状況確認"},
    };
    for (const auto& [actual, expected] : texts)
        EXPECT_EQ(actual, expected);
    EXPECT_EQ(m.Option3[4], nullptr); // the booklet's back lists tracks, the sub records
    for (QPushButton* b : m.findChildren<QPushButton*>())
        EXPECT_FALSE(b->autoDefault()) << b->text().toStdString();
}

TEST_F(Printing, OpeningAndCancellingResetsTheReport) {
    cat.state.MainPrintSettings.reportKind = PrintSettings::KindCdCase;
    cat.state.MainPrintSettings.leftMargin = 25;
    cat.state.MainPrintSettings.itemCount = 3;
    cat.state.SubPrintSettings.itemCount = 2;
    PrintSettingsDialog m(cat.state, cat.ui, print::ReportSide::Main, owner());
    EXPECT_EQ(cat.state.MainPrintSettings.reportKind, 0);
    EXPECT_EQ(cat.state.MainPrintSettings.leftMargin, 10);
    EXPECT_EQ(m.Text2->text(), QStringLiteral("10"));
    EXPECT_EQ(Items(m.List1).size(), 15);
    EXPECT_EQ(m.List1->item(0)->text(), QStringLiteral("タイトル"));
    EXPECT_EQ(m.List2->count(), 0);
    EXPECT_EQ(m.Combo2->currentText(), QStringLiteral("A4"));
    EXPECT_EQ(m.Combo2->count(), 3);
    EXPECT_EQ(m.Combo2->itemText(0), QStringLiteral("A5"));
    EXPECT_TRUE(m.Option1->isChecked());
    EXPECT_TRUE(m.Image2->isHidden());
    m.Option2_Click();
    EXPECT_TRUE(m.Image1->isHidden());
    EXPECT_FALSE(m.Image2->isHidden());
    m.Command3_Click();
    EXPECT_EQ(cat.state.MainPrintSettings.itemCount, 0);
    EXPECT_EQ(cat.state.SubPrintSettings.itemCount, 2); // the other report keeps its own

    // Opening a record screen asks for its report to be set up again.
    cat.state.MainPrintSettings.itemCount = 4;
    records::MainRecordScreen again(cat.state, cat.ui);
    again.Timer1_Timer();
    EXPECT_EQ(cat.state.MainPrintSettings.itemCount, 0);
    auto sub = openSub();
    EXPECT_EQ(cat.state.SubPrintSettings.itemCount, 0);
}

TEST_F(Printing, ItemsMoveInTheirOrderAndTabsWarnWithoutAKind) {
    PrintSettingsDialog m(cat.state, cat.ui, print::ReportSide::Main, owner());
    m.SSTab1->setCurrentIndex(4);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0].text, QStringLiteral("作成する帳表が選択されていません。"));
    EXPECT_EQ(messages()[0].title, QStringLiteral("作成帳表選択洩れ"));
    EXPECT_EQ(messages()[0].icon, Icon::Critical);
    EXPECT_EQ(m.SSTab1->currentIndex(), 4);

    m.Command1_Click(); // nothing selected: nothing moves
    EXPECT_EQ(m.List2->count(), 0);
    Pick(m.List1, 1);
    m.Command1_Click();
    Pick(m.List1, 0);
    m.Command1_Click();
    EXPECT_EQ(Items(m.List2), (QStringList{QStringLiteral("アーティスト"), QStringLiteral("タイトル")}));
    Pick(m.List2, 0);
    m.Command2_Click();
    EXPECT_EQ(m.List1->item(m.List1->count() - 1)->text(), QStringLiteral("アーティスト"));
    m.Command5_Click();
    EXPECT_EQ(m.List1->count(), 0);
    const QStringList chosen = Items(m.List2);
    EXPECT_EQ(chosen.size(), 15);
    EXPECT_EQ(chosen[0], QStringLiteral("タイトル"));
    EXPECT_EQ(chosen[1], QStringLiteral("ジャンル"));
    EXPECT_EQ(chosen.last(), QStringLiteral("アーティスト"));

    // Kinds: the insert shows its notes and hides paper and orientation, and moves on to the items.
    m.Option3_Click(1);
    EXPECT_EQ(cat.state.MainPrintSettings.reportKind, PrintSettings::KindCdCase);
    EXPECT_EQ(m.SSTab1->currentIndex(), 1);
    EXPECT_FALSE(m.Label7->isHidden());
    EXPECT_TRUE(m.Combo2->isHidden());
    EXPECT_TRUE(m.Option1->isHidden());
    m.Option3_Click(0);
    EXPECT_TRUE(m.Label7->isHidden());
    EXPECT_FALSE(m.Combo2->isHidden());
    EXPECT_EQ(messages().size(), 1);
}

TEST_F(Printing, FontTabOpensTheFontDialogExceptForTheInsert) {
    auto sub = openSub();
    PrintSettingsDialog m(cat.state, cat.ui, print::ReportSide::Main, owner());
    m.Option3_Click(0);
    cat.ui.fonts.push_back(platform::FontChoice{QStringLiteral("Serif"), 10.5, true, false});
    m.SSTab1->setCurrentIndex(2);
    ASSERT_EQ(cat.ui.fontPresets.size(), 1);
    EXPECT_EQ(cat.ui.fontPresets[0].name, m.Combo2->font().family());
    EXPECT_EQ(m.SSTab1->currentIndex(), 1);
    EXPECT_EQ(cat.ui.printerSurface.fontName(), QStringLiteral("Serif"));
    EXPECT_EQ(cat.ui.printerSurface.fontSize(), 10.5);
    EXPECT_TRUE(cat.ui.printerSurface.fontBold());
    m.SSTab1->setCurrentIndex(2); // cancelled: the printer font stays
    EXPECT_EQ(cat.ui.printerSurface.fontName(), QStringLiteral("Serif"));

    PrintSettingsDialog s(cat.state, cat.ui, print::ReportSide::Sub,
                          {sub.get(), sub->ListView1, sub->ListView2, sub->StatusBar1, sub->Label1->text()});
    s.Option3_Click(0);
    s.SSTab1->setCurrentIndex(2);
    EXPECT_EQ(s.SSTab1->currentIndex(), 0);
    s.Option3_Click(1);
    s.SSTab1->setCurrentIndex(2);
    EXPECT_EQ(s.SSTab1->currentIndex(), 2); // the insert's fixed size is only explained
    EXPECT_EQ(cat.ui.fontPresets.size(), 3);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Printing, OkMeasuresTheListAndChecksTheWidth) {
    PrintSettingsDialog m(cat.state, cat.ui, print::ReportSide::Main, owner());
    m.Command4_Click();
    m.Option3_Click(0);
    m.Command4_Click();
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages()[0].text, QStringLiteral("作成する帳表が選択されていません。"));
    EXPECT_EQ(messages()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(messages()[1].text, QStringLiteral("印刷項目が選択されていません。"));

    // Every item on A5 does not fit.
    m.Command5_Click();
    m.Combo2->setCurrentIndex(0);
    main->ListView1->select(1);
    m.Command4_Click();
    ASSERT_EQ(messages().size(), 3);
    EXPECT_EQ(messages()[2].text, QStringLiteral("印刷データが多いため、用紙の横幅に入りません。\r\n"
                                                 "  ①用紙を横方向にするか、\r\n  ②印刷項目を減らすか、\r\n"
                                                 "  ③フォントサイズを小さくするか\r\nの対策をお願いします。"));
    EXPECT_EQ(messages()[2].icon, Icon::Critical);
    EXPECT_EQ(main->StatusBar1->panelText(3), QStringLiteral("設定作業中"));
    EXPECT_EQ(m.result(), 0);
    EXPECT_EQ(main->ListView1->selectedIndex(), 2); // the last row, as after a walk through the list
    EXPECT_EQ(cat.state.MainPrintSettings.itemCount, 15);
    m.Option3_Click(1);
    m.Command4_Click();
    EXPECT_EQ(messages()[3].text,
              QStringLiteral("印刷データが多いため、用紙の横幅に入りません。\r\n印刷項目を減らして下さい。"));

    // Two items fit: measured over the heading and the cells, with the gap.
    m.Option3_Click(0);
    while (m.List2->count() > 0) {
        Pick(m.List2, 0);
        m.Command2_Click();
    }
    for (const QString& name : {QStringLiteral("タイトル"), QStringLiteral("価格")}) {
        Pick(m.List1, Items(m.List1).indexOf(name));
        m.Command1_Click();
    }
    m.Text2->setText(QStringLiteral("7.5"));
    m.Text1->setText(QStringLiteral("  私のＣＤ  "));
    m.Command4_Click();
    EXPECT_EQ(messages().size(), 4);
    EXPECT_EQ(m.result(), QDialog::Accepted);
    const PrintSettings& s = cat.state.MainPrintSettings;
    EXPECT_EQ(s.configuredSection, 4);
    EXPECT_EQ(s.itemCount, 2);
    EXPECT_EQ(s.columnField[0], 0);
    EXPECT_EQ(s.columnField[1], 11);
    // The insert measured before left the printer at its 10 pt, not at the insert's 8 pt: "一枚目のアルバム"
    // 16 bytes, 28.2 mm; "価格" 4 bytes, 7.1 mm.
    EXPECT_EQ(s.fontSize, 10);
    EXPECT_EQ(s.columnWidth[0], 28 + 4);
    EXPECT_EQ(s.columnWidth[1], 7 + 4);
    EXPECT_EQ(s.columnBytes[0], 16);
    EXPECT_EQ(s.columnBytes[1], 4);
    EXPECT_EQ(s.leftMargin, 8);
    EXPECT_EQ(m.requiredWidth(), 8 + 32 + 11);
    EXPECT_EQ(s.title1, QStringLiteral("私のＣＤ"));
    EXPECT_EQ(s.lineHeight, 5);
    EXPECT_EQ(s.usableWidth, 143); // A5 without margins on the recording printer
    EXPECT_EQ(s.paper, platform::PaperA5);
    EXPECT_EQ(main->StatusBar1->panelText(3), QString());
}

TEST_F(Printing, RefusedPageSetUpIsExplainedAndChangesNothing) {
    PrintSettingsDialog m(cat.state, cat.ui, print::ReportSide::Main, owner());
    m.Option3_Click(0);
    m.Command5_Click();
    cat.ui.printerSurface.refusePageSetup = true;
    m.Command4_Click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0].text, QStringLiteral("使用中のプリンターのドライバーでは、プログラム側からの\r\n"
                                                 "印刷設定変更が認めてくれません。\r\n"
                                                 "そのため、プリンターのプロパティにて、「フチなし印刷」の\r\n"
                                                 "チェックをはずして､用紙の設定を行ってください。"));
    EXPECT_EQ(messages()[0].title, QStringLiteral("注意メッセージ"));
    EXPECT_EQ(messages()[0].icon, Icon::None);
    EXPECT_EQ(cat.state.MainPrintSettings.itemCount, 0);
    EXPECT_EQ(cat.state.MainPrintSettings.configuredSection, 0);
    EXPECT_EQ(m.result(), 0);
}

TEST_F(Printing, SubScreenTakesItsSecondTitleFromTheMainRecord) {
    auto sub = openSub();
    PrintSettingsDialog s(cat.state, cat.ui, print::ReportSide::Sub,
                          {sub.get(), sub->ListView1, sub->ListView2, sub->StatusBar1, sub->Label1->text()});
    EXPECT_EQ(Items(s.List2).mid(0, 2), (QStringList{QStringLiteral("一枚目のアルバム"), QStringLiteral("歌手1")}));
    EXPECT_EQ(s.List1->item(0)->text(), QStringLiteral("曲名"));
    EXPECT_TRUE(s.Text3->isHidden());
    s.Option3_Click(1);
    EXPECT_FALSE(s.Text3->isHidden());
    EXPECT_FALSE(s.Command8->isHidden());
    EXPECT_EQ(s.Label4->text(), QStringLiteral("ヘッダー・タイトル．１"));
    EXPECT_EQ(s.Label5->text(), QStringLiteral("(入力ない場合は項目１のデータとする)"));
    Pick(s.List1, 0);
    s.Command1_Click();
    s.Command4_Click();
    const PrintSettings& set = cat.state.SubPrintSettings;
    EXPECT_EQ(set.title1, QStringLiteral("一枚目のアルバム"));
    EXPECT_EQ(set.title2, QStringLiteral("歌手1"));
    EXPECT_EQ(set.usableWidth, 130);
    EXPECT_EQ(set.linesPerPage, 27);
    EXPECT_EQ(set.fontSize, 8);
    EXPECT_EQ(sub->ListView1->selectedIndex(), 2);

    Pick(s.List2, 1);
    s.InsertTitle_Click(s.Text3);
    EXPECT_EQ(s.Text3->text(), QStringLiteral("歌手1"));
    s.Option3_Click(0);
    EXPECT_TRUE(s.Text3->isHidden());
    EXPECT_EQ(s.Label4->text(), QStringLiteral("ヘッダー・タイトル"));
    s.Command4_Click();
    EXPECT_EQ(set.title1, QStringLiteral("CD1 (サブ明細)"));
    EXPECT_EQ(set.title2, QStringLiteral("歌手1"));
    EXPECT_TRUE(cat.state.MainPrintSettings.itemCount == 0);
}

// The inserts cut to the case print on the chosen paper, turned so that they fit, titled like the A5 insert.
TEST_F(Printing, CaseInsertsTakeTheChosenPaperTurnedToFit) {
    auto sub = openSub();
    struct Case {
        int option;
        const char* paper;
        int paperCode;
        int orientation;
        double fontSize;
    };
    for (const Case& c : {Case{2, "A5", platform::PaperA5, 2, 8}, Case{2, "A4", platform::PaperA4, 1, 8},
                          Case{3, "A5", platform::PaperA5, 1, 10}, Case{4, "B5", platform::PaperB5, 1, 10}}) {
        PrintSettingsDialog s(cat.state, cat.ui, print::ReportSide::Sub,
                              {sub.get(), sub->ListView1, sub->ListView2, sub->StatusBar1, sub->Label1->text()});
        s.Option3_Click(c.option);
        EXPECT_FALSE(s.Combo2->isHidden());
        EXPECT_TRUE(s.Frame2->isHidden()); // turned to fit, not by the user
        EXPECT_FALSE(s.Text3->isHidden());
        s.Combo2->setCurrentText(QString::fromUtf8(c.paper));
        Pick(s.List1, 0);
        s.Command1_Click();
        s.Command4_Click();
        const PrintSettings& set = cat.state.SubPrintSettings;
        EXPECT_EQ(s.result(), QDialog::Accepted) << c.option;
        EXPECT_EQ(set.reportKind, c.option + 1);
        EXPECT_EQ(set.paper, c.paperCode);
        EXPECT_EQ(set.orientation, c.orientation) << c.option << c.paper;
        EXPECT_EQ(set.fontSize, c.fontSize);
        EXPECT_EQ(set.title1, QStringLiteral("一枚目のアルバム"));
        EXPECT_EQ(set.title2, QStringLiteral("歌手1"));
    }
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Printing, StatusScreenShowsWidthsAndWhatIsLeft) {
    PrintSettingsDialog m(cat.state, cat.ui, print::ReportSide::Main, owner());
    m.StatusButton_Click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0].text, QStringLiteral("作成する帳表が選択されていません。"));
    m.Option3_Click(0);
    Pick(m.List1, 0);
    m.Command1_Click();
    print::PrintStatus seen;
    cat.ui.modalDrivers.push_back([&](QDialog& d) {
        auto& st = static_cast<print::PrintStatusDialog&>(d);
        EXPECT_EQ(st.objectName(), QStringLiteral("Form5pp"));
        EXPECT_EQ(st.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 印刷設定状況確認"));
        EXPECT_EQ(st.Command1->text(), QStringLiteral("ヘルブ"));
        EXPECT_EQ(st.List1->topLevelItemCount(), 15);
        EXPECT_EQ(st.List1->topLevelItem(0)->text(1), QStringLiteral("32"));
        EXPECT_EQ(st.List2->topLevelItem(1)->text(0), QStringLiteral("(** 合計 **)"));
        EXPECT_EQ(st.DifferenceLabel->text(), QStringLiteral("差引余裕サイズ"));
        EXPECT_EQ(st.DifferenceValue->text(), QStringLiteral("163")); // 205 − (32 + 10)
        EXPECT_EQ(st.PaperValue->text(), QStringLiteral("A4"));
    });
    m.StatusButton_Click();
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form5pp"));

    // Over the width: both in red. The insert names its paper.
    PrintSettings s;
    s.reportKind = PrintSettings::KindCdCase;
    s.columnField = {0, 1};
    s.leftMargin = 10;
    s.usableWidth = 130;
    s.orientation = 2;
    const auto st = print::MakePrintStatus(s, {QStringLiteral("a"), QStringLiteral("b")}, {100, 40},
                                           {QStringLiteral("a"), QStringLiteral("b")}, 10.5);
    EXPECT_EQ(st.total, 140);
    EXPECT_TRUE(st.over);
    EXPECT_EQ(st.difference, 20);
    EXPECT_EQ(st.paper, QStringLiteral("ＣＤケース(A5)"));
    EXPECT_EQ(st.kind, QStringLiteral("ＣＤケース背面用明細リスト"));
    EXPECT_EQ(st.fontSize, QStringLiteral("10.5"));
    EXPECT_EQ(st.orientation, QStringLiteral("横"));
    print::PrintStatusDialog over(cat.state, cat.ui, print::ReportSide::Sub, st);
    EXPECT_EQ(over.Command1->text(), QStringLiteral("ヘルプ"));
    EXPECT_EQ(over.DifferenceLabel->text(), QStringLiteral("差引サイズオーバー"));
    EXPECT_TRUE(over.DifferenceValue->styleSheet().contains(QStringLiteral("red")));
    EXPECT_NE(over.Title2Value, nullptr);
}

TEST_F(Printing, PrintCommandSetsUpPreviewsAndPrints) {
    // Not set up: the settings screen opens; cancelled, nothing is printed.
    drive([](PrintSettingsDialog& d) { d.Command3_Click(); });
    main->mf16->trigger();
    EXPECT_EQ(cat.ui.modalScreens, QList<QString>{QStringLiteral("Form5ps")});
    EXPECT_EQ(cat.ui.previewsShown, 0);

    drive([this](PrintSettingsDialog& d) {
        d.Option3_Click(0);
        Pick(d.List1, 0);
        d.Command1_Click();
        d.Command4_Click();
    });
    main->mf16->trigger();
    EXPECT_EQ(cat.ui.previewsShown, 1);
    const auto& calls = cat.ui.printerSurface.calls;
    int rows = 0;
    for (const auto& c : calls)
        rows += c.text == QStringLiteral(" 一枚目のアルバム") || c.text == QStringLiteral(" 二枚目");
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(calls.last().op, QStringLiteral("endDoc"));
    EXPECT_EQ(main->StatusBar1->panelText(3), QString());
    EXPECT_EQ(main->ListView1->selectedIndex(), 2);

    // Set up: straight to the preview; cancelling it prints nothing.
    const int before = calls.size();
    cat.ui.previewAnswers.push_back(platform::Answer::Cancel);
    main->Toolbar1->trigger(QStringLiteral("印刷"));
    EXPECT_EQ(cat.ui.previewsShown, 2);
    EXPECT_EQ(calls.size(), before);
    EXPECT_EQ(cat.ui.modalScreens.size(), 2);

    // A printer that fails: told, the job dropped, the panel cleared.
    cat.ui.printerSurface.failEndDoc = true;
    main->mf16->trigger();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0].text, QStringLiteral("印刷できませんでした。\r\nプリンターが応答しません。"));
    EXPECT_EQ(calls.last().op, QStringLiteral("abortDoc"));
    EXPECT_EQ(main->StatusBar1->panelText(3), QString());

    // A document that went to a PDF file: the user learns where and may open it.
    cat.ui.printerSurface.failEndDoc = false;
    cat.ui.printerSurface.pdfFile = QStringLiteral("/tmp/帳表.pdf");
    main->mf16->trigger();
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages()[1].text,
              QStringLiteral("印刷をＰＤＦファイルに保存しました。\n/tmp/帳表.pdf\n\nこのファイルを開きますか？"));
    EXPECT_EQ(messages()[1].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(cat.ui.openedDocuments, QStringList{QStringLiteral("/tmp/帳表.pdf")});
}

// The main report's booklet fronts: one sheet per listed disc, its picture filling the square when it has one
// that can be read, else its first two items as titles.
TEST_F(Printing, BookletFrontsCarryEachDiscsPictureOrItsTitles) {
    cat.addMain(4, 3, {QStringLiteral("壊れた画像"), QStringLiteral("歌手3")}, 1);
    cat.addMain(4, 4, {QStringLiteral("画像あり"), QStringLiteral("歌手4")}, 1);
    QDir().mkpath(cat.state.pictureFolder());
    QFile broken(cat.state.RecordPicturePath(4, 3));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    QImage wide(80, 40, QImage::Format_RGB32);
    wide.fill(Qt::darkBlue);
    ASSERT_TRUE(wide.save(cat.state.RecordPicturePath(4, 4), "JPG"));
    main = std::make_unique<records::MainRecordScreen>(cat.state, cat.ui);
    main->Timer1_Timer();
    drive([](PrintSettingsDialog& d) {
        d.Option3_Click(3);
        d.Command5_Click();
        d.Command4_Click();
    });
    main->mf16->trigger();
    QStringList texts;
    QList<QRectF> pictures;
    int sheets = 1;
    for (const auto& c : cat.ui.printerSurface.calls) {
        if (c.op == QStringLiteral("text"))
            texts << c.text;
        if (c.op == QStringLiteral("picture")) {
            pictures << c.mm;
            EXPECT_EQ(c.pictureSize, QSize(40, 40)); // the middle of the wide picture
        }
        sheets += c.op == QStringLiteral("newPage");
    }
    EXPECT_EQ(sheets, 4);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("一枚目のアルバム"), QStringLiteral("歌手1"), QStringLiteral("二枚目"),
                                  QStringLiteral("歌手2"), QStringLiteral("壊れた画像"), QStringLiteral("歌手3")}));
    // A4 standing, 210 × 297 mm, all printable here: the square in its middle.
    EXPECT_EQ(pictures, QList<QRectF>{QRectF(45, 88.5, 120, 120)});
}

TEST_F(Printing, MainAndSubReportsKeepTheirOwnSettings) {
    drive([](PrintSettingsDialog& d) {
        d.Option3_Click(0);
        Pick(d.List1, 1); // アーティスト
        d.Command1_Click();
        d.Command4_Click();
    });
    main->mf15->trigger();
    auto sub = openSub();
    drive([](PrintSettingsDialog& d) {
        d.Option3_Click(1);
        Pick(d.List1, 0); // 曲名
        d.Command1_Click();
        d.Command4_Click();
    });
    sub->mf15->trigger();
    ASSERT_EQ(cat.state.SubPrintSettings.configuredSection, 4);

    main->mf16->trigger();
    const auto& calls = cat.ui.printerSurface.calls;
    QStringList texts;
    for (const auto& c : calls)
        if (c.op == QLatin1String("text"))
            texts << c.text;
    EXPECT_TRUE(texts.contains(QStringLiteral("アーティスト")));
    EXPECT_TRUE(texts.contains(QStringLiteral(" 歌手1")));
    EXPECT_FALSE(texts.contains(QStringLiteral("[曲名]")));
    EXPECT_EQ(cat.ui.printerSurface.paper(), platform::PaperA4); // not the insert's A5
    EXPECT_EQ(cat.ui.modalScreens.size(), 2);

    cat.ui.printerSurface.calls.clear();
    sub->mf16->trigger();
    texts.clear();
    for (const auto& c : cat.ui.printerSurface.calls)
        if (c.op == QLatin1String("text"))
            texts << c.text;
    EXPECT_TRUE(texts.contains(QStringLiteral("[曲名]")));
    EXPECT_TRUE(texts.contains(QStringLiteral(" 序曲")));
    EXPECT_EQ(cat.ui.printerSurface.paper(), platform::PaperA5);
}

} // namespace
