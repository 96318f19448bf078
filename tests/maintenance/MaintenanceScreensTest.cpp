#include "TestCatalogue.h"
#include "maintenance/AboutBox.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/BackupScreen.h"
#include "maintenance/FieldNamesListing.h"
#include "maintenance/InitialiseScreen.h"
#include "maintenance/ListTablesListing.h"
#include "maintenance/RestoreScreen.h"
#include "maintenance/SettingsScreen.h"
#include "maintenance/StatisticsScreen.h"
#include "platform/Database.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Units.h"
#include "platform/WriteFaults.h"
#include "shell/MainWindow.h"
#include "store/CategoryTables.h"
#include "store/ListTables.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace quelm;
using namespace quelm::maintenance;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using Message = platform::ScriptedUi::Message;

namespace {

void ExpectMessage(const Message& m, const QString& text, Icon icon, Buttons buttons, const QString& title) {
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.icon, icon);
    EXPECT_EQ(m.buttons, buttons);
    EXPECT_EQ(m.title, title);
}

QStringList Row(const platform::RecordList& list, int index) {
    return list.row(index);
}

bool SelectFile(QListWidget* list, const QString& name) {
    const auto items = list->findItems(name, Qt::MatchExactly);
    if (items.isEmpty())
        return false;
    list->setCurrentItem(items.first());
    return true;
}

struct MaintenanceScreens : ::testing::Test {
    test::TestCatalogue cat;
    QTemporaryDir backupDir;
    int applied = 0;
    std::function<void()> apply = [this] { ++applied; };
};

} // namespace

