#include "exchange/CsvExportScreen.h"

#include "TestCatalogue.h"
#include "platform/RecordList.h"
#include "records/MainRecordScreen.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

constexpr int Cd = 4;

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ExportScreen : ::testing::Test {
    test::TestCatalogue cat;
    std::unique_ptr<records::MainRecordScreen> main;

    ExportScreen() {
        cat.state.CurrentSection = Cd;
        cat.state.CurrentCategoryName = cat.state.config[Cd].ShumokuName;
        QStringList fields(15);
        fields[0] = QStringLiteral("アルバム");
        fields[10] = QStringLiteral("2500");
        cat.addMain(Cd, 12, fields);
        fields[0] = QStringLiteral("二枚目");
        cat.addMain(Cd, 13, fields);
        cat.addSub(Cd, 12, 1, QStringLiteral("曲1"));
        cat.addSub(Cd, 12, 3, QStringLiteral("曲3"));
    }
    std::unique_ptr<CsvExportScreen> open() {
        main = std::make_unique<records::MainRecordScreen>(cat.state, cat.ui);
        main->Timer1_Timer();
        return std::make_unique<CsvExportScreen>(cat.state, cat.ui, *main->ListView1);
    }
    QString out() const { return cat.folder() + QStringLiteral("/出力.CSV"); }
};

TEST_F(ExportScreen, TextsAndTheModeFixedOnceChosen) {
    auto s = open();
    const std::pair<QString, QString> texts[] = {
        {s->windowTitle(), QStringLiteral("ＣＤ管理 ＣＳＶデータの出力")},
        {s->Label1->text(), QStringLiteral("ＣＳＶデータの出力")},
        {s->Label2->text(), QStringLiteral("種目のメイン明細、サブ明細をＣＳＶ形式で出力します。")},
        {s->Frame1->title(), QStringLiteral("出力するデータを指定する。")},
        {s->Option1[0]->text(), QStringLiteral("メイン明細の全て")},
        {s->Option1[1]->text(), QStringLiteral("メイン明細及びサブ明細の全て")},
        {s->Option1[2]->text(), QStringLiteral("選択されたメイン明細及びそのサフ明細")},
        {s->Option1[3]->text(), QStringLiteral("選択されたメイン明細")},
        {s->Label5->text(),
         QStringLiteral("1.出力するデータは、種目別メイン明細のリスト　一覧に表示された明細を対象にします。")},
        {s->Label7->text(), QStringLiteral("2.メイン・サブ両方の出力データの項目数が異　 なる場合は、多い方の項目数で"
                                           "１レコード　　(行)を作成する。少ない方はブランクの項目　が追加される。")},
        {s->Label8->text(),
         QStringLiteral("3.メインとサブ明細の識別のため、各明細の         \"登録ＮＯ．・ サブＮＯ．\"を識別項目として"
                        "　　　　レコード(行)に追加する。　メイン明細の　　　　　サブＮＯ．は\"０\"とする。")},
        {s->Label3->text(), QStringLiteral("出力する項目を指定して、実行キー。")},
        {s->Label4->text(), QStringLiteral("［メイン明細］")},
        {s->Label6->text(), QStringLiteral("［サブ明細］")},
        {s->Command2->text(), QStringLiteral("実行")},
        {s->Command3->text(), QStringLiteral("ヘルプ")},
    };
    for (const auto& [shown, expected] : texts)
        EXPECT_EQ(shown, expected);
    EXPECT_TRUE(s->Check1[0]->isHidden());
    EXPECT_TRUE(s->Command2->isHidden());

    s->Option1[3]->click();
    EXPECT_EQ(s->mode(), ExportMode::SelectedMain);
    EXPECT_FALSE(s->Frame1->isEnabled());
    EXPECT_EQ(s->Label10->text(), QStringLiteral("CD1(CD/DVD管理)"));
    EXPECT_FALSE(s->Check1[14]->isHidden());
    EXPECT_EQ(s->Check1[0]->text(), cat.state.config[Cd].FieldName[1]);
    EXPECT_TRUE(s->Check2[0]->isHidden()); // no sub records in this mode
    s->Option1_Click(1);
    EXPECT_EQ(s->mode(), ExportMode::SelectedMain);
}

