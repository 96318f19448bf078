#pragma once

#include "platform/ListRow.h"
#include "platform/Value.h"
#include "records/TextMatch.h"
#include "store/AppState.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <Qt>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace quelm::platform {
class Database;
class EngineError;
class Recordset;
} // namespace quelm::platform

namespace quelm::records {

// ---------------------------------------------------------------- record list

// One column of a record list: heading, initial width and alignment.
struct ListColumn {
    QString heading;
    int widthTwips;
    Qt::Alignment align;
};

inline const QString RegNoHeading = QStringLiteral("登録ＮＯ");
inline const QString PictureHeading = QStringLiteral("画像jpg");

// The columns of the main record list: the category's n fields, then the hidden 登録ＮＯ and 画像jpg columns.
std::vector<ListColumn> MainListColumns(const store::ConfigSection& section);
// The columns of fields 1 … count, headed names[k]: the first two wide, the number and date positions (by typeOf)
// narrow and right-aligned. The main and the sub list both start with them.
std::vector<ListColumn> FieldListColumns(std::span<const QString> names, int count, QString (*typeOf)(int));

// The rows of the main record list of state.CurrentSection for state.ListMode: 0 every record in table order, 1 the
// records that meet state.FieldSearchCriteria, otherwise (2) the first record whose 登録ＮＯ is state.CurrentRegNo.
// Each row holds fields 1 … n, 登録ＮＯ and 画像jpg有無 as text (Null empty, dates yyyy/MM/dd).
// Raises platform::EngineError when the table cannot be read.
std::vector<platform::ListRow> ReadMainRows(platform::Database& db, const store::AppState& state);

// The per-field search, prepared once for a scan of many records; the inquiry screen filters its list with it too.
class FieldSearchMatcher {
public:
    explicit FieldSearchMatcher(const store::FieldSearch& criteria);
    // Whether the criteria name one of the three type words; with any other word nothing matches.
    bool known() const { return known_; }
    // Whether one cell meets the criteria. A Null cell never does.
    bool matches(const platform::Value& cell) const;

private:
    store::FieldSearch criteria_;
    TextMatcher text_;
    bool known_ = false;
};

// Whether one cell meets the per-field search (one cell; a scan keeps a FieldSearchMatcher instead).
bool MatchesFieldSearch(const platform::Value& cell, const store::FieldSearch& criteria);

// ---------------------------------------------------------------- sub records of one main record

struct SubCounts {
    int count = 0;
    int maxSubNo = 0; // 0 when there are none
};
// Number and largest サブＮＯ of the sub records of one main record (SubRecordCount and MaxSubNo).
SubCounts CountSubRecords(platform::Database& db, const store::ConfigSection& section, qint64 regNo);

// The lowest category slot (4 … 9) whose 種目名 is name; fallback when none is.
int SectionOfCategory(const store::CategoryConfig& config, const QString& name, int fallback);

// ---------------------------------------------------------------- table access of the main and the sub records

// section when it is a category slot (4 … 9); raises platform::EngineError otherwise.
int CheckedSection(int section);
// A configured table name, trimmed and checked before it is joined into SQL; raises platform::EngineError if refused.
QString CheckedTableName(const QString& configured);
// Reading by position needs count columns; raises platform::EngineError when the table has fewer.
void RequireColumnCount(const platform::Recordset& rs, int count);

// The key of a record as its table orders it: 登録ＮＯ, then サブＮＯ (0 in a main table).
struct RecordKey {
    std::int64_t regNo = 0;
    std::int64_t subNo = 0;
    friend auto operator<=>(const RecordKey&, const RecordKey&) = default;
};
// Whether rows read in stored order can be put in their table's key order by RecordKeyOf: the table's primary key is
// 登録ＮＯ (then サブＮＯ, for subNoPos ≥ 0), and rs holds them at those positions.
bool KeyedByRecordNumbers(platform::Database& db, const platform::Recordset& rs, int regNoPos, int subNoPos);
// The key of rs's current row; nullopt when a number is not a whole number (a file from elsewhere), whose place only
// the engine can tell.
std::optional<RecordKey> RecordKeyOf(const platform::Recordset& rs, int regNoPos, int subNoPos);

// The sub table of a category: its checked name and the positions of 登録ＮＯ and サブＮＯ, which follow the m sub
// fields (m and m + 1).
struct SubTable {
    QString name;
    int regNoPos = 0;
    int subNoPos = 0;