TEST_F(MaintenanceScreens, EveryScreenShowsItsTexts) {
    SettingsScreen f2a(cat.state, cat.ui, apply);
    InitialiseScreen f2h(cat.state, cat.ui, apply);
    AboutBox fv;
    BackupScreen f12a(cat.state, cat.ui);
    RestoreScreen f12b(cat.state, cat.ui);
    FieldNamesListing f13c(cat.state, cat.ui);
    const std::vector<std::pair<QString, QString>> texts{
        {f2a.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - システム環境設定")},
        {f2a.Label[1]->text(), QStringLiteral("システム環境設定")},
        {f2a.Label[2]->text(),
         QStringLiteral("このシステムの題名は「CD管理」となっていますが、使用目的に合わせて自由に変更できます。")},
        {f2a.Label[3]->text(), QStringLiteral("1.システム・タイトル設定")},
        {f2a.Label[4]->text(), QStringLiteral("タイトルの変更：")},
        {f2a.Label[5]->text(), QStringLiteral("タイトル文字色の変更：")},
        {f2a.Label[6]->text(), QStringLiteral("メイン画面の背景色の変更：")},
        {f2a.Label[7]->text(), QStringLiteral("2.種目(CD,DVD)名変更")},
        {f2a.Label[8]->text(),
         QStringLiteral(
             "種目名が「CD,DVD」になっていますが、クラシック、ポップス等の使用形態に合わせて変更できます。")},
        {f2a.Command4->text(), QStringLiteral("設定")},
        {f2a.Command1->text(), QStringLiteral("色選定")},
        {f2a.Command2->text(), QStringLiteral("色選定")},
        {f2a.Command6->text(), QStringLiteral("設定")},
        {f2a.Command3->text(), QStringLiteral("終了")},
        {f2a.Command5->text(), QStringLiteral("ヘルプ")},
        {f2a.Text1->text(), QStringLiteral("ＣＤ管理")},
        {f2h.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - システム初期化")},
        {f2h.Label1->text(), QStringLiteral("システム初期値化")},
        {f2h.Label2->text(), QStringLiteral("［取扱注意］")},
        {f2h.Label3->text(), QStringLiteral("システム初期値化の前に、念のため、ファイルのバックアップを実施して下さい。"
                                            "　　　初期値化実施しましたら、Quelmシステムを再起動してください")},
        {f2h.Command1->text(), QStringLiteral("初期値化")},
        {f2h.Command2->text(), QStringLiteral("ヘルプ")},
        {fv.windowTitle(), QStringLiteral("ＣＤ管理Quelm")},
        {fv.Label1->text(), QStringLiteral("ＣＤ管理")},
        {fv.Label2->text(), QStringLiteral("バージョン情報")},
        {fv.Label3->text(), QStringLiteral("Version     1.00")},
        {fv.Label5->text(), QStringLiteral("Quelm")},
        {fv.Command1->text(), QStringLiteral("Ｏ Ｋ")},
        {f12a.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - データベース,画像フォルダー・バックアップ")},
        {f12a.Label1->text(), QStringLiteral("データベース・バックアップ")},
        {f12a.Label2->text(), QStringLiteral("データベース(Quelm.mdb)及び画像フォルダー(Quelm-画像)のバックアップ先"
                                             "フォルダーを指定して下さい")},
        {f12a.Command1->text(), QStringLiteral("新規フォルダー作成")},
        {f12a.Command2->text(), QStringLiteral("バックアップ実行")},
        {f12a.Command3->text(), QStringLiteral("戻る")},
        {f12a.Command5->text(), QStringLiteral("ヘルプ")},
        {f12b.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - データベース,画像フォルダー復元")},
        {f12b.Label1->text(), QStringLiteral("データベース復元")},
        {f12b.Label2->text(), QStringLiteral("復元するデータベースのファイルを指定して下さい。")},
        {f12b.Label3->text(), QStringLiteral("ファイル名は \"Quelm.mdb\" です。")},
        {f12b.Label4->text(), QStringLiteral("*.mdb ファイルのみ表示")},
        {f12b.Label5->text(), QStringLiteral("復元作業終了後、システムを一旦終了します。　　　　　　　"
                                             "システムを再度起動して下さい。")},
        {f12b.Label6->text(), QStringLiteral("復元する画像フォルダーを指定して下さい。")},
        {f12b.Label7->text(), QStringLiteral("フォルダー名は \"Quelm-画像\"です。")},
        {f12b.Command1->text(), QStringLiteral("データベース復元実行")},
        {f12b.Command4->text(), QStringLiteral("画像フォルダー復元実行")},
        {f12b.Command2->text(), QStringLiteral("戻る")},
        {f12b.Command3->text(), QStringLiteral("ヘルプ")},
        {f13c.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 種目別項目名一覧")},
        {f13c.Label1->text(), QStringLiteral("種目別項目名一覧")},
        {f13c.mf->title(), QStringLiteral("ファイル    ")},
        {f13c.mf11->text(), QStringLiteral("画面印刷(ActiveWindow)")},
        {f13c.mf12->text(), QStringLiteral("閉じる")},
        {f13c.mh1->text(), QStringLiteral("ヘルプ　　")},
    };
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i].first, texts[i].second) << i;
    const QStringList explanation = f2h.Text1->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(explanation.size(), 9);
    EXPECT_EQ(explanation[0], QStringLiteral("システムを導入当初の状態に戻します。"));
    EXPECT_TRUE(explanation[8].endsWith(
        QStringLiteral("⑦　登録した画像は全て削除します  →　Quelm-画像フォルダの画像ファイル ")));
    EXPECT_FALSE(f12b.Command4->isVisibleTo(&f12b));
    EXPECT_FALSE(f12b.Label6->isVisibleTo(&f12b));
    EXPECT_TRUE(cat.ui.messages.isEmpty());
}

TEST_F(MaintenanceScreens, SettingsStoreTitleColoursAndNamesAndTellTheMainWindow) {
    ASSERT_FALSE(store::AddSlot(cat.state, 5));
    SettingsScreen form(cat.state, cat.ui, apply);
    EXPECT_TRUE(form.Text4[1]->isVisibleTo(&form));
    EXPECT_FALSE(form.Text4[2]->isVisibleTo(&form));
    EXPECT_FALSE(form.Text4[5]->isVisibleTo(&form));

    form.Text1->setText(QStringLiteral("　 私の棚  "));
    form.Command4_Click();
    EXPECT_EQ(cat.reload().systemTitle(), QStringLiteral("私の棚"));
    EXPECT_EQ(form.Text2->text(), QStringLiteral("私の棚"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("私の棚 Quelm"));
    EXPECT_EQ(applied, 1);

    cat.ui.colors.push_back(std::nullopt);
    form.Command1_Click();
    EXPECT_EQ(cat.reload().titleColor(), QStringLiteral("16744448"));
    cat.ui.colors.push_back(QColor(255, 0, 0));
    form.Command1_Click();
    cat.ui.colors.push_back(QColor(0, 0, 255));
    form.Command2_Click();
    EXPECT_EQ(cat.reload().titleColor(), QStringLiteral("255"));
    EXPECT_EQ(cat.reload().backColor(), QStringLiteral("16711680"));
    EXPECT_EQ(applied, 3);

    // Empty or repeated names are refused with nothing stored.
    for (const QString& bad : {QStringLiteral("  "), QStringLiteral("DVD1 ")}) {
        form.Text4[1]->setText(bad);
        form.Command6_Click();
        EXPECT_EQ(cat.ui.messages.last().title, QStringLiteral("Error"));
        EXPECT_EQ(cat.reload()[5].ShumokuName, QStringLiteral("CD2"));
    }
    ExpectMessage(cat.ui.messages.last(),
                  QStringLiteral("種目名「DVD1」は他の種目と同じです。別の名前を入力して下さい。"), Icon::Critical,
                  Buttons::Ok, QStringLiteral("Error"));
    form.Text4[0]->setText(QStringLiteral("クラシック "));
    form.Text4[1]->setText(QStringLiteral("ポップス"));
    form.Command6_Click();
    EXPECT_EQ(cat.reload()[4].ShumokuName, QStringLiteral("クラシック "));
    EXPECT_EQ(cat.reload()[5].ShumokuName, QStringLiteral("ポップス"));
    EXPECT_EQ(cat.state.config[4].ShumokuName, QStringLiteral("クラシック "));
    EXPECT_EQ(applied, 4);
}

TEST_F(MaintenanceScreens, InitialisationAsksAndReportsFailureOrSuccess) {
    ASSERT_FALSE(store::AddSlot(cat.state, 5));
    InitialiseScreen form(cat.state, cat.ui, apply);
    cat.ui.answers.push_back(Answer::Cancel);
    form.Command1_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    ExpectMessage(cat.ui.messages[0], QStringLiteral("システムを初期値化しても宜しいですか？"), Icon::None,
                  Buttons::OkCancel, QStringLiteral("初期値化の確認"));
    EXPECT_TRUE(cat.state.config[5].inUse());

    {
        platform::ScopedWriteFault full(0); // the disk is full: the run's first write fails
        form.Command1_Click();
    }
    EXPECT_EQ(cat.ui.messages.last().title, QStringLiteral("Error"));
    EXPECT_TRUE(cat.ui.messages.last().text.startsWith(QStringLiteral("システムの初期値化でエラーが発生しました。")));
    EXPECT_TRUE(cat.reload()[5].inUse());
    EXPECT_FALSE(form.Initialised);
    EXPECT_EQ(applied, 0);

    form.Command1_Click();
    EXPECT_TRUE(form.Initialised);
    EXPECT_FALSE(cat.reload()[5].inUse());
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("システムの初期値化が終了しました。"), Icon::Information,
                  Buttons::Ok, QStringLiteral("初期値化終了"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ＣＤ管理 Quelm"));
    EXPECT_EQ(applied, 1);
}

TEST_F(MaintenanceScreens, BackupScreenMakesFoldersAndBacksUp) {
    BackupScreen form(cat.state, cat.ui);
    form.SetFolder(backupDir.path());
    cat.ui.inputs.push_back(QStringLiteral(" 保存先 "));
    form.Command1_Click();
    EXPECT_EQ(cat.ui.inputPrompts.last(),
              QStringLiteral("新規作成のフォルダー名を入力して下さい。\r\n作成されるパス名は") + backupDir.path() +
                  QStringLiteral(" です。"));
    EXPECT_EQ(cat.ui.inputTitles.last(), QStringLiteral("新規作成フォルダー名入力"));
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("新規フォルダーは作成されました"), Icon::Information,
                  Buttons::Ok, QStringLiteral("終了"));
    const QString target = backupDir.filePath(QStringLiteral("保存先"));
    ASSERT_TRUE(QFileInfo(target).isDir());
    cat.ui.inputs.push_back(QStringLiteral("保存先"));
    form.Command1_Click();
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("新規フォルダー作成でエラーが発生しました"), Icon::Critical,
                  Buttons::Ok, QStringLiteral("Error"));
    const int asked = static_cast<int>(cat.ui.messages.size());
    cat.ui.inputs.push_back(std::nullopt);
    form.Command1_Click();
    EXPECT_EQ(cat.ui.messages.size(), asked);

    form.SetFolder(target);
    cat.ui.answers.push_back(Answer::Cancel);
    form.Command2_Click();
    ExpectMessage(cat.ui.messages.last(),
                  QStringLiteral("バックアップ先フォルダーは  パス名：") + target + QStringLiteral(" です。"),
                  Icon::Question, Buttons::OkCancel, QStringLiteral("バックアップ先フォルダー確認"));
    EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral("/Quelm.mdb")));
    // The test's folders share the catalogue's disk: asked once for the folder, the answer kept with it.
    const auto diskQuestions = [&] {
        return std::count_if(cat.ui.messages.begin(), cat.ui.messages.end(),
                             [](const Message& m) { return m.title == QStringLiteral("バックアップ先ディスク確認"); });
    };
    form.Command2_Click();
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("バックアップは終了しました"), Icon::Information, Buttons::Ok,
                  QStringLiteral("終了"));
    EXPECT_EQ(form.File1->count(), 2); // the catalogue and the record of the backup
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/Quelm-画像")).isDir());
    ExpectMessage(cat.ui.messages[cat.ui.messages.size() - 2],
                  QStringLiteral("バックアップ先 %1 は、データベースと同じディスクにあります。\r\n"
                                 "ディスクが壊れると、データベースとバックアップを一緒に失います。\r\n"
                                 "このフォルダーにバックアップしますか？")
                      .arg(target),
                  Icon::Question, Buttons::YesNo, QStringLiteral("バックアップ先ディスク確認"));
    form.Command2_Click();
    EXPECT_EQ(diskQuestions(), 1);
    EXPECT_EQ(BackupScreen(cat.state, cat.ui).Folder(), target); // the next screen opens on the last backup folder
    // Another folder is asked for again; No backs up nothing there, and the folder kept is still the last backup's.
    form.SetFolder(backupDir.path());
    cat.ui.answers = {Answer::Ok, Answer::No};
    form.Command2_Click();
    EXPECT_EQ(diskQuestions(), 2);
    EXPECT_FALSE(QFileInfo::exists(backupDir.filePath(QStringLiteral("Quelm.mdb"))));
    EXPECT_EQ(BackupScreen(cat.state, cat.ui).Folder(), target);

    form.SetFolder(cat.folder());
    form.Command2_Click();
    EXPECT_TRUE(cat.ui.messages.last().text.startsWith(QStringLiteral("バックアップコピーでエラーが発生しました\r\n")));
    EXPECT_EQ(cat.ui.messages.last().title, QStringLiteral("Error"));
}

