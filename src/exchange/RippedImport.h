#pragma once

#include "exchange/CddbImport.h"
#include "exchange/RippedAlbum.h"
#include "store/AppState.h"

#include <QColor>
#include <QSize>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace quelm::platform {
class Database;
}

namespace quelm::exchange {

// Which of the albums the category already holds: the same title and artist in the fields the mapping puts them in,
// or the same catalogue number (品番). An album is told only by what the mapping stores, so with neither mapped
// nothing is found.
std::vector<bool> FindExistingAlbums(platform::Database& db, const store::ConfigSection& section,
                                     const CddbMapping& mapping, const std::vector<CddbDisc>& discs);

struct RippedRunResult {
    bool ok = true;
    bool cancelled = false;
    int mainCount = 0;
    int subCount = 0;
    int covers = 0;
    QStringList coverFailures; // album folders whose cover could not be used; their records have none
    QString message;           // the engine's message when the run failed
};

// Where a record's cover is drawn: the picture box of the main record screen.
struct CoverBox {
    QSize size;
    QColor background;
};

// Takes the albums into the current category: one main record each (登録ＮＯ counting on from 登録NO) with its tracks
// as sub records when a sub slot is mapped, and its cover through the picture checks. Every record and the counter
// are one transaction; progress(done, total) is asked before each album, and false cancels: nothing is written and
// the covers already placed are removed again, as after a failure.
RippedRunResult RunRippedImport(store::AppState& state, const std::vector<const RippedAlbum*>& albums,
                                const CddbMapping& mapping, const CoverBox& box,
                                const std::function<bool(int, int)>& progress = {});

// The mapping of a category, kept beside the catalogue in the data folder; nullopt when none was saved.
std::optional<CddbMapping> LoadRippedMapping(const store::AppState& state, int section);
bool SaveRippedMapping(const store::AppState& state, int section, const CddbMapping& mapping);

} // namespace quelm::exchange
