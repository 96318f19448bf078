#include "records/SubList.h"

#include "platform/Database.h"
#include "store/Catalogue.h"

#include <algorithm>

namespace quelm::records {

using platform::Value;
using store::ConfigSection;

std::vector<ListColumn> SubListColumns(const ConfigSection& section) {
    std::vector<ListColumn> columns = FieldListColumns(
        section.SubFieldName, std::clamp<int>(section.SubFieldCount, 0, store::SubFieldSlots), store::SubFieldTypeOf);
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
    const SubTable t = CheckedSubTable(state.config[CheckedSection(state.CurrentSection)]);
    const int columns = t.subNoPos + 1;
    auto rs = t.openRowsOf(db, state.CurrentRegNo);
    const bool oneFound = state.ListMode == 2;
    std::vector<platform::ListRow> rows;
    platform::ListRow::Builder builder(columns);
    for (; !rs->eof(); rs->moveNext()) {
        if (oneFound && rs->value(t.subNoPos).toInt() != state.CurrentSubNo)
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
