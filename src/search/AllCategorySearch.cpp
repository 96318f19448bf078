#include "search/AllCategorySearch.h"

#include "platform/Database.h"
#include "records/TextMatch.h"
#include "store/Catalogue.h"

#include <algorithm>

namespace quelm::search {

using platform::ListRow;
using store::ConfigSection;

namespace {

constexpr int Squares = 25;
// Records read between two questions to the observer: a few milliseconds of work.
constexpr int RecordsBetweenChecks = 2048;

int FieldCount(const ConfigSection& s, bool sub) {
    return sub ? std::clamp<int>(s.SubFieldCount, 0, store::SubFieldSlots)
               : std::clamp<int>(s.FieldCount, 0, store::MainFieldSlots);
}

QString FieldType(const ConfigSection& s, bool sub, int k) {
    return sub ? records::SubFieldType(s, k) : records::MainFieldType(s, k);
}

const QString& FieldName(const ConfigSection& s, bool sub, int k) {
    return sub ? s.SubFieldName[k] : s.FieldName[k];
}

// One table of one category, read once from its start.
class TableScan {
public:
    TableScan(const ConfigSection& section, bool sub, const records::TextMatcher& matcher)
        : section_(section), sub_(sub), matcher_(matcher), n_(FieldCount(section, sub)),
          table_(records::CheckedTableName(sub ? section.SubTableName : section.TableName)),
          category_(sub ? section.ShumokuName + SubHitSuffix : section.ShumokuName) {
        for (int k = 1; k <= n_; ++k) {
            if (FieldType(section, sub, k).left(4) == store::TypeText)
                textFields_.push_back(k - 1);
        }
    }

    // False when the observer stopped the scan; the hits found so far are handed over either way.
    bool run(platform::Database& db, SearchObserver& observer) {
        auto rs = db.openTable(table_);
        records::RequireColumnCount(*rs, n_ + (sub_ ? 2 : 1));
        std::vector<ListRow> hits;
        int sinceCheck = 0;
        bool going = true;
        for (; !rs->eof(); rs->moveNext()) {
            if (++sinceCheck == RecordsBetweenChecks) {
                sinceCheck = 0;
                if (!observer.keepGoing()) {
                    going = false;
                    break;
                }
            }
            for (int i : textFields_) {
                // A Null field reads as two blanks, which a usable search text never occurs in.
                const std::string_view text = rs->utf8Text(i);
                if (text.data() != nullptr && matcher_.occursInUtf8(text))
                    hits.push_back(hitRow(*rs, i, text));
            }
        }
        observer.tableFinished(std::move(hits));
        return going;
    }

private:
    ListRow hitRow(const platform::Recordset& rs, int field, std::string_view text) {
        builder_.append(text.data(), static_cast<int>(text.size()));
        builder_.append(category_);
        builder_.append(FieldName(section_, sub_, field + 1));
        builder_.append(table_);
        rs.appendText(n_, builder_);
        if (sub_)
            rs.appendText(n_ + 1, builder_);
        else
            builder_.appendEmpty();
        return builder_.finish();
    }

    const ConfigSection& section_;
    bool sub_;
    const records::TextMatcher& matcher_;
    int n_;
    QString table_;
    QString category_;
    std::vector<int> textFields_;
    ListRow::Builder builder_{HitColumnCount};
};

} // namespace

bool IsUsableSearchText(const QString& text) {
    return !text.trimmed().isEmpty();
}

int TablesToSearch(const store::CategoryConfig& config) {
    int inUse = 0;
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s)
        inUse += config[s].inUse() ? 1 : 0;
    return 2 * inUse;
}

QString ProgressStartText() {
    return QStringLiteral("ファイル読込中  ") + QString(Squares, QChar(u'□'));
}

QString ProgressText(int done, int total) {
    int left = 0;
    if (total > 0) {
        const int numerator = std::clamp(total - done, 0, total) * Squares;
        left = numerator / total;
        const int twice = 2 * (numerator % total);
        if (twice > total || (twice == total && left % 2 == 1))
            ++left;
    }
    return QStringLiteral("ファイル読込中　") + QString(Squares - left, QChar(u'■')) + QString(left, QChar(u'□'));
}

bool SearchAllCategories(platform::Database& db, const store::CategoryConfig& config, const SearchRequest& request,
                         SearchObserver& observer) {
    const records::TextMatcher matcher(request.text,
                                       request.exact ? records::TextFold::Exact : records::TextFold::CaseWidthKana);
    const int total = TablesToSearch(config);
    int done = 0;
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        if (!config[s].inUse())
            continue;
        for (bool sub : {false, true}) {
            if (!observer.keepGoing())
                return false;
            TableScan scan(config[s], sub, matcher);
            observer.tableStarted(++done, total);
            if (!scan.run(db, observer))
                return false;
        }
    }
    return true;
}

std::optional<HitTable> FindHitTable(const store::CategoryConfig& config, const QString& table) {
    if (table.isEmpty())
        return std::nullopt;
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        if (!config[s].inUse())
            continue;
        if (config[s].TableName.trimmed() == table)
            return HitTable{s, false};
        if (config[s].SubTableName.trimmed() == table)
            return HitTable{s, true};
    }
    return std::nullopt;
}

QString CategoryLabel(const ConfigSection& section, bool sub) {
    return sub ? section.ShumokuName + SubLabelSuffix : section.ShumokuName;
}

std::optional<std::int64_t> ParseRecordNumber(const QString& text) {
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<std::int64_t>(n) : std::nullopt;
}

std::vector<records::ListColumn> TypedFieldColumns(const ConfigSection& section, bool sub, int firstTextWidth) {
    std::vector<records::ListColumn> columns;
    const int n = FieldCount(section, sub);
    for (int k = 1; k <= n; ++k) {
        const QString type = FieldType(section, sub, k);
        if (type == store::TypeLong || type == store::TypeDate)
            columns.push_back({FieldName(section, sub, k), 1000, Qt::AlignRight});
        else
            columns.push_back({FieldName(section, sub, k), k == 1 ? firstTextWidth : 1800, Qt::AlignLeft});
    }
    return columns;
}

std::vector<records::ListColumn> DetailColumns(const ConfigSection& section, bool sub) {
    std::vector<records::ListColumn> columns = TypedFieldColumns(section, sub, 4000);
    columns.push_back({records::RegNoHeading, 0, Qt::AlignRight});
    if (sub)
        columns.push_back({store::SubKeyColumn, 0, Qt::AlignRight});
    return columns;
}

std::optional<ListRow> ReadDetailRow(platform::Database& db, const ConfigSection& section, bool sub, std::int64_t regNo,
                                     std::int64_t subNo) {
    const int n = FieldCount(section, sub);
    const int cells = n + (sub ? 2 : 1);
    std::unique_ptr<platform::Recordset> rs;
    if (sub) {
        rs = records::CheckedSubTable(section).openRowsOf(db, regNo);
    } else {
        rs = db.openTable(records::CheckedTableName(section.TableName), store::MainKeyColumn, platform::Value(regNo));
        records::RequireColumnCount(*rs, cells);
    }
    for (; !rs->eof(); rs->moveNext()) {
        if (sub && rs->value(n + 1).toInt() != subNo)
            continue;
        ListRow::Builder builder(cells);
        for (int i = 0; i < cells; ++i)
            rs->appendText(i, builder);
        return builder.finish();
    }
    return std::nullopt;
}

} // namespace quelm::search
