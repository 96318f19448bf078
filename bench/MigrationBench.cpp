// Benchmark of the migration from the inventory database: N inventory main records with ten sub rows each, into an
// empty category.
#include "exchange/InventoryFile.h"
#include "exchange/Migration.h"
#include "platform/Database.h"
#include "store/Catalogue.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace {

using namespace quelm;

constexpr int SubsPerMain = 10;

// Writes an inventory database of mains main rows (8 fields and a key) and SubsPerMain sub rows each, the sub rows
// of all owners interleaved as a shop would have entered them. Straight SQL: only the migration is measured.
void WriteInventory(const QString& folder, int mains) {
    auto db = platform::Database::create(exchange::InventoryPath(folder));
    QStringList columns;
    for (int c = 0; c < 42; ++c)
        columns << QStringLiteral("c%1 %2").arg(c).arg(c == 1 || c == 6 || c == 23 || c == 25 ? "LONG" : "TEXT");
    db->execute(QStringLiteral("CREATE TABLE 管理テーブル (%1)").arg(columns.join(", ")));
    db->execute("INSERT INTO 管理テーブル (c1, c2, c5, c6, c7, c8, c9, c10, c11, c12, c13, c14, c23, c24, c25, c26, "
                "c27, c28, c29, c30, c31) VALUES (1, 'CD在庫', '商品', 4, '品名', 'TEXT', '演奏者', 'TEXT', '数量', "
                "'LONG', '入荷日', 'DATE', 1, '曲目', 3, '曲名', 'TEXT', '時間', 'LONG', '作曲者', 'TEXT')");
    db->execute("CREATE TABLE 商品 (品名 TEXT, 演奏者 TEXT, 数量 LONG, 入荷日 DATE, 商品ID LONG)");
    db->execute("CREATE TABLE 曲目 (曲名 TEXT, 時間 LONG, 作曲者 TEXT, 商品ID LONG)");
    sqlite3* h = db->handle();
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* main = db->prepare("INSERT INTO 商品 VALUES (?1, ?2, ?3, ?4, ?5)");
    for (int k = 1; k <= mains; ++k) {
        const QByteArray title = QStringLiteral("交響曲第%1番 ハ短調").arg(k).toUtf8();
        sqlite3_bind_text(main, 1, title.constData(), static_cast<int>(title.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(main, 2, "ベルリン・フィルハーモニー管弦楽団", -1, SQLITE_STATIC);
        sqlite3_bind_int(main, 3, k % 50);
        sqlite3_bind_text(main, 4, "2009-04-06", -1, SQLITE_STATIC);
        sqlite3_bind_int(main, 5, k * 10);
        sqlite3_step(main);
        sqlite3_reset(main);
    }
    sqlite3_finalize(main);
    sqlite3_stmt* sub = db->prepare("INSERT INTO 曲目 VALUES (?1, ?2, ?3, ?4)");
    for (int t = 1; t <= SubsPerMain; ++t)
        for (int k = 1; k <= mains; ++k) {
            const QByteArray track = QStringLiteral("第%1楽章 アレグロ・コン・ブリオ").arg(t).toUtf8();
            sqlite3_bind_text(sub, 1, track.constData(), static_cast<int>(track.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(sub, 2, 300 + t);
            sqlite3_bind_text(sub, 3, "ベートーヴェン", -1, SQLITE_STATIC);
            sqlite3_bind_int(sub, 4, k * 10);
            sqlite3_step(sub);
            sqlite3_reset(sub);
        }
    sqlite3_finalize(sub);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
}

struct Inventory {
    QTemporaryDir dir;
};

Inventory& InventoryOf(int mains) {
    static std::map<int, std::unique_ptr<Inventory>> made;
    auto& slot = made[mains];
    if (!slot) {
        slot = std::make_unique<Inventory>();
        WriteInventory(slot->dir.path(), mains);
    }
    return *slot;
}

void BM_Migrate(benchmark::State& st) {
    const int mains = static_cast<int>(st.range(0));
    Inventory& inventory = InventoryOf(mains);
    for (auto _ : st) {
        st.PauseTiming();
        QTemporaryDir target;
        store::EnsureCatalogue(target.path());
        store::AppState state;
        state.dataFolder = target.path();
        state.config = store::LoadConfig(*store::OpenCatalogue(state.databasePath()));
        state.CurrentSection = store::FirstSlotSection;
        st.ResumeTiming();

        auto source = exchange::OpenInventoryFile(exchange::InventoryPath(inventory.dir.path()));
        const exchange::InventoryCategory category = exchange::ReadInventoryCategory(*source, "CD在庫");
        exchange::MappingBoard board;
        board.reset(category);
        using exchange::Place;
        board.drop({Place::List1, 0}, {Place::MainSlot, 0});  // 品名
        board.drop({Place::List1, 0}, {Place::MainSlot, 1});  // 演奏者
        board.drop({Place::List1, 0}, {Place::MainSlot, 10}); // 数量
        board.drop({Place::List1, 0}, {Place::MainSlot, 12}); // 入荷日
        board.drop({Place::List2, 0}, {Place::SubSlot, 0});   // 曲名
        board.drop({Place::List2, 0}, {Place::SubSlot, 8});   // 時間
        board.drop({Place::List2, 0}, {Place::SubSlot, 1});   // 作曲者
        const exchange::MigrationResult r = exchange::Migrate(state, *source, category, board);
        if (!r.ok || r.mainCount != mains || r.subCount != mains * SubsPerMain)
            st.SkipWithError("migration failed");
        st.PauseTiming();
        state = {};
        st.ResumeTiming();
    }
    st.SetItemsProcessed(st.iterations() * mains * (1 + SubsPerMain));
}
BENCHMARK(BM_Migrate)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
