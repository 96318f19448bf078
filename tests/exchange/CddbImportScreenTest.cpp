#include "exchange/CddbImportScreen.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "platform/DragDrop.h"
#include "platform/RecordList.h"
#include "records/MainRecordScreen.h"
#include "store/Catalogue.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::DragSource;
using platform::Icon;
using test::Fixture;
using test::TestCatalogue;

constexpr int Cd = 4;

QStringList ComboTexts(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

struct CddbScreen : ::testing::Test {
    TestCatalogue cat;
    std::unique_ptr<CddbImportScreen> form;

    CddbScreen() {
        cat.state.CurrentSection = Cd;
        open();
    }
    void open() { form = std::make_unique<CddbImportScreen>(cat.state, cat.ui); }
    void listFolder(const QString& folder) {
        cat.ui.folders.push_back(folder);
        form->Command4_Click();
        form->Command5_Click();
    }
    void pick(const QString& fileName) {
        const int at = form->Combo1->findData(fileName);
        ASSERT_GT(at, 0) << fileName.toStdString();
        form->Combo1->setCurrentIndex(at);
        form->Combo1_Click();
    }
    // Drags an item of a list onto a slot, as the mouse would; false when the slot refuses.
    static bool drop(platform::DragList* list, const QString& label, platform::DropSlot* slot) {
        list->setCurrentRow(list->items().indexOf(label));
        return slot->acceptDrop(DragSource::fromList(list));
    }
    const platform::ScriptedUi::Message& lastMessage() const { return cat.ui.messages.back(); }
};

TEST_F(CddbScreen, TextsOfTheScreen) {
    cat.state.config[0].FieldType[1] = QStringLiteral("ＣＤ管理");
    open();
    const std::vector<std::pair<QString, QString>> texts{
        {form->windowTitle(), "ＣＤ管理 Quelm - CDDBデータ取込み"},
        {form->Label1->text(), "CDDBデータ取り込み"},
        {form->Label4->text(), "CD1にCDDBのデータを取込みます。"},
        {form->Label18->text(), "Player.exe(CDDB情報を読込むソフト)があるフォルダを指定して下さい。"},
        {form->Command1->text(), "参照"},
        {form->Check1->text(), "Player.exeのフォルダを保存する。"},
        {form->Command3->text(), "Player起動"},
        {form->Label3->text(), "CDDBが保存されているフォルダを指定して下さい。(.cdbファイルの保管フォルダ)"},
        {form->Command4->text(), "参照"},
        {form->Check2->text(), "CDDBのフォルダを保存する。"},
        {form->Command5->text(), "CDDBファイル読込み"},
        {form->Label19->text(), "データを取込むファイルを選択する"},
        {form->Command6->text(), "不要なファイルを削除する"},
        {form->Label10->text(),
         "[Player] はフリーソフトです。ダウンロード先や使用方法の詳細は、「ヘルプ」を参照願います。"},
        {form->Label11->text(), "（アルバムのデータ項目）"},
        {form->Label12->text(), "（曲のデータ項目）"},
        {form->Label8->text(), "（メイン明細）"},
        {form->Label9->text(), "（サブ明細）"},
        {form->Label5->text(), "CDDBのデータ項目を、ＣＤ管理Quelmのデータ項目へドラッグ＆ドロップで移してください。"},
        {form->Label17->text(), "(アルバムのデータ項目)は(メイン明細)にのみ、(曲のデータ項目)は(サブ明細)にのみ取込みが"
                                "可能です。\nデータ項目のうち、数値項目と日付項目への取込みは出来ません。"},
        {form->Label14->text(), "←→"},
        {form->Label15->text(), "Drag & Drop"},
        {form->Command2->text(), "実行"},
        {form->Command8->text(), "設定保存"},
        {form->Command7->text(), "ヘルプ"},
    };
    for (const auto& [shown, expected] : texts)
        EXPECT_EQ(shown, expected);
}

TEST_F(CddbScreen, FoldersAreChosenAndStoredAtOnce) {
    EXPECT_EQ(form->List4->item(0)->text(), QString()); // a new catalogue holds blanks
    // Ticking with an empty entry says so and stores nothing.
    form->Check1->setChecked(true);
    form->Check1_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("Playerのパス名が入力されていません。"));
    EXPECT_EQ(lastMessage().icon, Icon::Exclamation);
    EXPECT_EQ(lastMessage().title, QStringLiteral("ERROR"));

    cat.ui.folders = {QStringLiteral("/opt/player"), std::nullopt, QStringLiteral("/data/cddb")};
    form->Command1_Click();
    form->Command4_Click(); // cancelled: the entry stays
    EXPECT_EQ(form->List3->item(0)->text(), QString());
    form->Command4_Click();
    EXPECT_EQ(form->List4->count(), 1);
    EXPECT_EQ(form->List3->item(0)->text(), QStringLiteral("/data/cddb"));
    form->Check1_Click();
    form->Check2->setChecked(true);
    form->Check2_Click();

    // In the file and in memory, so that a later save of the system row keeps them.
    cat.state.config[0].FieldType[1] = QStringLiteral("新しい題");
    cat.state.config[0].Dirty = 1;
    store::SaveConfig(cat.state.databasePath(), cat.state.config);
    const store::CategoryConfig stored = cat.reload();
    EXPECT_EQ(stored[0].FieldName[5], QStringLiteral("/opt/player"));
    EXPECT_EQ(stored[0].FieldName[6], QStringLiteral("/data/cddb"));
    open();
    EXPECT_EQ(form->List4->item(0)->text(), QStringLiteral("/opt/player"));
    EXPECT_EQ(form->List3->item(0)->text(), QStringLiteral("/data/cddb"));
}

