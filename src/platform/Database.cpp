#include "platform/Database.h"
#include "platform/CatalogueWrites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <sqlite3.h>

namespace quelm::platform {

namespace {

std::atomic<std::uint64_t> WritesCommitted{0};

// Every connection lives on the one thread that opened it, so the engine need not lock around each call.
constexpr int OpenFlags = SQLITE_OPEN_NOMUTEX;

QString Utf8(const unsigned char* text, int bytes) {
    return QString::fromUtf8(reinterpret_cast<const char*>(text), bytes);
}

Column ParseColumn(const QString& name, const QString& declared, bool pk) {
    Column c;
    c.name = name;
    c.primaryKey = pk;
    const QString t = declared.trimmed().toUpper();
    static const QRegularExpression sized(QStringLiteral("^TEXT\\s*\\((\\d+)\\)$"));
    if (t == QLatin1String("TEXT")) {
        c.type = ColumnType::Text;
        c.maxLength = 255;
    } else if (auto m = sized.match(t); m.hasMatch()) {
        c.type = ColumnType::Text;
        c.maxLength = m.captured(1).toInt();
    } else if (t == QLatin1String("LONG")) {
        c.type = ColumnType::Long;
    } else if (t == QLatin1String("SHORT")) {
        c.type = ColumnType::Short;
    } else if (t == QLatin1String("DATE")) {
        c.type = ColumnType::Date;
    }
    return c;
}

// Dates are stored as ISO text; this reads what we wrote and the usual typed forms.
std::optional<QDateTime> ParseDate(const QString& text) {
    // Fast path for the stored form yyyy-MM-dd: every date cell of a scan comes this way.
    if (text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
        int parts[3] = {0, 0, 0};
        const int starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
        bool digits = true;
        for (int p = 0; p < 3 && digits; ++p)
            for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
                const char16_t c = text[i].unicode();
                digits = digits && c >= u'0' && c <= u'9';
                parts[p] = parts[p] * 10 + (c - u'0');
            }
        if (digits) {
            const QDate date(parts[0], parts[1], parts[2]);
            if (!date.isValid() || date.year() < 100)
                return std::nullopt;
            return QDateTime(date, QTime(0, 0));
        }
    }
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,4})[-/](\\d{1,2})[-/](\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid() || date.year() < 100)
        return std::nullopt;
    QTime time(0, 0);
    if (!m.captured(4).isEmpty()) {
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        if (!time.isValid())
            return std::nullopt;
    }
    return QDateTime(date, time);
}

QString StoredDate(const QDateTime& d) {
    if (d.time() == QTime(0, 0))
        return d.date().toString(QStringLiteral("yyyy-MM-dd"));
    return d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The same text written straight into a buffer, for the years of four digits: every date of an import is bound this
// way, and QDate's formatting goes through the locale machinery. Returns the length, or -1 for another year.
int StoredDateText(const QDateTime& d, char (&out)[32]) {
    const QDate date = d.date();
    const QTime time = d.time();
    if (date.year() < 1 || date.year() > 9999)
        return -1;
    int n = std::snprintf(out, sizeof out, "%04d-%02d-%02d", date.year(), date.month(), date.day());
    if (time != QTime(0, 0))
        n += std::snprintf(out + n, sizeof out - static_cast<std::size_t>(n), " %02d:%02d:%02d", time.hour(),
                           time.minute(), time.second());
    return n;
}

std::optional<std::int64_t> WholeNumber(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Integer:
        return v.toInt();
    case Value::Kind::Real: {
        const double r = v.toReal();
        if (!std::isfinite(r))
            return std::nullopt;
        return static_cast<std::int64_t>(std::nearbyint(r)); // half to even, as the old engine rounded
    }
    case Value::Kind::Text: {
        const QString t = v.toText().trimmed();
        bool ok = false;
        const qint64 i = t.toLongLong(&ok);
        if (ok)
            return i;
        static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
        if (decimal.match(t).hasMatch())
            return WholeNumber(Value(t.toDouble()));
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

void Bind(Database& db, sqlite3_stmt* stmt, int index, const Value& v) {
    int rc = SQLITE_OK;
    switch (v.kind()) {
    case Value::Kind::Null:
        rc = sqlite3_bind_null(stmt, index);
        break;
    case Value::Kind::Integer:
        rc = sqlite3_bind_int64(stmt, index, v.toInt());
        break;
    case Value::Kind::Real:
        rc = sqlite3_bind_double(stmt, index, v.toReal());
        break;
    case Value::Kind::Text: {
        const QByteArray u = v.toText().toUtf8();
        rc = sqlite3_bind_text(stmt, index, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
        break;
    }
    case Value::Kind::Date: {
        char text[32];
        if (const int n = StoredDateText(v.toDate(), text); n >= 0) {
            rc = sqlite3_bind_text(stmt, index, text, n, SQLITE_TRANSIENT);
            break;
        }
        const QByteArray u = StoredDate(v.toDate()).toUtf8();
        rc = sqlite3_bind_text(stmt, index, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
        break;
    }
    }
    if (rc != SQLITE_OK)
        db.raise();
}

// What the user is told for the engine's common failures, naming the file; empty for the others.
QString PlainEngineMessage(int code, const QString& path) {
    const QString file = QDir::toNativeSeparators(path);
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return QStringLiteral("ファイル %1 はデータベースではありません。").arg(file);
    case SQLITE_CORRUPT:
        return QStringLiteral("データベース %1 は壊れています。").arg(file);
    case SQLITE_CANTOPEN:
        return QStringLiteral("データベース %1 を開けません。").arg(file);
    case SQLITE_READONLY:
        return QStringLiteral("データベース %1 は読み取り専用のため、書き込めません。").arg(file);
    case SQLITE_FULL:
        return QStringLiteral("ディスクに空きがないため、データベース %1 に書き込めません。").arg(file);
    case SQLITE_IOERR:
        return QStringLiteral("データベース %1 の読み書きに失敗しました。").arg(file);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("データベース %1 は他のプログラムが使用中です。").arg(file);
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("データベース %1 へのアクセスが許可されていません。").arg(file);
    default:
        return {};
    }
}

// The error for a failed engine call: the plain message first when there is one, the engine's text below it.
EngineError MappedError(int code, const QString& path, const QString& detail) {
    const QString plain = PlainEngineMessage(code, path);
    return EngineError(plain.isEmpty() ? detail : plain + QLatin1Char('\n') + detail);
}

// Runs a prepared write statement to its end and finalizes it.
void RunToEnd(Database& db, sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db.handle()));
        const int code = sqlite3_extended_errcode(db.handle());
        sqlite3_finalize(stmt);
        throw MappedError(code, db.path(), msg);
    }
    sqlite3_finalize(stmt);
}

// Runs a statement kept for many rows and makes it ready for the next.
void RunAgain(Database& db, sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db.handle()));
        const int code = sqlite3_extended_errcode(db.handle());
        sqlite3_reset(stmt);
        throw MappedError(code, db.path(), msg);
    }
    sqlite3_reset(stmt);
}

