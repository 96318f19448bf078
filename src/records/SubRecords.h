#pragma once

#include "records/MainRecords.h"

#include <cstdint>
#include <vector>

namespace quelm::records {

// An empty TEXT box of a sub record being added is stored as two blanks; a change stores three like the main
// records.
inline const QString EmptySubTextOnAdd = QStringLiteral("  ");

// Appends a sub record of the main record regNo in the current category from the boxes, in one transaction:
// サブＮＯ = state.MaxSubNo + 1 (or the largest サブＮＯ already stored under regNo + 1, should that be higher).
// On success and on a type error state.MaxSubNo is raised to the number given or passed over, so the next add
// takes the one after; a refused over-long text and an engine failure leave it as it was and store nothing.
EditResult AddSubRecord(store::AppState& state, std::int32_t regNo, const std::vector<FieldInput>& inputs);
// Rewrites sub fields 1 … m of the sub record with both keys (empty LONG/DATE boxes become Null); the keys stay.
// A type error leaves the record unchanged.
EditResult UpdateSubRecord(store::AppState& state, std::int32_t regNo, std::int32_t subNo,
                           const std::vector<FieldInput>& inputs);
// Deletes the sub record with both keys.
EditResult DeleteSubRecord(store::AppState& state, std::int32_t regNo, std::int32_t subNo);

} // namespace quelm::records
