#include "store/TableSql.h"

#include "store/AppState.h"

namespace quelm::store {

namespace {

QString FieldList(const QStringList& names, const QStringList& types) {
    QString sql;
    for (int k = 0; k < names.size(); ++k)
        sql += names[k].trimmed() + QLatin1Char(' ') + types.value(k) + QStringLiteral(", ");
    return sql;
}

} // namespace

QString CreateMainTableSql(const QString& tableName, const QStringList& names, const QStringList& types) {
    return QStringLiteral("CREATE TABLE ") + tableName.trimmed() + QStringLiteral(" (") + FieldList(names, types) +
           QStringLiteral("登録ＮＯ ") + QStringLiteral("LONG, ") + QStringLiteral("画像jpg有無 ") +
           QStringLiteral("LONG, ") + QStringLiteral("CONSTRAINT MyFieldMain PRIMARY KEY(登録ＮＯ)) ");
}

QString CreateSubTableSql(const QString& tableName, const QStringList& names, const QStringList& types) {
    return QStringLiteral("CREATE TABLE ") + tableName.trimmed() + QStringLiteral(" (") + FieldList(names, types) +
           QStringLiteral("登録ＮＯ ") + QStringLiteral("LONG ,") + QStringLiteral("サブＮＯ ") +
           QStringLiteral("LONG, ") + QStringLiteral("CONSTRAINT MyFieldSub PRIMARY KEY(登録ＮＯ, サブＮＯ))");
}

QString DropTableSql(const QString& tableName) {
    return QStringLiteral("DROP TABLE ") + tableName.trimmed();
}

QStringList MainFieldNames(const ConfigSection& s) {
    QStringList l;
    for (int k = 1; k <= MainFieldSlots; ++k)
        l << s.FieldName[k].trimmed();
    return l;
}

QStringList MainFieldTypes(const ConfigSection& s) {
    QStringList l;
    for (int k = 1; k <= MainFieldSlots; ++k)
        l << s.FieldType[k];
    return l;
}

QStringList SubFieldNames(const ConfigSection& s) {
    QStringList l;
    for (int k = 1; k <= SubFieldSlots; ++k)
        l << s.SubFieldName[k].trimmed();
    return l;
}

QStringList SubFieldTypes(const ConfigSection& s) {
    QStringList l;
    for (int k = 1; k <= SubFieldSlots; ++k)
        l << s.SubFieldType[k];
    return l;
}

QStringList MakeListTableNames() {
    QStringList l;
    for (int k = 1; k <= ListSlotCount; ++k)
        l << QStringLiteral("ListTable%1").arg(k);
    return l;
}

} // namespace quelm::store
