#include "exchange/JetDatabase.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <sys/resource.h>
#include <vector>

// glib first: mdbtools.h uses its types without including it.
#include <glib.h>
#include <mdbtools.h>

namespace quelm::exchange {

using platform::Value;

namespace {

const QString DamagedMessage = QStringLiteral("Access形式のデータベースが壊れているため読めません。（%1）");

// Access stores True as -1.
constexpr int JetTrue = -1;
// Row offsets on a data page keep flags in their top bits.
constexpr int RowOffsetMask = 0x1fff;
constexpr int MaxJetColumns = 256;

template <typename T> T ReadLittle(const unsigned char* p) {
    return qFromLittleEndian<T>(p);
}

QString TakeString(char* s) {
    if (s == nullptr)
        return {};
    QString text = QString::fromUtf8(s);
    g_free(s);
    return text;
}

class JetTable : public InventoryTable {
public:
    // table has its columns read.
    JetTable(MdbHandle* mdb, MdbTableDef* table) : mdb_(mdb), table_(table), fields_(MaxJetColumns) {
        mdb_rewind_table(table_);
        // A damaged definition may count more columns than it describes.
        const unsigned count = std::min<unsigned>(table_->num_cols, table_->columns->len);
        for (unsigned i = 0; i < count; ++i)
            columns_.push_back(static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, i)));
        cells_.resize(columns_.size());
    }
    ~JetTable() override { mdb_free_tabledef(table_); }
    JetTable(const JetTable&) = delete;
    JetTable& operator=(const JetTable&) = delete;

    int columnCount() const override { return static_cast<int>(columns_.size()); }
    QString columnName(int i) const override { return QString::fromUtf8(columns_.at(i)->name); }

    bool next() override {
        if (!mdb_fetch_row(table_))
            return false;
        readRow();
        return true;
    }

    Value value(int i) const override {
        if (i < 0 || i >= static_cast<int>(cells_.size()))
            return {};
        return cells_[i];
    }

private:
    // libmdb tells a Null cell from an empty one only while it cracks the row, so the row just fetched (still in
    // the page buffer) is cracked once more here and every cell is converted by its column type.
    void readRow() {
        std::fill(cells_.begin(), cells_.end(), Value());
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb_, static_cast<int>(table_->cur_row) - 1, &start, &size) != 0)
            return;
        const int count = mdb_crack_row(table_, start & RowOffsetMask, size, fields_.data());
        for (int f = 0; f < count && f < MaxJetColumns; ++f) {
            const MdbField& field = fields_[f];
            const int c = field.colnum;
            if (c < 0 || c >= static_cast<int>(cells_.size()))
                continue;
            cells_[c] = convert(columns_[c], field);
        }
    }

    Value convert(MdbColumn* col, const MdbField& field) const {
        // A Yes/No column keeps its value in the null mask: a set bit is Yes.
        if (col->col_type == MDB_BOOL)
            return Value(field.is_null ? 0 : JetTrue);
        if (field.is_null)
            return {};
        const unsigned char* p = mdb_->pg_buf + field.start;
        const int size = field.siz;
        const auto fits = [&](int bytes) { return size >= bytes && field.start + bytes <= mdb_->fmt->pg_size; };
        switch (col->col_type) {
        case MDB_BYTE:
            return fits(1) ? Value(static_cast<int>(p[0])) : Value();
        case MDB_INT:
            return fits(2) ? Value(static_cast<int>(ReadLittle<qint16>(p))) : Value();
        case MDB_LONGINT:
            return fits(4) ? Value(static_cast<std::int64_t>(ReadLittle<qint32>(p))) : Value();
        case MDB_MONEY:
            return fits(8) ? Value(static_cast<double>(ReadLittle<qint64>(p)) / 10000.0) : Value();
        case MDB_FLOAT: {
            if (!fits(4))
                return {};
            const quint32 bits = ReadLittle<quint32>(p);
            float f;
            std::memcpy(&f, &bits, sizeof f);
            return Value(static_cast<double>(f));
        }
        case MDB_DOUBLE:
        case MDB_DATETIME: {
            if (!fits(8))
                return {};
            const quint64 bits = ReadLittle<quint64>(p);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            if (col->col_type == MDB_DOUBLE)
                return Value(d);
            const QDateTime when = JetDateTime(d);
            return when.isValid() ? Value(when) : Value();
        }
        case MDB_TEXT:
        case MDB_MEMO:
        case MDB_NUMERIC:
        case MDB_REPID:
            return Value(TakeString(mdb_col_to_string(mdb_, mdb_->pg_buf, field.start, col->col_type, size)));
        default:
            // Pictures and other binary objects have no text form.
            return {};
        }
    }

    MdbHandle* mdb_;
    MdbTableDef* table_;
    std::vector<MdbColumn*> columns_;
    std::vector<MdbField> fields_;
    std::vector<Value> cells_;
};

