#pragma once

#include "store/CategoryConfig.h"

#include <QStringList>
#include <optional>

namespace quelm::platform {
class Database;
class Recordset;
} // namespace quelm::platform

namespace quelm::store {

// The configuration table is outside input like any file: a catalogue from elsewhere or one a second copy of the
// program wrote may hold rows the screens would trust blindly. These checks run before anything is shown or written;
// each problem is one line that names the row (KeyNo) and what is wrong.

// The column names of the configuration table, in order; nullopt when they are as made.
std::optional<QString> CheckConfigColumns(const platform::Recordset& rs);

// The rows read: KeyNo 1 … 10 in order, flags 0 or 1, counts in range, the list count, and the table names of the
// categories in use (never the configuration table, a list table, an engine table or another category's table).
std::optional<QString> CheckConfigRows(const CategoryConfig& config);

// The tables the rows name: each category in use has its main and sub table, with the key columns where the screens
// read them by position. The line names the category and the table.
std::optional<QString> CheckCategoryTables(platform::Database& db, const CategoryConfig& config);

} // namespace quelm::store
