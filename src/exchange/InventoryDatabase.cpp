#include "exchange/InventoryDatabase.h"

#include "exchange/JetDatabase.h"
#include "platform/Database.h"

#include <QFile>
#include <QFileInfo>

namespace quelm::exchange {

using platform::Value;

namespace {

// The SQLite form: the engine's own tables, opened read-only.
class SqliteTable : public InventoryTable {
public:
    explicit SqliteTable(std::unique_ptr<platform::Recordset> rs) : rs_(std::move(rs)) {}
    int columnCount() const override { return rs_->fieldCount(); }
    QString columnName(int i) const override { return rs_->column(i).name; }
    bool next() override {
        if (started_)
            rs_->moveNext();
        started_ = true;
        return !rs_->eof();
    }
    Value value(int i) const override {
        if (i < 0 || i >= rs_->fieldCount() || rs_->eof())
            return {};
        return rs_->value(i);
    }

private:
    std::unique_ptr<platform::Recordset> rs_;
    bool started_ = false;
};

class SqliteDatabase : public InventoryDatabase {
public:
    explicit SqliteDatabase(std::unique_ptr<platform::Database> db) : db_(std::move(db)) {}
    Format format() const override { return Format::Sqlite; }
    QStringList tableNames() override {
        try {
            return db_->tableNames();
        } catch (const platform::EngineError& e) {
            throw InventoryError(e.message());
        }
    }
    std::unique_ptr<InventoryTable> openTable(const QString& name) override {
        try {
            if (!db_->tableExists(name))
                throw InventoryError(QStringLiteral("テーブル '%1' が見つかりません。").arg(name));
            return std::make_unique<SqliteTable>(db_->openTable(name));
        } catch (const platform::EngineError& e) {
            throw InventoryError(e.message());
        }
    }

private:
    std::unique_ptr<platform::Database> db_;
};

enum class Kind { Sqlite, Jet, Unknown };

Kind KindOf(const QByteArray& head) {
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return Kind::Sqlite;
    // Jet and its successor name themselves at offset 4.
    const QByteArray tag = head.mid(4, 15);
    if (tag == QByteArrayLiteral("Standard Jet DB") || tag == QByteArrayLiteral("Standard ACE DB"))
        return Kind::Jet;
    return Kind::Unknown;
}

} // namespace

std::unique_ptr<InventoryDatabase> InventoryDatabase::open(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw InventoryError(QStringLiteral("データベース '%1' が見つかりません。").arg(path));
    const QByteArray head = file.read(32);
    file.close();
    switch (KindOf(head)) {
    case Kind::Sqlite:
        try {
            return std::make_unique<SqliteDatabase>(platform::Database::openReadOnly(path));
        } catch (const platform::EngineError& e) {
            throw InventoryError(e.message());
        }
    case Kind::Jet:
        return OpenJetDatabase(path);
    case Kind::Unknown:
        break;
    }
    throw InventoryError(QStringLiteral("'%1' はデータベースではありません。").arg(path));
}

bool SameTableName(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        const QChar x = a[i], y = b[i];
        if (x != y && !(x.unicode() < 128 && y.unicode() < 128 && x.toLower() == y.toLower()))
            return false;
    }
    return true;
}

bool InventoryDatabase::hasTable(const QString& name) {
    const QStringList names = tableNames();
    return std::any_of(names.begin(), names.end(), [&](const QString& t) { return SameTableName(t, name); });
}

} // namespace quelm::exchange