    // The sub records of one main record. They are read through the 登録ＮＯ index, as a sub table may hold a million
    // rows; raises platform::EngineError when the table has too few columns.
    std::unique_ptr<platform::Recordset> openRowsOf(platform::Database& db, std::int64_t regNo) const;
};
// Raises platform::EngineError when the configured name is refused.
SubTable CheckedSubTable(const store::ConfigSection& section);

// Which records of an open recordset a rewrite or delete touches; an empty filter takes them all.
using RecordFilter = std::function<bool(const platform::Recordset&)>;
// Writes values into the leading columns of the current record (after addNew or edit).
void SetLeadingValues(platform::Recordset& rs, const std::vector<platform::Value>& values);
// Rewrites the leading columns of each record from the current one on that wanted accepts; returns how many.
int UpdateRecords(platform::Recordset& rs, const std::vector<platform::Value>& values, const RecordFilter& wanted = {});
// Deletes each record from the current one on that wanted accepts; returns how many.
int DeleteRecords(platform::Recordset& rs, const RecordFilter& wanted = {});

// ---------------------------------------------------------------- main record editor

// What one field box holds: text with the mask's literals and prompts, and clipText without them (for plain text
// boxes both are the box text).
struct FieldInput {
    QString text;
    QString clipText;
};

inline const QString TooLongTextMessage = QStringLiteral("入力したテキストの桁数が長がすぎます。"); // error, "Error"
inline const QString TooLongTextTitle = QStringLiteral("Error");
inline const QString TypeErrorTitle = QStringLiteral("データ型相違"); // error icon
// An empty text box is stored as three blanks, so a TEXT column never holds an empty value or Null.
inline const QString EmptyTextValue = QStringLiteral("   ");
// A date box nobody typed into.
inline const QString UntouchedDate = QStringLiteral("____/__/__");
inline constexpr int MaxTextBytes = 255;

// field name + "が相違しています。[ " + text + " ]"
QString TypeErrorMessage(const QString& fieldName, const QString& text);

// The type word of main field k (1-based) of a category: its configured type, else the type of its position.
QString MainFieldType(const store::ConfigSection& section, int k);
// The same for sub field k (1-based).
QString SubFieldType(const store::ConfigSection& section, int k);

// The fields one editor writes, 1 … n in order: each one's configured name (untrimmed) and type word.
struct EditFields {
    std::vector<QString> names;
    std::vector<QString> types;
    int count() const { return static_cast<int>(types.size()); }
};
EditFields MainEditFields(const store::ConfigSection& section); // fields 1 … フィールド個数
EditFields SubEditFields(const store::ConfigSection& section);  // sub fields 1 … SUBフィールド個数

// The number test of LONG boxes and of the per-field search: a whole number with an optional sign that fits 32 bits;
// blanks around it and full-width digits are accepted.
std::optional<std::int32_t> ParseWholeNumber(const QString& text);
// The date test of DATE boxes and of the per-field search: yyyy/MM/dd filling the mask, a real day, year 100 on.
std::optional<QDate> ParseMaskedDate(const QString& text);

// The value a field box stores for a column of the given type, or nullopt when the text fails the type test.
// An empty TEXT box gives emptyText; an empty LONG/DATE box gives Null; when adding, an untouched date box gives Null.
std::optional<platform::Value> StoreFieldValue(const QString& type, const FieldInput& input, bool adding,
                                               const QString& emptyText = EmptyTextValue);

// The first TEXT field (0-based) whose text is longer than 255 bytes in the Japanese code page.
std::optional<int> FindTooLongText(const store::ConfigSection& section, const std::vector<FieldInput>& inputs);
std::optional<int> FindTooLongText(const EditFields& fields, const std::vector<FieldInput>& inputs);

struct EditResult {
    // NotFound: the record to change, delete or add to is no longer stored; nothing was written.
    enum class Status { Ok, TooLong, TypeError, EngineError, NotFound };
    Status status = Status::Ok;
    std::int32_t regNo = 0; // the record added, changed or deleted
    int rows = 0;           // records written or deleted
    int field = -1;         // TooLong, TypeError: the refused field (0-based)
    QString message;        // the text to show: TooLongTextMessage, the type error, or the engine's message
    // TEXT boxes (0-based) that were empty and were stored as three blanks: the boxes show the blanks from now on.
    std::vector<int> blankedFields;

    bool ok() const { return status == Status::Ok; }
};

// Converts the boxes into column values, stopping at the first type error; an over-long text is refused first.
// Empty TEXT boxes give emptyText and are listed in blankedFields.
EditResult ConvertInputs(const EditFields& fields, const std::vector<FieldInput>& inputs, bool adding,
                         const QString& emptyText, std::vector<platform::Value>& values);
// The result that reports an engine failure with its message, for the record regNo.
EditResult EngineFailure(const platform::EngineError& e, std::int32_t regNo = 0);
// "登録ＮＯ n の明細レコードが見つかりません。": the main record regNo is no longer stored.
QString RecordMissingMessage(std::int32_t regNo);
// The result for a write whose record is gone (another screen or another copy deleted it); message says which.
EditResult RecordMissing(std::int32_t regNo, const QString& message);
// Whether the main record regNo of the section is stored.
bool MainRecordExists(platform::Database& db, const store::ConfigSection& section, std::int32_t regNo);

// Appends a main record to the current category from the boxes: 登録ＮＯ = 登録NO + 1, 画像jpg有無 0. The record
// and the advanced counter are written in one transaction; state.config follows only after the commit. A refused
// or failed add leaves the table and the counter as they were.
EditResult AddMainRecord(store::AppState& state, const std::vector<FieldInput>& inputs);
// Rewrites fields 1 … n of the record regNo (empty LONG/DATE boxes become Null); 登録ＮＯ and 画像jpg有無 stay.
// A type error leaves the record unchanged.
EditResult UpdateMainRecord(store::AppState& state, std::int32_t regNo, const std::vector<FieldInput>& inputs);
// Deletes the record regNo, with its sub records first when withSubs, in one transaction. Its picture file stays.
EditResult DeleteMainRecord(store::AppState& state, std::int32_t regNo, bool withSubs);

} // namespace quelm::records
