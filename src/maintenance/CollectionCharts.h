#pragma once

#include "store/AppState.h"

#include <QList>
#include <QString>
#include <cstdint>

namespace quelm::platform {
class Database;
}

namespace quelm::maintenance {

// One bar of a chart: what it counts and how many.
struct ChartBar {
    QString label;
    std::int64_t count = 0;
    bool operator==(const ChartBar&) const = default;
};

// The main records of every category in use, in section order, under the categories' names; one query for all.
QList<ChartBar> DiscsPerCategory(platform::Database& db, const store::CategoryConfig& config);

// The main records of a category per year, in year order, the year being the first four characters of a field when
// they are a year (a date, or a text such as "1998" or "1998/04/01"); records without one are left out.
QList<ChartBar> DiscsPerYear(platform::Database& db, const store::ConfigSection& section, int field);

// The most common values of a text field of a category, blanks left out: the most frequent first, equal counts in
// value order.
inline constexpr int TopValueCount = 20;
QList<ChartBar> TopValues(platform::Database& db, const store::ConfigSection& section, int field,
                          int limit = TopValueCount);

// The main fields a chart can count by: named fields of the kind, in field order (1-based numbers).
QList<int> YearFields(const store::ConfigSection& section);  // dates and texts
QList<int> ValueFields(const store::ConfigSection& section); // texts

} // namespace quelm::maintenance
