#pragma once

#include "store/CategoryConfig.h"

#include <QString>
#include <QStringList>

namespace quelm::store {

// The table SQL is plain concatenation of the names; callers check the names (platform::CheckSqlNames) first.
QString CreateMainTableSql(const QString& tableName, const QStringList& names, const QStringList& types);
QString CreateSubTableSql(const QString& tableName, const QStringList& names, const QStringList& types);
QString DropTableSql(const QString& tableName);

// The names and types of a section's fields, as the SQL wants them (trimmed names, types as configured).
QStringList MainFieldNames(const ConfigSection& s);
QStringList MainFieldTypes(const ConfigSection& s);
QStringList SubFieldNames(const ConfigSection& s);
QStringList SubFieldTypes(const ConfigSection& s);

} // namespace quelm::store
