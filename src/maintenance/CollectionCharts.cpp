#include "maintenance/CollectionCharts.h"

#include "platform/Database.h"

#include <sqlite3.h>

namespace quelm::maintenance {

using platform::Database;
using platform::EngineError;
using platform::QuoteIdentifier;

namespace {

QString Text(sqlite3_stmt* stmt, int i) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, i)) : QString();
}

// Runs a query whose rows are a label and a count.
QList<ChartBar> Bars(Database& db, const QString& sql, const QString& context) {
    QList<ChartBar> bars;
    sqlite3_stmt* stmt = db.prepare(sql);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        bars.append({Text(stmt, 0), sqlite3_column_int64(stmt, 1)});
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        db.raise(context);
    return bars;
}

void RequireTable(Database& db, const store::ConfigSection& section) {
    if (!db.tableExists(section.TableName.trimmed()))
        throw EngineError(QStringLiteral("種目「%1」のテーブルがありません。").arg(section.ShumokuName.trimmed()));
}

// The column of a main field (1-based), quoted.
QString FieldColumn(Database& db, const store::ConfigSection& section, int field) {
    RequireTable(db, section);
    const QList<platform::Column> columns = db.columns(section.TableName.trimmed());
    if (field < 1 || field > section.FieldCount || field > columns.size())
        throw EngineError(
            QStringLiteral("種目「%1」に項目%2がありません。").arg(section.ShumokuName.trimmed()).arg(field));
    return QuoteIdentifier(columns[field - 1].name);
}

QList<int> FieldsOfKind(const store::ConfigSection& section, bool withDates) {
    QList<int> fields;
    for (int k = 1; k <= section.FieldCount && k <= store::MainFieldSlots; ++k) {
        const QString type = section.FieldType[k].trimmed();
        const bool kind = type == store::TypeText || (withDates && type == store::TypeDate);
        if (kind && !section.FieldName[k].trimmed().isEmpty())
            fields << k;
    }
    return fields;
}

} // namespace

QList<ChartBar> DiscsPerCategory(Database& db, const store::CategoryConfig& config) {
    QStringList parts;
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        const store::ConfigSection& section = config[s];
        if (!section.inUse())
            continue;
        RequireTable(db, section);
        parts << QStringLiteral("SELECT %1, COUNT(*) FROM %2").arg(s).arg(QuoteIdentifier(section.TableName.trimmed()));
    }
    if (parts.isEmpty())
        return {};
    QList<ChartBar> bars = Bars(db, parts.join(QStringLiteral(" UNION ALL ")), QStringLiteral("種目別の件数"));
    // The query numbers its rows by section; the names come from the configuration, not from the text of the SQL.
    for (ChartBar& bar : bars)
        bar.label = config[bar.label.toInt()].ShumokuName.trimmed();
    return bars;
}

QList<ChartBar> DiscsPerYear(Database& db, const store::ConfigSection& section, int field) {
    const QString column = FieldColumn(db, section, field);
    const QString sql = QStringLiteral("SELECT y, COUNT(*) FROM (SELECT substr(trim(%1), 1, 4) AS y FROM %2) "
                                       "WHERE y GLOB '[12][0-9][0-9][0-9]' GROUP BY y ORDER BY y")
                            .arg(column, QuoteIdentifier(section.TableName.trimmed()));
    return Bars(db, sql, QStringLiteral("年別の件数"));
}

QList<ChartBar> TopValues(Database& db, const store::ConfigSection& section, int field, int limit) {
    const QString column = FieldColumn(db, section, field);
    const QString sql = QStringLiteral("SELECT v, COUNT(*) AS n FROM (SELECT trim(%1) AS v FROM %2) "
                                       "WHERE v <> '' GROUP BY v ORDER BY n DESC, v LIMIT %3")
                            .arg(column, QuoteIdentifier(section.TableName.trimmed()))
                            .arg(limit);
    return Bars(db, sql, QStringLiteral("値別の件数"));
}

QList<int> YearFields(const store::ConfigSection& section) {
    return FieldsOfKind(section, true);
}

QList<int> ValueFields(const store::ConfigSection& section) {
    return FieldsOfKind(section, false);
}

} // namespace quelm::maintenance
