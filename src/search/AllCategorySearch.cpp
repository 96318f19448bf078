#include "search/AllCategorySearch.h"

#include "platform/Database.h"
#include "records/TextMatch.h"
#include "store/Catalogue.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <future>
#include <mutex>

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

    // Reads the table, asking keepGoing every few thousand records. The hits come in the table's key order (登録ＮＯ,
    // then サブＮＯ), each record's in field order; complete tells whether the table was read to its end, else the
    // hits are those found so far.
    template <typename KeepGoing>
    std::vector<ListRow> run(platform::Database& db, KeepGoing&& keepGoing, bool& complete) {
        // Read in stored order, the hits are put in key order afterwards: visiting the key's index for every record
        // would cost several times the reading. Should the table's key be other than the numbers, or a number not be
        // a whole number, the table is read again in key order.
        auto stored = db.openTableInStoredOrder(table_);
        records::RequireColumnCount(*stored, n_ + (sub_ ? 2 : 1));
        if (records::KeyedByRecordNumbers(db, *stored, n_, subNoPos())) {
            std::vector<ListRow> hits;
            if (scan(*stored, keepGoing, complete, &hits, true))
                return hits;
        }
        auto keyOrdered = db.openTable(table_);
        records::RequireColumnCount(*keyOrdered, n_ + (sub_ ? 2 : 1));
        std::vector<ListRow> hits;
        scan(*keyOrdered, keepGoing, complete, &hits, false);
        return hits;
    }

private:
    // A hit and the key that puts it in its place.
    struct KeyedHit {
        records::RecordKey key;
        ListRow row;
    };

    int subNoPos() const { return sub_ ? n_ + 1 : -1; }

    // Collects the hits of one pass into hits. With sortByKey, false when a key is not a whole number (nothing is
    // collected then).
    template <typename KeepGoing>
    bool scan(platform::Recordset& rs, KeepGoing&& keepGoing, bool& complete, std::vector<ListRow>* hits,
              bool sortByKey) {
        std::vector<KeyedHit> keyed;
        int sinceCheck = 0;
        complete = false;
        for (; !rs.eof(); rs.moveNext()) {
            if (++sinceCheck == RecordsBetweenChecks) {
                sinceCheck = 0;
                if (!keepGoing())
                    break;
            }
            for (int i : textFields_) {
                // A Null field reads as two blanks, which a usable search text never occurs in.
                const std::string_view text = rs.utf8Text(i);
                if (text.data() == nullptr || !matcher_.occursInUtf8(text))
                    continue;
                if (!sortByKey) {
                    hits->push_back(hitRow(rs, i, text));
                    continue;
                }
                const std::optional<records::RecordKey> key = records::RecordKeyOf(rs, n_, subNoPos());
                if (!key)
                    return false;
                keyed.push_back({*key, hitRow(rs, i, text)});
            }
        }
        complete = rs.eof();
        // Stable: a record's hits keep their field order. The key is unique, so no two records compare equal.
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const KeyedHit& a, const KeyedHit& b) { return a.key < b.key; });
        for (KeyedHit& hit : keyed)
            hits->push_back(std::move(hit.row));
        return true;
    }

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
    records::TextMatcher matcher_; // its own: a matcher keeps a scratch buffer, and tables are read on two threads
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

namespace {

// A catalogue file from this size on is read on two threads; below it, a second connection costs more than it saves.
constexpr qint64 BytesWorthTwoThreads = 4 << 20;

// The tables of one search and what has been read of them. The calling thread takes tables in order, and so does a
// second thread when there is one; the calling thread alone talks to the observer, handing the tables over in
// their order as each is read, so the screen sees the same sequence whichever thread read a table.
class TableRun {
public:
    TableRun(const store::CategoryConfig& config, const records::TextMatcher& matcher, SearchObserver& observer)
        : observer_(observer) {
        for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
            if (!config[s].inUse())
                continue;
            for (bool sub : {false, true})
                scans_.emplace_back(config[s], sub, matcher);
        }
        results_.resize(scans_.size());
    }

    // Reads tables on this thread until none is left or the observer stops the search; false when stopped.
    bool readOnCaller(platform::Database& db) {
        while (true) {
            if (!checkIn())
                return false;
            const int t = next_.fetch_add(1);
            if (t >= total())
                return true;
            if (!read(db, t, [this] { return checkIn(); }))
                return false;
        }
    }