TEST_F(ExportScreen, RefusalsBeforeAnythingIsWritten) {
    auto s = open();
    s->Option1[0]->click();
    s->Command2_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("メイン明細の項目が選択されていません。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("ERROR"));

    s->Check1[0]->setChecked(true);
    s->Command2_Click(); // the save dialog cancelled
    EXPECT_EQ(cat.ui.chooserTitles.last(), QStringLiteral("ＣＳＶデータの保存先ファイルを指定する"));
    EXPECT_EQ(cat.ui.messages.size(), 1);

    // An empty list: the earlier file of that name stays as it was.
    QFile earlier(out());
    earlier.open(QIODevice::WriteOnly);
    earlier.write("earlier");
    earlier.close();
    main->ListView1->clearRows();
    cat.ui.files.push_back(out());
    s->Command2_Click();
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("メイン明細がありません。"));
    EXPECT_EQ(s->Text1->text(), out());
    EXPECT_EQ(Read(out()), QByteArray("earlier"));
}

TEST_F(ExportScreen, WritesTheListRowsAndLeavesTheLastSelected) {
    auto s = open();
    s->Option1[1]->click();
    s->Check1[0]->setChecked(true);
    s->Check1[10]->setChecked(true);
    s->Check2[0]->setChecked(true);
    cat.ui.files.push_back(out());
    s->Command2_Click();
    EXPECT_EQ(cat.ui.messages.last().text,
              QStringLiteral("ＣＳＶデータ出力が終了しました。 \r\n種目メイン明細　2\r\n種目サブ明細　　2"));
    EXPECT_EQ(cat.ui.messages.last().icon, Icon::Information);
    EXPECT_EQ(cat.ui.messages.last().title, QStringLiteral("作業結果"));
    EXPECT_EQ(main->ListView1->selectedIndex(), 2);
    const QString text = platform::DecodeText(Read(out()), platform::TextEncoding::Cp932);
    EXPECT_EQ(text, QStringLiteral("\"アルバム\",2500,\"12・0\"\r\n"
                                   "\"曲1\",,\"12・1\"\r\n"
                                   "\"曲3\",,\"12・3\"\r\n"
                                   "\"二枚目\",2500,\"13・0\"\r\n"));

    // A search narrows the list, and so the export; mode 2 takes the selected row with its sub records.
    auto selected = std::make_unique<CsvExportScreen>(cat.state, cat.ui, *main->ListView1);
    selected->Option1[2]->click();
    selected->Check1[0]->setChecked(true);
    selected->Check2[0]->setChecked(true);
    main->ListView1->select(1);
    cat.ui.files.push_back(out());
    selected->Command2_Click();
    EXPECT_EQ(platform::DecodeText(Read(out()), platform::TextEncoding::Cp932),
              QStringLiteral("\"アルバム\",\"12・0\"\r\n\"曲1\",\"12・1\"\r\n\"曲3\",\"12・3\"\r\n"));
}

TEST_F(ExportScreen, CharactersCp932CannotHoldAreAskedAbout) {
    QStringList fields(15);
    fields[0] = QStringLiteral("Café 😀");
    cat.addMain(Cd, 14, fields);
    auto s = open();
    s->Option1[0]->click();
    s->Check1[0]->setChecked(true);

    cat.ui.files.push_back(out());
    cat.ui.answers = {Answer::No};
    s->Command2_Click();
    EXPECT_EQ(cat.ui.messages.last().text,
              QStringLiteral("出力するデータに、Shift_JIS (CP932) では書けない文字「é」などがあります。\r\n"
                             "UTF-8 (BOM付き) で出力しますか？\r\n［いいえ］を選ぶと出力を中止します。"));
    EXPECT_EQ(cat.ui.messages.last().buttons, Buttons::YesNo);
    EXPECT_FALSE(QFile::exists(out()));

    cat.ui.files.push_back(out());
    cat.ui.answers = {Answer::Yes};
    s->Command2_Click();
    const QByteArray bytes = Read(out());
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(QString::fromUtf8(bytes).contains(QStringLiteral("\"Café 😀\"\r\n")));
}

TEST_F(ExportScreen, TheMainScreenOpensTheExport) {
    open();
    cat.ui.modalDrivers.push_back([](QDialog& d) { static_cast<CsvExportScreen&>(d).Option1[0]->click(); });
    main->me131->trigger();
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form5ex5a"));
    EXPECT_EQ(main->ListView1->rowCount(), 2);
}

} // namespace
} // namespace quelm::exchange
