#pragma once

#include "platform/ListRow.h"
#include "records/MainRecords.h"
#include "store/AppState.h"

#include <cstdint>
#include <vector>

namespace quelm::platform {
class Database;
class RecordList;
} // namespace quelm::platform

namespace quelm::search {

// The category, list mode and criteria an inquiry list was filled for. The inquiry screen keeps its own: other
// screens change the shared current category while it stays open.
struct InquirySource {
    int section = 0; // 0: no category opened yet
    std::int16_t listMode = 0;
    store::FieldSearch criteria;
};

// The main list: the category's fields by their types, then the hidden 登録ＮＯ.
std::vector<records::ListColumn> InquiryMainColumns(const store::ConfigSection& section);
// The sub list: the sub fields by their types, then the hidden 登録ＮＯ and サブＮＯ.
std::vector<records::ListColumn> InquirySubColumns(const store::ConfigSection& section);

// The main records of the source's category: all of them (list mode 0) or those meeting its criteria (1), in table
// order. Cell n is the 登録ＮＯ; the row carries the picture flag after it, which the list has no column for.
std::vector<platform::ListRow> ReadInquiryMainRows(platform::Database& db, const store::AppState& state,
                                                   const InquirySource& source);
// The sub records of one main record of the source's category, through the 登録ＮＯ index.
std::vector<platform::ListRow> ReadInquirySubRows(platform::Database& db, const store::AppState& state,
                                                  const InquirySource& source, std::int64_t regNo);

// Status texts of the inquiry screen and its views: prefix + selected index + " / " + row count.
inline const QString MainPositionPrefix = QStringLiteral("メイン明細レコード順／総数 　　");
inline const QString SubPositionPrefix = QStringLiteral("サブ明細レコード順／総数 　　");
inline const QString ViewPositionPrefix = QStringLiteral("レコード順／総数　　");
QString PositionOf(const QString& prefix, const platform::RecordList& list);
QString PositionOf(const QString& prefix, int index, int count);

} // namespace quelm::search