// ---- stored_as_is(kinds, v1, …, vn): the SQL side of a copy by INSERT … SELECT
// 1 when every value is already what a column of its kind stores, so that copying it by SQL stores exactly what the
// recordset would; 0 otherwise. One call checks a whole row, which costs far less than an expression per cell over a
// million rows. kinds holds one letter per value: T a text of at most 255 UTF-16 units, L a whole number in 32 bits,
// S in 16 bits, K a 32-bit key (never Null), D a stored date (yyyy-MM-dd, or yyyy-MM-dd HH:MM:SS, of a real date from
// the year 100 on); every kind but K takes Null. In lower case a value of one blank passes as well.

// A text longer than 255 bytes is measured in UTF-16 units; what is not plain UTF-8 does not pass.
bool FitsUtf16Units(const unsigned char* s, int bytes, int limit) {
    if (bytes <= limit)
        return true; // never more units than bytes
    int units = 0;
    for (int i = 0; i < bytes;) {
        const unsigned char b = s[i];
        const int length = b < 0x80                   ? 1
                           : (b >= 0xC2 && b <= 0xDF) ? 2
                           : (b >= 0xE0 && b <= 0xEF) ? 3
                           : (b >= 0xF0 && b <= 0xF4) ? 4
                                                      : 0;
        if (length == 0 || i + length > bytes)
            return false;
        for (int k = 1; k < length; ++k)
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
        // Overlong forms, encoded surrogates and code points past U+10FFFF.
        if ((b == 0xE0 && s[i + 1] < 0xA0) || (b == 0xED && s[i + 1] >= 0xA0) || (b == 0xF0 && s[i + 1] < 0x90) ||
            (b == 0xF4 && s[i + 1] >= 0x90))
            return false;
        units += length == 4 ? 2 : 1;
        i += length;
    }
    return units <= limit;
}

