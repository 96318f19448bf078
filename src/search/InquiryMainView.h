#pragma once

#include "search/InquiryView.h"

namespace quelm::search {

// Single main record of the inquiry screen, with its picture.
class InquiryMainView : public InquiryView {
    Q_OBJECT
public:
    InquiryMainView(store::AppState& state, platform::Ui& ui, platform::RecordList& list, int section,
                    QWidget* parent = nullptr);
    ~InquiryMainView() override;

    QLabel* Picture2 = nullptr;

private:
    void showExtra(int index) override;
};

} // namespace quelm::search
