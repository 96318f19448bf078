// Statistics screen: how many main and sub records each category holds.
#include "maintenance/StatisticsScreen.h"

#include "maintenance/CollectionChartWindow.h"
#include "platform/Database.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "store/Catalogue.h"

#include <QTimer>

namespace quelm::maintenance {

namespace {

const std::array<QString, 6> RowLabels{
    QStringLiteral("メイン明細：登録件数"),
    QStringLiteral("            (内、サブ明細あり)"),
    QStringLiteral("            (内、サブ明細なし)"),
    QStringLiteral("サブ明細　：登録件数"),
    QStringLiteral("          ：１メイン当りの平均登録件数"),
    QStringLiteral("          ：１メイン当りの最大登録件数"),
};

} // namespace

StatisticsScreen::StatisticsScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : ListingScreen(state, ui, parent, QStringLiteral("Form13a"), QStringLiteral("計数照会"),
                    QStringLiteral("種目別登録件数調べ"), true) {
    AddChartMenu(*this, state, ui);
    // The window is shown before the counting starts.
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &StatisticsScreen::Timer1_Timer);
    Timer1->start();
}

void StatisticsScreen::Timer1_Timer() {
    Timer1->stop();
    counts_.clear();
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
            if (state_.config[s].inUse())
                DataSet(*db, s);
        }
    } catch (const platform::EngineError& e) {
        StatusBar1->setPanelText(3, QString());
        platform::ShowEngineError(ui_, e.message(), this);
        Loaded = false;
        reject();
        return;
    }
    ListViewSet();
    update();
}

void StatisticsScreen::DataSet(platform::Database& db, int section) {
    StatusBar1->setPanelText(3, QStringLiteral("ファイル読込中"));
    repaint();
    counts_[section] = CountCategory(db, state_.config[section]);
    StatusBar1->setPanelText(3, QString());
}

void StatisticsScreen::ListViewSet() {
    ListView1->clearColumns();
    std::vector<int> shown;
    for (const auto& [section, n] : counts_) {
        if (n.mainRecords != 0)
            shown.push_back(section);
    }
    if (shown.empty()) {
        Refuse(QStringLiteral("登録が１件もありません。"));
        return;
    }
    ListView1->addColumn(QStringLiteral("種　　目"), TextWidthTwips(RowLabels[4]) + 500);
    for (const int s : shown) {
        const QString name = state_.config[s].ShumokuName;
        ListView1->addColumn(name, TextWidthTwips(name) + 1000, Qt::AlignRight);
    }
    std::vector<QStringList> rows;
    for (std::size_t r = 0; r < RowLabels.size(); ++r) {
        QStringList cells{RowLabels[r]};
        for (const int s : shown)
            cells << FormatCount(counts_.at(s).rows()[r]);
        rows.push_back(cells);
    }
    ListView1->addRows(std::move(rows));
}

} // namespace quelm::maintenance
