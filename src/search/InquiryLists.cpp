#include "search/InquiryLists.h"

#include "platform/RecordList.h"
#include "records/SubList.h"
#include "search/AllCategorySearch.h"

#include <limits>

namespace quelm::search {

namespace {

constexpr int FirstFieldWidth = 3500;

// The shared state as the record readers take it, set to the inquiry list's own category.
store::AppState ReaderState(const store::AppState& state, const InquirySource& source) {
    store::AppState s = state;
    s.CurrentSection = static_cast<std::int16_t>(source.section);
    s.CurrentCategoryName = state.config[records::CheckedSection(source.section)].ShumokuName;
    s.ListMode = source.listMode == 1 ? 1 : 0;
    s.FieldSearchCriteria = source.criteria;
    return s;
}

} // namespace

std::vector<records::ListColumn> InquiryMainColumns(const store::ConfigSection& section) {
    std::vector<records::ListColumn> columns = TypedFieldColumns(section, false, FirstFieldWidth);
    columns.push_back({records::RegNoHeading, 0, Qt::AlignRight});
    return columns;
}

std::vector<records::ListColumn> InquirySubColumns(const store::ConfigSection& section) {
    std::vector<records::ListColumn> columns = TypedFieldColumns(section, true, FirstFieldWidth);
    columns.push_back({records::RegNoHeading, 0, Qt::AlignRight});
    columns.push_back({records::SubNoHeading, 0, Qt::AlignRight});
    return columns;
}

std::vector<platform::ListRow> ReadInquiryMainRows(platform::Database& db, const store::AppState& state,
                                                   const InquirySource& source) {
    return records::ReadMainRows(db, ReaderState(state, source));
}

std::vector<platform::ListRow> ReadInquirySubRows(platform::Database& db, const store::AppState& state,
                                                  const InquirySource& source, std::int64_t regNo) {
    if (regNo < std::numeric_limits<std::int32_t>::min() || regNo > std::numeric_limits<std::int32_t>::max())
        return {}; // no stored 登録ＮＯ is that large
    store::AppState s = ReaderState(state, source);
    s.CurrentRegNo = static_cast<std::int32_t>(regNo);
    return records::ReadSubRows(db, s);
}

QString PositionOf(const QString& prefix, int index, int count) {
    return prefix + QString::number(index) + QStringLiteral(" / ") + QString::number(count);
}

QString PositionOf(const QString& prefix, const platform::RecordList& list) {
    return PositionOf(prefix, list.selectedIndex(), list.rowCount());
}

} // namespace quelm::search
