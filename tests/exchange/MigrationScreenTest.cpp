#include "exchange/MigrationScreen.h"

#include "MigrationInventoryFile.h"
#include "TestCatalogue.h"
#include "platform/DragDrop.h"
#include "platform/RecordList.h"
#include "records/MainRecordScreen.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::DragSource;
using platform::Icon;
using platform::ScriptedUi;
using platform::Value;

constexpr int Cd = 4;

struct MigrationSteps : ::testing::Test {
    test::TestCatalogue cat;
    QString folder;

    MigrationSteps() {
        cat.state.CurrentSection = Cd;
        folder = cat.folder() + "/在庫";
        QDir().mkpath(folder);
        InventoryFile(folder).addGoods();
    }
    // Picks the folder through 参照 and the category from the combo box.
    std::unique_ptr<MigrationScreen> openOnGoods() {
        auto screen = std::make_unique<MigrationScreen>(cat.state, cat.ui);
        cat.ui.folders.push_back(folder);
        screen->Command1_Click();
        screen->Combo1_Click(0);
        return screen;
    }
    // Drags row `row` of a list onto a slot, the way a mouse drop reports it.
    static void drag(platform::DragList* list, int row, platform::DropSlot* slot) {
        list->setCurrentRow(row);
        slot->acceptDrop(DragSource::fromList(list));
    }
    int rows(const QString& table) const { return cat.rowCount(table); }
    QString mainTable() const { return cat.state.config[Cd].TableName.trimmed(); }
    QString subTable() const { return cat.state.config[Cd].SubTableName.trimmed(); }
    ScriptedUi::Message lastMessage() const { return cat.ui.messages.back(); }
};

TEST_F(MigrationSteps, TextsAndTheFolderStepAlone) {
    MigrationScreen screen(cat.state, cat.ui);
    const std::vector<std::pair<QWidget*, QString>> texts{
        {screen.Label1, "在庫管理Dravnよりデータ移行"},
        {screen.Label2, "在庫管理Dravnのデータベース(Dravn.mdb)があるフォルダを指定してください。"},
        {screen.Command1, "参照"},
        {screen.Label3, "データ移行する在庫管理Dravnの種目名を指定してください。"},
        {screen.Label4, "CD1に在庫管理Dravnのデータを移行します。"},
        {screen.Label5, "在庫管理Dravnのデータ項目を、CD管理Quelmのデータ項目へドラッグ＆ドロップで移してください。"},
        {screen.Label8, "（メイン明細）"},
        {screen.Label9, "（サブ明細）"},
        {screen.Label11, "（メイン明細）"},
        {screen.Label12, "（サブ明細）"},
        {screen.Label14, "←→"},
        {screen.Label15, "Drag & Drop"},
        {screen.Label16, "サブ明細からメイン明細への項目移し替えは出来ません（その逆の移し替えは可能です）"},
        {screen.Label17, QStringLiteral("指定した種目のデータ全て（メイン明細、サブ明細）を移行します。      "
                                        "数値・日付型の項目には同じデータ型のみ移行できます。\u3000\u3000\u3000\u3000"
                                        "TEXT型の項目に移行したデータは、文字列に変換されます。\u3000\u3000")},
        {screen.Command2, "実行"},
        {screen.Command3, "ヘルプ"},
    };
    for (const auto& [widget, text] : texts) {
        const QString shown = qobject_cast<QLabel*>(widget) ? static_cast<QLabel*>(widget)->text()
                                                            : static_cast<QPushButton*>(widget)->text();
        EXPECT_EQ(shown, QString(text)) << widget->metaObject()->className() << " " << text.toStdString();
    }
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("ＣＤ管理 Quelm - 在庫管理Dravnよりデータ移行"));

    for (QWidget* w : {static_cast<QWidget*>(screen.Label1), static_cast<QWidget*>(screen.Label2),
                       static_cast<QWidget*>(screen.Text1), static_cast<QWidget*>(screen.Command1),
                       static_cast<QWidget*>(screen.Label4), static_cast<QWidget*>(screen.Command3)})
        EXPECT_FALSE(w->isHidden());
    for (QWidget* w : {static_cast<QWidget*>(screen.Label3), static_cast<QWidget*>(screen.Combo1),
                       static_cast<QWidget*>(screen.Label5), static_cast<QWidget*>(screen.Label17),
                       static_cast<QWidget*>(screen.List1), static_cast<QWidget*>(screen.List2),
                       static_cast<QWidget*>(screen.Text3[0]), static_cast<QWidget*>(screen.Text4[9]),
                       static_cast<QWidget*>(screen.Command2)})
        EXPECT_TRUE(w->isHidden());
    for (const QPushButton* b : {screen.Command1, screen.Command2, screen.Command3})
        EXPECT_FALSE(b->autoDefault() || b->isDefault());
}

