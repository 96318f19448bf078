#include "exchange/CsvImportScreen.h"

#include "TestCatalogue.h"
#include "platform/DragDrop.h"
#include "platform/RecordList.h"
#include "records/MainRecordScreen.h"
#include "records/SubRecordScreen.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::DragSource;
using platform::Icon;

constexpr int Cd = 4;

struct ImportScreen : ::testing::Test {
    test::TestCatalogue cat;

    ImportScreen() { cat.state.CurrentSection = Cd; }
    QString writeCsv(const QByteArray& bytes, const QString& name = QStringLiteral("in.csv")) {
        const QString path = cat.folder() + QLatin1Char('/') + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    // Drags the list's entry at row onto slot i.
    static void drop(CsvImportScreen& s, int row, int slot) {
        s.List1->setCurrentRow(row);
        s.Text3[slot]->acceptDrop(DragSource::fromList(s.List1));
    }
};

TEST_F(ImportScreen, TextsOfBothScreens) {
    auto main = MakeMainCsvImport(cat.state, cat.ui, nullptr);
    auto sub = MakeSubCsvImport(cat.state, cat.ui, nullptr);
    const std::pair<QString, QString> texts[] = {
        {main->windowTitle(), QStringLiteral("ＣＤ管理 ＣＳＶファイルよりデータ取込み(メイン明細)")},
        {main->Label1->text(), QStringLiteral("ＣＳＶファイルよりデータ取込み(メイン明細)")},
        {main->Label2->text(), QStringLiteral("データを取込むＣＳＶファイルを指定してください。")},
        {main->Command1->text(), QStringLiteral("参照")},
        {main->Check1->text(), QStringLiteral("最初のレコードを読み飛ばす")},
        {main->Label11->text(), QStringLiteral("CSVファイルの明細")},
        {main->Label8->text(), QStringLiteral("（メイン明細）")},
        {main->Label5->text(),
         QStringLiteral(
             "ＣＳＶファイルのデータ項目を、ＣＤ管理Quelmのデータ項目へドラッグ＆ドロップで移してください。")},
        {main->Label14->text(), QStringLiteral("←→")},
        {main->Label15->text(), QStringLiteral("Drag & Drop")},
        {main->Command2->text(), QStringLiteral("実行")},
        {main->Command3->text(), QStringLiteral("ヘルプ")},
        {sub->windowTitle(), QStringLiteral("ＣＤ管理 ＣＳＶファイルよりデータ取込み(サブ明細)")},
        {sub->Label1->text(), QStringLiteral("ＣＳＶファイルよりデータ取込み(サブ明細)")},
        {sub->Label8->text(), QStringLiteral("（サブ明細）")},
    };
    for (const auto& [shown, expected] : texts)
        EXPECT_EQ(shown, expected);
    EXPECT_EQ(main->objectName(), QStringLiteral("Form5ip5b"));
    EXPECT_EQ(sub->objectName(), QStringLiteral("Form6ip6b"));
    EXPECT_EQ(main->Text3.size(), 15u);
    EXPECT_EQ(sub->Text3.size(), 10u);
    for (QPushButton* b : {main->Command1, main->Command2, main->Command3})
        EXPECT_FALSE(b->autoDefault() || b->isDefault());
}

TEST_F(ImportScreen, PreviewFollowsTheFileTheSkipBoxAndTheEncoding) {
    auto s = MakeMainCsvImport(cat.state, cat.ui, nullptr);
    for (QWidget* w : std::initializer_list<QWidget*>{s->List1, s->Check1, s->Command2, s->Label10, s->Text3[0]})
        EXPECT_TRUE(w->isHidden());
    EXPECT_FALSE(s->Text1->isHidden());

    cat.ui.files.push_back(test::ProjectFixture(QStringLiteral("csv/cp932.csv")));
    s->Command1_Click();
    EXPECT_EQ(cat.ui.chooserTitles.last(), QStringLiteral("ＣＳＶファイルを開く"));
    EXPECT_EQ(cat.ui.chooserFilters.last(), QStringLiteral("ＣＳＶファイル(*.CSV)"));
    EXPECT_FALSE(s->List1->isHidden());
    EXPECT_EQ(s->Label10->text(), QStringLiteral("CD1(ＣＤ管理)"));
    EXPECT_EQ(s->Label6[0]->text(), cat.state.config[Cd].FieldName[1]);
    EXPECT_EQ(s->Text3[14]->text(), QStringLiteral(" "));
    const QStringList heading{QStringLiteral("項目1      タイトル"), QStringLiteral("項目2      アーティスト"),
                              QStringLiteral("項目3      枚数")};
    EXPECT_EQ(s->List1->items(), heading);
    EXPECT_EQ(s->Combo1->currentText(), QStringLiteral("Shift_JIS (CP932)"));
    EXPECT_EQ(s->EncodingNote->text(), QStringLiteral("（自動判別）"));
    EXPECT_EQ(s->Sample->toPlainText(), QStringLiteral("タイトル | アーティスト | 枚数\n春の歌 | 山田花子 | 1,000\n"
                                                       "髙橋①の歌 | ソロ, ライブ | 2"));

    s->Check1->click();
    EXPECT_EQ(s->List1->items(), heading);
    s->Text1->setText(s->Text1->text()); // no change, no new preview
    s->Text1_Change();
    EXPECT_EQ(s->List1->items().value(0), QStringLiteral("項目1      春の歌"));

    // Read as UTF-8 the bytes are no text, and the sample says so; back to CP932 it is right again.
    s->Combo1->setCurrentIndex(s->Combo1->findText(QStringLiteral("UTF-8")));
    s->Combo1_Click();
    EXPECT_NE(s->List1->items().value(0), QStringLiteral("項目1      春の歌"));
    EXPECT_EQ(s->EncodingNote->text(), QStringLiteral("（指定）"));
    EXPECT_TRUE(s->Sample->toPlainText().startsWith(QStringLiteral("1 行目に UTF-8 として読めない文字があります。")));
    s->Combo1->setCurrentIndex(s->Combo1->findText(QStringLiteral("Shift_JIS (CP932)")));
    s->Combo1_Click();
    EXPECT_EQ(s->List1->items().value(0), QStringLiteral("項目1      春の歌"));
    EXPECT_TRUE(cat.ui.messages.isEmpty());

    // A European file is not taken for Shift_JIS (the heading is skipped).
    s->Text1->setText(test::ProjectFixture(QStringLiteral("csv/latin1.csv")));
    EXPECT_NE(s->Combo1->currentText(), QStringLiteral("Shift_JIS (CP932)"));
    EXPECT_EQ(s->Sample->toPlainText().split(u'\n').value(0), QStringLiteral("Õakman | Björk | 1995"));

    s->Text1->setText(writeCsv("a,b\r\nc\r\n"));
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("CSVデータの１レコード当りの項目が不揃いです、処理できません。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("ERROR"));
    s->Text1->setText(writeCsv("", QStringLiteral("empty.csv")));
    ASSERT_EQ(cat.ui.messages.size(), 2);
    EXPECT_EQ(cat.ui.messages[1].text, QStringLiteral("CSVファイルにデータがありません。"));

    // A path being typed names no file yet: the mapping area goes away without a word.
    s->Text1->setText(cat.folder() + QStringLiteral("/no"));
    EXPECT_TRUE(s->List1->isHidden());
    EXPECT_EQ(cat.ui.messages.size(), 2);
}

TEST_F(ImportScreen, DragAndDropMovesItemsBetweenTheListAndTheSlots) {
    auto s = MakeMainCsvImport(cat.state, cat.ui, nullptr);
    s->Text1->setText(writeCsv("a,b,c\r\n"));
    const QString a = QStringLiteral("項目1      a"), b = QStringLiteral("項目2      b"),
                  c = QStringLiteral("項目3      c");
    drop(*s, 0, 3);
    EXPECT_EQ(s->Text3[3]->text(), a);
    EXPECT_EQ(s->List1->items(), (QStringList{b, c}));
    // Replacing: the item the slot held is gone from both.
    drop(*s, 0, 3);
    EXPECT_EQ(s->Text3[3]->text(), b);
    EXPECT_EQ(s->List1->items(), QStringList{c});
    // A slot onto another slot does nothing; back onto the list it goes to the end.
    s->Text3[5]->acceptDrop(DragSource::fromSlot(s->Text3[3]));
    EXPECT_EQ(s->Text3[5]->text(), QStringLiteral(" "));
    s->List1->acceptDrop(DragSource::fromSlot(s->Text3[3]));
    EXPECT_EQ(s->List1->items(), (QStringList{c, b}));
    EXPECT_EQ(s->Text3[3]->text(), QStringLiteral(" "));
    // An empty slot brings nothing back; the list onto itself does nothing.
    s->List1->acceptDrop(DragSource::fromSlot(s->Text3[3]));
    s->List1->acceptDrop(DragSource::fromList(s->List1));
    EXPECT_EQ(s->List1->items(), (QStringList{c, b}));
}

TEST_F(ImportScreen, TheRunAsksWritesReportsAndCloses) {
    cat.state.config[Cd].RegNo = 41;
    cat.state.config[Cd].Dirty = 1;
    store::SaveConfig(cat.state.databasePath(), cat.state.config);
    auto s = MakeMainCsvImport(cat.state, cat.ui, nullptr);
    s->Check1->click();
    s->Text1->setText(writeCsv("題名,歌手\r\nA,甲\r\nB,乙\r\nC,丙\r\n"));
    drop(*s, 1, 0);
    drop(*s, 0, 1);

    cat.ui.answers = {Answer::Cancel};
    s->Command2_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("データの取込みを開始します、よろしいですか。"));
    EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("作業開始の確認"));
    EXPECT_EQ(cat.rowCount(cat.state.config[Cd].TableName.trimmed()), 0);

