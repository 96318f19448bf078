#pragma once

#include "maintenance/ListingScreen.h"

namespace quelm::maintenance {

// The entries of every list table, side by side.
class ListTablesListing : public ListingScreen {
    Q_OBJECT
public:
    ListTablesListing(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

private:
    void Form_Load();
};

} // namespace quelm::maintenance
