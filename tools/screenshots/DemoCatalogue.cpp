#include "DemoCatalogue.h"

#include "platform/Database.h"
#include "store/Catalogue.h"
#include "store/CategoryConfig.h"
#include "store/ListTables.h"

#include <QDir>
#include <QFile>

namespace quelm::shots {

namespace {

using platform::Value;

struct Disc {
    QStringList texts; // fields 1–10 and 15
    int discs;
    int price;
    QDate bought;
    QStringList tracks;
};

const QList<Disc>& Discs() {
    static const QList<Disc> discs{
        {{"交響曲第９番", "ベルリン・フィル", "クラシック", "ドイツ・グラモフォン", "POCG-1001", "ベートーヴェン",
          "カラヤン", "ベルリン・フィルハーモニー管弦楽団", "1962", "棚Ａ－１", "名盤"},
         1,
         2800,
         QDate(2009, 4, 6),
         {"第１楽章", "第２楽章", "第３楽章", "第４楽章「歓喜に寄す」"}},
        {{"ＡＢＢＡ ゴールド", "ABBA", "ポップス", "Polydor", "POCP-1234", "", "", "", "1992", "棚Ｂ－２", ""},
         1,
         2500,
         QDate(2010, 12, 24),
         {"Dancing Queen", "Knowing Me, Knowing You", "Take a Chance on Me"}},
        {{"ゴルトベルク変奏曲", "グレン・グールド", "クラシック", "ソニー", "SRCR-2001", "バッハ", "", "グールド",
          "1981", "棚Ａ－３", "デジタル録音"},
         1,
         1800,
         QDate(2016, 2, 29),
         {"アリア", "第１変奏", "第２変奏"}},
        {{"冬のソナタ", "オリジナル・サウンドトラック", "サウンドトラック", "ポニーキャニオン", "PCCA-0001", "", "", "",
          "2002", "棚Ｃ－１", ""},
         2,
         3000,
         QDate(2004, 8, 1),
         {"最初から今まで", "My Memory"}},
    };
    return discs;
}

void Fill(platform::Database& db, const store::ConfigSection& section) {
    auto main = db.openTable(section.TableName.trimmed());
    auto sub = db.openTable(section.SubTableName.trimmed());
    std::int32_t regNo = 0;
    for (const Disc& disc : Discs()) {
        ++regNo;
        main->addNew();
        for (int i = 0; i < 10; ++i)
            main->setValue(i, Value(disc.texts[i].isEmpty() ? QStringLiteral("   ") : disc.texts[i]));
        main->setValue(10, Value(disc.discs));
        main->setValue(11, Value(disc.price));
        main->setValue(12, Value(disc.bought.startOfDay()));
        main->setValue(13, Value());
        main->setValue(14, Value(disc.texts[10].isEmpty() ? QStringLiteral("   ") : disc.texts[10]));
        main->setValue(store::MainKeyColumn, Value(regNo));
        main->setValue(store::PictureFlagColumn, Value(0));
        main->update();
        std::int32_t subNo = 0;
        for (const QString& track : disc.tracks) {
            ++subNo;
            sub->addNew();
            sub->setValue(0, Value(track));
            sub->setValue(1, Value(disc.texts[1]));
            sub->setValue(8, Value(subNo));
            sub->setValue(store::MainKeyColumn, Value(regNo));
            sub->setValue(store::SubKeyColumn, Value(subNo));
            sub->update();
        }
    }
}

// Pick lists of the editors, and what the list listing shows.
void AddLists(store::AppState& state) {
    const QList<std::pair<QString, QStringList>> lists{
        {QStringLiteral("ジャンル"), {"クラシック", "ポップス", "ジャズ", "サウンドトラック"}},
        {QStringLiteral("保管場所"), {"棚Ａ－１", "棚Ａ－３", "棚Ｂ－２", "棚Ｃ－１"}},
    };
    int slot = 0;
    for (const auto& [name, entries] : lists) {
        if (store::CreateList(state, slot, name))
            continue; // refused: the picture shows one list less
        for (const QString& entry : entries)
            store::AddListEntry(state, slot, entry);
        ++slot;
    }
}

// An earlier backup in the demo backup folder, as the backup screen writes one.
void AddBackup(const store::AppState& state, const QString& backupFolder) {
    QDir().mkpath(QDir(backupFolder).filePath(store::PictureFolderName));
    QFile::copy(state.databasePath(), QDir(backupFolder).filePath(store::CatalogueFileName));
}

} // namespace

DemoCatalogue::DemoCatalogue(const QString& homeFolder)
    : home(homeFolder), backupFolder(QDir(homeFolder).filePath(QStringLiteral("バックアップ"))) {
    const QString folder = QDir(home).filePath(QStringLiteral("Quelm"));
    QDir().mkpath(folder);
    store::EnsureCatalogue(folder);
    state.dataFolder = folder;
    state.ListTableNames = store::MakeListTableNames();
    auto db = store::OpenCatalogue(state.databasePath());
    state.config = store::LoadConfig(*db);
    {
        platform::Transaction transaction(*db);
        Fill(*db, state.config[store::FirstSlotSection]);
        state.config[store::FirstSlotSection].RegNo = static_cast<std::int32_t>(Discs().size());
        state.config[store::FirstSlotSection].Dirty = 1;
        store::SaveConfig(*db, state.config);
        transaction.commit();
    }
    state.CurrentSection = store::FirstSlotSection;
    state.CurrentCategoryName = state.config[store::FirstSlotSection].ShumokuName.trimmed();
    state.CurrentRegNo = 1;
    AddLists(state);
    AddBackup(state, backupFolder);
}

} // namespace quelm::shots