    s->Command2_Click();
    ASSERT_EQ(cat.ui.messages.size(), 3);
    EXPECT_EQ(cat.ui.messages[2].text, QStringLiteral("データ移行が終了しました。 \r\n種目メイン明細　3"));
    EXPECT_EQ(cat.ui.messages[2].icon, Icon::Information);
    EXPECT_EQ(cat.ui.messages[2].title, QStringLiteral("作業結果"));
    EXPECT_EQ(s->result(), QDialog::Accepted);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 44);
    auto db = cat.open();
    auto rs = db->openTable(cat.state.config[Cd].TableName.trimmed());
    EXPECT_EQ(rs->value(0).toText(), QStringLiteral("甲"));
    EXPECT_EQ(rs->value(1).toText(), QStringLiteral("A"));
    EXPECT_EQ(rs->value(15).toInt(), 42);
}

TEST_F(ImportScreen, RecordScreensOpenTheImportsAndReadTheirListsAgain) {
    const QString path = writeCsv("新譜,歌手\r\n");
    cat.state.CurrentCategoryName = cat.state.config[Cd].ShumokuName;
    records::MainRecordScreen main(cat.state, cat.ui);
    main.Timer1_Timer();
    EXPECT_EQ(main.ListView1->rowCount(), 0);
    cat.ui.modalDrivers.push_back([&](QDialog& d) {
        auto& s = static_cast<CsvImportScreen&>(d);
        s.Text1->setText(path);
        drop(s, 0, 0);
        s.Command2_Click();
    });
    main.me122->trigger();
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form5ip5b"));
    ASSERT_EQ(main.ListView1->rowCount(), 1);
    EXPECT_EQ(main.ListView1->cell(1, 0), QStringLiteral("新譜"));
    EXPECT_EQ(main.Text1[0]->text(), QStringLiteral("新譜"));

    cat.addSub(Cd, 1, 4, QStringLiteral("既存"));
    cat.state.CurrentRegNo = 1;
    records::SubRecordScreen sub(cat.state, cat.ui);
    sub.Timer1_Timer();
    EXPECT_EQ(sub.ListView1->rowCount(), 1);
    cat.ui.modalDrivers.push_back([&](QDialog& d) {
        auto& s = static_cast<CsvImportScreen&>(d);
        s.Text1->setText(path);
        drop(s, 1, 0);
        s.Command2_Click();
    });
    sub.me131->trigger();
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form6ip6b"));
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("データ移行が終了しました。 \r\n種目サブ明細　1"));
    ASSERT_EQ(sub.ListView1->rowCount(), 2);
    EXPECT_EQ(sub.ListView1->cell(2, 0), QStringLiteral("歌手"));
    EXPECT_EQ(sub.ListView1->cell(2, 11), QStringLiteral("5"));
}

} // namespace
} // namespace quelm::exchange
