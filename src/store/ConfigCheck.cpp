#include "store/ConfigCheck.h"

#include "platform/Database.h"
#include "platform/Names.h"

namespace quelm::store {

namespace {

QString RowProblem(const ConfigSection& s, const QString& what) {
    return QStringLiteral("%1 の KeyNo %2 の行: %3").arg(ConfigTable).arg(s.KeyNo).arg(what);
}

// A table name a category may not use: the configuration table, a list table, an engine table.
bool ReservedTableName(const QString& folded) {
    if (folded == platform::FoldSqlName(ConfigTable) || folded.startsWith(QStringLiteral("sqlite_")))
        return true;
    for (int n = 1; n <= ListSlotCount; ++n) {
        if (folded == platform::FoldSqlName(QStringLiteral("ListTable%1").arg(n)))
            return true;
    }
    return false;
}

std::optional<QString> CheckTableNames(const CategoryConfig& config) {
    QStringList used; // folded names of the tables of the categories checked so far
    for (int i = FirstSlotSection; i <= LastSlotSection; ++i) {
        const ConfigSection& s = config[i];
        if (!s.inUse())
            continue;
        for (const QString& configured : {s.TableName, s.SubTableName}) {
            const QString name = configured.trimmed();
            if (auto problem = platform::CheckSqlName(name))
                return RowProblem(
                    s,
                    QStringLiteral("テーブル名「%1」は使えません。%2").arg(platform::NameForMessage(name), *problem));
            const QString folded = platform::FoldSqlName(name);
            if (ReservedTableName(folded))
                return RowProblem(s, QStringLiteral("テーブル名「%1」は種目のテーブルに使えません。").arg(name));
            if (used.contains(folded))
                return RowProblem(s, QStringLiteral("テーブル名「%1」は他の種目と重なっています。").arg(name));
            used << folded;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> CheckConfigColumns(const platform::Recordset& rs) {
    const QStringList& expected = ConfigColumns();
    if (rs.fieldCount() != expected.size())
        return QStringLiteral("%1 の列の数が %2 ではなく %3 です。")
            .arg(ConfigTable)
            .arg(expected.size())
            .arg(rs.fieldCount());
    for (int i = 0; i < rs.fieldCount(); ++i) {
        if (rs.column(i).name != expected[i])
            return QStringLiteral("%1 の %2 番目の列は「%3」ではなく「%4」です。")
                .arg(ConfigTable)
                .arg(i + 1)
                .arg(expected[i], rs.column(i).name);
    }
    return std::nullopt;
}

std::optional<QString> CheckConfigRows(const CategoryConfig& config) {
    for (int i = 0; i < SectionCount; ++i) {
        const ConfigSection& s = config[i];
        if (s.KeyNo != i + 1)
            return QStringLiteral("%1 の %2 行目の KeyNo が %3 です（%2 のはずです）。")
                .arg(ConfigTable)
                .arg(i + 1)
                .arg(s.KeyNo);
        if (s.InUse != 0 && s.InUse != 1)
            return RowProblem(s, QStringLiteral("種目テーブル使用有無が %1 です（0 か 1 のはずです）。").arg(s.InUse));
    }
    for (int i = FirstSlotSection; i <= LastSlotSection; ++i) {
        const ConfigSection& s = config[i];
        if (!s.inUse())
            continue;
        if (s.FieldCount < 1 || s.FieldCount > MainFieldSlots)
            return RowProblem(s, QStringLiteral("フィールド個数 %1 が 1 から %2 の範囲にありません。")
                                     .arg(s.FieldCount)
                                     .arg(MainFieldSlots));
        if (s.SubFieldCount < 1 || s.SubFieldCount > SubFieldSlots)
            return RowProblem(s, QStringLiteral("SUBフィールド個数 %1 が 1 から %2 の範囲にありません。")
                                     .arg(s.SubFieldCount)
                                     .arg(SubFieldSlots));
        if (s.RegNo < 0)
            return RowProblem(s, QStringLiteral("登録NO %1 が負の値です。").arg(s.RegNo));
    }
    const ConfigSection& lists = config[ListSection];
    int named = 0;
    for (int k = 1; k <= ListSlotCount; ++k)
        named += lists.FieldName[k].trimmed().isEmpty() ? 0 : 1;
    if (lists.FieldCount != named)
        return RowProblem(
            lists,
            QStringLiteral("リストの数 %1 が名前のあるリスト %2 個と合いません。").arg(lists.FieldCount).arg(named));
    return CheckTableNames(config);
}

} // namespace quelm::store
