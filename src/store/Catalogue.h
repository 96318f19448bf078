#pragma once

#include "store/CategoryConfig.h"

#include <QColor>
#include <QString>
#include <memory>

namespace quelm::platform {
class Database;
}

namespace quelm::store {

// The two field templates of a new catalogue: 15 main and 10 sub names each, typed by position.
struct FieldTemplate {
    QStringList mainNames;
    QStringList subNames;
};
const FieldTemplate& CdTemplate();
const FieldTemplate& DvdTemplate();
// What a new catalogue, and an initialised one, starts with.
inline const QString DefaultSystemTitle = QStringLiteral("ＣＤ管理");
inline const QString DefaultTitleColor = QStringLiteral("16744448"); // red 0, green 128, blue 255
inline const QString DefaultBackColor = QStringLiteral("14671839");  // light grey
// The stored title and background colours, or the defaults where a cell holds no usable colour.
QColor TitleColor(const CategoryConfig& config);
QColor BackColor(const CategoryConfig& config);
// The names of the six category slots, and which of them are in use (CD1 and DVD1).
const QStringList& DefaultCategoryNames();
inline bool InUseByDefault(int section) {
    return section == FirstSlotSection || section == FirstSlotSection + 3;
}

// The type of main field k (1..15) and of sub field k (1..10): fixed by position.
QString MainFieldTypeOf(int k);
QString SubFieldTypeOf(int k);

// Opens the catalogue file; fails clearly when it is missing or holds no 管理テーブル.
std::unique_ptr<platform::Database> OpenCatalogue(const QString& databasePath);

// Writes a new catalogue with its initial content (sixteen configuration rows, CD1 and DVD1 with empty tables).
// It is built under a temporary name and renamed into place, so a failure leaves no half-made file.
void CreateCatalogue(const QString& databasePath);

// First start: creates Quelm.mdb and an empty Quelm-画像 when the catalogue file does not exist yet.
// Returns true when it created them.
bool EnsureCatalogue(const QString& dataFolder);

} // namespace quelm::store
