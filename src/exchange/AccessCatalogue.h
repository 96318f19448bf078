#pragma once

#include "exchange/RowProgress.h"
#include "store/AppState.h"

#include <QString>
#include <optional>

class QWidget;

namespace quelm::platform {
class Ui;
}

namespace quelm::exchange {

// Bringing over a whole catalogue that was kept in Access format on Windows: its Quelm.mdb (a genuine Jet file, or an
// SQLite one) with 管理テーブル, the category tables and the list tables, and the picture folder beside it.

struct CatalogueImport {
    bool ok = false;
    QString message; // when not ok: why nothing changed
    int categories = 0;
    int mainRecords = 0;
    int subRecords = 0;
    int lists = 0;
    int listEntries = 0;
    int pictures = 0;
    QString backupFolder; // where the catalogue that was in use now lies
};

// Builds a new catalogue from the file at sourcePath under a temporary name in dataFolder, then swaps it in with the
// picture folder, moving the current Quelm.mdb and Quelm-画像 into a new backup folder beside them. The source file
// is only read. Anything refused or failing leaves the current catalogue as it was. progress counts the rows and
// pictures copied.
CatalogueImport ImportAccessCatalogue(const QString& sourcePath, const QString& dataFolder,
                                      const RowProgress& progress = {});

// Settles an import that was cut off (a kill, a power cut): finished where the new catalogue was complete (the swap
// had begun), else its temporary files are removed; says which for the user, nullopt when nothing was cut off.
// Called at start, holding the data folder's lock.
std::optional<QString> SettleCutOffImport(const QString& dataFolder);

// The summary shown after an import.
QString CatalogueImportSummary(const CatalogueImport& result);

// The menu command of the main window: chooses the file, asks, imports and reports. Answers true when the
// catalogue was replaced; the program then has to end, since every screen works on the configuration read at start.
bool RunAccessCatalogueImport(store::AppState& state, platform::Ui& ui, QWidget* owner);

} // namespace quelm::exchange
