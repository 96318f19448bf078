#include "exchange/SqliteInventory.h"

#include "platform/Database.h"

namespace quelm::exchange {

using platform::Value;

namespace {

// The SQLite form: the engine's own tables, opened read-only.
class SqliteTable : public InventoryTable {
public:
    explicit SqliteTable(std::unique_ptr<platform::Recordset> rs) : rs_(std::move(rs)) {}
    int columnCount() const override { return rs_->fieldCount(); }
    QString columnName(int i) const override { return rs_->column(i).name; }
    // A file damaged past its first pages fails only while its rows are read: that is the inventory's error too.
    bool next() override {
        try {
            if (started_)
                rs_->moveNext();
            started_ = true;
            return !rs_->eof();
        } catch (const platform::EngineError& e) {
            throw InventoryError(e.message());
        }
    }
    Value value(int i) const override {
        try {
            if (i < 0 || i >= rs_->fieldCount() || rs_->eof())
                return {};
            return rs_->value(i);
        } catch (const platform::EngineError& e) {
            throw InventoryError(e.message());
        }
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

} // namespace

std::unique_ptr<InventoryDatabase> OpenSqliteInventory(const QString& path) {
    try {
        return std::make_unique<SqliteDatabase>(platform::Database::openReadOnly(path));
    } catch (const platform::EngineError& e) {
        throw InventoryError(e.message());
    }
}

} // namespace quelm::exchange
