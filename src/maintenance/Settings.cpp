#include "maintenance/Settings.h"

namespace quelm::maintenance {

using namespace store;

void ChangeConfig(AppState& state, const std::function<void(CategoryConfig&)>& change,
                  std::initializer_list<int> sections) {
    CategoryConfig next = state.config;
    change(next);
    for (const int s : sections)
        next[s].Dirty = 1;
    SaveConfig(state.databasePath(), next);
    state.config = next;
}

std::optional<QString> CheckCategoryNames(const CategoryConfig& config, const QStringList& names) {
    QStringList seen;
    for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
        if (!config[s].inUse())
            continue;
        const QString name = names.value(s - FirstSlotSection).trimmed();
        if (name.isEmpty())
            return QStringLiteral("種目名が入力されていません。");
        if (seen.contains(name))
            return QStringLiteral("種目名「%1」は他の種目と同じです。別の名前を入力して下さい。").arg(name);
        seen << name;
    }
    return std::nullopt;
}

void StoreCategoryNames(AppState& state, const QStringList& names) {
    CategoryConfig next = state.config;
    for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
        if (next[s].inUse() && next[s].ShumokuName != names.value(s - FirstSlotSection)) {
            next[s].ShumokuName = names.value(s - FirstSlotSection);
            next[s].Dirty = 1;
        }
    }
    SaveConfig(state.databasePath(), next);
    state.config = next;
}

} // namespace quelm::maintenance
