#pragma once

#include "store/AppState.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace quelm::platform {
class Database;
}

namespace quelm::maintenance {

// The six counts of one category, in the order the statistics screen shows them.
struct CategoryCounts {
    std::int32_t mainRecords = 0; // メイン明細：登録件数
    std::int32_t withSubs = 0;    // (内、サブ明細あり)
    std::int32_t withoutSubs = 0; // (内、サブ明細なし)
    std::int32_t subRecords = 0;  // サブ明細：登録件数 (only those of the category's main records)
    std::int32_t averageSubs = 0; // subRecords ÷ mainRecords, halves to even
    std::int32_t mostSubs = 0;    // the most sub records of one main record
    std::array<std::int32_t, 6> rows() const {
        return {mainRecords, withSubs, withoutSubs, subRecords, averageSubs, mostSubs};
    }
    bool operator==(const CategoryCounts&) const = default;
};

// Counts a category with one grouped query over its two tables, through the sub table's key.
CategoryCounts CountCategory(platform::Database& db, const store::ConfigSection& section);

// Whole-number division rounded to the nearest, a half going to the even neighbour (5 ÷ 2 = 2, 7 ÷ 2 = 4).
std::int32_t DivideHalfToEven(std::int64_t dividend, std::int64_t divisor);

// "#,###,###": thousands separators, and an empty text for 0.
QString FormatCount(std::int64_t n);

// One column of a listing: its heading and its cells from the top.
struct ListingColumn {
    QString heading;
    QStringList cells;
};

// The field names of every category in use, in section order: "---[MAIN]---", the main field names as stored,
// "---[SUB]---", the sub field names (27 cells with 15 and 10 fields).
QList<ListingColumn> FieldNameColumns(const store::CategoryConfig& config);

// The entries of every list table that has a name in the catalogue's list row, in slot order; the names are read
// from the catalogue itself. Engine failures raise platform::EngineError.
QList<ListingColumn> ListTableColumns(const store::AppState& state);

} // namespace quelm::maintenance
