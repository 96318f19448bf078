// Chart window: the collection at a glance, opened from the statistics screen.
#include "maintenance/CollectionChartWindow.h"

#include "maintenance/StatisticsScreen.h"
#include "platform/Database.h"
#include "platform/Ui.h"
#include "print/ScreenPrint.h"
#include "store/Catalogue.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

namespace quelm::maintenance {

using platform::Buttons;
using platform::Icon;

namespace {

const QString WindowTitle = QStringLiteral("グラフ表示");

// 1, 2 or 5 times a power of ten, so that a range up to `top` gets about five ticks.
std::int64_t NiceStep(std::int64_t top) {
    std::int64_t step = 1;
    while (true) {
        for (const std::int64_t f : {1, 2, 5})
            if (top / (step * f) <= 5)
                return step * f;
        step *= 10;
    }
}

QString CountText(const ChartBar& bar) {
    return QStringLiteral("%1：%2 件").arg(bar.label).arg(bar.count);
}

// The row of the field offered first for the years: a date field named as the release date (発売日), else the first
// date field; -1 when there is none.
int LikelyReleaseField(const store::ConfigSection& section, const QList<int>& fields) {
    int firstDate = -1;
    for (int i = 0; i < fields.size(); ++i) {
        if (section.FieldType[fields[i]].trimmed() != store::TypeDate)
            continue;
        if (section.FieldName[fields[i]].contains(QStringLiteral("発売")))
            return i;
        if (firstDate < 0)
            firstDate = i;
    }
    return firstDate;
}

} // namespace

CollectionChartWindow::CollectionChartWindow(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form13d"));
    setWindowTitle(state_.caption(WindowTitle));
    buildControls();
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s)
        if (state_.config[s].inUse())
            CategoryCombo->addItem(state_.config[s].ShumokuName.trimmed(), s);
    const int current = CategoryCombo->findData(static_cast<int>(state_.CurrentSection));
    CategoryCombo->setCurrentIndex(current >= 0 ? current : 0);
    ChartCombo_Click();
    resize(900, 640);
}

void CollectionChartWindow::buildControls() {
    Label1 = new QLabel(QStringLiteral("グラフ"), this);
    ChartCombo = new QComboBox(this);
    ChartCombo->addItems({QStringLiteral("種目別の登録件数"), QStringLiteral("発売年別の登録件数"),
                          QStringLiteral("項目の値別の登録件数（上位２０）")});
    Label2 = new QLabel(QStringLiteral("種目"), this);
    CategoryCombo = new QComboBox(this);
    Label3 = new QLabel(QStringLiteral("項目"), this);
    FieldCombo = new QComboBox(this);
    FieldCombo->setMinimumContentsLength(12);
    // Showing a chart only reads, so Return shows it.
    Command1 = new QPushButton(QStringLiteral("表示"), this);
    Command1->setDefault(true);
    ChartView1 = new QChartView(this);
    ChartView1->setRenderHint(QPainter::Antialiasing);
    ChartView1->setMinimumSize(640, 420);
    HoverLabel = new QLabel(this);
    Command2 = new QPushButton(QStringLiteral("保存"), this);
    Command3 = new QPushButton(QStringLiteral("画面印刷"), this);
    Command4 = new QPushButton(QStringLiteral("閉じる"), this);
    Command5 = new QPushButton(QStringLiteral("ヘルプ"), this);
    for (QPushButton* b : {Command2, Command3, Command4, Command5})
        b->setAutoDefault(false);

    auto* choices = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label1, ChartCombo, Label2, CategoryCombo, Label3, FieldCombo, Command1})
        choices->addWidget(w);
    choices->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(HoverLabel, 1);
    for (QPushButton* b : {Command2, Command3, Command4, Command5})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(ChartView1, 1);
    layout->addLayout(buttons);

    connect(ChartCombo, &QComboBox::activated, this, &CollectionChartWindow::ChartCombo_Click);
    connect(CategoryCombo, &QComboBox::activated, this, &CollectionChartWindow::CategoryCombo_Click);
    connect(Command1, &QPushButton::clicked, this, &CollectionChartWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CollectionChartWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &CollectionChartWindow::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &CollectionChartWindow::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &CollectionChartWindow::Command5_Click);
}

CollectionChartWindow::Chart CollectionChartWindow::chosenChart() const {
    return static_cast<Chart>(std::max(0, ChartCombo->currentIndex()));
}

void CollectionChartWindow::fillFields() {
    FieldCombo->clear();
    const Chart chart = chosenChart();
    const bool perCategory = chart == Chart::PerCategory;
    for (QWidget* w : std::initializer_list<QWidget*>{Label2, CategoryCombo, Label3, FieldCombo})
        w->setEnabled(!perCategory);
    if (perCategory || CategoryCombo->currentIndex() < 0)
        return;
    const store::ConfigSection& section = state_.config[CategoryCombo->currentData().toInt()];
    const QList<int> fields = chart == Chart::PerYear ? YearFields(section) : ValueFields(section);
    for (const int k : fields)
        FieldCombo->addItem(section.FieldName[k].trimmed(), k);
    if (chart == Chart::PerYear)
        FieldCombo->setCurrentIndex(std::max(0, LikelyReleaseField(section, fields)));
}

