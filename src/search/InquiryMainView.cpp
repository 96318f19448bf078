// Single main record of the inquiry screen, with its picture, previous and next.
#include "search/InquiryMainView.h"

#include "platform/RecordList.h"
#include "platform/Units.h"
#include "records/RecordPicture.h"

#include <QLabel>
#include <QLayout>
#include <QPixmap>

namespace quelm::search {

namespace {

InquiryView::Texts MainTexts() {
    return {QStringLiteral("照会(メイン明細)個別詳細表示"),
            QStringLiteral("メイン明細"),
            QStringLiteral("登録ＮＯ"),
            QStringLiteral("登録Ｎｏ．　"),
            QStringLiteral("これより前に明細はありません　"),
            QStringLiteral("これより後に明細はありません　")};
}

} // namespace

InquiryMainView::InquiryMainView(store::AppState& state, platform::Ui& ui, platform::RecordList& list, int section,
                                 QWidget* parent)
    : InquiryView(state, ui, list, section, false, MainTexts(), parent) {
    setObjectName(QStringLiteral("Form10ml"));
    Picture2 = new QLabel(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFrameShape(QFrame::Box);
    Picture2->setGeometry(platform::TwipsRect(11400, 900, 2925, 2895));
    showStart();
}

InquiryMainView::~InquiryMainView() = default;

void InquiryMainView::showExtra(int index) {
    // No message when there is no picture: the view shows any record, with or without one.
    Picture2->clear();
    const auto regNo = list_.cell(index, fields_).toLongLong();
    const records::LoadedPicture picture = records::LoadPicture(state_.RecordPicturePath(section_, regNo));
    if (!picture.ok())
        return;
    const QSize box = Picture2->contentsRect().size();
    const QColor background = Picture2->palette().color(QPalette::Window);
    Picture2->setPixmap(
        QPixmap::fromImage(records::ComposeBoxImage(picture.image, picture.naturalSize, box, background)));
}

} // namespace quelm::search