bool Digits(const unsigned char* s, int from, int count, int& value) {
    value = 0;
    for (int i = from; i < from + count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

bool StoredDateForm(const unsigned char* s, int bytes) {
    if (bytes != 10 && bytes != 19)
        return false;
    int year = 0, month = 0, day = 0;
    if (!Digits(s, 0, 4, year) || s[4] != '-' || !Digits(s, 5, 2, month) || s[7] != '-' || !Digits(s, 8, 2, day))
        return false;
    if (year < 100 || !QDate::isValid(year, month, day))
        return false;
    if (bytes == 10)
        return true;
    int hour = 0, minute = 0, second = 0;
    return s[10] == ' ' && Digits(s, 11, 2, hour) && s[13] == ':' && Digits(s, 14, 2, minute) && s[16] == ':' &&
           Digits(s, 17, 2, second) && hour <= 23 && minute <= 59 && second <= 59;
}

// Whether v is stored as a column of the kind stores it; with copies, moreover kept to the byte by the
// column-by-column copy: not a lone blank (which becomes Null), not a date with a midnight time (which loses it).
bool StoredAsIs(char kind, sqlite3_value* v, bool copies) {
    const int type = sqlite3_value_type(v);
    const bool blankToo = kind >= 'a' && kind <= 'z';
    const char upper = blankToo ? static_cast<char>(kind - 'a' + 'A') : kind;
    if (type == SQLITE_NULL)
        return upper != 'K';
    if (type == SQLITE_INTEGER) {
        const sqlite3_int64 n = sqlite3_value_int64(v);
        if (upper == 'L' || upper == 'K')
            return n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max();
        if (upper == 'S')
            return n >= std::numeric_limits<std::int16_t>::min() && n <= std::numeric_limits<std::int16_t>::max();
        return false;
    }
    if (type != SQLITE_TEXT)
        return false; // fractions and blobs are converted row by row
    // Length and text are both asked for in UTF-8, so the length may come first; most texts need no more.
    const int bytes = sqlite3_value_bytes(v);
    if (upper == 'T' && bytes != 1 && bytes <= 255)
        return true; // never more units than bytes
    const unsigned char* text = sqlite3_value_text(v);
    if (bytes == 1 && text[0] == ' ') {
        if (copies)
            return false;
        if (blankToo)
            return true;
    }
    if (upper == 'T')
        return FitsUtf16Units(text, bytes, 255);
    if (upper == 'D')
        return StoredDateForm(text, bytes) && !(copies && bytes == 19 && std::memcmp(text + 10, " 00:00:00", 9) == 0);
    return false;
}

// stored_as_is(kinds, value…) and copies_as_is(kinds, value…): one kind letter per value, 1 when every value passes.
// Rows that pass copies_as_is may be copied as the engine stores them.
template <bool Copies> void AsIsFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    const unsigned char* kinds = argc > 0 ? sqlite3_value_text(argv[0]) : nullptr;
    if (kinds == nullptr || sqlite3_value_bytes(argv[0]) != argc - 1) {
        sqlite3_result_error(context, "one kind per value expected", -1);
        return;
    }
    for (int i = 1; i < argc; ++i) {
        if (!StoredAsIs(static_cast<char>(kinds[i - 1]), argv[i], Copies)) {
            sqlite3_result_int(context, 0);
            return;
        }
    }
    sqlite3_result_int(context, 1);
}

} // namespace

QString QuoteIdentifier(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// ---------------------------------------------------------------- Database

Database::Database(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {
    sqlite3_busy_timeout(db_, BusyMilliseconds);
    sqlite3_extended_result_codes(db_, 1);
    // A catalogue from elsewhere may carry triggers and views: none of them may run on the program's writes, and
    // its schema may not reach past the tables (defensive mode, untrusted schema).
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    // Only the program's own statements may call it, never a schema's view or trigger.
    sqlite3_create_function_v2(db_, "stored_as_is", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                               AsIsFunction<false>, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db_, "copies_as_is", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                               AsIsFunction<true>, nullptr, nullptr, nullptr);
    // The engine calls the hook only when a transaction that wrote commits, never for one that only read.
    sqlite3_commit_hook(
        db_,
        [](void*) {
            ++WritesCommitted;
            return 0; // let the commit go on
        },
        nullptr);
}

std::uint64_t CommittedWrites() {
    return WritesCommitted.load();
}

Database::~Database() {
    sqlite3_close_v2(db_);
}

std::unique_ptr<Database> Database::open(const QString& path) {
    return openWith(path, SQLITE_OPEN_READWRITE);
}

std::unique_ptr<Database> Database::openReadOnly(const QString& path) {
    return openWith(path, SQLITE_OPEN_READONLY);
}

std::unique_ptr<Database> Database::openWith(const QString& path, int flags, int busyMilliseconds) {
    if (!QFileInfo(path).isFile())
        throw EngineError(QStringLiteral("データベース '%1' が見つかりません。").arg(path));
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags | OpenFlags, nullptr);
    std::unique_ptr<Database> db(new Database(raw, path));
    sqlite3_busy_timeout(raw, busyMilliseconds);
    if (rc != SQLITE_OK)
        db->raise(QStringLiteral("データベース '%1' を開けません").arg(path));
    // A file that is not a database only shows itself at the first read.
    sqlite3_stmt* probe = db->prepare(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    const int step = sqlite3_step(probe);
    sqlite3_finalize(probe);
    if (step != SQLITE_ROW)
        db->raise(QStringLiteral("データベース '%1' を読めません").arg(path));
    return db;
}

std::unique_ptr<Database> Database::create(const QString& path) {
    if (QFileInfo::exists(path))
        throw EngineError(QStringLiteral("'%1' は既に存在します。").arg(path));
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | OpenFlags, nullptr);
    std::unique_ptr<Database> db(new Database(raw, path));
    if (rc != SQLITE_OK)
        db->raise(QStringLiteral("データベース '%1' を作成できません").arg(path));
    return db;
}

void Database::raise(const QString& context) const {
    const QString engine = QString::fromUtf8(sqlite3_errmsg(db_));
    const QString detail = context.isEmpty() ? engine : context + QStringLiteral(": ") + engine;
    // The engine's own text stays as a second line, for whoever looks into the cause.
    throw MappedError(sqlite3_extended_errcode(db_), path_, detail);
}

sqlite3_stmt* Database::prepare(const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &stmt, &tail) != SQLITE_OK)
        raise();
    if (stmt == nullptr)
        throw EngineError(QStringLiteral("SQL文がありません。"));
    const QString rest = QString::fromUtf8(tail).trimmed();
    if (!rest.isEmpty() && rest != QLatin1String(";")) {
        sqlite3_finalize(stmt);
        throw EngineError(QStringLiteral("SQL文は一度に一つだけ実行できます: %1").arg(rest));
    }
    return stmt;
}

