// Frame of the inquiry screen's single-record views: one record's fields, previous and next through the list.
#include "search/InquiryView.h"

#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "records/RecordScreenParts.h"
#include "search/InquiryLists.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace quelm::search {

using platform::TwipsRect;

namespace {

constexpr int ViewWidth = 14700;
constexpr int ViewHeight = 6300;
constexpr int RowsPerColumn = 8;

} // namespace

InquiryView::InquiryView(store::AppState& state, platform::Ui& ui, platform::RecordList& list, int section, bool sub,
                         const Texts& texts, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), list_(list), section_(section), texts_(texts) {
    const store::ConfigSection& s = state_.config[section_];
    fields_ = sub ? std::clamp<int>(s.SubFieldCount, 0, store::SubFieldSlots)
                  : std::clamp<int>(s.FieldCount, 0, store::MainFieldSlots);
    keyColumn_ = sub ? fields_ + 1 : fields_; // サブＮＯ follows 登録ＮＯ in the sub list
    setWindowTitle(state_.caption(texts.screen));
    setFixedSize(platform::TwipsToPixels(ViewWidth), platform::TwipsToPixels(ViewHeight));

    Label2 = records::HeadingLabel(s.ShumokuName, 3, this);
    Label2->setGeometry(TwipsRect(240, 120, 5000, 450));
    Label3 = records::HeadingLabel(texts.heading, 1, this);
    Label3->setGeometry(TwipsRect(5400, 150, 3000, 420));
    const int boxes = sub ? store::SubFieldSlots : store::MainFieldSlots;
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        const int x = 240 + (i / RowsPerColumn) * 5580, y = 840 + (i % RowsPerColumn) * 420;
        Label1[i] = new QLabel(this);
        Label1[i]->setGeometry(TwipsRect(x, y, 1500, 330));
        Label1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Text1[i] = new QLineEdit(this);
        Text1[i]->setGeometry(TwipsRect(x + 1560, y, 3900, 330));
        Text1[i]->setReadOnly(true);
        const bool used = i < boxes && i < fields_;
        Label1[i]->setVisible(used);
        Text1[i]->setVisible(used);
        if (used)
            Label1[i]->setText(sub ? s.SubFieldName[i + 1] : s.FieldName[i + 1]);
    }
    Label4 = new QLabel(texts.keyLabel, this);
    Label4->setGeometry(TwipsRect(240, 4320, 1500, 330));
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text2 = new QLineEdit(this);
    Text2->setGeometry(TwipsRect(1800, 4320, 1500, 330));
    Text2->setReadOnly(true);

    Command1 = new QPushButton(QStringLiteral("←  前へ"), this);
    Command2 = new QPushButton(QStringLiteral("次へ  →"), this);
    Command3 = new QPushButton(QStringLiteral("戻る"), this);
    int x = 5400;
    for (QPushButton* b : {Command1, Command2, Command3}) {
        b->setGeometry(TwipsRect(x, 4920, 1500, 450));
        b->setAutoDefault(false);
        b->setDefault(false);
        x += 1680;
    }
    connect(Command1, &QPushButton::clicked, this, &InquiryView::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &InquiryView::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &InquiryView::Command3_Click);

    StatusBar1 = new platform::StatusPanels(this);
    StatusBar1->setGeometry(TwipsRect(0, ViewHeight - 420, ViewWidth, 420));
}

InquiryView::~InquiryView() = default;

void InquiryView::showStart() {
    position_ = list_.selectedIndex();
    if (list_.rowCount() > 0 && position_ > 0)
        showRow(position_);
}

void InquiryView::showRow(int index) {
    for (int k = 0; k < fields_; ++k)
        Text1[k]->setText(list_.cell(index, k));
    const QString key = list_.cell(index, keyColumn_);
    Text2->setText(key);
    showExtra(index);
    StatusBar1->setPanelText(1, PositionOf(ViewPositionPrefix, index, list_.rowCount()));
    StatusBar1->setPanelText(2, texts_.keyPrefix + key);
}

void InquiryView::Command1_Click() {
    if (position_ <= 1) {
        ui_.message(texts_.noEarlier, platform::Icon::Exclamation, platform::Buttons::Ok, QStringLiteral("ERROR"),
                    this);
    } else {
        --position_;
        if (list_.rowCount() >= position_) {
            list_.select(position_);
            showRow(position_);
        }
    }
    update();
}

void InquiryView::Command2_Click() {
    if (position_ >= list_.rowCount()) {
        ui_.message(texts_.noLater, platform::Icon::Exclamation, platform::Buttons::Ok, QStringLiteral("ERROR"), this);
        return;
    }
    ++position_;
    list_.select(position_);
    showRow(position_);
    update();
}

void InquiryView::Command3_Click() {
    close();
}

} // namespace quelm::search
