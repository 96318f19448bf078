// Field rename screen: renames a category's main and sub fields by rebuilding its tables with the data kept.
#include "store/FieldRenameScreen.h"

#include "platform/ComboEntries.h"
#include "platform/Database.h"
#include "platform/DialogKeys.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "store/AppState.h"
#include "store/CategoryTables.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelm::store {

using platform::Buttons;
using platform::Icon;

namespace {
const QString ErrorTitle = QStringLiteral("Error");
}

FieldRenameScreen::FieldRenameScreen(AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form2b"));

    Combo1 = new QComboBox(this);
    Combo1->setPlaceholderText(QStringLiteral("種目名を選択して下さい"));
    Combo1->setMinimumWidth(platform::TwipsToPixels(3000));
    for (int s = FirstSlotSection; s <= LastSlotSection; ++s) {
        const ConfigSection& slot = state_.config[s];
        Combo1->addItem(slot.inUse() ? slot.ShumokuName.trimmed() : QString());
    }
    Combo1->setCurrentIndex(-1);
    platform::HideEmptyEntries(*Combo1);
    connect(Combo1, &QComboBox::activated, this, &FieldRenameScreen::Combo1_Click);

    Label4 = new QLabel(
        QStringLiteral(
            "データベースを再構築しますので、念のため作業前にデータベースをバックアップすることを奨めます。"),
        this);
    Label4->setWordWrap(true);
    Label3 = new QLabel(this);
    Label5 = new QLabel(this);

    // One grid for both groups, so that main box k and sub box k share a row and line up.
    const int boxWidth = platform::TwipsToPixels(3000);
    auto* fields = new QGridLayout;
    fields->addWidget(Label3, 0, 0);
    fields->addWidget(Label5, 0, 2);
    for (int k = 0; k < static_cast<int>(Text1.size()); ++k) {
        Text1[k] = new QLineEdit(this);
        Text1[k]->setMinimumWidth(boxWidth);
        fields->addWidget(Text1[k], k + 1, 0);
    }
    for (int k = 0; k < static_cast<int>(Text2.size()); ++k) {
        Text2[k] = new QLineEdit(this);
        Text2[k]->setMinimumWidth(boxWidth);
        fields->addWidget(Text2[k], k + 1, 2);
    }
    fields->setColumnMinimumWidth(1, platform::TwipsToPixels(480));
    fields->setRowStretch(static_cast<int>(Text1.size()) + 1, 1);

    Command4 = new QPushButton(QStringLiteral("変更実行"), this);
    Command5 = new QPushButton(QStringLiteral("戻る"), this);
    Command6 = new QPushButton(QStringLiteral("ヘルプ"), this);
    connect(Command4, &QPushButton::clicked, this, &FieldRenameScreen::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &FieldRenameScreen::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &FieldRenameScreen::Command6_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command4);
    buttons->addStretch(1);
    buttons->addWidget(Command6);
    buttons->addWidget(Command5);
    // Return in a name box must not rebuild the tables with only the names typed so far.
    platform::KeepReturnFromButtons(*this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Combo1, 0, Qt::AlignLeft);
    layout->addWidget(Label4);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    setWindowTitle(state_.caption(QStringLiteral("項目名変更")));
    Command4->setVisible(false);
    Label3->setVisible(false);
    Label5->setVisible(false);
    for (QLineEdit* box : Text1) {
        box->setEnabled(false);
        box->setVisible(false);
    }
    for (QLineEdit* box : Text2) {
        box->setEnabled(false);
        box->setVisible(false);
    }
}

void FieldRenameScreen::Combo1_Click(int index) {
    const QString entry = Combo1->itemText(index);
    if (index < 0 || entry.isEmpty()) {
        ui_.message(QStringLiteral("種目名が選択されていません。"), Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    const int section = index + FirstSlotSection;
    const ConfigSection& slot = state_.config[section];
    // One category per visit: the boxes belong to the tables of this one.
    Combo1->setEnabled(false);
    Label3->setText(entry + QStringLiteral("(MAIN)"));
    Label5->setText(entry + QStringLiteral("(SUB)"));
    Label3->setVisible(true);
    Label5->setVisible(true);
    Command4->setVisible(true);
    for (int k = 0; k < static_cast<int>(Text1.size()); ++k) {
        Text1[k]->setText(slot.FieldName[k + 1]);
        Text1[k]->setEnabled(true);
        Text1[k]->setVisible(true);
    }
    for (int k = 0; k < static_cast<int>(Text2.size()); ++k) {
        Text2[k]->setText(slot.SubFieldName[k + 1]);
        Text2[k]->setEnabled(true);
        Text2[k]->setVisible(true);
    }
    // The boxes appear only now: the window grows to show each at its full height, text clear of the border. (Not
    // adjustSize, which keeps a window within two thirds of the screen and so squeezes the boxes on a small one.)
    resize(size().expandedTo(sizeHint()));
    section_ = section;
    state_.CurrentSection = static_cast<std::int16_t>(section);
    state_.CurrentCategoryName = entry;
}

void FieldRenameScreen::Command4_Click() {
    if (section_ < 0)
        return;
    QStringList mainNames;
    for (const QLineEdit* box : Text1)
        mainNames << box->text();
    QStringList subNames;
    for (const QLineEdit* box : Text2)
        subNames << box->text();
    // The window opens with the first report, once the names have passed their checks and a rebuild begins.
    std::unique_ptr<platform::ProgressWindow> progress;
    const auto report = [&](std::int64_t copied, std::int64_t total) {
        if (!progress)
            progress = ui_.showProgress(QStringLiteral("データベースを再構築しています…"), windowTitle(), this);
        progress->report(copied, total);
    };
    try {
        if (auto refusal = RenameFields(state_, section_, mainNames, subNames, report)) {
            ui_.message(*refusal, Icon::Critical, Buttons::Ok, ErrorTitle, this);
            return;
        }
    } catch (const platform::EngineError& e) {
        progress.reset(); // the message goes over the screen, not behind a progress window
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    accept();
}

void FieldRenameScreen::Command5_Click() {
    reject();
}

void FieldRenameScreen::Command6_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::store