void Database::execute(const QString& sql) {
    RunToEnd(*this, prepare(sql));
}

bool Database::tableExists(const QString& table) {
    sqlite3_stmt* stmt =
        prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
    Bind(*this, stmt, 1, table);
    const bool found = sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    return found;
}

std::int64_t Database::maxOf(const QString& table, const QString& column) {
    sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT MAX(%1) FROM %2 WHERE typeof(%1) = 'integer'")
                                     .arg(QuoteIdentifier(column), QuoteIdentifier(table)));
    std::int64_t largest = 0;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        largest = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return largest;
}

QList<QString> Database::tableNames() {
    sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    QList<QString> names;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        names << Utf8(sqlite3_column_text(stmt, 0), sqlite3_column_bytes(stmt, 0));
    sqlite3_finalize(stmt);
    return names;
}

QList<Column> Database::columns(const QString& table) {
    sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1) ORDER BY cid"));
    Bind(*this, stmt, 1, table);
    QList<Column> cols;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        cols << ParseColumn(Utf8(sqlite3_column_text(stmt, 0), sqlite3_column_bytes(stmt, 0)),
                            Utf8(sqlite3_column_text(stmt, 1), sqlite3_column_bytes(stmt, 1)),
                            sqlite3_column_int(stmt, 2) > 0);
    }
    sqlite3_finalize(stmt);
    if (cols.isEmpty())
        throw EngineError(QStringLiteral("テーブル '%1' が見つかりません。").arg(table));
    return cols;
}

std::int64_t Database::pageSize() {
    sqlite3_stmt* stmt = prepare(QStringLiteral("PRAGMA page_size"));
    const std::int64_t size = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    return size > 0 ? size : 4096;
}

std::int64_t Database::rowCount(const QString& table) {
    sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT count(*) FROM %1").arg(QuoteIdentifier(table)));
    const int rc = sqlite3_step(stmt);
    const std::int64_t n = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW)
        raise();
    return n;
}

std::int64_t Database::copyRows(const QString& from, const QString& to, const QStringList& targetColumns,
                                const QStringList& expressions, const QString& condition, int pieceRows,
                                const std::function<void(std::int64_t)>& progress) {
    if (targetColumns.size() != expressions.size() || targetColumns.isEmpty() || pieceRows < 1)
        throw EngineError(QStringLiteral("複写する列の指定が正しくありません。"));
    QStringList targets;
    for (const QString& c : targetColumns)
        targets << QuoteIdentifier(c);
    const QString source = QuoteIdentifier(from);
    using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;
    // Where the next piece starts: the rowid pieceRows rows further on, found by stepping the table's own b-tree.
    Statement next(
        prepare(QStringLiteral("SELECT rowid FROM %1 WHERE rowid >= ?1 ORDER BY rowid LIMIT 1 OFFSET ?2").arg(source)),
        sqlite3_finalize);
    // Each piece is a closed rowid range, so the engine seeks to its start and stops at its end; the last one ends
    // at the largest rowid there can be.
    Statement piece(prepare(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 "
                                           "WHERE rowid BETWEEN ?1 AND ?2 AND (%5) ORDER BY rowid")
                                .arg(QuoteIdentifier(to), targets.join(QLatin1String(", ")),
                                     expressions.join(QLatin1String(", ")), source, condition)),
                    sqlite3_finalize);
    std::int64_t start = std::numeric_limits<std::int64_t>::min();
    std::int64_t copied = 0;
    for (;;) {
        sqlite3_bind_int64(next.get(), 1, start);
        sqlite3_bind_int(next.get(), 2, pieceRows);
        const int rc = sqlite3_step(next.get());
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            sqlite3_reset(next.get());
            raise();
        }
        const bool last = rc == SQLITE_DONE;
        const std::int64_t nextStart = last ? 0 : sqlite3_column_int64(next.get(), 0);
        sqlite3_reset(next.get());

        sqlite3_bind_int64(piece.get(), 1, start);
        sqlite3_bind_int64(piece.get(), 2, last ? std::numeric_limits<std::int64_t>::max() : nextStart - 1);
        RunAgain(*this, piece.get());
        const std::int64_t n = sqlite3_changes64(db_);
        copied += n;
        if (progress)
            progress(copied);
        if (last || n < pieceRows)
            return copied;
        start = nextStart;
    }
}

std::unique_ptr<Recordset> Database::openTable(const QString& table) {
    return openTableImpl(table, {}, nullptr, true);
}

