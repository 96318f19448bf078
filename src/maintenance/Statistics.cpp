#include "maintenance/Statistics.h"

#include "platform/Database.h"
#include "store/Catalogue.h"
#include "store/ListTables.h"

#include <QLocale>
#include <algorithm>
#include <sqlite3.h>

namespace quelm::maintenance {

using platform::Database;
using platform::EngineError;
using platform::QuoteIdentifier;
using namespace store;

namespace {

// The key column at a position of a table: the configured field count says where it is.
QString ColumnAt(Database& db, const QString& table, int position) {
    const QList<platform::Column> columns = db.columns(table);
    if (position < 0 || position >= columns.size())
        throw EngineError(QStringLiteral("テーブル「%1」の列が足りません。").arg(table));
    return QuoteIdentifier(columns[position].name);
}

std::int32_t Column32(sqlite3_stmt* stmt, int i) {
    return static_cast<std::int32_t>(sqlite3_column_int64(stmt, i));
}

} // namespace

CategoryCounts CountCategory(Database& db, const ConfigSection& section) {
    const QString mainTable = section.TableName.trimmed();
    const QString subTable = section.SubTableName.trimmed();
    if (!db.tableExists(mainTable) || !db.tableExists(subTable))
        throw EngineError(QStringLiteral("種目「%1」のテーブルがありません。").arg(section.ShumokuName.trimmed()));
    const QString mainKey = ColumnAt(db, mainTable, section.FieldCount);
    const QString subKey = ColumnAt(db, subTable, section.SubFieldCount);
    // One walk over the sub table's primary key (it starts with 登録ＮＯ) gives each main record's count; the main
    // table joins them, so sub records of no main record are left out.
    const QString sql =
        QStringLiteral("WITH g AS (SELECT %1 AS k, COUNT(*) AS c FROM %2 GROUP BY %1) "
                       "SELECT COUNT(*), COALESCE(SUM(g.c IS NOT NULL), 0), COALESCE(SUM(g.c IS NULL), 0), "
                       "COALESCE(SUM(g.c), 0), COALESCE(MAX(g.c), 0) FROM %3 AS m LEFT JOIN g ON g.k = m.%4")
            .arg(subKey, QuoteIdentifier(subTable), QuoteIdentifier(mainTable), mainKey);
    sqlite3_stmt* stmt = db.prepare(sql);
    if (sqlite3_step(stmt) != SQLITE_ROW) {
        sqlite3_finalize(stmt);
        db.raise(QStringLiteral("種目「%1」を数えられません").arg(section.ShumokuName.trimmed()));
    }
    CategoryCounts n;
    n.mainRecords = Column32(stmt, 0);
    n.withSubs = Column32(stmt, 1);
    n.withoutSubs = Column32(stmt, 2);
    n.subRecords = Column32(stmt, 3);
    n.mostSubs = Column32(stmt, 4);
    sqlite3_finalize(stmt);
    if (n.subRecords != 0)
        n.averageSubs = DivideHalfToEven(n.subRecords, n.mainRecords);
    return n;
}

std::int32_t DivideHalfToEven(std::int64_t dividend, std::int64_t divisor) {
    if (divisor == 0)
        return 0;
    std::int64_t q = dividend / divisor;
    const std::int64_t twiceRest = 2 * (dividend % divisor);
    if (twiceRest > divisor || (twiceRest == divisor && q % 2 != 0))
        ++q;
    return static_cast<std::int32_t>(q);
}

QString FormatCount(std::int64_t n) {
    if (n == 0)
        return {};
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return n < 0 ? QLatin1Char('-') + digits : digits;
}

QList<ListingColumn> FieldNameColumns(const CategoryConfig& config) {
    QList<ListingColumn> columns;
    for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
        const ConfigSection& slot = config[s];
        if (!slot.inUse())
            continue;
        ListingColumn c{slot.ShumokuName.trimmed(), {QStringLiteral("---[MAIN]---")}};
        for (int k = 1; k <= std::clamp<int>(slot.FieldCount, 0, MainFieldSlots); ++k)
            c.cells << slot.FieldName[k];
        c.cells << QStringLiteral("---[SUB]---");
        for (int k = 1; k <= std::clamp<int>(slot.SubFieldCount, 0, SubFieldSlots); ++k)
            c.cells << slot.SubFieldName[k];
        columns << c;
    }
    return columns;
}

QList<ListingColumn> ListTableColumns(const AppState& state) {
    auto db = OpenCatalogue(state.databasePath());
    QStringList names;
    {
        auto rs = db->openTable(ConfigTable, QStringLiteral("KeyNo"), platform::Value(ListSection + 1));
        if (rs->eof())
            throw EngineError(QStringLiteral("%1 にリスト行がありません。").arg(ConfigTable));
        for (int k = 1; k <= ListSlotCount; ++k)
            names << rs->value(FieldNameColumn(k)).toText().trimmed();
    }
    QList<ListingColumn> columns;
    for (int slot = 0; slot < ListSlotCount; ++slot) {
        if (names[slot].isEmpty())
            continue;
        ListingColumn c{names[slot], {}};
        auto rs = db->openTable(ListTableName(state, slot));
        for (; !rs->eof(); rs->moveNext())
            c.cells << rs->text(0);
        columns << c;
    }
    return columns;
}

} // namespace quelm::maintenance