class JetDatabase : public InventoryDatabase {
public:
    explicit JetDatabase(MdbHandle* mdb) : mdb_(mdb) {}
    ~JetDatabase() override { mdb_close(mdb_); }
    JetDatabase(const JetDatabase&) = delete;
    JetDatabase& operator=(const JetDatabase&) = delete;

    Format format() const override {
        switch (mdb_->f->jet_version) {
        case MDB_VER_JET3:
            return Format::Jet3;
        case MDB_VER_JET4:
            return Format::Jet4;
        default:
            return Format::Ace;
        }
    }

    QStringList tableNames() override {
        QStringList names;
        for (MdbCatalogEntry* entry : userTables())
            names << QString::fromUtf8(entry->object_name);
        return names;
    }

    std::unique_ptr<InventoryTable> openTable(const QString& name) override {
        for (MdbCatalogEntry* entry : userTables()) {
            if (!SameTableName(QString::fromUtf8(entry->object_name), name))
                continue;
            MdbTableDef* table = mdb_read_table(entry);
            if (table == nullptr)
                throw InventoryError(DamagedMessage.arg(QStringLiteral("テーブル「%1」を読めません").arg(name)));
            if (mdb_read_columns(table) == nullptr || table->columns == nullptr) {
                mdb_free_tabledef(table);
                throw InventoryError(DamagedMessage.arg(QStringLiteral("テーブル「%1」の列を読めません").arg(name)));
            }
            return std::make_unique<JetTable>(mdb_, table);
        }
        throw InventoryError(QStringLiteral("テーブル '%1' が見つかりません。").arg(name));
    }

private:
    std::vector<MdbCatalogEntry*> userTables() {
        std::vector<MdbCatalogEntry*> tables;
        for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
            if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
                tables.push_back(entry);
        }
        return tables;
    }

    MdbHandle* mdb_;
};

// Jet 3 keeps texts in the code page its header names. libmdb would decode a Japanese file as strict Shift_JIS,
// which fails on characters every Japanese Windows writes (①, ～, 髙, ㈱), so the decoder is set up again with the
// Windows code page by its number. The variable is libmdb's own way to be told; it is put back at once.
void UseWindowsCodePage(MdbHandle* mdb) {
    if (mdb->f->jet_version != MDB_VER_JET3 || mdb->f->code_page == 0)
        return;
    const QByteArray charset = "CP" + QByteArray::number(mdb->f->code_page);
    iconv_t probe = iconv_open("UTF-8", charset.constData());
    if (probe == reinterpret_cast<iconv_t>(-1))
        return;
    iconv_close(probe);
    const QByteArray previous = qgetenv("MDB_JET3_CHARSET");
    const bool hadPrevious = qEnvironmentVariableIsSet("MDB_JET3_CHARSET");
    qputenv("MDB_JET3_CHARSET", charset);
    mdb_iconv_close(mdb);
    mdb_iconv_init(mdb);
    if (hadPrevious)
        qputenv("MDB_JET3_CHARSET", previous);
    else
        qunsetenv("MDB_JET3_CHARSET");
}