std::unique_ptr<Recordset> Database::openTable(const QString& table, const QString& column, const Value& key) {
    return openTableImpl(table, column, &key, true);
}

std::unique_ptr<Recordset> Database::openTableInStoredOrder(const QString& table, std::int64_t fromRowid,
                                                            std::int64_t toRowid) {
    return openTableImpl(table, {}, nullptr, false,
                         QStringLiteral("rowid BETWEEN %1 AND %2").arg(fromRowid).arg(toRowid));
}

QStringList Database::primaryKey(const QString& table) {
    sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk"));
    Bind(*this, stmt, 1, table);
    QStringList key;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        key << Utf8(sqlite3_column_text(stmt, 0), sqlite3_column_bytes(stmt, 0));
    sqlite3_finalize(stmt);
    return key;
}

std::unique_ptr<Recordset> Database::openTableImpl(const QString& table, const QString& filterColumn, const Value* key,
                                                   bool keyOrder, const QString& rowidCondition) {
    const QList<Column> cols = columns(table);
    QStringList names;
    for (const Column& c : cols)
        names << QuoteIdentifier(c.name);
    QString sql =
        QStringLiteral("SELECT rowid, %1 FROM %2").arg(names.join(QLatin1String(", ")), QuoteIdentifier(table));
    if (key != nullptr) {
        const bool known =
            std::any_of(cols.begin(), cols.end(), [&](const Column& c) { return c.name == filterColumn; });
        if (!known)
            throw EngineError(QStringLiteral("列 '%1' がテーブル '%2' にありません。").arg(filterColumn, table));
        sql += QStringLiteral(" WHERE %1 = ?1").arg(QuoteIdentifier(filterColumn));
    } else if (!rowidCondition.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + rowidCondition;
    }
    if (keyOrder) {
        // Primary key columns in key order give the scan order; without a key, insertion order.
        QStringList order;
        for (const QString& column : primaryKey(table))
            order << QuoteIdentifier(column);
        order << QStringLiteral("rowid");
        sql += QStringLiteral(" ORDER BY ") + order.join(QLatin1String(", "));
    }
    std::unique_ptr<Recordset> rs(new Recordset(*this, table, cols, sql, key ? *key : Value(), key != nullptr));
    rs->moveFirst();
    return rs;
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Database& db) : db_(db) {
    name_ = QStringLiteral("quelm_%1").arg(++db_.savepointDepth_);
    try {
        db_.execute(QStringLiteral("SAVEPOINT ") + name_);
    } catch (...) {
        --db_.savepointDepth_;
        throw;
    }
}

Transaction::~Transaction() {
    if (!done_) {
        // The outermost guard rolls the whole transaction back: releasing its savepoint after a rollback to it
        // would commit an empty transaction, which still rewrites the file's header.
        const QString undo = db_.savepointDepth_ == 1 ? QStringLiteral("ROLLBACK")
                                                      : QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(name_);
        sqlite3_exec(db_.handle(), undo.toUtf8().constData(), nullptr, nullptr, nullptr);
        --db_.savepointDepth_;
    }
}

void Transaction::commit() {
    db_.execute(QStringLiteral("RELEASE ") + name_);
    done_ = true;
    --db_.savepointDepth_;
}

// ---------------------------------------------------------------- ReadTwin

std::unique_ptr<ReadTwin> ReadTwin::open(Database& db) {
    if (db.savepointDepth_ == 0)
        return nullptr;
    try {
        // A read inside the transaction holds the file's shared lock until the transaction ends; it also shows the
        // connection the file's journal mode.
        db.execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        sqlite3_stmt* mode = db.prepare(QStringLiteral("PRAGMA journal_mode"));
        const bool rollbackJournal =
            sqlite3_step(mode) == SQLITE_ROW && QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(mode, 0)))
                                                        .compare("wal", Qt::CaseInsensitive) != 0;
        sqlite3_finalize(mode);
        if (!rollbackJournal)
            return nullptr;
        std::unique_ptr<ReadTwin> twin(new ReadTwin);
        twin->db_ = Database::openWith(db.path(), SQLITE_OPEN_READONLY, 0);
        twin->reading_ = std::make_unique<Transaction>(*twin->db_);
        twin->db_->execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        return twin;
    } catch (const EngineError&) {
        return nullptr;
    }
}

ReadTwin::~ReadTwin() {
    reading_.reset(); // before the connection closes
}

// ---------------------------------------------------------------- Recordset

Recordset::Recordset(Database& db, QString table, QList<Column> columns, QString selectSql, Value key, bool keyed)
    : db_(db), table_(std::move(table)), columns_(columns.begin(), columns.end()), selectSql_(std::move(selectSql)),
      key_(std::move(key)), keyed_(keyed) {}

Recordset::~Recordset() {
    sqlite3_finalize(stmt_);
    sqlite3_finalize(insert_);
}

int Recordset::indexOf(const QString& name) const {
    for (int i = 0; i < fieldCount(); ++i) {
        if (columns_[i].name == name)
            return i;
    }
    throw EngineError(QStringLiteral("列 '%1' がテーブル '%2' にありません。").arg(name, table_));
}

