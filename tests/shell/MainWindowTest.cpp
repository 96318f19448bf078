#include "shell/MainWindow.h"
#include "TestCatalogue.h"
#include "records/MainRecordScreen.h"
#include "store/CategorySlotsScreen.h"
#include "store/CategoryTables.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quelm;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using shell::MainWindow;

namespace {

TEST(Dspsize, LayoutValuesFromTheScreenSize) {
    auto v = shell::Dspsize(17000, 12000);
    EXPECT_EQ(v.ListFormWidth, 17000);
    EXPECT_EQ(v.ListFormLeft, 0);
    EXPECT_EQ(v.ListViewExtraWidth, 1900);
    EXPECT_EQ(v.ListFormTop, 450);
    v = shell::Dspsize(16999, 9000);
    EXPECT_EQ(v.ListFormWidth, 14955);
    EXPECT_EQ(v.ListFormLeft, 1022);
    EXPECT_EQ(v.ListViewExtraWidth, 0);
    EXPECT_EQ(v.ListFormTop, -1050);
    v = shell::Dspsize(14000, 9000);
    EXPECT_EQ(v.ListFormWidth, 14955);
    EXPECT_EQ(v.ListFormLeft, 0);
    EXPECT_EQ(v.ListViewExtraWidth, 0);
    // Halves go to the even neighbour: (17001 - 17000) / 2 = 0.5 → 0, (17003 - 17000) / 2 = 1.5 → 2.
    EXPECT_EQ(shell::Dspsize(17001, 11101).ListFormLeft, 0);
    EXPECT_EQ(shell::Dspsize(17003, 11103).ListFormLeft, 2);
    EXPECT_EQ(shell::Dspsize(17003, 11103).ListFormTop, 2);
    EXPECT_EQ(shell::Dspsize(19200, 14400).ListFormLeft, 1100);
}

struct MainWindowStart : ::testing::Test {
    test::TestCatalogue cat;

