#include "records/ListSort.h"

#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "records/RecordScreenParts.h"

namespace quelm::records {

void SortByColumn(platform::RecordList& list, platform::StatusPanels& panels, int column) {
    if (list.rowCount() == 0)
        return;
    panels.setPanelText(1, QStringLiteral("クリックした項目列でソートした結果を表示"));
    // The order is the list's own, which the sort-order dialog sets; a click does not reverse it.
    list.sortByColumn(column, list.sortOrder());
    panels.setPanelText(2, PositionText(list));
    panels.update();
    list.update();
}

} // namespace quelm::records
