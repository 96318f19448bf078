#pragma once

#include "exchange/Migration.h"
#include "platform/Database.h"

#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

namespace quelm::exchange {

// An inventory database in SQLite form: its 管理テーブル read by position, and the tables its rows name.
class InventoryFile {
public:
    explicit InventoryFile(const QString& folder) : db_(platform::Database::create(InventoryPath(folder))) {
        QStringList columns;
        for (int c = 0; c < 42; ++c)
            columns << QStringLiteral("c%1 %2").arg(c).arg(c == 1 || c == 6 || c == 23 || c == 25 ? "LONG" : "TEXT");
        db_->execute(QStringLiteral("CREATE TABLE 管理テーブル (%1)").arg(columns.join(", ")));
    }
    // One category row; fields are (name, type word) pairs.
    void category(const QString& name, int offered, const QString& mainTable,
                  const std::vector<std::pair<QString, QString>>& mainFields, const QString& subTable = {},
                  const std::vector<std::pair<QString, QString>>& subFields = {}) {
        auto rs = db_->openTable("管理テーブル");
        rs->addNew();
        rs->setValue(1, platform::Value(offered));
        rs->setValue(2, platform::Value(name));
        rs->setValue(5, platform::Value(mainTable));
        rs->setValue(6, platform::Value(static_cast<int>(mainFields.size())));
        for (size_t k = 0; k < mainFields.size() && k < 8; ++k) {
            rs->setValue(7 + 2 * k, platform::Value(mainFields[k].first));
            rs->setValue(8 + 2 * k, platform::Value(mainFields[k].second));
        }
        rs->setValue(23, platform::Value(subTable.isEmpty() ? 0 : 1));
        if (!subTable.isEmpty()) {
            rs->setValue(24, platform::Value(subTable));
            rs->setValue(25, platform::Value(static_cast<int>(subFields.size())));
            for (size_t k = 0; k < subFields.size() && k < 8; ++k) {
                rs->setValue(26 + 2 * k, platform::Value(subFields[k].first));
                rs->setValue(27 + 2 * k, platform::Value(subFields[k].second));
            }
        }
        rs->update();
    }
    // ＣＤ在庫: 商品 (品名 TEXT, 数量 LONG, 入荷日 DATE, key) of three records, and 曲目 (曲名 TEXT, 時間 LONG,
    // owner key) whose two rows of 200 lie apart, between a row owned by nobody and one with a Null owner.
    void addGoods() {
        category("ＣＤ在庫", 1, "商品", {{"品名", "TEXT"}, {"数量", "LONG"}, {"入荷日", "DATE"}}, "曲目",
                 {{"曲名", "TEXT"}, {"時間", "LONG"}});
        db_->execute("CREATE TABLE 商品 (品名 TEXT, 数量 LONG, 入荷日 DATE, 商品ID LONG)");
        db_->execute("INSERT INTO 商品 VALUES ('第九', 5, '1999-12-31', 100), "
                     "(NULL, 7, '2001-02-03 10:20:30', 200), ('四季', NULL, NULL, 300)");
        db_->execute("CREATE TABLE 曲目 (曲名 TEXT, 時間 LONG, 商品ID LONG)");
        db_->execute("INSERT INTO 曲目 VALUES ('春', 1, 999), ('第一楽章', 600, 200), ('x', 2, NULL), "
                     "('第二楽章', NULL, 200)");
    }
    platform::Database& db() { return *db_; }

private:
    std::unique_ptr<platform::Database> db_;
};

} // namespace quelm::exchange