// The properties of a catalogue entry are kept in a blob: "KKD" (Jet 3) or "MR2" (Jet 4), then records of
// [length 4][kind 2][data]. Kind 0x80 lists the property names, each [length 2][name]; kinds 0 and 1 hold
// values: [length 4][name length 2][name], then per value [length 2][flag 1][type 1][name number 2][size 2][value].
// libmdb takes every length as it stands, so these check that each one stays within what holds it and moves on.
class PropertyBlob {
public:
    PropertyBlob(const unsigned char* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool whole() {
        if (bytes_ == nullptr || size_ < 4 ||
            (std::memcmp(bytes_, "KKD", 4) != 0 && std::memcmp(bytes_, "MR2", 4) != 0))
            return false;
        constexpr size_t RecordHead = 6;
        for (size_t at = 4; at < size_;) {
            if (size_ - at < RecordHead)
                return false;
            const quint32 length = ReadLittle<quint32>(bytes_ + at);
            if (length < RecordHead || length > size_ - at)
                return false;
            const quint16 kind = ReadLittle<quint16>(bytes_ + at + 4);
            const size_t from = at + RecordHead, to = at + length;
            if (kind == 0x80 && !namesWhole(from, to))
                return false;
            if ((kind == 0 || kind == 1) && !valuesWhole(from, to))
                return false;
            at = to;
        }
        return true;
    }

private:
    bool namesWhole(size_t at, size_t end) {
        names_ = 0;
        while (at < end) {
            if (end - at < 2)
                return false;
            const size_t length = ReadLittle<quint16>(bytes_ + at);
            at += 2;
            if (length > end - at)
                return false;
            at += length;
            ++names_;
        }
        return true;
    }

    bool valuesWhole(size_t at, size_t end) const {
        if (end - at < 6)
            return false;
        const size_t nameLength = ReadLittle<quint16>(bytes_ + at + 4);
        at += 6;
        if (nameLength > end - at)
            return false;
        at += nameLength;
        constexpr size_t ValueHead = 8;
        while (at < end) {
            if (end - at < ValueHead)
                return false;
            const size_t length = ReadLittle<quint16>(bytes_ + at);
            const int type = bytes_[at + 3];
            const size_t name = ReadLittle<quint16>(bytes_ + at + 4);
            const size_t size = std::max(ReadLittle<quint16>(bytes_ + at + 6), FixedSize(type));
            if (length < ValueHead || length > end - at || size > length - ValueHead || name >= names_)
                return false;
            at += length;
        }
        return true;
    }

    // What libmdb reads of a value of a fixed-size type, whatever size it is given.
    static quint16 FixedSize(int type) {
        switch (type) {
        case MDB_BOOL:
        case MDB_BYTE:
            return 1;
        case MDB_INT:
            return 2;
        case MDB_LONGINT:
        case MDB_FLOAT:
            return 4;
        case MDB_MONEY:
        case MDB_DOUBLE:
        case MDB_DATETIME:
            return 8;
        case MDB_REPID:
            return 16;
        case MDB_NUMERIC:
            return 17;
        default:
            return 0;
        }
    }

    const unsigned char* bytes_;
    size_t size_;
    size_t names_ = 0;
};

} // namespace

} // namespace quelm::exchange

// libmdb reads the properties of every catalogue entry with this function, which trusts the lengths in the blob: a
// length of 0 keeps it on the same record or value for ever, allocating as it goes, and a long one reads past the
// blob. Defined here, it takes the place of libmdb's own for libmdb's calls too; a damaged blob is passed over as
// libmdb passes over one of an unknown kind (no properties, which the reader does not use), a whole one goes to
// libmdb's function.
extern "C" GPtrArray* mdb_kkd_to_props(MdbHandle* mdb, void* kkd, size_t len) {
    using Reader = GPtrArray* (*)(MdbHandle*, void*, size_t);
    static const auto libmdbReader = reinterpret_cast<Reader>(dlsym(RTLD_NEXT, "mdb_kkd_to_props"));
    if (libmdbReader == nullptr || !quelm::exchange::PropertyBlob(static_cast<const unsigned char*>(kkd), len).whole())
        return nullptr;
    return libmdbReader(mdb, kkd, len);
}

namespace quelm::exchange {

QDateTime JetDateTime(double serial) {
    if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6)
        return {};
    const double day = std::trunc(serial);
    std::int64_t seconds = std::llround(std::fabs(serial - day) * 86400.0);
    QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(day));
    if (seconds >= 86400) {
        seconds -= 86400;
        date = date.addDays(1);
    }
    return QDateTime(date, QTime(0, 0).addSecs(static_cast<int>(seconds)));
}

