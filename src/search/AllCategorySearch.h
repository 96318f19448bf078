#pragma once

#include "platform/ListRow.h"
#include "records/MainRecords.h"
#include "store/CategoryConfig.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace quelm::platform {
class Database;
}

namespace quelm::search {

// The columns of a hit row, in order.
enum HitColumn {
    HitTextColumn,
    HitCategoryColumn,
    HitFieldColumn,
    HitTableColumn,
    HitRegNoColumn,
    HitSubNoColumn,
    HitColumnCount
};

// What the category column of a sub table's hit adds to the category name, and what the category label adds.
inline const QString SubHitSuffix = QStringLiteral(" :サブ");
inline const QString SubLabelSuffix = QStringLiteral("  ：サブ");

// The message of an empty search text (no icon, title "ERROR").
inline const QString NoSearchTextMessage = QStringLiteral("検索文字が入力されていません");

// Whether a search text can be used: not empty and not blanks only. A Null field is compared as two blanks, so a text
// of blanks would list every empty field of the catalogue.
bool IsUsableSearchText(const QString& text);

// How many tables the search reads: the main and the sub table of every category in use.
int TablesToSearch(const store::CategoryConfig& config);

// Panel 3 as the search starts, and after `done` of `total` tables have begun: one ■ per share read, □ for the rest,
// 25 squares in all, the share rounded to the nearest square with halves to even.
QString ProgressStartText();
QString ProgressText(int done, int total);

// The screen's side of a running search.
class SearchObserver {
public:
    virtual ~SearchObserver() = default;
    // A table is about to be read; done counts it.
    virtual void tableStarted(int done, int total) = 0;
    // The hits of a table, once it has been read (or of the part read when the search was stopped).
    virtual void tableFinished(std::vector<platform::ListRow>&& hits) = 0;
    // Asked every few thousand records and between tables: false stops the search.
    virtual bool keepGoing() = 0;
};

struct SearchRequest {
    QString text;
    bool exact = false; // letter case, width and kana kind told apart
};

// Searches every TEXT field of every category in use, section by section, its main table and then its sub table,
// each in table order. One hit row per matching field: the field's text, the category name (for a sub table followed
// by " :サブ"), the field's name, the table's name, 登録ＮＯ, and サブＮＯ (empty for a main table). Returns false
// when the observer stopped it. Raises platform::EngineError when a table cannot be read.
bool SearchAllCategories(platform::Database& db, const store::CategoryConfig& config, const SearchRequest& request,
                         SearchObserver& observer);

// The table of a hit: its category slot and whether it is the sub table.
struct HitTable {
    int section = 0;
    bool sub = false;
};
// The category in use whose main or sub table has this name.
std::optional<HitTable> FindHitTable(const store::CategoryConfig& config, const QString& table);

// The category label of a hit's record: its name, for a sub table followed by "  ：サブ".
QString CategoryLabel(const store::ConfigSection& section, bool sub);

// A registration or sub number as a hit shows it; nullopt when the text is no whole number.
std::optional<std::int64_t> ParseRecordNumber(const QString& text);

// The detail list of a hit: one column per field of the table (first TEXT field 4000 twips, other TEXT fields 1800,
// numbers and dates 1000 and right-aligned), then the hidden 登録ＮＯ and, for a sub table, サブＮＯ.
std::vector<records::ListColumn> DetailColumns(const store::ConfigSection& section, bool sub);
// The record of a hit, read through the 登録ＮＯ index: its fields, 登録ＮＯ and, for a sub table, サブＮＯ. No row
// when the record is gone.
std::optional<platform::ListRow> ReadDetailRow(platform::Database& db, const store::ConfigSection& section, bool sub,
                                               std::int64_t regNo, std::int64_t subNo);

// Columns by the inquiry screen's rule: TEXT left-aligned, firstTextWidth for field 1 and 1800 for the others; LONG
// and DATE right-aligned and 1000 wide.
std::vector<records::ListColumn> TypedFieldColumns(const store::ConfigSection& section, bool sub, int firstTextWidth);

} // namespace quelm::search