TEST_F(CddbScreen, CdListShowsEachFileWithItsTitle) {
    form->Command5_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("CDDBのパス名が入力されていません。"));
    QTemporaryDir empty;
    listFolder(empty.path());
    EXPECT_EQ(lastMessage().text, QStringLiteral("CDDBのファイルがありません。"));
    EXPECT_EQ(lastMessage().title, QStringLiteral("ERROR"));
    EXPECT_TRUE(cat.ui.progressWindows.isEmpty()); // nothing to read

    // A large folder: the progress window opens before the first file is read and is told every 32 files.
    for (int i = 0; i < 70; ++i) {
        QFile cd(empty.filePath(QStringLiteral("cd%1").arg(i, 2, 10, QLatin1Char('0'))));
        ASSERT_TRUE(cd.open(QIODevice::WriteOnly));
        cd.write(QStringLiteral("DTITLE=盤 %1\n").arg(i).toUtf8());
    }
    form->Command5_Click();
    EXPECT_EQ(form->Combo1->count(), 71);
    EXPECT_EQ(form->Combo1->itemText(70), QStringLiteral("cd69     盤 69"));
    ASSERT_EQ(cat.ui.progressWindows.size(), 1);
    EXPECT_EQ(cat.ui.progressWindows[0].text, QStringLiteral("CDDBファイルを読んでいます…"));
    using Told = std::pair<std::int64_t, std::int64_t>;
    EXPECT_EQ(cat.ui.progressReports, (QList<Told>{{0, 70}, {32, 70}, {64, 70}}));
    EXPECT_EQ(cat.ui.progressOpen, 0);

    QUELM_NEED_FIXTURE("cddb");
    listFolder(Fixture("cddb"));
    EXPECT_TRUE(form->Combo1->isVisibleTo(form.get()));
    EXPECT_EQ(ComboTexts(form->Combo1), (QStringList{
                                            "[ファイル名]　　　[ＣＤタイトル]",
                                            "pear_d50dd30f.txt     Various / Ska Island",
                                            "peik_12025d03.txt     Ernest Ray Everett - Single CD",
                                            "peik_8608460b.txt     Van Halen / Van Halen",
                                            "rubyripper_ISO88591     Tuhonvarjo / Syvyyden Syli",
                                            "rubyripper_disc002     Judas Priest / Sad Wings Of Destiny",
                                            "rubyripper_normalAudioDisc_crlf     Motorhead / Inferno",
                                        }));
    EXPECT_EQ(form->Combo1->currentIndex(), 0);

    // The heading blanks the slots and reads nothing.
    form->Combo1_Click();
    EXPECT_TRUE(form->Text3[0]->isVisibleTo(form.get()));
    EXPECT_FALSE(form->Text3[10]->isVisibleTo(form.get()));
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_FALSE(form->Command2->isVisibleTo(form.get()));
}

