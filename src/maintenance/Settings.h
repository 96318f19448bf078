#pragma once

#include "store/AppState.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace quelm::maintenance {

// Changes the configuration through `change` on a copy, marks the given sections dirty and saves them; state.config
// takes the change only once it is stored. Engine failures raise platform::EngineError with nothing changed.
void ChangeConfig(store::AppState& state, const std::function<void(store::CategoryConfig&)>& change,
                  std::initializer_list<int> sections);

// The display names typed for the six slots (index = section − 4; slots not in use are not looked at). A name that is
// empty, or equal to another category's name, would make the captions and the search popup ambiguous: returns the
// message for the user, or nullopt when the names can be stored.
std::optional<QString> CheckCategoryNames(const store::CategoryConfig& config, const QStringList& names);

// Stores the names of the slots in use as typed, in one write.
void StoreCategoryNames(store::AppState& state, const QStringList& names);

} // namespace quelm::maintenance