TEST_F(MaintenanceScreens, RestoreScreenChecksNamesAndFilesThenEndsTheProgram) {
    ASSERT_EQ(BackupCatalogue(cat.state, backupDir.path()), std::nullopt);
    QFile::copy(cat.state.databasePath(), backupDir.filePath(QStringLiteral("quelm.mdb")));
    QTemporaryDir junk;
    QFile text(junk.filePath(QStringLiteral("Quelm.mdb")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a catalogue\n");
    text.close();
    cat.addMain(4, 1, {QStringLiteral("後から足した")});
    const QStringList changed = test::Snapshot(cat.state.databasePath());

    RestoreScreen form(cat.state, cat.ui);
    form.SetFolder(backupDir.path());
    EXPECT_EQ(form.File1->count(), 2);
    form.Command1_Click();
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("データベース名(Quelm.mdb)が相違しています。"), Icon::Critical,
                  Buttons::Ok, QStringLiteral("Error"));
    ASSERT_TRUE(SelectFile(form.File1, QStringLiteral("quelm.mdb")));
    form.Command1_Click();
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("データベース名(Quelm.mdb)が相違しています。quelm.mdb"),
                  Icon::Critical, Buttons::Ok, QStringLiteral("Error"));

    form.SetFolder(junk.path());
    ASSERT_TRUE(SelectFile(form.File1, QStringLiteral("Quelm.mdb")));
    form.Command1_Click();
    ExpectMessage(cat.ui.messages[cat.ui.messages.size() - 2],
                  QStringLiteral("復元元データベース名は：") + junk.path() + QStringLiteral("/Quelm.mdb です。"),
                  Icon::Question, Buttons::OkCancel, QStringLiteral("復元元データベース確認"));
    EXPECT_TRUE(
        cat.ui.messages.last().text.startsWith(QStringLiteral("データベース復元作業でエラーが発生しました\r\n")));
    EXPECT_EQ(test::Snapshot(cat.state.databasePath()), changed);
    EXPECT_FALSE(form.DatabaseRestored);

    form.SetFolder(backupDir.path());
    ASSERT_TRUE(SelectFile(form.File1, QStringLiteral("Quelm.mdb")));
    form.Command1_Click();
    ExpectMessage(cat.ui.messages.last(),
                  QStringLiteral("データベースの復元作業は終了しました。引続き画像フォルダーの復元を行います。"),
                  Icon::Information, Buttons::Ok, QStringLiteral("作業継続"));
    EXPECT_TRUE(form.DatabaseRestored);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 0);
    EXPECT_TRUE(form.Command4->isVisibleTo(&form));
    EXPECT_FALSE(form.Command1->isVisibleTo(&form));
    EXPECT_FALSE(form.File1->isVisibleTo(&form));

    form.SetFolder(QStringLiteral("/"));
    form.Command4_Click();
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("画像フォルダーが指定されていません。"), Icon::Critical,
                  Buttons::Ok, QStringLiteral("Error"));
    form.SetFolder(backupDir.path());
    form.Command4_Click();
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("画像フォルダー(Quelm-画像)が相違しています。") +
                                               QFileInfo(backupDir.path()).fileName().left(8));
    EXPECT_FALSE(cat.ui.ended);

    form.SetFolder(backupDir.filePath(QStringLiteral("Quelm-画像")));
    form.Command4_Click();
    ExpectMessage(cat.ui.messages.last(),
                  QStringLiteral("画像フォルダーの復元作業は終了しました。システムを終了します。"), Icon::Information,
                  Buttons::Ok, QStringLiteral("終了"));
    EXPECT_TRUE(cat.ui.ended);
}

