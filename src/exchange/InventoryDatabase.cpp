#include "exchange/InventoryDatabase.h"

#include <algorithm>

namespace quelm::exchange {

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