    // Added as the program adds a slot, with its two tables: start-up refuses a slot in use without them.
    void setInUse(std::initializer_list<int> sections) {
        for (int s : sections)
            ASSERT_EQ(store::AddSlot(cat.state, s), std::nullopt);
    }
};

TEST_F(MainWindowStart, StartsWithCd1AndDvd1AndTheTitle) {
    MainWindow w(cat.state, cat.ui);
    ASSERT_TRUE(w.Form_Load());
    EXPECT_TRUE(cat.ui.messages.isEmpty());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ＣＤ管理 Quelm"));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("ＣＤ管理"));
    EXPECT_EQ(w.Command1[0]->text(), QStringLiteral("CD1"));
    EXPECT_EQ(w.Command1[3]->text(), QStringLiteral("DVD1"));
    EXPECT_TRUE(w.Command1[1]->isHidden());
    EXPECT_EQ(w.Command1[4]->text(), QStringLiteral("DVD２"));
    EXPECT_EQ(w.mk11[0]->text(), QStringLiteral("CD1   "));
    EXPECT_FALSE(w.mk11[1]->isEnabled());
    EXPECT_EQ(w.mk11[1]->text(), QStringLiteral("     ２     "));
    EXPECT_EQ(cat.state.ListTableNames.size(), 10);
    EXPECT_EQ(cat.state.ListTableNames[9], QStringLiteral("ListTable10"));
    EXPECT_EQ(w.Label2->palette().color(QPalette::WindowText), QColor(0, 128, 255));

    w.Command1_Click(3);
    EXPECT_EQ(cat.state.CurrentSection, 7);
    EXPECT_EQ(cat.state.CurrentCategoryName, QStringLiteral("DVD1"));
    EXPECT_EQ(cat.state.ListMode, 0);
    EXPECT_EQ(cat.ui.modelessScreens, QList<QString>{QStringLiteral("Form5")});
    ASSERT_TRUE(w.recordScreen);
    EXPECT_EQ(w.recordScreen->parentWidget(), &w);
}

TEST_F(MainWindowStart, UnusableColourCellsFallBackToTheDefaultColours) {
    const QColor defaultTitle(0, 128, 255), defaultBack(223, 223, 223);
    struct Case {
        const char* cell; // SQL literal stored in both colour cells
        QColor title, back;
    };
    const Case cases[] = {
        {"NULL", defaultTitle, defaultBack},
        {"'赤'", defaultTitle, defaultBack},
        {"'-1'", defaultTitle, defaultBack},
        {"'16777216'", defaultTitle, defaultBack},
        {"'4294967295'", defaultTitle, defaultBack},
        {"'12abc'", defaultTitle, defaultBack},
        {"' '", defaultTitle, defaultBack},
        {"'1e3'", defaultTitle, defaultBack},
        {"' 255 '", QColor(255, 0, 0), QColor(255, 0, 0)},
        {"'16777215'", Qt::white, Qt::white},
        {"'0'", Qt::black, Qt::black},
    };
    for (const Case& c : cases) {
        cat.open()->execute(
            QStringLiteral("UPDATE 管理テーブル SET フィールド2名データ型 = %1, フィールド3名データ型 = %1 "
                           "WHERE KeyNo = 1")
                .arg(QString::fromUtf8(c.cell)));
        MainWindow w(cat.state, cat.ui);
        ASSERT_TRUE(w.Form_Load()) << c.cell;
        EXPECT_EQ(w.Label2->palette().color(QPalette::WindowText), c.title) << c.cell;
        EXPECT_EQ(w.Label2->palette().color(QPalette::Window), c.back) << c.cell;
        EXPECT_EQ(w.centralWidget()->palette().color(QPalette::Window), c.back) << c.cell;
    }
}

TEST_F(MainWindowStart, AddedSlotsGrowTheWindowByOneRowPerRowOfButtons) {
    MainWindow plain(cat.state, cat.ui);
    ASSERT_TRUE(plain.Form_Load());
    const int baseHeight = plain.windowHeightTwips();
    const int baseCommand2 = plain.topTwips(plain.Command2);

    setInUse({5, 6});
    MainWindow cds(cat.state, cat.ui);
    ASSERT_TRUE(cds.Form_Load());
    EXPECT_EQ(cds.windowHeightTwips(), baseHeight + 900);
    EXPECT_EQ(cds.topTwips(cds.Command1[1]), cds.topTwips(cds.Command1[0]) + 450);
    EXPECT_EQ(cds.topTwips(cds.Command1[2]), cds.topTwips(cds.Command1[0]) + 900);
    EXPECT_EQ(cds.topTwips(cds.Command2), baseCommand2 + 900);
    EXPECT_EQ(cds.Lines[1].y1, 2760 + 900);
    EXPECT_EQ(cds.Lines[2].y1, 1620); // upper end stays
    EXPECT_EQ(cds.Lines[2].y2, 2760 + 900);
    EXPECT_EQ(cds.Lines[4].y1, 1200);

    cat.state.config[6].InUse = 0;
    cat.state.config[6].Dirty = 1;
    store::SaveConfig(cat.state.databasePath(), cat.state.config);
    setInUse({8});
    MainWindow pairs(cat.state, cat.ui);
    ASSERT_TRUE(pairs.Form_Load());
    EXPECT_EQ(pairs.windowHeightTwips(), baseHeight + 450);
    EXPECT_EQ(pairs.leftTwips(pairs.Command1[4]), pairs.leftTwips(pairs.Command1[3]));
    EXPECT_TRUE(pairs.Command1[4]->isVisibleTo(&pairs));
    EXPECT_EQ(pairs.Command1[4]->text(), cat.state.config[8].ShumokuName);
}

TEST_F(MainWindowStart, CategoryButtonOfASlotNotInUseChangesNothing) {
    cat.state.config[4].InUse = 0;
    cat.state.config[4].Dirty = 1;
    store::SaveConfig(cat.state.databasePath(), cat.state.config);
    MainWindow w(cat.state, cat.ui);
    ASSERT_TRUE(w.Form_Load());
    cat.state.CurrentSection = 7;
    cat.state.CurrentCategoryName = QStringLiteral("DVD1");
    cat.state.ListMode = 2;
    w.Command1_Click(0);
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("種目の追加使用登録が未済です。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(cat.state.CurrentSection, 7);
    EXPECT_EQ(cat.state.ListMode, 2);

    w.mk11_Click(1);
    EXPECT_EQ(cat.ui.messages.last().text, QStringLiteral("ファイル設定が未済です。"));
    EXPECT_EQ(cat.state.CurrentSection, 7);
}

struct PictureFolder : MainWindowStart {
    void SetUp() override { QDir(cat.state.pictureFolder()).removeRecursively(); }
    static const QString question() {
        return QStringLiteral(
            "画像フォルダ(Quelm-画像)がありません。\r\nダウンロードしたQuelm.lzhの解凍先フォルダにある"
            "画像フォルダを\r\nコピーしてください。\r\nコピーしますか？");
    }
};

TEST_F(PictureFolder, NoOrCancelEndsTheProgram) {
    cat.ui.answers = {Answer::No};
    MainWindow w(cat.state, cat.ui);
    EXPECT_FALSE(w.Form_Load());
    EXPECT_TRUE(cat.ui.ended);
    ASSERT_EQ(cat.ui.messages.size(), 2);
    EXPECT_EQ(cat.ui.messages[0].text, question());
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::None);
    EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("ＣＤ管理Quelm  画像フォルダERROR"));
    EXPECT_EQ(cat.ui.messages[1].text, QStringLiteral("画像フォルダが無いため、システムを終了します。"));
    EXPECT_EQ(cat.ui.messages[1].title, QStringLiteral("ＣＤ管理Quelm  画像フォルダなし"));