void CollectionChartWindow::ChartCombo_Click() {
    fillFields();
    Command1_Click();
}

void CollectionChartWindow::CategoryCombo_Click() {
    fillFields();
    Command1_Click();
}

void CollectionChartWindow::Command1_Click() {
    const Chart chart = chosenChart();
    const int section = CategoryCombo->currentData().toInt();
    const int field = FieldCombo->currentData().toInt();
    if (chart != Chart::PerCategory && (CategoryCombo->currentIndex() < 0 || FieldCombo->currentIndex() < 0)) {
        bars_.clear();
        showBars(QStringLiteral("集計できる項目がありません。"), false);
        return;
    }
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        const store::ConfigSection& s = state_.config[section];
        if (chart == Chart::PerCategory)
            bars_ = DiscsPerCategory(*db, state_.config);
        else if (chart == Chart::PerYear)
            bars_ = DiscsPerYear(*db, s, field);
        else
            bars_ = TopValues(*db, s, field);
    } catch (const platform::EngineError& e) {
        bars_.clear();
        showBars(QString(), false);
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    QString title = ChartCombo->currentText();
    if (chart != Chart::PerCategory)
        title = CategoryCombo->currentText() + QStringLiteral("　") + FieldCombo->currentText() +
                (chart == Chart::PerYear ? QStringLiteral("（年）別の登録件数") : QStringLiteral("の上位２０"));
    if (bars_.isEmpty())
        title += QStringLiteral("：データがありません。");
    showBars(title, chart == Chart::TopValues);
}

void CollectionChartWindow::showBars(const QString& title, bool horizontal) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* set = new QBarSet(QStringLiteral("件数"));
    QStringList labels;
    std::int64_t most = 0;
    // A horizontal chart draws its first category at the bottom; the most frequent belongs on top.
    QList<ChartBar> shown = bars_;
    if (horizontal)
        std::reverse(shown.begin(), shown.end());
    for (const ChartBar& bar : shown) {
        *set << static_cast<qreal>(bar.count);
        labels << bar.label;
        most = std::max(most, bar.count);
    }
    QAbstractBarSeries* series = horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                            : static_cast<QAbstractBarSeries*>(new QBarSeries);
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis;
    categories->append(labels);
    auto* values = new QValueAxis;
    // Whole-number ticks, about five of them: counts have no fractions.
    const std::int64_t top = std::max<std::int64_t>(1, most + most / 10 + 1);
    values->setRange(0, static_cast<qreal>(top));
    values->setTickType(QValueAxis::TicksDynamic);
    values->setTickAnchor(0);
    values->setTickInterval(static_cast<qreal>(NiceStep(top)));
    values->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(categories, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(values);
    connect(set, &QBarSet::hovered, this, [this, shown](bool on, int index) {
        const QString text = on && index >= 0 && index < shown.size() ? CountText(shown[index]) : QString();
        HoverLabel->setText(text);
        if (!text.isEmpty())
            QToolTip::showText(QCursor::pos(), text, ChartView1);
    });
    QChart* old = ChartView1->chart();
    ChartView1->setChart(chart);
    delete old;
    HoverLabel->clear();
}

bool CollectionChartWindow::saveChart(const QString& path) const {
    const QPixmap picture = ChartView1->grab();
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        return picture.save(path, "PNG");
    QPdfWriter pdf(path);
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setTitle(ChartView1->chart()->title());
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    // As large as the page allows, the proportions kept.
    const QRect page = painter.viewport();
    const QSize size = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    ChartView1->render(&painter, QRectF(QPointF(0, 0), size), ChartView1->rect());
    return painter.end();
}

void CollectionChartWindow::Command2_Click() {
    const auto path =
        ui_.chooseSaveFile(QStringLiteral("グラフの保存"), QStringLiteral("PNG画像 (*.png);;PDFファイル (*.pdf)"),
                           QStringLiteral("png"), this);
    if (!path)
        return;
    if (!saveChart(*path))
        ui_.message(QStringLiteral("ファイル ") + *path + QStringLiteral(" が保存できませんでした。"),
                    Icon::Exclamation, Buttons::Ok, QStringLiteral("ERROR"), this);
}

void CollectionChartWindow::Command3_Click() {
    print::PrintScreen(*this, nullptr, print::ScreenPrintArea::ActiveWindow, ui_, state_.dataFolder);
}

void CollectionChartWindow::Command4_Click() {
    close();
}

void CollectionChartWindow::Command5_Click() {
    ui_.showHelp(this);
}

void AddChartMenu(StatisticsScreen& screen, store::AppState& state, platform::Ui& ui) {
    auto* action = new QAction(QStringLiteral("グラフ表示　"), &screen);
    action->setObjectName(QStringLiteral("mg1"));
    screen.menuBar->insertAction(screen.mh1, action);
    QObject::connect(action, &QAction::triggered, &screen, [&screen, &state, &ui] {
        CollectionChartWindow window(state, ui, &screen);
        ui.runModal(window);
    });
}

} // namespace quelm::maintenance
