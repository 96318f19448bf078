#include "records/SubList.h"

#include "platform/Database.h"

#include <algorithm>

namespace quelm::records {

using platform::Value;
using store::ConfigSection;

std::vector<ListColumn> SubListColumns(const ConfigSection& section) {
    const int m = std::clamp<int>(section.SubFieldCount, 0, store::SubFieldSlots);
    std::vector<ListColumn> columns;
    columns.reserve(m + 2);
    for (int k = 1; k <= m; ++k) {
        int width = 1400;
        Qt::Alignment align = Qt::AlignLeft;
        if (k == 1) {
            width = 3700;
        } else if (k == 2) {
            width = 2000;
        } else if (k == 9) {
            width = 1000;
            align = Qt::AlignRight;
        } else if (k == 10) {
            width = 1500;
            align = Qt::AlignRight;
        }
        columns.push_back({section.SubFieldName[k], width, align});
    }
    columns.push_back({RegNoHeading, 0, Qt::AlignRight});
    columns.push_back({SubNoHeading, 0, Qt::AlignRight});
    return columns;
}

std::vector<ListColumn> MainRowColumns(const ConfigSection& section) {
    std::vector<ListColumn> columns = MainListColumns(section);
    columns.pop_back(); // no picture column here
    const int n = static_cast<int>(columns.size()) - 1;
    for (int k = 13; k <= std::min(n, 14); ++k)
        columns[k - 1].widthTwips = 1000;
    return columns;
}

std::vector<platform::ListRow> ReadSubRows(platform::Database& db, const store::AppState& state) {
    const ConfigSection& s = state.config[CheckedCurrentSection(state)];
    const int m = std::clamp<int>(s.SubFieldCount, 0, store::SubFieldSlots);
    const int columns = m + 2;
    auto rs = db.openTable(CheckedTableName(s.SubTableName), store::MainKeyColumn, Value(state.CurrentRegNo));
    RequireColumnCount(*rs, columns);
    const bool oneFound = state.ListMode == 2;
    std::vector<platform::ListRow> rows;
    platform::ListRow::Builder builder(columns);
    for (; !rs->eof(); rs->moveNext()) {
        if (oneFound && rs->value(m + 1).toInt() != state.CurrentSubNo)
            continue;
        for (int i = 0; i < columns; ++i)
            rs->appendText(i, builder);
        rows.push_back(builder.finish());
        if (oneFound)
            break;
    }
    return rows;
}

std::vector<platform::ListRow> ReadMainRow(platform::Database& db, const store::AppState& state) {
    store::AppState one = state; // the one-record mode of the main list reads exactly this row
    one.ListMode = 2;
    std::vector<platform::ListRow> rows = ReadMainRows(db, one);
    const int n = std::clamp<int>(state.config[one.CurrentSection].FieldCount, 0, store::MainFieldSlots);
    for (platform::ListRow& row : rows) {
        QStringList cells = row.cells();
        cells = cells.mid(0, n + 1); // fields and 登録ＮＯ; the picture flag is not shown here
        row = platform::ListRow(cells);
    }
    return rows;
}

} // namespace quelm::records
