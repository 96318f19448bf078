#pragma once

#include "platform/ListRow.h"
#include "records/MainRecords.h"
#include "store/AppState.h"

#include <vector>

namespace quelm::platform {
class Database;
}

namespace quelm::records {

inline const QString SubNoHeading = QStringLiteral("サブＮＯ");

// The columns of the sub-record list: the category's m sub fields, then the hidden 登録ＮＯ and サブＮＯ columns.
std::vector<ListColumn> SubListColumns(const store::ConfigSection& section);

// The columns of the one-row main-record list above the sub records: the n main fields, then the hidden 登録ＮＯ.
// The two date columns are narrower than in the main record list, and there is no picture column.
std::vector<ListColumn> MainRowColumns(const store::ConfigSection& section);

// The sub records of state.CurrentRegNo in state.CurrentSection, in table order (サブＮＯ ascending). In list mode 2
// only the one whose サブＮＯ is state.CurrentSubNo. Each row holds sub fields 1 … m, 登録ＮＯ and サブＮＯ as text
// (Null empty, dates yyyy/MM/dd). Reads through the 登録ＮＯ index, so the size of the sub table does not matter.
// Raises platform::EngineError when the table cannot be read.
std::vector<platform::ListRow> ReadSubRows(platform::Database& db, const store::AppState& state);

// The main record state.CurrentRegNo as the main-record list shows it: fields 1 … n and 登録ＮＯ; no row when
// there is no such record.
std::vector<platform::ListRow> ReadMainRow(platform::Database& db, const store::AppState& state);

} // namespace quelm::records