TEST_F(MaintenanceScreens, CancellingACopyAtAnyReportLeavesEverythingAsItWas) {
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    // Two small pictures and one of 2.5 MB, copied in three pieces.
    write(cat.state.RecordPicturePath(4, 1), "jpeg-1");
    write(cat.state.RecordPicturePath(4, 2), QByteArray(5 << 19, 'p'));
    ASSERT_EQ(BackupCatalogue(cat.state, backupDir.path()), std::nullopt);
    const QStringList earlier = test::FolderListing(backupDir.path());
    cat.addMain(4, 1, {QStringLiteral("後から")});
    write(cat.state.RecordPicturePath(4, 3), "jpeg-3");
    const QStringList pictures = test::FolderListing(cat.state.pictureFolder());

    // Cancelled at report 1, 2 …: each run leaves the earlier backup and the catalogue as they were, until a run
    // whose last report comes before the cancel. The reports: the catalogue's one piece and the file, then each
    // picture's pieces and the file (2 + 2 + 4 + 2).
    const auto cancelEach = [&](const std::function<void()>& run, const QString& said, const QString& folder,
                                const QStringList& before) {
        const QStringList data = test::FolderListing(cat.folder());
        int cancelled = 0;
        for (qsizetype at = 1; at < 20; ++at) {
            cat.ui.progressReports.clear();
            cat.ui.cancelProgressAtReport = at;
            run();
            if (cat.ui.messages.last().title != QStringLiteral("中止"))
                break;
            ++cancelled;
            ExpectMessage(cat.ui.messages.last(), said, Icon::Information, Buttons::Ok, QStringLiteral("中止"));
            EXPECT_EQ(test::FolderListing(folder), before) << at;
            EXPECT_EQ(test::FolderListing(cat.folder()), data) << at;
            EXPECT_EQ(cat.ui.progressOpen, 0);
        }
        cat.ui.cancelProgressAtReport.reset();
        return cancelled;
    };
    BackupScreen backup(cat.state, cat.ui);
    backup.SetFolder(backupDir.path());
    EXPECT_EQ(cancelEach([&] { backup.Command2_Click(); },
                         QStringLiteral("バックアップを中止しました。\r\n以前のバックアップはそのまま残っています。"),
                         backupDir.path(), earlier),
              10);
    EXPECT_EQ(test::FolderListing(cat.state.pictureFolder()), pictures); // the catalogue keeps the backup folder
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("バックアップは終了しました"));
    EXPECT_EQ(cat.ui.progressWindows.last().text, QStringLiteral("バックアップしています…"));
    EXPECT_TRUE(cat.ui.progressDetails.last().endsWith(QStringLiteral(" MB　（4 / 4 ファイル）")))
        << cat.ui.progressDetails.last().toStdString();
    EXPECT_EQ(cat.ui.progressReports.last().first, cat.ui.progressReports.last().second);

    RestoreScreen restore(cat.state, cat.ui);
    restore.SetFolder(backupDir.path());
    ASSERT_TRUE(SelectFile(restore.File1, QStringLiteral("Quelm.mdb")));
    const QStringList changed = test::FolderListing(cat.folder());
    EXPECT_EQ(cancelEach([&] { restore.Command1_Click(); },
                         QStringLiteral("データベースの復元を中止しました。\r\nデータベースは復元前のままです。"),
                         cat.folder(), changed),
              2);
    ASSERT_TRUE(restore.DatabaseRestored);
    // A kept folder of an earlier restore is kept through a cancel too.
    ASSERT_TRUE(QDir().mkdir(cat.folder() + QStringLiteral("/Quelm-画像.bak")));
    write(cat.folder() + QStringLiteral("/Quelm-画像.bak/4_9.jpg"), "earlier");
    const QStringList restored = test::FolderListing(cat.folder());
    restore.SetFolder(backupDir.filePath(QStringLiteral("Quelm-画像")));
    EXPECT_EQ(cancelEach([&] { restore.Command4_Click(); },
                         QStringLiteral("画像フォルダーの復元を中止しました。\r\n画像フォルダーは復元前のままです。"),
                         cat.folder(), restored),
              8);
    EXPECT_TRUE(cat.ui.ended);
    EXPECT_EQ(test::FolderListing(cat.state.pictureFolder()),
              test::FolderListing(backupDir.filePath(QStringLiteral("Quelm-画像"))));
}

