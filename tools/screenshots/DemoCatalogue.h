#pragma once

#include "platform/ScriptedUi.h"
#include "store/AppState.h"

namespace quelm::shots {

// A catalogue in a scratch folder with a few discs and tracks, so that the screens show something real.
class DemoCatalogue {
public:
    explicit DemoCatalogue(const QString& folder);

    store::AppState state;
    platform::ScriptedUi ui;
};

} // namespace quelm::shots