TEST_F(CddbScreen, PickMapAndRun) {
    QUELM_NEED_FIXTURE("cddb");
    listFolder(Fixture("cddb"));
    pick("rubyripper_normalAudioDisc_crlf");
    EXPECT_EQ(form->Label10->text(), QStringLiteral("CD1(ＣＤ管理)"));
    EXPECT_EQ(form->Label6[0]->text(), cat.state.config[Cd].FieldName[1]);
    EXPECT_EQ(form->List1->items(), (QStringList{"CDDB-ID", "収録時間", "タイトル", "アーティスト", "説明", "発売年",
                                                 "収録曲数", "ジャンル"}));
    EXPECT_EQ(form->List2->items(), (QStringList{"曲名", "演奏時間", "説明"}));

    form->Command2_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("メイン明細にデータ項目がセットされていません。"));

    EXPECT_TRUE(drop(form->List1, "タイトル", form->Text3[0]));
    EXPECT_TRUE(drop(form->List1, "アーティスト", form->Text3[1]));
    EXPECT_FALSE(drop(form->List1, "発売年", form->Text3[10])); // number and date fields refuse
    EXPECT_FALSE(drop(form->List2, "曲名", form->Text4[8]));
    EXPECT_TRUE(drop(form->List2, "曲名", form->Text3[2])); // track items go to sub slots only
    EXPECT_EQ(form->Text3[2]->text(), QStringLiteral(" "));
    EXPECT_TRUE(drop(form->List2, "曲名", form->Text4[0]));
    EXPECT_TRUE(drop(form->List2, "演奏時間", form->Text4[1]));
    // Mapping over a slot gives its item back; a slot dragged back returns its item to its own list.
    EXPECT_TRUE(drop(form->List1, "ジャンル", form->Text3[1]));
    EXPECT_TRUE(form->List1->items().contains("アーティスト"));
    EXPECT_TRUE(form->List1->acceptDrop(DragSource::fromSlot(form->Text3[1])));
    EXPECT_EQ(form->Text3[1]->text(), QStringLiteral(" "));
    EXPECT_EQ(form->List1->items().count("ジャンル"), 1);
    EXPECT_TRUE(form->List2->acceptDrop(DragSource::fromSlot(form->Text3[0]))); // not its list
    EXPECT_EQ(form->Text3[0]->text(), QStringLiteral("タイトル"));

    cat.ui.answers = {Answer::Cancel};
    form->Command2_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("データの取込みを開始します、よろしいですか。"));
    EXPECT_EQ(lastMessage().buttons, Buttons::OkCancel);
    EXPECT_EQ(lastMessage().title, QStringLiteral("作業開始の確認"));
    EXPECT_EQ(cat.rowCount(cat.state.config[Cd].TableName.trimmed()), 0);

    cat.ui.answers = {Answer::Ok, Answer::Yes};
    form->Command2_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("データ取込みが終了しました。\r\n  種目メイン明細　1\r\n"
                                                 "  種目サブ明細　　12\r\n引続き取込み作業を行いますか？"));
    EXPECT_EQ(lastMessage().buttons, Buttons::YesNo);
    EXPECT_EQ(lastMessage().title, QStringLiteral("作業結果"));
    EXPECT_FALSE(form->Command2->isVisibleTo(form.get()));
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_EQ(form->Text3[0]->text(), QStringLiteral(" "));

    {
        auto db = cat.open();
        auto main = db->openTable(cat.state.config[Cd].TableName.trimmed());
        EXPECT_EQ(main->value(0).toText(), QStringLiteral("Inferno"));
        EXPECT_EQ(main->value(15).toInt(), 1);
        auto subs = db->openTable(cat.state.config[Cd].SubTableName.trimmed());
        EXPECT_EQ(subs->recordCount(), 12);
        EXPECT_EQ(subs->value(0).toText(), QStringLiteral("Terminal Show"));
        EXPECT_EQ(subs->value(1).toText(), QStringLiteral("03:45"));
    }

    // Main slots only: the other question; No closes the screen.
    pick("peik_12025d03.txt");
    EXPECT_TRUE(drop(form->List1, "タイトル", form->Text3[0]));
    cat.ui.answers = {Answer::Ok, Answer::No};
    form->Command2_Click();
    EXPECT_EQ(cat.ui.messages[cat.ui.messages.size() - 2].text,
              QStringLiteral("メイン明細のみデータの取込みを開始します、よろしいですか。"));
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(cat.state.config[Cd].RegNo, 2);
}