namespace {

// Opens the file through libmdb in this process: only the reader program does.
std::unique_ptr<InventoryDatabase> OpenJetHere(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    MdbHandle* mdb = mdb_open(local.constData(), MDB_NOFLAGS);
    if (mdb == nullptr)
        throw InventoryError(QStringLiteral("Access形式のデータベース '%1' を読めません。").arg(path));
    auto db = std::make_unique<JetDatabase>(mdb);
    UseWindowsCodePage(mdb);
    if (mdb_read_catalog(mdb, MDB_ANY) == nullptr)
        throw InventoryError(QStringLiteral("Access形式のデータベース '%1' を読めません。").arg(path));
    return db;
}

// ---------------------------------------------------------------- the dump

// What the reader writes: a header, then per table its name, its columns and its rows, each row its cells, and an
// end; or an error message. Every count is checked on reading, so a cut or damaged dump is refused, not guessed at.
constexpr quint32 DumpMagic = 0x514d4442; // "QMDB"
constexpr quint32 DumpVersion = 1;
enum class DumpTag : quint8 { End = 0, Table = 1, Row = 2, Error = 9 };

void WriteValue(QDataStream& out, const Value& v) {
    out << static_cast<quint8>(v.kind());
    switch (v.kind()) {
    case Value::Kind::Null:
        break;
    case Value::Kind::Integer:
        out << static_cast<qint64>(v.toInt());
        break;
    case Value::Kind::Real:
        out << v.toReal();
        break;
    case Value::Kind::Text:
        out << v.toText();
        break;
    case Value::Kind::Date:
        out << v.toDate();
        break;
    }
}

std::optional<Value> ReadValue(QDataStream& in) {
    quint8 kind = 0;
    in >> kind;
    switch (static_cast<Value::Kind>(kind)) {
    case Value::Kind::Null:
        return Value();
    case Value::Kind::Integer: {
        qint64 n = 0;
        in >> n;
        return Value(static_cast<std::int64_t>(n));
    }
    case Value::Kind::Real: {
        double d = 0;
        in >> d;
        return Value(d);
    }
    case Value::Kind::Text: {
        QString t;
        in >> t;
        return Value(t);
    }
    case Value::Kind::Date: {
        QDateTime d;
        in >> d;
        return Value(d);
    }
    }
    return std::nullopt;
}

struct DumpedTable {
    QString name;
    QStringList columns;
    std::vector<std::vector<Value>> rows;
};

class DumpedRows : public InventoryTable {
public:
    explicit DumpedRows(const DumpedTable& table) : table_(table) {}
    int columnCount() const override { return static_cast<int>(table_.columns.size()); }
    QString columnName(int i) const override { return table_.columns.value(i); }
    bool next() override { return ++row_ < table_.rows.size(); }
    Value value(int i) const override {
        if (row_ >= table_.rows.size() || i < 0 || i >= static_cast<int>(table_.rows[row_].size()))
            return {};
        return table_.rows[row_][i];
    }

private:
    const DumpedTable& table_;
    size_t row_ = static_cast<size_t>(-1);
};

class DumpedDatabase : public InventoryDatabase {
public:
    DumpedDatabase(Format format, std::vector<DumpedTable> tables) : format_(format), tables_(std::move(tables)) {}
    Format format() const override { return format_; }
    QStringList tableNames() override {
        QStringList names;
        for (const DumpedTable& t : tables_)
            names << t.name;
        return names;
    }
    std::unique_ptr<InventoryTable> openTable(const QString& name) override {
        for (const DumpedTable& t : tables_)
            if (SameTableName(t.name, name))
                return std::make_unique<DumpedRows>(t);
        throw InventoryError(QStringLiteral("テーブル '%1' が見つかりません。").arg(name));
    }

private:
    Format format_;
    std::vector<DumpedTable> tables_;
};

// ---------------------------------------------------------------- the reader program

// The reader beside this program (the build folder, or a private folder of the installed package).
QString ReaderProgram() {
    const QString named = qEnvironmentVariable("QUELM_MDBREADER");
    if (!named.isEmpty())
        return named;
    const QStringList places{
        QCoreApplication::applicationDirPath() + QStringLiteral("/quelm-mdbreader"),
#ifdef QUELM_MDBREADER_FROM_BIN
        // Installed: the package's private folder, found from the program's own folder whatever the prefix.
        QCoreApplication::applicationDirPath() + QStringLiteral("/" QUELM_MDBREADER_FROM_BIN),
#endif
#ifdef QUELM_MDBREADER_BUILD
        QStringLiteral(QUELM_MDBREADER_BUILD),
#endif
    };
    for (const QString& place : places)
        if (QFileInfo(place).isExecutable())
            return place;
    return {};
}

// A dump larger than this is no inventory database's.
constexpr qsizetype MaxDumpBytes = qsizetype(1) << 29;

} // namespace

int WriteJetDump(const QString& path, QIODevice& device) {
    QDataStream out(&device);
    out.setVersion(QDataStream::Qt_6_0);
    out << DumpMagic << DumpVersion;
    bool formatWritten = false;
    try {
        const std::unique_ptr<InventoryDatabase> db = OpenJetHere(path);
        out << static_cast<qint32>(db->format());
        formatWritten = true;
        for (const QString& name : db->tableNames()) {
            const std::unique_ptr<InventoryTable> table = db->openTable(name);
            out << static_cast<quint8>(DumpTag::Table) << name << static_cast<qint32>(table->columnCount());
            for (int c = 0; c < table->columnCount(); ++c)
                out << table->columnName(c);
            while (table->next()) {
                out << static_cast<quint8>(DumpTag::Row);
                for (int c = 0; c < table->columnCount(); ++c)
                    WriteValue(out, table->value(c));
            }
        }
        out << static_cast<quint8>(DumpTag::End);
        return 0;
    } catch (const InventoryError& e) {
        // After the format the error comes in place of a tag: a zero there would read as the end of a whole dump,
        // and the tables written before it as the whole file.
        if (!formatWritten)
            out << static_cast<qint32>(0);
        out << static_cast<quint8>(DumpTag::Error) << e.message();
        return 1;
    }
}