void Recordset::moveFirst() {
    if (mode_ != EditMode::None)
        cancelUpdate();
    // The statement is prepared once and run again from the top; the engine re-prepares it itself should the
    // table's schema have changed meanwhile.
    if (stmt_ == nullptr)
        stmt_ = db_.prepare(selectSql_);
    else
        sqlite3_reset(stmt_);
    if (keyed_)
        Bind(db_, stmt_, 1, key_);
    step();
}

void Recordset::requery(const Value& key) {
    if (!keyed_)
        throw EngineError(QStringLiteral("テーブル '%1' のレコードセットはキーで絞り込んでいません。").arg(table_));
    key_ = key;
    moveFirst();
}

void Recordset::moveNext() {
    if (eof_)
        throw EngineError(QStringLiteral("カレント レコードがありません。"));
    if (mode_ != EditMode::None)
        cancelUpdate();
    step();
}

void Recordset::step() {
    written_.clear();
    deleted_ = false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        eof_ = false;
        rowid_ = sqlite3_column_int64(stmt_, 0);
    } else if (rc == SQLITE_DONE) {
        eof_ = true;
    } else {
        eof_ = true;
        db_.raise();
    }
}

int Recordset::recordCount() {
    QString sql = selectSql_;
    sql = QStringLiteral("SELECT count(*) FROM (%1)").arg(sql);
    sqlite3_stmt* stmt = db_.prepare(sql);
    if (keyed_)
        Bind(db_, stmt, 1, key_);
    int n = 0;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        n = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return n;
}

void Recordset::requireRow() const {
    if (eof_ || deleted_)
        throw EngineError(QStringLiteral("カレント レコードがありません。"));
}

Value Recordset::value(int i) const {
    requireRow();
    if (i < 0 || i >= fieldCount())
        throw EngineError(QStringLiteral("列番号 %1 はテーブル '%2' にありません。").arg(i).arg(table_));
    if (!written_.empty())
        return written_[i];
    const int col = i + 1;
    switch (sqlite3_column_type(stmt_, col)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return Value(static_cast<std::int64_t>(sqlite3_column_int64(stmt_, col)));
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(stmt_, col));
    default: {
        const QString text = Utf8(sqlite3_column_text(stmt_, col), sqlite3_column_bytes(stmt_, col));
        if (columns_[i].type == ColumnType::Date) {
            if (auto d = ParseDate(text))
                return Value(*d);
        }
        return Value(text);
    }
    }
}

QString Recordset::text(int i) const {
    requireRow();
    if (!written_.empty() || i < 0 || i >= fieldCount())
        return value(i).toText();
    const int col = i + 1;
    const int stored = sqlite3_column_type(stmt_, col);
    if (stored == SQLITE_NULL)
        return {};
    if (stored != SQLITE_TEXT)
        return value(i).toText();
    // Text straight from the engine's UTF-8. Dates are stored as yyyy-MM-dd[ HH:mm:ss]; the list shows yyyy/MM/dd
    // and drops a midnight time.
    QString t = Utf8(sqlite3_column_text(stmt_, col), sqlite3_column_bytes(stmt_, col));
    if (columns_[i].type == ColumnType::Date && t.size() >= 10 && t[4] == QLatin1Char('-') &&
        t[7] == QLatin1Char('-')) {
        t[4] = QLatin1Char('/');
        t[7] = QLatin1Char('/');
        if (t.endsWith(QLatin1String(" 00:00:00")))
            t.chop(9);
    }
    return t;
}

void Recordset::appendTexts(int columns, ListRow::Builder& row) const {
    requireRow();
    if (!written_.empty() || columns > fieldCount()) {
        for (int i = 0; i < columns; ++i)
            appendText(i, row);
        return;
    }
    for (int i = 0; i < columns; ++i)
        appendEngineText(i, row);
}

void Recordset::appendText(int i, ListRow::Builder& row) const {
    requireRow();
    if (!written_.empty() || i < 0 || i >= fieldCount()) {
        row.append(value(i).toText());
        return;
    }
    appendEngineText(i, row);
}

void Recordset::appendEngineText(int i, ListRow::Builder& row) const {
    char scratch[32];
    const std::string_view text = engineListText(i, scratch);
    row.append(text.data(), static_cast<int>(text.size()));
}

std::string_view Recordset::engineListText(int i, char (&scratch)[32]) const {
    // The engine's own text of the cell: Null gives no text, numbers their digits.
    const int col = i + 1;
    const ColumnType type = columns_[i].type;
    if ((type == ColumnType::Long || type == ColumnType::Short) && sqlite3_column_type(stmt_, col) == SQLITE_INTEGER) {
        // The engine would write the digits into a buffer it allocates for the cell; a list reads a million of them.
        const char* end = std::to_chars(scratch, scratch + sizeof scratch, sqlite3_column_int64(stmt_, col)).ptr;
        return {scratch, static_cast<std::size_t>(end - scratch)};
    }
    const char* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    if (bytes == nullptr)
        return {};
    const int size = sqlite3_column_bytes(stmt_, col);
    if (type == ColumnType::Date && size >= 10 && bytes[4] == '-' && bytes[7] == '-') {
        // Stored yyyy-MM-dd[ HH:mm:ss]; shown yyyy/MM/dd, a midnight time dropped.
        const int keep = (size == 19 && std::memcmp(bytes + 10, " 00:00:00", 9) == 0) ? 10 : std::min(size, 31);
        std::memcpy(scratch, bytes, static_cast<size_t>(keep));
        scratch[4] = scratch[7] = '/';
        return {scratch, static_cast<std::size_t>(keep)};
    }
    return {bytes, static_cast<std::size_t>(size)};
}

