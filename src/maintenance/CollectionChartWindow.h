#pragma once

#include "maintenance/CollectionCharts.h"
#include "store/AppState.h"

#include <QDialog>

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;

namespace quelm::platform {
class Ui;
}

namespace quelm::maintenance {

class StatisticsScreen;

// The collection in charts: discs per category, per release year from a chosen field, and the most common values of
// a text field; each chart is one query, shown with its counts on hover, saved as PNG or PDF.
class CollectionChartWindow : public QDialog {
    Q_OBJECT
public:
    enum class Chart { PerCategory, PerYear, TopValues };

    CollectionChartWindow(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    void ChartCombo_Click();    // the kind of chart
    void CategoryCombo_Click(); // the category
    void Command1_Click();      // 表示
    void Command2_Click();      // 保存
    void Command3_Click();      // 画面印刷
    void Command4_Click();      // 閉じる
    void Command5_Click();      // ヘルプ

    // Writes the chart shown: a PDF page for a name ending in .pdf, else a PNG image. False when it could not be
    // written.
    bool saveChart(const QString& path) const;
    // The bars of the chart shown.
    const QList<ChartBar>& Bars() const { return bars_; }

    QComboBox *ChartCombo = nullptr, *CategoryCombo = nullptr, *FieldCombo = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *HoverLabel = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr, *Command5 = nullptr;
    QChartView* ChartView1 = nullptr;

private:
    void buildControls();
    void fillFields();
    Chart chosenChart() const;
    void showBars(const QString& title, bool horizontal);

    store::AppState& state_;
    platform::Ui& ui_;
    QList<ChartBar> bars_;
};

// Adds グラフ表示 to the statistics screen's menu bar; it opens the chart window.
void AddChartMenu(StatisticsScreen& screen, store::AppState& state, platform::Ui& ui);

} // namespace quelm::maintenance
