#pragma once

#include "maintenance/ListingScreen.h"

namespace quelm::maintenance {

// The field names of every category in use, one column per category.
class FieldNamesListing : public ListingScreen {
    Q_OBJECT
public:
    FieldNamesListing(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

private:
    void Form_Load();
};

} // namespace quelm::maintenance