TEST_F(MigrationSteps, AFolderWithoutTheDatabaseIsRefusedAndEmptied) {
    MigrationScreen screen(cat.state, cat.ui);
    cat.ui.folders = {std::nullopt, cat.folder()};
    screen.Command1_Click(); // cancelled: nothing happens
    EXPECT_TRUE(cat.ui.messages.isEmpty());
    EXPECT_TRUE(screen.Text1->text().isEmpty());
    screen.Command1_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(lastMessage().text, QStringLiteral("在庫管理Dravnのデータベースが見つかりません"));
    EXPECT_EQ(lastMessage().icon, Icon::Critical);
    EXPECT_EQ(lastMessage().title, QStringLiteral("EROOR"));
    EXPECT_TRUE(screen.Text1->text().isEmpty());
    EXPECT_TRUE(screen.Combo1->isHidden());

    screen.Text1->setText(folder);
    screen.Text1_Change();
    EXPECT_FALSE(screen.Combo1->isHidden());
    EXPECT_EQ(screen.Combo1->count(), 1);
    EXPECT_EQ(screen.Combo1->itemText(0), QStringLiteral("ＣＤ在庫"));
    EXPECT_EQ(screen.Combo1->placeholderText(), QStringLiteral("種目名を選択して下さい"));
    EXPECT_EQ(screen.Combo1->currentIndex(), -1);
}

// A database whose 管理テーブル is damaged part of the way through fails while its rows are read: the screen says so
// and stays, the program goes on.
TEST_F(MigrationSteps, ADatabaseDamagedAmongItsRowsIsRefusedLikeAMissingOne) {
    const QString damaged = cat.folder() + "/damaged";
    QDir().mkpath(damaged);
    {
        InventoryFile inventory(damaged);
        for (int i = 0; i < 150; ++i)
            inventory.category(QStringLiteral("種目%1").arg(i) + QString(200, u'x'), 1, "商品", {{"品名", "TEXT"}});
    }
    QFile file(InventoryPath(damaged));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 pageSize = 4096;
    ASSERT_GT(file.size(), 8 * pageSize);
    // The later leaf pages of the table become noise; the first pages, the schema among them, stay whole.
    for (qint64 page = file.size() / pageSize / 2; page < file.size() / pageSize; ++page) {
        file.seek(page * pageSize);
        file.write(QByteArray(static_cast<int>(pageSize), '\xA5'));
    }
    file.close();

    MigrationScreen screen(cat.state, cat.ui);
    screen.Text1->setText(damaged);
    screen.Text1_Change();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    // The damage is named below the usual words.
    EXPECT_TRUE(lastMessage().text.startsWith(QStringLiteral("在庫管理Dravnのデータベースが見つかりません\n詳細: ")))
        << lastMessage().text.toStdString();
    EXPECT_TRUE(screen.Combo1->isHidden());
}

