#pragma once

namespace quelm::platform {
class RecordList;
class StatusPanels;
} // namespace quelm::platform

namespace quelm::records {

// A click on a column heading of the main or the sub record list: sorts the rows by that column's text in the list's
// own order and reports it in panels 1 and 2. An empty list is left alone, status bar included.
void SortByColumn(platform::RecordList& list, platform::StatusPanels& panels, int column);

} // namespace quelm::records
