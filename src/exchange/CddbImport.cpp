#include "exchange/CddbImport.h"

#include "platform/CodePage.h"
#include "platform/Database.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"

#include <algorithm>
#include <limits>

namespace quelm::exchange {

using platform::EngineError;
using platform::Value;

namespace {

const QString KeyNoColumn = QStringLiteral("KeyNo");
const QString SavedFlagColumn = QStringLiteral("種目テーブル使用有無");

// Main slots 1–10 and 15 and sub slots 1–8 are kept in the settings row (indexes from 0).
constexpr std::array<int, 11> SavedMainSlots{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 14};
constexpr int SavedSubSlots = 8;

bool Mapped(const QString& slot) {
    return !slot.trimmed().isEmpty();
}

// A text cut to what a field holds: 255 bytes in the Japanese code page, never halving a character.
QString FitField(const QString& text) {
    if (platform::LenMbcs(text) <= records::MaxTextBytes)
        return text;
    QString out;
    int bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, width);
        bytes += platform::LenMbcs(ch);
        if (bytes > records::MaxTextBytes)
            break;
        out += ch;
        i += width;
    }
    return out;
}

// The slot's text: the value of its label, when this is the first slot holding the label and the item has one.
// The labels of the values that had to be cut are added to cut.
template <size_t N>
std::array<QString, N> FieldTexts(const std::array<QString, N>& labels, const std::map<QString, QString>& values,
                                  QStringList* cut = nullptr) {
    std::array<QString, N> texts;
    texts.fill(UnmappedSlot);
    for (size_t i = 0; i < N; ++i) {
        if (!Mapped(labels[i]) || std::find(labels.begin(), labels.begin() + i, labels[i]) != labels.begin() + i)
            continue;
        if (const auto it = values.find(labels[i]); it != values.end()) {
            texts[i] = FitField(it->second);
            if (cut && texts[i].size() < it->second.size())
                *cut << labels[i];
        }
    }
    return texts;
}

std::unique_ptr<platform::Recordset> OpenSettingsRow(platform::Database& db, int section) {
    return db.openTable(store::ConfigTable, KeyNoColumn, Value(CddbSettingsKeyNo(section)));
}

QString StoredSlot(const Value& cell) {
    const QString text = cell.isNull() ? QString() : cell.toText();
    return Mapped(text) ? text.left(64) : UnmappedSlot;
}

} // namespace

bool MainSlotTakesCddb(int index) {
    return index >= 0 && index < store::MainFieldSlots && (index < 10 || index > 13);
}

bool SubSlotTakesCddb(int index) {
    return index >= 0 && index < SavedSubSlots;
}

bool CddbMapping::anyMain() const {
    return std::any_of(main.begin(), main.end(), Mapped);
}

bool CddbMapping::anySub() const {
    return std::any_of(sub.begin(), sub.end(), Mapped);
}

std::array<QString, store::MainFieldSlots> MainFieldTexts(const CddbDisc& disc, const CddbMapping& mapping) {
    return FieldTexts(mapping.main, disc.albumValues);
}

std::array<QString, store::SubFieldSlots> SubFieldTexts(const CddbTrack& track, const CddbMapping& mapping) {
    return FieldTexts(mapping.sub, track.values);
}

