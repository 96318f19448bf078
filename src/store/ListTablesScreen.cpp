// List table settings screen: creates and drops the pick-list tables.
#include "store/ListTablesScreen.h"

#include "platform/ComboEntries.h"
#include "platform/Database.h"
#include "platform/Ui.h"
#include "store/ListTables.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelm::store {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

ListTablesScreen::ListTablesScreen(AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form2e"));
    setWindowTitle(state_.caption(QStringLiteral("リスト・テーブル設定")));

    Label1 = new QLabel(QStringLiteral("リスト・テーブル設定"), this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    Label2 = new QLabel(QStringLiteral("作成するリストのテーブル名を登録してください。"), this);
    Label3 = new QLabel(QStringLiteral("リスト・テーブル名"), this);
    Text1 = new QLineEdit(this);
    Command1 = new QPushButton(QStringLiteral("作成"), this);
    Label4 = new QLabel(QStringLiteral("リストとは？・・・・・・・［ヘルプ］を参照願います。"), this);
    Label5 = new QLabel(QStringLiteral("（リスト・テーブル削除）"), this);
    Label6 = new QLabel(QStringLiteral("削除するリスト・テーブル名"), this);
    Combo2 = new QComboBox(this);
    Combo2->setPlaceholderText(QStringLiteral("リスト・テーブル名を選択して下さい"));
    Combo2->setMinimumContentsLength(20);
    Command3 = new QPushButton(QStringLiteral("削除"), this);
    Command2 = new QPushButton(QStringLiteral("戻る"), this);
    Command4 = new QPushButton(QStringLiteral("ヘルプ"), this);
    Command1->setAutoDefault(false);
    Command3->setAutoDefault(false);
    Command2->setAutoDefault(false);
    Command4->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(Label3, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Command1, 0, 2);
    grid->addWidget(Label4, 1, 0, 1, 3);
    grid->addWidget(Label5, 2, 0, 1, 3);
    grid->addWidget(Label6, 3, 0);
    grid->addWidget(Combo2, 3, 1);
    grid->addWidget(Command3, 3, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &ListTablesScreen::Command1_Click);
    connect(Combo2, &QComboBox::activated, this, &ListTablesScreen::Combo2_Click);
    connect(Command3, &QPushButton::clicked, this, &ListTablesScreen::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &ListTablesScreen::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &ListTablesScreen::Command4_Click);

    Form_Load();
}

void ListTablesScreen::Form_Load() {
    Text1->clear();
    // The drop list is filled even with ten lists: otherwise a full directory could never be thinned out here.
    Combo2->addItems(ListNames(state_.config));
    platform::HideEmptyEntries(*Combo2);
    Command3->setEnabled(false);
    if (ListCount(state_.config) < ListSlotCount)
        target_ = FirstFreeListSlot(state_.config);
    if (!target_) {
        ui_.message(ListsFullMessage, Icon::Critical, Buttons::Ok, QStringLiteral("Error"), this);
        // No eleventh table is ever attempted. 作成 stays clickable so that it can say why it does nothing.
        Text1->setEnabled(false);
    }
}

void ListTablesScreen::Command1_Click() {
    if (!target_) {
        ui_.message(ListsFullMessage + QStringLiteral("\r\n") + ListsFullHint, Icon::Exclamation, Buttons::Ok,
                    QStringLiteral("Error"), this);
        return;
    }
    const QString name = Text1->text().trimmed();
    if (name.isEmpty()) {
        ui_.message(QStringLiteral("リスト・テーブル名を入力してください"), Icon::Critical, Buttons::Ok,
                    QStringLiteral("ERROR"), this);
        return;
    }
    try {
        if (auto refused = CreateList(state_, *target_, name)) {
            ui_.message(*refused, Icon::Critical, Buttons::Ok, QStringLiteral("ERROR"), this);
            return;
        }
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    ui_.message(name + QStringLiteral(" リスト・テーブルを作成しました。"), Icon::Exclamation, Buttons::Ok,
                QStringLiteral("処理終了"), this);
    accept();
}

void ListTablesScreen::Combo2_Click(int index) {
    if (index < 0 || index >= ListSlotCount)
        return;
    dropSlot_ = index;
    if (!Combo2->itemText(index).isEmpty()) {
        // Locked on the chosen list, so the question and the drop name the same one.
        Combo2->setCurrentIndex(index);
        Combo2->setEnabled(false);
        Command3->setEnabled(true);
    }
}

void ListTablesScreen::Command3_Click() {
    if (!dropSlot_ || ListName(state_.config, *dropSlot_).isEmpty())
        return;
    const int slot = *dropSlot_;
    const QString stored = state_.config[ListSection].FieldName[slot + 1];
    if (ui_.message(stored + QStringLiteral(" のリスト・テーブルを削除しますか？"), Icon::None, Buttons::OkCancel,
                    QStringLiteral("削除の確認"), this) != Answer::Ok)
        return;
    try {
        DropList(state_, slot);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    ui_.message(QStringLiteral("リスト・テーブルを削除しました。"), Icon::Information, Buttons::Ok,
                QStringLiteral("削除終了"), this);
    accept();
}

void ListTablesScreen::Command2_Click() {
    reject();
}

void ListTablesScreen::Command4_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::store