TEST_F(MaintenanceScreens, LeavingAfterTheDatabaseStepEndsTheProgram) {
    ASSERT_EQ(BackupCatalogue(cat.state, backupDir.path()), std::nullopt);
    RestoreScreen form(cat.state, cat.ui);
    form.Command2_Click();
    EXPECT_FALSE(cat.ui.ended);

    RestoreScreen again(cat.state, cat.ui);
    again.SetFolder(backupDir.path());
    ASSERT_TRUE(SelectFile(again.File1, QStringLiteral("Quelm.mdb")));
    again.Command1_Click();
    again.Command2_Click();
    EXPECT_TRUE(cat.ui.ended);
    EXPECT_EQ(cat.ui.messages.last().title, QStringLiteral("終了"));
}

TEST_F(MaintenanceScreens, StatisticsShowCategoriesWithRecordsOnly) {
    cat.addMain(4, 1, {});
    cat.addMain(4, 2, {});
    cat.addMain(4, 3, {});
    cat.addSub(4, 1, 1, QStringLiteral("a"));
    cat.addSub(4, 2, 1, QStringLiteral("b"));
    cat.addSub(4, 2, 2, QStringLiteral("c"));
    StatisticsScreen form(cat.state, cat.ui);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 計数照会"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("種目別登録件数調べ"));
    form.Timer1_Timer();
    const platform::RecordList& list = *form.ListView1;
    ASSERT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.columnHeading(0), QStringLiteral("種　　目"));
    EXPECT_EQ(list.columnHeading(1), QStringLiteral("CD1"));
    EXPECT_EQ(list.columnAlignment(1) & Qt::AlignRight, Qt::AlignRight);
    ASSERT_EQ(list.rowCount(), 6);
    EXPECT_EQ(Row(list, 1), QStringList({QStringLiteral("メイン明細：登録件数"), QStringLiteral("3")}));
    EXPECT_EQ(Row(list, 2), QStringList({QStringLiteral("            (内、サブ明細あり)"), QStringLiteral("2")}));
    EXPECT_EQ(Row(list, 3), QStringList({QStringLiteral("            (内、サブ明細なし)"), QStringLiteral("1")}));
    EXPECT_EQ(Row(list, 4), QStringList({QStringLiteral("サブ明細　：登録件数"), QStringLiteral("3")}));
    EXPECT_EQ(Row(list, 5),
              QStringList({QStringLiteral("          ：１メイン当りの平均登録件数"), QStringLiteral("1")}));
    EXPECT_EQ(Row(list, 6),
              QStringList({QStringLiteral("          ：１メイン当りの最大登録件数"), QStringLiteral("2")}));
    EXPECT_EQ(form.StatusBar1->panelText(3), QString());
    // Counting again in the same run gives the same numbers.
    form.Timer1_Timer();
    EXPECT_EQ(form.ListView1->rowCount(), 6);
    EXPECT_EQ(Row(*form.ListView1, 4).last(), QStringLiteral("3"));
    EXPECT_TRUE(cat.ui.messages.isEmpty());
}

