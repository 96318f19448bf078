// System settings screen: title, colours and category display names.
#include "maintenance/SettingsScreen.h"

#include "maintenance/Settings.h"
#include "platform/Database.h"
#include "platform/DialogKeys.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "store/Catalogue.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelm::maintenance {

using platform::Buttons;
using platform::Icon;

SettingsScreen::SettingsScreen(store::AppState& state, platform::Ui& ui, std::function<void()> applyToMain,
                               QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), applyToMain_(std::move(applyToMain)) {
    setObjectName(QStringLiteral("Form2a"));
    const QStringList texts{
        QString(),
        QStringLiteral("システム環境設定"),
        QStringLiteral("このシステムの題名は「CD管理」となっていますが、使用目的に合わせて自由に変更できます。"),
        QStringLiteral("1.システム・タイトル設定"),
        QStringLiteral("タイトルの変更："),
        QStringLiteral("タイトル文字色の変更："),
        QStringLiteral("メイン画面の背景色の変更："),
        QStringLiteral("2.種目(CD,DVD)名変更"),
        QStringLiteral("種目名が「CD,DVD」になっていますが、クラシック、ポップス等の使用形態に合わせて変更できます。"),
    };
    for (int i = 1; i < static_cast<int>(Label.size()); ++i) {
        Label[i] = new QLabel(texts[i], this);
        Label[i]->setWordWrap(i == 2 || i == 8);
    }
    QFont heading = Label[1]->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label[1]->setFont(heading);

    Text1 = new QLineEdit(QStringLiteral("ＣＤ管理"), this);
    Text2 = new QLineEdit(QStringLiteral("ＣＤ管理"), this);
    Text2->setReadOnly(true);
    Text2->setFocusPolicy(Qt::NoFocus);
    Text3 = new QLineEdit(this);
    Text3->setReadOnly(true);
    Text3->setFocusPolicy(Qt::NoFocus);
    Command4 = platform::PlainButton(QStringLiteral("設定"), this);
    Command1 = platform::PlainButton(QStringLiteral("色選定"), this);
    Command2 = platform::PlainButton(QStringLiteral("色選定"), this);
    Command6 = platform::PlainButton(QStringLiteral("設定"), this);
    Command3 = platform::PlainButton(QStringLiteral("終了"), this);
    Command5 = platform::PlainButton(QStringLiteral("ヘルプ"), this);

    auto* titleGrid = new QGridLayout;
    titleGrid->addWidget(Label[4], 0, 0);
    titleGrid->addWidget(Text1, 0, 1);
    titleGrid->addWidget(Command4, 0, 2);
    titleGrid->addWidget(Label[5], 1, 0);
    titleGrid->addWidget(Text2, 1, 1);
    titleGrid->addWidget(Command1, 1, 2);
    titleGrid->addWidget(Label[6], 2, 0);
    titleGrid->addWidget(Text3, 2, 1);
    titleGrid->addWidget(Command2, 2, 2);

    auto* nameGrid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        Text4[i] = new QLineEdit(this);
        Text4[i]->setMinimumWidth(platform::TwipsToPixels(2400));
        nameGrid->addWidget(Text4[i], i % 3, i / 3); // CD slots on the left, DVD slots on the right
    }
    nameGrid->addWidget(Command6, 0, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Command3);
    bottom->addWidget(Command5);

    auto* layout = new QVBoxLayout(this);
    for (int i = 1; i <= 3; ++i)
        layout->addWidget(Label[i]);
    layout->addLayout(titleGrid);
    layout->addSpacing(platform::TwipsToPixels(240));
    layout->addWidget(Label[7]);
    layout->addWidget(Label[8]);
    layout->addLayout(nameGrid);
    layout->addStretch(1);
    layout->addLayout(bottom);
    setMinimumWidth(platform::TwipsToPixels(9000));

    connect(Command4, &QPushButton::clicked, this, &SettingsScreen::Command4_Click);
    connect(Command1, &QPushButton::clicked, this, &SettingsScreen::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &SettingsScreen::Command2_Click);
    connect(Command6, &QPushButton::clicked, this, &SettingsScreen::Command6_Click);
    connect(Command3, &QPushButton::clicked, this, &SettingsScreen::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &SettingsScreen::Command5_Click);
    Form_Load();
}

void SettingsScreen::Form_Load() {
    setWindowTitle(state_.caption(QStringLiteral("システム環境設定")));
    Text1->setText(state_.config.systemTitle());
    Text2->setText(state_.config.systemTitle());
    showColors();
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        QLineEdit* box = Text4[s - store::FirstSlotSection];
        box->setText(state_.config[s].ShumokuName);
        box->setVisible(state_.config[s].inUse());
    }
}

void SettingsScreen::showColors() {
    QPalette title = Text2->palette();
    title.setColor(QPalette::Text, store::TitleColor(state_.config));
    Text2->setPalette(title);
    QPalette back = Text3->palette();
    back.setColor(QPalette::Base, store::BackColor(state_.config));
    Text3->setPalette(back);
}

bool SettingsScreen::storeSystemRow(const std::function<void(store::ConfigSection&)>& change) {
    try {
        ChangeConfig(state_, [&](store::CategoryConfig& c) { change(c[0]); }, {0});
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return false;
    }
    if (applyToMain_)
        applyToMain_();
    return true;
}

void SettingsScreen::Command4_Click() {
    const QString title = Text1->text().trimmed();
    if (!storeSystemRow([&](store::ConfigSection& system) { system.FieldType[1] = title; }))
        return;
    Text1->setText(title);
    Text2->setText(title);
    setWindowTitle(title + QStringLiteral(" Quelm"));
}

void SettingsScreen::Command1_Click() {
    const auto color = ui_.chooseColor(store::TitleColor(state_.config), this);
    if (!color)
        return;
    if (storeSystemRow([&](store::ConfigSection& system) { system.FieldType[2] = platform::WindowsRgbText(*color); }))
        showColors();
}

void SettingsScreen::Command2_Click() {
    const auto color = ui_.chooseColor(store::BackColor(state_.config), this);
    if (!color)
        return;
    if (storeSystemRow([&](store::ConfigSection& system) { system.FieldType[3] = platform::WindowsRgbText(*color); }))
        showColors();
}

void SettingsScreen::Command6_Click() {
    QStringList names;
    for (QLineEdit* box : Text4)
        names << box->text();
    if (auto refusal = CheckCategoryNames(state_.config, names)) {
        ui_.message(*refusal, Icon::Critical, Buttons::Ok, QStringLiteral("Error"), this);
        return;
    }
    try {
        StoreCategoryNames(state_, names);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    if (applyToMain_)
        applyToMain_();
}

void SettingsScreen::Command3_Click() {
    accept();
}

void SettingsScreen::Command5_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::maintenance