CddbRunResult RunCddbImport(store::AppState& state, const CddbDisc& disc, const CddbMapping& mapping) {
    CddbRunResult result;
    // The main record comes with the first track: a file without tracks is no CD and writes nothing.
    if (disc.tracks.empty())
        return result;
    try {
        const int section = records::CheckedSection(state.CurrentSection);
        const store::ConfigSection& s = state.config[section];
        if (s.RegNo >= std::numeric_limits<std::int32_t>::max())
            throw EngineError(QStringLiteral("登録NOが上限に達しています。"));
        const std::int32_t regNo = s.RegNo + 1;
        const QString mainTable = records::CheckedTableName(s.TableName);
        const records::SubTable subTable = records::CheckedSubTable(s);
        QStringList cut;
        const auto mainTexts = FieldTexts(mapping.main, disc.albumValues, &cut);

        auto db = store::OpenCatalogue(state.databasePath());
        store::CategoryConfig next = state.config;
        platform::Transaction tx(*db);
        {
            auto rs = db->openTable(mainTable, store::MainKeyColumn, Value(regNo));
            records::RequireColumnCount(*rs, store::MainFieldSlots + 2);
            rs->addNew();
            for (int i = 0; i < store::MainFieldSlots; ++i)
                if (MainSlotTakesCddb(i))
                    rs->setValue(i, Value(mainTexts[i]));
            rs->setValue(store::MainKeyColumn, Value(regNo));
            rs->setValue(store::PictureFlagColumn, Value(0));
            rs->update();
        }
        int subCount = 0;
        if (mapping.anySub()) {
            auto rs = subTable.openRowsOf(*db, regNo);
            for (const CddbTrack& track : disc.tracks) {
                QStringList trackCut;
                const auto texts = FieldTexts(mapping.sub, track.values, &trackCut);
                for (const QString& label : trackCut)
                    cut << QStringLiteral("%1 (トラック %2)").arg(label).arg(track.number);
                rs->addNew();
                for (int i = 0; i < store::SubFieldSlots; ++i)
                    if (SubSlotTakesCddb(i))
                        rs->setValue(i, Value(texts[i]));
                rs->setValue(subTable.regNoPos, Value(regNo));
                rs->setValue(subTable.subNoPos, Value(++subCount));
                rs->update();
            }
        }
        next[section].RegNo = regNo;
        next[section].Dirty = 1;
        store::SaveConfig(*db, next);
        tx.commit();
        state.config = next;
        result.mainCount = 1;
        result.subCount = subCount;
        result.regNo = regNo;
        result.cutItems = cut;
    } catch (const EngineError& e) {
        result.ok = false;
        result.message = e.message();
    }
    return result;
}

QString CutItemsText(const QStringList& cutItems) {
    if (cutItems.isEmpty())
        return {};
    // A long list would push the question off the screen.
    constexpr qsizetype Shown = 8;
    QString text = QStringLiteral("次の項目は長すぎるため、%1 バイトに切詰めました。\r\n").arg(records::MaxTextBytes);
    for (qsizetype i = 0; i < std::min(Shown, cutItems.size()); ++i)
        text += QStringLiteral("  ") + cutItems[i] + QStringLiteral("\r\n");
    if (cutItems.size() > Shown)
        text += QStringLiteral("  ほか %1 項目\r\n").arg(cutItems.size() - Shown);
    return text;
}

int CddbSettingsKeyNo(int section) {
    return section + 7;
}

std::optional<CddbMapping> LoadCddbMapping(platform::Database& db, int section) {
    auto rs = OpenSettingsRow(db, section);
    if (rs->eof() || rs->value(SavedFlagColumn).toInt() != 1)
        return std::nullopt;
    CddbMapping mapping;
    for (const int i : SavedMainSlots)
        mapping.main[i] = StoredSlot(rs->value(store::FieldNameColumn(i + 1)));
    for (int i = 0; i < SavedSubSlots; ++i)
        mapping.sub[i] = StoredSlot(rs->value(store::SubFieldNameColumn(i + 1)));
    return mapping;
}

bool SaveCddbMapping(platform::Database& db, int section, const CddbMapping& mapping) {
    platform::Transaction tx(db);
    auto rs = OpenSettingsRow(db, section);
    if (rs->eof())
        return false;
    rs->edit();
    for (const int i : SavedMainSlots)
        rs->setValue(store::FieldNameColumn(i + 1), Value(mapping.main[i]));
    for (int i = 0; i < SavedSubSlots; ++i)
        rs->setValue(store::SubFieldNameColumn(i + 1), Value(mapping.sub[i]));
    rs->setValue(SavedFlagColumn, Value(1));
    rs->update();
    tx.commit();
    return true;
}

} // namespace quelm::exchange