std::unique_ptr<InventoryDatabase> ReadJetDump(const QByteArray& dump) {
    QDataStream in(dump);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, version = 0;
    qint32 format = 0;
    in >> magic >> version >> format;
    const auto damaged = [] { return InventoryError(DamagedMessage.arg(QStringLiteral("読込みの結果が不完全です"))); };
    if (magic != DumpMagic || version != DumpVersion || format < 0 || format > 3)
        throw damaged();
    std::vector<DumpedTable> tables;
    for (;;) {
        quint8 tag = 0;
        in >> tag;
        if (in.status() != QDataStream::Ok)
            throw damaged();
        if (tag == static_cast<quint8>(DumpTag::End))
            break;
        if (tag == static_cast<quint8>(DumpTag::Error)) {
            QString message;
            in >> message;
            throw InventoryError(in.status() == QDataStream::Ok ? message : DamagedMessage.arg(QString()));
        }
        if (tag == static_cast<quint8>(DumpTag::Row) && !tables.empty()) {
            std::vector<Value> row;
            for (qsizetype c = 0; c < tables.back().columns.size(); ++c) {
                const std::optional<Value> v = ReadValue(in);
                if (!v)
                    throw damaged();
                row.push_back(*v);
            }
            tables.back().rows.push_back(std::move(row));
            continue;
        }
        if (tag != static_cast<quint8>(DumpTag::Table))
            throw damaged();
        DumpedTable table;
        qint32 columns = 0;
        in >> table.name >> columns;
        if (columns < 0 || columns > MaxJetColumns)
            throw damaged();
        for (qint32 c = 0; c < columns; ++c) {
            QString column;
            in >> column;
            table.columns << column;
        }
        tables.push_back(std::move(table));
    }
    return std::make_unique<DumpedDatabase>(static_cast<InventoryDatabase::Format>(format), std::move(tables));
}

std::unique_ptr<InventoryDatabase> OpenJetDatabase(const QString& path) {
    const QString reader = ReaderProgram();
    if (reader.isEmpty())
        throw InventoryError(
            QStringLiteral("Access形式のデータベースを読むプログラム（quelm-mdbreader）が見つかりません。"));
    QProcess process;
    process.setProgram(reader);
    process.setArguments({path});
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setChildProcessModifier([] {
#if !defined(__SANITIZE_ADDRESS__)
        // The reader may use this much memory; a damaged file that makes libmdb grow meets the limit and ends it.
        // (A reader built with the address sanitizer reserves terabytes of address space up front: it keeps only
        // the time limits.)
        constexpr rlim_t memoryBytes = rlim_t(1) << 30;
        const rlimit memory{memoryBytes, memoryBytes};
        setrlimit(RLIMIT_AS, &memory);
#endif
        const rlimit core{0, 0};
        setrlimit(RLIMIT_CORE, &core);
    });
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted())
        throw InventoryError(QStringLiteral("Access形式のデータベースを読むプログラムを起動できません。"));

    // The reader's output is taken as it comes; while it works the windows keep painting.
    QByteArray dump;
    QElapsedTimer total, quiet;
    total.start();
    quiet.start();
    QString stopped;
    while (process.state() != QProcess::NotRunning) {
        if (process.waitForReadyRead(50) || process.bytesAvailable() > 0) {
            dump += process.readAllStandardOutput();
            quiet.restart();
        }
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (quiet.elapsed() > JetReaderQuietMs || total.elapsed() > JetReaderTotalMs)
            stopped = QStringLiteral("読込みが終わりません");
        else if (dump.size() > MaxDumpBytes)
            stopped = QStringLiteral("データが大きすぎます");
        if (!stopped.isEmpty()) {
            process.kill();
            process.waitForFinished(1000);
            throw InventoryError(DamagedMessage.arg(stopped));
        }
    }
    dump += process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit)
        throw InventoryError(DamagedMessage.arg(QStringLiteral("読込みが異常終了しました")));
    auto db = ReadJetDump(dump);
    // A failed reader has written why, which ReadJetDump raises; should its output still read as a whole dump, its
    // exit code refuses it.
    if (process.exitCode() != 0)
        throw InventoryError(DamagedMessage.arg(QStringLiteral("読込みが異常終了しました")));
    return db;
}

} // namespace quelm::exchange