TEST_F(MigrationSteps, ChoosingACategoryShowsListsAndEmptySlotsUnderTheFieldNames) {
    auto screen = openOnGoods();
    EXPECT_EQ(screen->Text2->text(), QStringLiteral("ＣＤ在庫"));
    EXPECT_EQ(screen->Label10->text(), QStringLiteral("CD1(ＣＤ管理)"));
    EXPECT_EQ(screen->Label13->text(), QStringLiteral("ＣＤ在庫(在庫管理Dravn)"));
    EXPECT_EQ(screen->List1->items(), (QStringList{"品名", "数量", "入荷日"}));
    EXPECT_EQ(screen->List2->items(), (QStringList{"曲名", "時間"}));
    EXPECT_FALSE(screen->List2->isHidden());
    EXPECT_FALSE(screen->Command2->isHidden());
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(screen->Text3[i]->text(), " ");
        EXPECT_EQ(screen->Label6[i]->text(), cat.state.config[Cd].FieldName[i + 1]);
    }
    EXPECT_EQ(screen->Label7[9]->text(), cat.state.config[Cd].SubFieldName[10]);

    drag(screen->List2, 0, screen->Text3[0]); // a sub field on a main slot: refused
    EXPECT_EQ(screen->Text3[0]->text(), " ");
    drag(screen->List1, 0, screen->Text4[3]);
    EXPECT_EQ(screen->Text4[3]->text(), QStringLiteral("品名"));
    EXPECT_EQ(screen->List1->items(), (QStringList{"数量", "入荷日"}));
    screen->List2->acceptDrop(DragSource::fromSlot(screen->Text4[3])); // goes home to List1
    EXPECT_EQ(screen->Text4[3]->text(), " ");
    EXPECT_EQ(screen->List1->items(), (QStringList{"数量", "入荷日", "品名"}));
}

TEST_F(MigrationSteps, TheRunChecksTypesAsksAndReportsThenTheCallerShowsTheRecords) {
    cat.state.config[Cd].RegNo = 10;
    auto screen = openOnGoods();
    drag(screen->List1, 0, screen->Text3[10]); // 品名 (TEXT) on field 11 (LONG)
    screen->Command2_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("品名(TEXT) が受入れ側のデータ型と相違しています"));
    EXPECT_EQ(lastMessage().icon, Icon::Critical);
    EXPECT_EQ(lastMessage().title, QStringLiteral("ERROR"));
    EXPECT_EQ(rows(mainTable()), 0);

    screen->List1->acceptDrop(DragSource::fromSlot(screen->Text3[10]));
    drag(screen->List1, 2, screen->Text3[0]);  // 品名
    drag(screen->List1, 0, screen->Text3[10]); // 数量
    drag(screen->List2, 0, screen->Text4[0]);  // 曲名
    cat.ui.answers = {Answer::Cancel};
    screen->Command2_Click();
    EXPECT_EQ(lastMessage().text, QStringLiteral("データ移行を開始します、よろしいですか。"));
    EXPECT_EQ(lastMessage().buttons, Buttons::OkCancel);
    EXPECT_EQ(lastMessage().title, QStringLiteral("作業開始の確認"));
    EXPECT_EQ(rows(mainTable()), 0);

    cat.ui.progressReports.clear();
    screen->Command2_Click();
    // The progress window opens before the file is read and is gone before the result is shown.
    EXPECT_EQ(cat.ui.progressWindows.back().text, QStringLiteral("データを移行しています…"));
    EXPECT_EQ(cat.ui.progressReports.front(), std::make_pair(std::int64_t{0}, std::int64_t{0}));
    EXPECT_EQ(cat.ui.progressOpen, 0);
    EXPECT_EQ(lastMessage().text,
              QStringLiteral("データ移行が終了しました。 \r\n種目メイン明細　3\r\n種目サブ明細　　2"));
    EXPECT_EQ(lastMessage().icon, Icon::Information);
    EXPECT_EQ(lastMessage().title, QStringLiteral("作業結果"));
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(rows(mainTable()), 3);
    EXPECT_EQ(rows(subTable()), 2);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 13);
}

TEST_F(MigrationSteps, TheMainRecordScreenOpensItAndRefillsItsList) {
    cat.state.CurrentCategoryName = cat.state.config[Cd].ShumokuName;
    records::MainRecordScreen form5(cat.state, cat.ui);
    form5.Timer1_Timer();
    cat.ui.modalDrivers.push_back([this](QDialog& d) {
        auto& screen = static_cast<MigrationScreen&>(d);
        cat.ui.folders.push_back(folder);
        screen.Command1_Click();
        screen.Combo1_Click(0);
        drag(screen.List1, 0, screen.Text3[0]);
        screen.Command2_Click();
    });
    form5.me125->trigger();
    EXPECT_EQ(cat.ui.modalScreens, QList<QString>{"Form5ip5a"});
    EXPECT_EQ(form5.ListView1->rowCount(), 3);
    EXPECT_EQ(form5.ListView1->selectedIndex(), 3);
    EXPECT_EQ(form5.ListView1->cell(1, 0), QStringLiteral("第九"));
}

} // namespace
} // namespace quelm::exchange
