#include "maintenance/CollectionCharts.h"
#include "maintenance/CollectionChartWindow.h"
#include "maintenance/StatisticsScreen.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "store/Catalogue.h"

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quelm::maintenance {
namespace {

using platform::Value;
using test::TestCatalogue;

constexpr int Cd = 4;
constexpr int Dvd = 7;
// Fields of a CD record: 4 レーベル, 9 録音年 (text), 14 発売日 (date).
constexpr int Label = 4;
constexpr int RecordingYear = 9;
constexpr int ReleaseDate = 14;

struct Charts : ::testing::Test {
    TestCatalogue cat;

    void addCd(int regNo, const QString& label, const QString& recorded, std::optional<QDate> released) {
        auto db = cat.open();
        auto rs = db->openTable(cat.state.config[Cd].TableName.trimmed());
        rs->addNew();
        rs->setValue(0, QStringLiteral("Title %1").arg(regNo));
        rs->setValue(Label - 1, label);
        rs->setValue(RecordingYear - 1, recorded);
        rs->setValue(ReleaseDate - 1, released ? Value(QDateTime(*released, QTime(0, 0))) : Value());
        rs->setValue(store::MainKeyColumn, Value(regNo));
        rs->setValue(store::PictureFlagColumn, Value(0));
        rs->update();
    }
    void fill() {
        addCd(1, "Sony", "1997", QDate(1998, 4, 1));
        addCd(2, "Sony ", "1997年", QDate(1998, 12, 31));
        addCd(3, "EMI", "unknown", std::nullopt);
        addCd(4, " ", "2003/05", QDate(2003, 1, 1));
        cat.addMain(Dvd, 1, {"a"});
        cat.addMain(Dvd, 2, {"b"});
    }
};

TEST_F(Charts, EachChartCountsWhatItSays) {
    fill();
    auto db = cat.open();
    const store::ConfigSection& cd = cat.state.config[Cd];
    EXPECT_EQ(DiscsPerCategory(*db, cat.state.config), (QList<ChartBar>{{"CD1", 4}, {"DVD1", 2}}));
    // A date field and a text field that starts with a year; records without one are left out.
    EXPECT_EQ(DiscsPerYear(*db, cd, ReleaseDate), (QList<ChartBar>{{"1998", 2}, {"2003", 1}}));
    EXPECT_EQ(DiscsPerYear(*db, cd, RecordingYear), (QList<ChartBar>{{"1997", 2}, {"2003", 1}}));
    // Blanks are no value; trailing blanks do not make another one.
    EXPECT_EQ(TopValues(*db, cd, Label), (QList<ChartBar>{{"Sony", 2}, {"EMI", 1}}));
    EXPECT_THROW(TopValues(*db, cd, 16), platform::EngineError);

    EXPECT_EQ(YearFields(cd), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14, 15}));
    EXPECT_EQ(ValueFields(cd), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15}));
}

TEST_F(Charts, TopValuesStopAtTwentyMostFrequentFirstTiesInValueOrder) {
    int regNo = 0;
    for (int v = 0; v < 25; ++v)
        for (int n = 0; n < (v == 24 ? 3 : 1); ++n)
            addCd(++regNo, QStringLiteral("L%1").arg(v, 2, 10, QLatin1Char('0')), {}, std::nullopt);
    auto db = cat.open();
    const QList<ChartBar> top = TopValues(*db, cat.state.config[Cd], Label);
    ASSERT_EQ(top.size(), 20);
    EXPECT_EQ(top[0], (ChartBar{"L24", 3}));
    EXPECT_EQ(top[1], (ChartBar{"L00", 1}));
    EXPECT_EQ(top[19], (ChartBar{"L18", 1}));
}

TEST_F(Charts, WindowFromTheStatisticsScreenShowsHoversAndSaves) {
    fill();
    StatisticsScreen statistics(cat.state, cat.ui);
    QAction* entry = statistics.findChild<QAction*>("mg1");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), QStringLiteral("グラフ表示　"));
    QTemporaryDir out;
    QStringList titles;
    cat.ui.files = {out.filePath("chart.png"), out.filePath("chart.pdf"), out.filePath("no/such/folder/x.png")};
    cat.ui.modalDrivers = {[&](QDialog& dialog) {
        auto& w = dynamic_cast<CollectionChartWindow&>(dialog);
        EXPECT_EQ(w.objectName(), "Form13d");
        EXPECT_EQ(w.Bars(), (QList<ChartBar>{{"CD1", 4}, {"DVD1", 2}}));
        EXPECT_FALSE(w.FieldCombo->isEnabled());
        titles << w.ChartView1->chart()->title();

        // Per year: the release date is offered first.
        w.ChartCombo->setCurrentIndex(1);
        w.ChartCombo_Click();
        EXPECT_EQ(w.FieldCombo->currentText(), "発売日");
        EXPECT_EQ(w.Bars(), (QList<ChartBar>{{"1998", 2}, {"2003", 1}}));
        titles << w.ChartView1->chart()->title();

        w.ChartCombo->setCurrentIndex(2);
        w.ChartCombo_Click();
        w.FieldCombo->setCurrentIndex(w.FieldCombo->findData(Label));
        w.Command1_Click();
        EXPECT_EQ(w.Bars(), (QList<ChartBar>{{"Sony", 2}, {"EMI", 1}}));
        titles << w.ChartView1->chart()->title();
        // The horizontal chart lists the most frequent on top, so its bars run backwards; the hover names the right
        // one.
        auto* series = qobject_cast<QHorizontalBarSeries*>(w.ChartView1->chart()->series().value(0));
        ASSERT_NE(series, nullptr);
        emit series->barSets().value(0)->hovered(true, 0);
        EXPECT_EQ(w.HoverLabel->text(), QStringLiteral("EMI：1 件"));

        w.Command2_Click();
        w.Command2_Click();
        w.Command2_Click();
        // DVD1 has no date: nothing to chart per year, said in the title.
        w.CategoryCombo->setCurrentIndex(w.CategoryCombo->findData(Dvd));
        w.ChartCombo->setCurrentIndex(1);
        w.ChartCombo_Click();
        EXPECT_TRUE(w.Bars().isEmpty());
        titles << w.ChartView1->chart()->title();
    }};
    entry->trigger();
    EXPECT_EQ(titles, (QStringList{"種目別の登録件数", "CD1　発売日（年）別の登録件数", "CD1　レーベルの上位２０",
                                   "DVD1　発売日（年）別の登録件数：データがありません。"}));
    const QImage png(out.filePath("chart.png"));
    EXPECT_FALSE(png.isNull());
    QFile pdf(out.filePath("chart.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    ASSERT_FALSE(cat.ui.messages.isEmpty());
    EXPECT_TRUE(cat.ui.messages.last().text.endsWith(QStringLiteral(" が保存できませんでした。")));
}

} // namespace
} // namespace quelm::maintenance