    // Reads tables on a second thread until none is left or the search is stopped; an engine failure is kept for
    // the calling thread to raise in its turn.
    void readOnHelper(platform::Database& db) {
        while (!stop_.load()) {
            const int t = next_.fetch_add(1);
            if (t >= total())
                return;
            try {
                read(db, t, [this] { return !stop_.load(); });
            } catch (...) {
                finish(t, {}, false, std::current_exception());
                return;
            }
        }
    }

    // Waits for the second thread's tables, handing each over as it comes; false when the observer stopped it.
    bool awaitHelper() {
        while (true) {
            if (!checkIn())
                return false;
            std::unique_lock lock(mutex_);
            if (handedOver_ == total())
                return true;
            // Often enough for the observer to keep the screen painted.
            readyChanged_.wait_for(lock, std::chrono::milliseconds(20));
        }
    }

    // After a stop: the second thread ends at its next check; what either thread had read is handed over too.
    void stop() { stop_ = true; }
    void handOverWhatWasRead() { handOver(true); }

private:
    struct Result {
        bool ready = false;
        bool complete = false;
        std::vector<ListRow> hits;
        std::exception_ptr failure;
    };

    int total() const { return static_cast<int>(scans_.size()); }

    template <typename KeepGoing> bool read(platform::Database& db, int t, KeepGoing&& keepGoing) {
        bool complete = false;
        std::vector<ListRow> hits = scans_[t].run(db, keepGoing, complete);
        finish(t, std::move(hits), complete, nullptr);
        return complete;
    }

    void finish(int t, std::vector<ListRow>&& hits, bool complete, std::exception_ptr failure) {
        {
            std::lock_guard lock(mutex_);
            results_[t] = {true, complete, std::move(hits), std::move(failure)};
        }
        readyChanged_.notify_all();
    }

    // Hands over what has been read, asks the observer whether to go on and announces the next table.
    bool checkIn() {
        handOver(false);
        if (!observer_.keepGoing()) {
            stop_ = true;
            return false;
        }
        if (announced_ == handedOver_ && handedOver_ < total())
            observer_.tableStarted(++announced_, total());
        return true;
    }

    // Hands the tables over in their order, each once it has been read to its end (or, after a stop, as far as it
    // was read), up to the first that has not.
    void handOver(bool partial) {
        while (true) {
            Result result;
            {
                std::lock_guard lock(mutex_);
                if (handedOver_ == total())
                    return;
                Result& next = results_[handedOver_];
                if (!next.ready || (!next.complete && !partial && !next.failure))
                    return;
                result = std::move(next);
            }
            if (result.failure)
                std::rethrow_exception(result.failure);
            if (announced_ == handedOver_)
                observer_.tableStarted(++announced_, total());
            ++handedOver_;
            observer_.tableFinished(std::move(result.hits));
        }
    }

    SearchObserver& observer_;
    std::vector<TableScan> scans_;
    std::atomic<int> next_ = 0;
    std::atomic<bool> stop_ = false;
    std::mutex mutex_;
    std::condition_variable readyChanged_;
    std::vector<Result> results_; // under mutex_
    int handedOver_ = 0;          // calling thread only
    int announced_ = 0;           // calling thread only
};

} // namespace

bool SearchAllCategories(platform::Database& db, const store::CategoryConfig& config, const SearchRequest& request,
                         SearchObserver& observer) {
    const records::TextMatcher matcher(request.text,
                                       request.exact ? records::TextFold::Exact : records::TextFold::CaseWidthKana);
    TableRun run(config, matcher, observer);
    // One read transaction: every table is read in the same state of the catalogue, by either connection.
    platform::Transaction reading(db);
    std::unique_ptr<platform::ReadTwin> twin;
    if (QFileInfo(db.path()).size() >= BytesWorthTwoThreads)
        twin = platform::ReadTwin::open(db);
    std::future<void> helper;
    if (twin)
        helper = std::async(std::launch::async, [&] { run.readOnHelper(twin->db()); });
    bool complete = false;
    try {
        complete = run.readOnCaller(db) && (!helper.valid() || run.awaitHelper());
    } catch (...) {
        run.stop();
        if (helper.valid())
            helper.wait();
        throw;
    }
    if (!complete) {
        run.stop();
        if (helper.valid())
            helper.wait();
        run.handOverWhatWasRead();
    }
    return complete;
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
