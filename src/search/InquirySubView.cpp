// Single sub record of the inquiry screen, with previous and next.
#include "search/InquirySubView.h"

namespace quelm::search {

namespace {

InquiryView::Texts SubTexts() {
    return {QStringLiteral("照会(サブ明細)個別詳細表示"),
            QStringLiteral("サブ明細"),
            QStringLiteral("サブＮＯ"),
            QStringLiteral("サブＮｏ．　"),
            QStringLiteral("これより前にサブ明細はありません　"),
            QStringLiteral("これより後にサブ明細はありません　")};
}

} // namespace

InquirySubView::InquirySubView(store::AppState& state, platform::Ui& ui, platform::RecordList& list, int section,
                               QWidget* parent)
    : InquiryView(state, ui, list, section, true, SubTexts(), parent) {
    setObjectName(QStringLiteral("Form10sl"));
    showStart();
}

InquirySubView::~InquirySubView() = default;

} // namespace quelm::search