void Recordset::requireUnchanged(int i) const {
    requireRow();
    if (i < 0 || i >= fieldCount())
        throw EngineError(QStringLiteral("列番号 %1 はテーブル '%2' にありません。").arg(i).arg(table_));
    if (!written_.empty())
        throw EngineError(QStringLiteral("変更したレコードの列は読み直してください。"));
}

std::string_view Recordset::utf8Text(int i) const {
    requireUnchanged(i);
    const int col = i + 1;
    const char* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    if (bytes == nullptr)
        return {};
    return {bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))};
}

std::string_view Recordset::listUtf8(int i) const {
    requireUnchanged(i);
    return engineListText(i, listText_);
}

std::optional<std::int64_t> Recordset::wholeNumber(int i) const {
    requireRow();
    if (!written_.empty() || i < 0 || i >= fieldCount()) {
        const Value v = value(i);
        return v.kind() == Value::Kind::Integer ? std::optional(v.toInt()) : std::nullopt;
    }
    if (sqlite3_column_type(stmt_, i + 1) != SQLITE_INTEGER)
        return std::nullopt;
    return sqlite3_column_int64(stmt_, i + 1);
}

Value Recordset::coerce(const Column& column, const Value& v) {
    if (v.isNull()) {
        if (column.primaryKey)
            throw EngineError(QStringLiteral("主キーの列 '%1' に Null は入力できません。").arg(column.name));
        return v;
    }
    const auto mismatch = [&] {
        return EngineError(
            QStringLiteral("データ型変換エラー: 列 '%1' に「%2」は入力できません。").arg(column.name, v.toText()));
    };
    switch (column.type) {
    case ColumnType::Long:
    case ColumnType::Short: {
        const auto n = WholeNumber(v);
        const bool shortCol = column.type == ColumnType::Short;
        const std::int64_t lo =
            shortCol ? std::numeric_limits<std::int16_t>::min() : std::numeric_limits<std::int32_t>::min();
        const std::int64_t hi =
            shortCol ? std::numeric_limits<std::int16_t>::max() : std::numeric_limits<std::int32_t>::max();
        if (!n || *n < lo || *n > hi)
            throw mismatch();
        return Value(*n);
    }
    case ColumnType::Date: {
        if (v.kind() == Value::Kind::Date)
            return v;
        if (v.kind() == Value::Kind::Text) {
            if (auto d = ParseDate(v.toText()))
                return Value(*d);
        }
        throw mismatch();
    }
    case ColumnType::Text: {
        const QString t = v.toText();
        if (column.maxLength > 0 && t.size() > column.maxLength) {
            throw EngineError(QStringLiteral("列 '%1' に入力できるのは %2 文字までです（%3 文字）。")
                                  .arg(column.name)
                                  .arg(column.maxLength)
                                  .arg(t.size()));
        }
        return Value(t);
    }
    case ColumnType::Other:
        return v;
    }
    return v;
}

void Recordset::addNew() {
    if (mode_ != EditMode::None)
        cancelUpdate();
    buffer_.assign(columns_.size(), Value());
    mode_ = EditMode::Add;
}

void Recordset::edit() {
    requireRow();
    if (mode_ != EditMode::None)
        cancelUpdate();
    buffer_.clear();
    for (int i = 0; i < fieldCount(); ++i)
        buffer_.push_back(value(i));
    mode_ = EditMode::Edit;
}

void Recordset::setValue(int i, const Value& v) {
    if (mode_ == EditMode::None)
        throw EngineError(QStringLiteral("AddNew または Edit を実行していません。"));
    if (i < 0 || i >= fieldCount())
        throw EngineError(QStringLiteral("列番号 %1 はテーブル '%2' にありません。").arg(i).arg(table_));
    Value stored = v;
    // A Null key is only refused at update(), so a new row may fill its key after its other fields.
    if (!(v.isNull() && columns_[i].primaryKey))
        stored = coerce(columns_[i], v);
    buffer_[i] = stored;
}