TEST_F(CddbScreen, SavedMappingComesBackWithTheNextCd) {
    QUELM_NEED_FIXTURE("cddb");
    listFolder(Fixture("cddb"));
    pick("pear_d50dd30f.txt");
    drop(form->List1, "タイトル", form->Text3[0]);
    drop(form->List1, "アーティスト", form->Text3[1]);
    drop(form->List1, "ジャンル", form->Text3[14]);
    drop(form->List2, "曲名", form->Text4[0]);
    form->Command8_Click();

    // The next CD has no artist: the slot still shows the label and receives nothing.
    pick("peik_12025d03.txt");
    EXPECT_EQ(form->Text3[0]->text(), QStringLiteral("タイトル"));
    EXPECT_EQ(form->Text3[1]->text(), QStringLiteral("アーティスト"));
    EXPECT_EQ(form->Text3[14]->text(), QStringLiteral("ジャンル"));
    EXPECT_EQ(form->Text4[0]->text(), QStringLiteral("曲名"));
    EXPECT_FALSE(form->List1->items().contains("タイトル"));
    EXPECT_FALSE(form->List1->items().contains("ジャンル"));
    EXPECT_FALSE(form->List2->items().contains("曲名"));
    cat.ui.answers = {Answer::Ok, Answer::Yes};
    form->Command2_Click();
    {
        auto db = cat.open();
        auto main = db->openTable(cat.state.config[Cd].TableName.trimmed());
        EXPECT_EQ(main->value(0).toText(), QStringLiteral("Ernest Ray Everett - Single CD"));
        EXPECT_EQ(main->value(1).toText(), QStringLiteral(" "));
        EXPECT_EQ(main->value(14).toText(), QStringLiteral("Country"));
    }

    // Another category has a mapping of its own.
    cat.state.CurrentSection = 7;
    open();
    listFolder(Fixture("cddb"));
    pick("peik_12025d03.txt");
    EXPECT_EQ(form->Text3[0]->text(), QStringLiteral(" "));
}

TEST_F(CddbScreen, DeleteActsOnlyInTheListedFolder) {
    QUELM_NEED_FIXTURE("cddb");
    QTemporaryDir listed, other;
    for (const QString name : {"pear_d50dd30f.txt", "peik_12025d03.txt"})
        QFile::copy(Fixture("cddb/" + name), listed.filePath(name));
    QFile::copy(Fixture("cddb/pear_d50dd30f.txt"), other.filePath("pear_d50dd30f.txt"));
    listFolder(listed.path());

    form->Command6_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("ファイルが選択されていません。"));
    EXPECT_EQ(lastMessage().icon, Icon::Exclamation);

    pick("pear_d50dd30f.txt");
    // The folder entry changed after the list was read: the file of the list is the one meant.
    cat.ui.folders.push_back(other.path());
    form->Command4_Click();
    cat.ui.answers = {Answer::No};
    form->Command6_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("ファイル pear_d50dd30f.txtを削除しますか？"));
    EXPECT_EQ(lastMessage().buttons, Buttons::YesNo);
    EXPECT_EQ(lastMessage().title, QStringLiteral("削除の確認"));
    EXPECT_TRUE(QFile::exists(listed.filePath("pear_d50dd30f.txt")));

    cat.ui.answers = {Answer::Yes};
    form->Command6_Click();
    EXPECT_FALSE(QFile::exists(listed.filePath("pear_d50dd30f.txt")));
    EXPECT_TRUE(QFile::exists(other.filePath("pear_d50dd30f.txt")));
    // The list is read again, now from the folder the entry names.
    EXPECT_EQ(ComboTexts(form->Combo1).size(), 2);
    EXPECT_EQ(form->Combo1->itemData(1).toString(), QStringLiteral("pear_d50dd30f.txt"));
    EXPECT_EQ(form->List1->count(), 0);

    // Gone meanwhile: a clear failure, nothing else touched.
    pick("pear_d50dd30f.txt");
    QFile::remove(other.filePath("pear_d50dd30f.txt"));
    cat.ui.answers = {Answer::Yes};
    form->Command6_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("ファイル pear_d50dd30f.txtが削除できませんでした"));
    EXPECT_TRUE(QFile::exists(listed.filePath("peik_12025d03.txt")));
    EXPECT_EQ(lastMessage().title, QStringLiteral("ERROR"));
}

TEST_F(CddbScreen, HostileFileIsRefusedWhenPicked) {
    QTemporaryDir dir;
    {
        QFile f(dir.filePath("huge.cdb"));
        f.open(QIODevice::WriteOnly);
        f.write("DTITLE=big\n");
        f.resize(100LL * 1024 * 1024);
    }
    listFolder(dir.path());
    pick("huge.cdb");
    EXPECT_EQ(lastMessage().text, QStringLiteral("ファイルが大きすぎるため、CDDBのファイルとして読込めません。"));
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_FALSE(form->Command2->isVisibleTo(form.get()));
}

