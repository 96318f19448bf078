#pragma once

#include "store/AppState.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace quelm::platform {
class Database;
}

namespace quelm::crash {

// One kind of write-heavy work the trials kill part way. A new writer joins the trials as one more entry of
// Operations(): how its starting catalogue is made, the work itself, and what "wholly or not at all" means for it.
struct Operation {
    QString name;
    // Fills the starting catalogue (a new one, its configuration loaded into state). Runs once; every trial starts
    // from a copy of the folder.
    std::function<void(store::AppState& state)> prepare;
    // The work the child process does from the starting catalogue; it may be killed at any moment.
    std::function<void(store::AppState& state)> work;
    // What must hold afterwards: either nothing of an operation happened or all of it. `start` is the configuration of
    // the starting catalogue, `now` the one read back from the killed child's catalogue.
    std::function<void(platform::Database& db, const store::CategoryConfig& start, const store::CategoryConfig& now,
                       QStringList& problems)>
        check;
};

const std::vector<Operation>& Operations();

// A folder beside the starting catalogue whose folders every trial gets beside its copy (a backup target).
inline const QString BesideFolderName = QStringLiteral("beside");

// The checks every catalogue must pass after a kill, whatever was being done: the engine's integrity check; each
// category in use has its two tables with the configured columns; no table is left over from an unfinished rebuild
// or list; no counter lags behind the records it numbered.
void CheckCatalogueShape(platform::Database& db, const store::CategoryConfig& config, QStringList& problems);

} // namespace quelm::crash