void Recordset::update() {
    if (mode_ == EditMode::None)
        throw EngineError(QStringLiteral("AddNew または Edit を実行していません。"));
    // setValue has converted every value already; only a key left Null is still to be refused, before anything is
    // written.
    for (int i = 0; i < fieldCount(); ++i)
        if (columns_[i].primaryKey && buffer_[i].isNull())
            coerce(columns_[i], buffer_[i]);
    if (mode_ == EditMode::Add) {
        addRow();
        return;
    }
    QStringList sets;
    for (int i = 0; i < fieldCount(); ++i)
        sets << QStringLiteral("%1 = ?%2").arg(QuoteIdentifier(columns_[i].name)).arg(i + 1);
    sqlite3_stmt* stmt = db_.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                                         .arg(QuoteIdentifier(table_), sets.join(QLatin1String(", ")))
                                         .arg(fieldCount() + 1));
    Bind(db_, stmt, fieldCount() + 1, Value(rowid_));
    for (int i = 0; i < fieldCount(); ++i)
        Bind(db_, stmt, i + 1, buffer_[i]);
    RunToEnd(db_, stmt);
    written_ = buffer_;
    mode_ = EditMode::None;
    buffer_.clear();
}

// Adds the buffer as a new row. The statement is prepared once per recordset and reused, so that adding many rows
// (an import) does not parse the same SQL for each.
void Recordset::addRow() {
    if (insert_ == nullptr) {
        QStringList names, marks;
        for (int i = 0; i < fieldCount(); ++i) {
            names << QuoteIdentifier(columns_[i].name);
            marks << QStringLiteral("?%1").arg(i + 1);
        }
        insert_ = db_.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(QuoteIdentifier(table_), names.join(QLatin1String(", ")), marks.join(QLatin1String(", "))));
    }
    sqlite3_reset(insert_);
    sqlite3_clear_bindings(insert_);
    bound_.resize(columns_.size());
    for (int i = 0; i < fieldCount(); ++i)
        bindForAdd(i);
    RunAgain(db_, insert_);
    mode_ = EditMode::None;
    buffer_.clear();
}

// Texts are encoded into the column's own buffer and bound without a copy: the buffer stays as it is until the
// statement has run, and the bindings are cleared before it is written again.
void Recordset::bindForAdd(int i) {
    const Value& v = buffer_[i];
    if (v.kind() != Value::Kind::Text) {
        Bind(db_, insert_, i + 1, v);
        return;
    }
    const QString text = v.toText();
    std::string& out = bound_[i];
    out.resize(static_cast<std::size_t>(utf8_.requiredSpace(text.size())));
    const char* end = utf8_.appendToBuffer(out.data(), text);
    if (sqlite3_bind_text(insert_, i + 1, out.data(), static_cast<int>(end - out.data()), SQLITE_STATIC) != SQLITE_OK)
        db_.raise();
}

void Recordset::cancelUpdate() {
    mode_ = EditMode::None;
    buffer_.clear();
}

void Recordset::deleteCurrent() {
    requireRow();
    sqlite3_stmt* stmt = db_.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(QuoteIdentifier(table_)));
    Bind(db_, stmt, 1, Value(rowid_));
    RunToEnd(db_, stmt);
    deleted_ = true;
}

namespace {

// Pages of one piece of a database copy between two progress reports: a megabyte at the engine's default page size.
constexpr int PiecePages = 256;

} // namespace

bool CopyDatabase(Database& source, const QString& targetPath, const CopyProgress& progress) {
    auto target = Database::create(targetPath);
    const std::int64_t pageBytes = progress ? source.pageSize() : 0;
    sqlite3_backup* backup = sqlite3_backup_init(target->handle(), "main", source.handle(), "main");
    int rc = backup ? SQLITE_OK : sqlite3_errcode(target->handle());
    bool stopped = false;
    while (rc == SQLITE_OK) {
        // Without a report to make, one step copies the whole file.
        rc = sqlite3_backup_step(backup, progress ? PiecePages : -1);
        if (progress && (rc == SQLITE_OK || rc == SQLITE_DONE)) {
            const std::int64_t total = sqlite3_backup_pagecount(backup);
            if (!progress((total - sqlite3_backup_remaining(backup)) * pageBytes, total * pageBytes)) {
                stopped = rc == SQLITE_OK;
                break;
            }
        }
    }
    if (backup)
        sqlite3_backup_finish(backup);
    if (stopped) {
        target.reset();
        QFile::remove(targetPath);
        return false;
    }
    if (rc != SQLITE_DONE) {
        const QString why = QString::fromUtf8(sqlite3_errstr(rc));
        target.reset();
        QFile::remove(targetPath);
        // Said without the half-made file's name, which is gone; a full disk in words the user acts on.
        throw EngineError(rc == SQLITE_FULL ? QStringLiteral("ディスクの空きが足りません。")
                                            : QStringLiteral("詳細: %1").arg(why));
    }
    return true;
}

EngineTicks::EngineTicks(Database& db, std::function<void()> tick) : db_(db), tick_(std::move(tick)) {
    sqlite3_progress_handler(db_.handle(), 1 << 20, &EngineTicks::Tick, this);
}

EngineTicks::~EngineTicks() {
    sqlite3_progress_handler(db_.handle(), 0, nullptr, nullptr);
}

int EngineTicks::Tick(void* self) {
    static_cast<EngineTicks*>(self)->tick_();
    return 0; // go on
}

} // namespace quelm::platform
