#pragma once

#include "search/InquiryView.h"

namespace quelm::search {

// Single sub record of the inquiry screen.
class Form10sl : public InquiryView {
    Q_OBJECT
public:
    Form10sl(store::AppState& state, platform::Ui& ui, platform::RecordList& list, int section,
             QWidget* parent = nullptr);
    ~Form10sl() override;
};

} // namespace quelm::search
