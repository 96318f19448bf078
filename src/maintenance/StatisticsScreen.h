#pragma once

#include "maintenance/ListingScreen.h"
#include "maintenance/Statistics.h"

#include <map>

class QTimer;

namespace quelm::maintenance {

// Record counts per category: six rows of counts, one column per category that has records.
class StatisticsScreen : public ListingScreen {
    Q_OBJECT
public:
    StatisticsScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    void Timer1_Timer();
    // The counts of the last run, by section.
    const std::map<int, CategoryCounts>& Counts() const { return counts_; }

    QTimer* Timer1 = nullptr;

private:
    void DataSet(platform::Database& db, int section);
    void ListViewSet();

    std::map<int, CategoryCounts> counts_;
};

} // namespace quelm::maintenance