// The project's own files: listed with their titles in their own encodings, and the encoding taken is shown.
TEST_F(CddbScreen, EachFileIsReadInItsOwnEncodingWhichTheScreenShows) {
    listFolder(test::ProjectFixture("cddb"));
    EXPECT_EQ(ComboTexts(form->Combo1).mid(1), (QStringList{
                                                   "freedb_eucjp     山田花子 / 春の歌",
                                                   "freedb_latin1     Tuomas Kärkkäinen / Yön Äänet",
                                                   "freedb_sjis     山田花子 / 春の歌",
                                                   "player_cp932.cdb     春の歌",
                                               }));
    pick("freedb_eucjp");
    EXPECT_EQ(form->EncodingTaken->text(), QStringLiteral("（EUC-JP）"));
    EXPECT_TRUE(form->List2->items().contains(QStringLiteral("曲名")));
    pick("freedb_sjis");
    EXPECT_EQ(form->EncodingTaken->text(), QStringLiteral("（Shift_JIS (CP932)）"));

    // Told to read it as UTF-8, a Shift_JIS file is refused with the line of the first fault.
    form->EncodingCombo->setCurrentIndex(form->EncodingCombo->findText(QStringLiteral("UTF-8")));
    form->EncodingCombo_Click();
    pick("freedb_sjis");
    ASSERT_FALSE(cat.ui.messages.isEmpty());
    EXPECT_TRUE(lastMessage().text.contains(QStringLiteral("行目に UTF-8 として読めない文字があります。")));
    EXPECT_TRUE(form->EncodingTaken->text().isEmpty());
}

TEST_F(CddbScreen, PlayerIsStartedAndWaitedFor) {
    QTemporaryDir dir;
    cat.ui.folders.push_back(dir.path());
    form->Command1_Click();
    form->Command3_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("Playerが起動できませんでした"));
    EXPECT_EQ(lastMessage().icon, Icon::None);

    // A stand-in player that takes a moment and leaves a CDDB file behind.
    const QString player = dir.filePath("Player");
    {
        QFile f(player);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\nsleep 0.3\necho 'DTITLE=new' > played.cdb\n");
    }
    QFile::setPermissions(player, QFile::permissions(player) | QFileDevice::ExeOwner);
    bool waitShown = false, enabledWhileWaiting = true;
    QTimer::singleShot(100, [&] {
        waitShown = form->PlayerWaitLabel->isVisibleTo(form.get());
        enabledWhileWaiting = form->isEnabled();
    });
    form->Command3_Click();
    EXPECT_TRUE(waitShown); // the event loop ran while the player did
    EXPECT_FALSE(enabledWhileWaiting);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(QFile::exists(dir.filePath("played.cdb")));
    EXPECT_EQ(lastMessage().text, QStringLiteral("Playerが終了しました"));
    EXPECT_EQ(lastMessage().title, QStringLiteral("Player実行"));
}

TEST_F(CddbScreen, MainRecordScreenOpensItAndShowsTheNewRecord) {
    QUELM_NEED_FIXTURE("cddb");
    records::MainRecordScreen screen(cat.state, cat.ui);
    screen.Timer1_Timer();
    cat.ui.modalDrivers.push_back([](QDialog& d) {
        auto& cddb = dynamic_cast<CddbImportScreen&>(d);
        cddb.List3->clear();
        cddb.List3->addItem(Fixture("cddb"));
        cddb.Command5_Click();
        cddb.Combo1->setCurrentIndex(1);
        cddb.Combo1_Click();
        cddb.List1->setCurrentRow(cddb.List1->items().indexOf("タイトル"));
        cddb.Text3[0]->acceptDrop(DragSource::fromList(cddb.List1));
    });
    cat.ui.modalDrivers.back() = [inner = cat.ui.modalDrivers.back(), this](QDialog& d) {
        inner(d);
        cat.ui.answers = {Answer::Ok, Answer::No};
        dynamic_cast<CddbImportScreen&>(d).Command2_Click();
    };
    screen.me121->trigger();
    EXPECT_TRUE(cat.ui.modalScreens.contains("Form5ip5c"));
    EXPECT_EQ(screen.ListView1->rowCount(), 1);
    EXPECT_EQ(screen.Text1[0]->text(), QStringLiteral("Ska Island"));
}

} // namespace
} // namespace quelm::exchange
