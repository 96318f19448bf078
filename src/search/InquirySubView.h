#pragma once

#include "search/InquiryView.h"

namespace quelm::search {

// Single sub record of the inquiry screen.
class InquirySubView : public InquiryView {
    Q_OBJECT
public:
    InquirySubView(store::AppState& state, platform::Ui& ui, platform::RecordList& list, int section,
                   QWidget* parent = nullptr);
    ~InquirySubView() override;
};

} // namespace quelm::search
