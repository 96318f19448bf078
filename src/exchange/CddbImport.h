#pragma once

#include "exchange/CddbFile.h"
#include "store/AppState.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace quelm::platform {
class Database;
}

namespace quelm::exchange {

// What a slot holds when nothing is mapped to it.
inline const QString UnmappedSlot = QStringLiteral(" ");

// Only text fields take CDDB data: main fields 11–14 (numbers and dates) and sub fields 9–10 refuse drops.
// Indexes count from 0.
bool MainSlotTakesCddb(int index);
bool SubSlotTakesCddb(int index);

// Which item label each field slot holds; " " for none.
struct CddbMapping {
    std::array<QString, store::MainFieldSlots> main;
    std::array<QString, store::SubFieldSlots> sub;

    CddbMapping() {
        main.fill(UnmappedSlot);
        sub.fill(UnmappedSlot);
    }
    bool anyMain() const;
    bool anySub() const;
};

// The texts written into the fields, slot by slot: the item's value for the first slot holding its label, " " for
// every other slot, and for labels the CD does not have. A text is cut to what a field holds (255 bytes).
std::array<QString, store::MainFieldSlots> MainFieldTexts(const CddbDisc& disc, const CddbMapping& mapping);
std::array<QString, store::SubFieldSlots> SubFieldTexts(const CddbTrack& track, const CddbMapping& mapping);

struct CddbRunResult {
    bool ok = true;
    int mainCount = 0;
    int subCount = 0;
    std::int32_t regNo = 0; // of the main record written
    QString message;        // the engine's message when the run failed
    // Items whose text was longer than its field holds and was cut: "タイトル", or "曲名 (トラック 3)".
    QStringList cutItems;
};

// The lines the result box adds for the cut items; empty when nothing was cut.
QString CutItemsText(const QStringList& cutItems);

// Takes one CD into the current category: one main record (登録ＮＯ = 登録NO + 1) and, when a sub slot is mapped,
// one sub record per track in ascending track number with サブＮＯ 1, 2, 3 …. A CD without tracks writes nothing.
// The records and the advanced counter are one transaction; on failure nothing is written and state.config stays.
CddbRunResult RunCddbImport(store::AppState& state, const CddbDisc& disc, const CddbMapping& mapping);

// The 管理テーブル row of a category slot's CDDB settings: KeyNo = section + 7.
int CddbSettingsKeyNo(int section);
// The saved mapping of a category slot; nullopt when it has no settings row or nothing was saved there yet.
std::optional<CddbMapping> LoadCddbMapping(platform::Database& db, int section);
// Saves main slots 1–10 and 15 and sub slots 1–8 in the settings row and marks it saved. False when the category
// has no settings row (nothing is written).
bool SaveCddbMapping(platform::Database& db, int section, const CddbMapping& mapping);

} // namespace quelm::exchange
