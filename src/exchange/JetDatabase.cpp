#include "exchange/JetDatabase.h"

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <vector>

// glib first: mdbtools.h uses its types without including it.
#include <glib.h>
#include <mdbtools.h>

namespace quelm::exchange {

using platform::Value;

namespace {

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
    JetTable(MdbHandle* mdb, MdbTableDef* table) : mdb_(mdb), table_(table), fields_(MaxJetColumns) {
        mdb_read_columns(table_);
        mdb_rewind_table(table_);
        for (unsigned i = 0; i < table_->num_cols; ++i)
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
                break;
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

} // namespace

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

std::unique_ptr<InventoryDatabase> OpenJetDatabase(const QString& path) {
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

} // namespace quelm::exchange
