#pragma once

#include "store/AppState.h"

#include <QStringList>
#include <functional>

namespace quelm::maintenance {

// Resets the whole system to its first state: default title and colours, only CD1 and DVD1 in use with empty tables
// shaped by their templates, every counter at 0, no list tables, no CDDB settings. The catalogue changes in one
// transaction; state.config changes only once it is committed, and an engine failure (raised as
// platform::EngineError) leaves the catalogue as it was. The pictures go only after the commit (listed inside it, so
// that the next start finishes a deletion cut off); the files that could not be deleted are returned. The file is
// compacted at the end (compacting ticks meanwhile).
QStringList InitialiseSystem(store::AppState& state, const std::function<void()>& compacting = {});

} // namespace quelm::maintenance