    test::TestCatalogue again;
    QDir(again.state.pictureFolder()).removeRecursively();
    again.ui.answers = {Answer::Yes};
    again.ui.folders = {std::nullopt};
    MainWindow w2(again.state, again.ui);
    EXPECT_FALSE(w2.Form_Load());
    EXPECT_EQ(again.ui.chooserTitles, QList<QString>{QStringLiteral("フォルダの選択")});
    EXPECT_EQ(again.ui.messages.last().text, QStringLiteral("画像フォルダが無いため、システムを終了します。"));
}

TEST_F(PictureFolder, WrongNameEndsAndARightNameHasItsContentsCopiedIntoThePictureFolder) {
    QTemporaryDir source;
    QDir(source.path()).mkpath(QStringLiteral("Pictures"));
    cat.ui.answers = {Answer::Yes};
    cat.ui.folders = {source.path() + QStringLiteral("/Pictures")};
    MainWindow w(cat.state, cat.ui);
    EXPECT_FALSE(w.Form_Load());
    EXPECT_EQ(cat.ui.messages.last().text,
              QStringLiteral("画像フォルダ(Quelm-画像)の選択が無いため、システムを終了します。"));

    test::TestCatalogue other;
    QDir(other.state.pictureFolder()).removeRecursively();
    const QString chosen = source.path() + QStringLiteral("/Quelm-画像2");
    QDir().mkpath(chosen + QStringLiteral("/sub"));
    QFile f(chosen + QStringLiteral("/4_1.jpg"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("jpeg");
    f.close();
    other.ui.answers = {Answer::Yes};
    other.ui.folders = {chosen};
    MainWindow w2(other.state, other.ui);
    EXPECT_TRUE(w2.Form_Load());
    EXPECT_FALSE(other.ui.ended);
    // Quelm-画像2 passes the name check; what the program needs next time is Quelm-画像, so that is what is made.
    EXPECT_TRUE(QFileInfo::exists(other.state.pictureFolder() + QStringLiteral("/4_1.jpg")));
    EXPECT_TRUE(QFileInfo(other.state.pictureFolder() + QStringLiteral("/sub")).isDir());
    EXPECT_FALSE(QFileInfo::exists(other.folder() + QStringLiteral("/Quelm-画像2")));
    MainWindow next(other.state, other.ui);
    EXPECT_TRUE(next.Form_Load());
    EXPECT_EQ(other.ui.messages.size(), 1); // only the first start asked
}

TEST_F(MainWindowStart, StartUpRemovesOnlyTheTemporaryFilesOfKilledPictureSaves) {
    const QDir pictures(cat.state.pictureFolder());
    const QStringList stale{QStringLiteral("4_1.jpg.aBc123"), QStringLiteral("7_25.jpg.ZZZZZZ")};
    const QStringList kept{QStringLiteral("4_1.jpg"),        QStringLiteral("notes.txt.aBc123"),
                           QStringLiteral("4_1.jpg.bak"),    QStringLiteral("4_1.jpg.aBc12"),
                           QStringLiteral("x_1.jpg.aBc123"), QStringLiteral("4_1.jpg.aBc1234")};
    for (const QString& name : stale + kept) {
        QFile f(pictures.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    ASSERT_TRUE(pictures.mkdir(QStringLiteral("4_2.jpg.aBc123")));
    MainWindow w(cat.state, cat.ui);
    ASSERT_TRUE(w.Form_Load());
    for (const QString& name : stale)
        EXPECT_FALSE(pictures.exists(name)) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(pictures.exists(name)) << name.toStdString();
    EXPECT_TRUE(pictures.exists(QStringLiteral("4_2.jpg.aBc123")));
    EXPECT_TRUE(cat.ui.messages.isEmpty());
}

} // namespace

namespace {

TEST_F(MainWindowStart, AddingASlotReLaysOutTheButtonsWithTheirBuiltInCaptions) {
    MainWindow w(cat.state, cat.ui);
    ASSERT_TRUE(w.Form_Load());
    const int before = w.windowHeightTwips();
    cat.ui.modalDrivers.push_back([](QDialog& d) { static_cast<store::CategorySlotsScreen&>(d).Command6_Click(1); });
    w.mt12_Click();
    EXPECT_TRUE(cat.state.config[5].inUse());
    EXPECT_EQ(w.windowHeightTwips(), before + 450);
    EXPECT_TRUE(w.Command1[1]->isVisibleTo(&w));
    EXPECT_EQ(w.Command1[1]->text(), QStringLiteral("CD２ ")); // captions come from the configuration at start-up
    EXPECT_EQ(w.topTwips(w.Command1[1]), w.topTwips(w.Command1[0]) + 450);
    EXPECT_FALSE(w.mk11[1]->isEnabled());

    // A second pass through the screen without a change keeps the layout as it is.
    cat.ui.modalDrivers.push_back([](QDialog&) {});
    w.mt12_Click();
    EXPECT_EQ(w.windowHeightTwips(), before + 450);
}

} // namespace

namespace {

TEST_F(MainWindowStart, DeletingTheDataOfTheShownCategoryClosesItsRecordScreen) {
    cat.addMain(4, 1, {QStringLiteral("消える")});
    MainWindow w(cat.state, cat.ui);
    ASSERT_TRUE(w.Form_Load());
    w.Command1_Click(0);
    ASSERT_TRUE(w.recordScreen);
    w.recordScreen->Timer1_Timer();

    // Another category's data: the screen stays.
    cat.ui.modalDrivers.push_back([](QDialog& d) { static_cast<store::CategorySlotsScreen&>(d).SD11_Click(3); });
    w.mt12_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(w.recordScreen);

    cat.ui.modalDrivers.push_back([](QDialog& d) { static_cast<store::CategorySlotsScreen&>(d).SD11_Click(0); });
    w.mt12_Click();
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w.recordScreen);
}

} // namespace
