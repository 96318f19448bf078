// Single sub record of the inquiry screen, with previous and next.
#include "search/Form10sl.h"

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

Form10sl::Form10sl(store::AppState& state, platform::Ui& ui, platform::RecordList& list, int section, QWidget* parent)
    : InquiryView(state, ui, list, section, true, SubTexts(), parent) {
    setObjectName(QStringLiteral("Form10sl"));
    showStart();
}

Form10sl::~Form10sl() = default;

} // namespace quelm::search
