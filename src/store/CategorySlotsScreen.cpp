// Category add screen: creates the tables of the next free CD or DVD slot, and deletes all data of a category.
#include "store/CategorySlotsScreen.h"

#include "store/PendingPictures.h"

#include "platform/Database.h"
#include "platform/DialogKeys.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "store/AppState.h"
#include "store/CategoryTables.h"
#include "store/PendingPictures.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelm::store {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QString ErrorTitle = QStringLiteral("Error");
constexpr quint32 OfferedSlotColor = 12640511; // light orange

void Paint(QPushButton* button, const QColor& color) {
    QPalette p = button->palette();
    p.setColor(QPalette::Button, color);
    button->setPalette(p);
}

} // namespace

CategorySlotsScreen::CategorySlotsScreen(AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form2c"));

    menuBar = new QMenuBar(this);
    SDF = menuBar->addMenu(QStringLiteral("ファイル"));
    SDF1 = SDF->addAction(QStringLiteral("戻る"));

    ShuDataDel = new QMenu(QStringLiteral("データ削除"), this);
    SD = ShuDataDel->addAction(QStringLiteral("種目データを削除します"));
    SD1 = ShuDataDel->addAction(QStringLiteral("[データを削除する種目を選択する]"));
    const QStringList itemCaptions{QStringLiteral("CD"),  QStringLiteral("CD2"),  QStringLiteral("CD3"),
                                   QStringLiteral("DVD"), QStringLiteral("DVD2"), QStringLiteral("DVD3")};
    for (int i = 0; i < 6; ++i) {
        SD11[i] = ShuDataDel->addAction(itemCaptions[i]);
        connect(SD11[i], &QAction::triggered, this, [this, i] { SD11_Click(i); });
    }

    Label1 = new QLabel(QStringLiteral("種目追加"), this);
    QFont headingFont = Label1->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.5);
    headingFont.setBold(true);
    Label1->setFont(headingFont);
    Label2 = new QLabel(QStringLiteral("種目(CDまたはDVD各２個)を追加します。"), this);
    Label3 = new QLabel(QStringLiteral("追加するCD 又はDVDをクリックしてください。"), this);
    Label4 = new QLabel(QStringLiteral("種目ファイルの全データを削除します。"), this);

    auto* slotGrid = new QGridLayout;
    slotGrid->setHorizontalSpacing(platform::TwipsToPixels(480));
    for (int i = 0; i < 6; ++i) {
        Command6[i] = new QPushButton(this);
        Command6[i]->setMinimumSize(platform::TwipsToPixels(2400), platform::TwipsToPixels(375));
        slotGrid->addWidget(Command6[i], i % 3, i / 3); // CD slots on the left, DVD slots on the right
        connect(Command6[i], &QPushButton::clicked, this, [this, i] { Command6_Click(i); });
    }

    Command1 = new QPushButton(QStringLiteral("データ削除"), this);
    Command1->setToolTip(QStringLiteral("登録済のデータを削除します。ファイル、項目は変更ありません。"));
    Command3 = new QPushButton(QStringLiteral("戻る"), this);
    Command5 = new QPushButton(QStringLiteral("ヘルプ"), this);
    connect(Command1, &QPushButton::clicked, this, &CategorySlotsScreen::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &CategorySlotsScreen::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &CategorySlotsScreen::Command5_Click);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* deleteRow = new QHBoxLayout;
    deleteRow->addWidget(Label4, 1);
    deleteRow->addWidget(Command1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Command5);
    bottom->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addLayout(slotGrid);
    layout->addWidget(rule);
    layout->addLayout(deleteRow);
    layout->addStretch(1);
    layout->addLayout(bottom);

    setWindowTitle(state_.caption(QStringLiteral("種目追加")));
    SetShumoku();
    MenuShuDataDel();
    platform::KeepReturnFromButtons(*this);
}

void CategorySlotsScreen::SetShumoku() {
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
        QPushButton* b = Command6[s - FirstSlotSection];
        b->setText(state_.config[s].ShumokuName);
        b->setVisible(true);
        b->setEnabled(false);
        Paint(b, buttonFace);
    }
    const SlotOffer offer = OfferSlots(state_.config);
    for (const int button : {offer.cdButton, offer.dvdButton}) {
        if (button < 0)
            continue;
        Command6[button]->setEnabled(true);
        Paint(Command6[button], platform::ColorFromWindowsRgb(OfferedSlotColor));
    }
    if (offer.none())
        ui_.message(QStringLiteral("種目(CD,DVD各３個)使用中のため、追加出来ません。"), Icon::Exclamation, Buttons::Ok,
                    QStringLiteral("種目追加不可"), this);
}

void CategorySlotsScreen::MenuShuDataDel() {
    for (int i = 0; i < 6; ++i) {
        const ConfigSection& slot = state_.config[i + FirstSlotSection];
        if (slot.inUse()) {
            SD11[i]->setText(slot.ShumokuName + QStringLiteral("   "));
            SD11[i]->setEnabled(true);
        } else {
            SD11[i]->setEnabled(false);
        }
    }
}

void CategorySlotsScreen::Command6_Click(int index) {
    const int section = index + FirstSlotSection;
    const QString name = state_.config[section].ShumokuName;
    if (ui_.message(name + QStringLiteral(" の種目を作成しますか？"), Icon::None, Buttons::OkCancel,
                    QStringLiteral("種目追加の確認"), this) != Answer::Ok)
        return;
    try {
        if (auto refusal = AddSlot(state_, section)) {
            ui_.message(*refusal, Icon::Critical, Buttons::Ok, ErrorTitle, this);
            return;
        }
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    ui_.message(QStringLiteral("種目追加の処理が終了しました。"), Icon::Exclamation, Buttons::Ok,
                QStringLiteral("処理終了"), this);
    accept();
}

void CategorySlotsScreen::Command1_Click() {
    ShuDataDel->popup(Command1->mapToGlobal(QPoint(0, Command1->height())));
}

void CategorySlotsScreen::Command3_Click() {
    reject();
}

void CategorySlotsScreen::Command5_Click() {
    ui_.showHelp(this);
}

void CategorySlotsScreen::SD11_Click(int index) {
    const int section = index + FirstSlotSection;
    const QString name = state_.config[section].ShumokuName;
    state_.CurrentSection = static_cast<std::int16_t>(section);
    state_.CurrentCategoryName = name;
    if (ui_.message(name + QStringLiteral("のデータを全て削除しますか？"), Icon::None, Buttons::OkCancel,
                    QStringLiteral("削除の確認"), this) != Answer::Ok)
        return;
    const QString caution = QStringLiteral("注意");
    DataDeletion result;
    try {
        result = DeleteCategoryData(state_, section, platform::BusyTicker(ui_, CompactingText, windowTitle(), this));
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    switch (result) {
    case DataDeletion::NotCreated:
        ui_.message(name + QStringLiteral("のファイルが作成されていません。"), Icon::Exclamation, Buttons::Ok, caution,
                    this);
        break;
    case DataDeletion::NothingToDelete:
        ui_.message(name + QStringLiteral("ファイルに削除するデータは有りません。"), Icon::Exclamation, Buttons::Ok,
                    caution, this);
        break;
    case DataDeletion::Deleted:
        ui_.message(name + QStringLiteral("ファイルのデータを削除しました。"), Icon::Information, Buttons::Ok,
                    QStringLiteral("削除終了"), this);
        break;
    }
}

} // namespace quelm::store