TEST_F(MaintenanceScreens, EmptyListingsSayWhyAndCloseOnlyThemselves) {
    StatisticsScreen counts(cat.state, cat.ui);
    counts.Timer1_Timer();
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("登録が１件もありません。"), Icon::Critical, Buttons::Ok,
                  QStringLiteral("Error"));
    EXPECT_FALSE(counts.Loaded);

    ListTablesListing lists(cat.state, cat.ui);
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("リスト・テーブルの登録がありません。"), Icon::Critical,
                  Buttons::Ok, QStringLiteral("Error"));
    EXPECT_FALSE(lists.Loaded);

    for (int s : {4, 7})
        cat.state.config[s].InUse = 0;
    FieldNamesListing fields(cat.state, cat.ui);
    ExpectMessage(cat.ui.messages.last(), QStringLiteral("種目登録が１件もありません。"), Icon::Critical, Buttons::Ok,
                  QStringLiteral("Error"));
    EXPECT_FALSE(fields.Loaded);
    EXPECT_FALSE(cat.ui.ended);

    // A list table the directory names but the catalogue lacks is an engine error, not an end.
    for (int s : {4, 7})
        cat.state.config[s].InUse = 1;
    ASSERT_FALSE(store::CreateList(cat.state, 0, QStringLiteral("ジャンル")));
    cat.open()->execute(QStringLiteral("DROP TABLE ListTable1"));
    ListTablesListing broken(cat.state, cat.ui);
    EXPECT_EQ(cat.ui.messages.last().title, QStringLiteral("Error"));
    EXPECT_FALSE(broken.Loaded);
    EXPECT_FALSE(cat.ui.ended);
}

TEST_F(MaintenanceScreens, ListingsPutListsAndFieldsSideBySide) {
    ASSERT_FALSE(store::CreateList(cat.state, 3, QStringLiteral("保管場所")));
    ASSERT_FALSE(store::CreateList(cat.state, 0, QStringLiteral("ジャンル")));
    store::AddListEntry(cat.state, 3, QStringLiteral("棚A"));
    store::AddListEntry(cat.state, 3, QStringLiteral("棚B"));
    store::AddListEntry(cat.state, 0, QStringLiteral("ジャズ"));
    ListTablesListing lists(cat.state, cat.ui);
    ASSERT_TRUE(lists.Loaded);
    EXPECT_EQ(lists.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - リスト・テーブル別登録リスト一覧"));
    ASSERT_EQ(lists.ListView1->columnCount(), 2);
    EXPECT_EQ(lists.ListView1->columnHeading(0), QStringLiteral("ジャンル"));
    EXPECT_EQ(lists.ListView1->columnHeading(1), QStringLiteral("保管場所"));
    EXPECT_GE(lists.ListView1->columnWidthTwips(1), lists.ListView1->columnWidthTwips(0));
    ASSERT_EQ(lists.ListView1->rowCount(), 2);
    EXPECT_EQ(Row(*lists.ListView1, 1), QStringList({QStringLiteral("ジャズ"), QStringLiteral("棚A")}));
    EXPECT_EQ(Row(*lists.ListView1, 2), QStringList({QString(), QStringLiteral("棚B")}));

    FieldNamesListing fields(cat.state, cat.ui);
    ASSERT_EQ(fields.ListView1->columnCount(), 2);
    EXPECT_EQ(fields.ListView1->columnHeading(1), QStringLiteral("DVD1"));
    ASSERT_EQ(fields.ListView1->rowCount(), 27);
    EXPECT_EQ(Row(*fields.ListView1, 1), QStringList({QStringLiteral("---[MAIN]---"), QStringLiteral("---[MAIN]---")}));
    EXPECT_EQ(Row(*fields.ListView1, 17), QStringList({QStringLiteral("---[SUB]---"), QStringLiteral("---[SUB]---")}));
    EXPECT_EQ(Row(*fields.ListView1, 2), QStringList({QStringLiteral("タイトル"), QStringLiteral("タイトル")}));
    EXPECT_TRUE(cat.ui.messages.isEmpty());
}

TEST_F(MaintenanceScreens, TheMainWindowFollowsSettingsAndInitialisation) {
    ASSERT_FALSE(store::AddSlot(cat.state, 5));
    shell::MainWindow w(cat.state, cat.ui);
    ASSERT_TRUE(w.Form_Load());
    EXPECT_FALSE(w.Command1[1]->isHidden());
    const int grownHeight = w.windowHeightTwips();

    cat.ui.modalDrivers.push_back([](QDialog& d) {
        auto& form = dynamic_cast<SettingsScreen&>(d);
        form.Text1->setText(QStringLiteral("私の棚"));
        form.Command4_Click();
        form.Text4[1]->setText(QStringLiteral("ジャズ"));
        form.Command6_Click();
    });
    w.mt11->trigger();
    EXPECT_EQ(cat.ui.modalScreens.last(), QStringLiteral("Form2a"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("私の棚 Quelm"));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("私の棚"));
    EXPECT_EQ(w.Command1[1]->text(), QStringLiteral("ジャズ"));
    EXPECT_EQ(w.mk11[1]->text(), QStringLiteral("ジャズ   "));

    cat.ui.modalDrivers.push_back([](QDialog& d) { dynamic_cast<InitialiseScreen&>(d).Command1_Click(); });
    w.mt17->trigger();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ＣＤ管理 Quelm"));
    EXPECT_TRUE(w.Command1[1]->isHidden());
    EXPECT_FALSE(w.mk11[1]->isEnabled());
    EXPECT_EQ(w.windowHeightTwips(), grownHeight - 450);

    for (QAction* a : {w.mf12, w.mf13, w.mm12, w.mh12})
        a->trigger();
    EXPECT_EQ(cat.ui.modalScreens.mid(2), QStringList({QStringLiteral("Form12a"), QStringLiteral("Form12b"),
                                                       QStringLiteral("Form13c"), QStringLiteral("Formv")}));
}
