// List entry screen: the entries of one pick list, added, changed and deleted.
#include "store/ListEntriesScreen.h"

#include "platform/ComboEntries.h"
#include "platform/Database.h"
#include "platform/Ui.h"
#include "store/ListTables.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace quelm::store {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QString AddCaption = QStringLiteral("新規登録実行");
const QString ChangeCaption = QStringLiteral("変更 実行");
const QString DeleteCaption = QStringLiteral("削除 実行");
const QString ErrorTitle = QStringLiteral("Error");

} // namespace

ListEntriesScreen::ListEntriesScreen(AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form2f"));
    setWindowTitle(state_.caption(QStringLiteral("リスト登録")));

    Label1 = new QLabel(QStringLiteral("リスト登録"), this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    Label2 = new QLabel(QStringLiteral("リスト・テーブル名"), this);
    Combo1 = new QComboBox(this);
    Combo1->setPlaceholderText(QStringLiteral("リスト・テーブル名を選択して下さい"));
    Combo1->setMinimumContentsLength(20);

    DBGrid1 = new QTableWidget(0, 1, this);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setMinimumHeight(240);

    Text1 = new QLineEdit(this);
    Text1->hide();
    Label5 = new QLabel(QStringLiteral("リスト名： "), this);
    Text2 = new QLineEdit(this);
    Label6 = new QLabel(QStringLiteral("(全角25桁まで)"), this);
    Command1 = new QPushButton(QStringLiteral("新規登録"), this);
    Command2 = new QPushButton(QStringLiteral("変　更"), this);
    Command3 = new QPushButton(QStringLiteral("削　除"), this);
    Command4 = new QPushButton(this);
    Command5 = new QPushButton(QStringLiteral("戻る"), this);
    Command6 = new QPushButton(QStringLiteral("ヘルプ"), this);
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5, Command6})
        b->setAutoDefault(false);

    auto* choice = new QHBoxLayout;
    choice->addWidget(Label2);
    choice->addWidget(Combo1, 1);
    auto* input = new QHBoxLayout;
    input->addWidget(Label5);
    input->addWidget(Text2, 1);
    input->addWidget(Label6);
    auto* actions = new QHBoxLayout;
    actions->addWidget(Command1);
    actions->addWidget(Command2);
    actions->addWidget(Command3);
    actions->addWidget(Command4);
    actions->addStretch();
    actions->addWidget(Command5);
    actions->addWidget(Command6);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(choice);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(input);
    layout->addLayout(actions);

    connect(Combo1, &QComboBox::activated, this, &ListEntriesScreen::Combo1_Click);
    connect(Command1, &QPushButton::clicked, this, &ListEntriesScreen::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ListEntriesScreen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &ListEntriesScreen::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &ListEntriesScreen::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &ListEntriesScreen::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &ListEntriesScreen::Command6_Click);
    connect(DBGrid1, &QTableWidget::currentCellChanged, this, [this] { ShowCurrentEntry(); });

    Form_Load();
}

void ListEntriesScreen::Form_Load() {
    for (QWidget* w : std::initializer_list<QWidget*>{DBGrid1, Command1, Command2, Command3, Command4, Label5, Label6,
                                                      Text1, Text2}) {
        w->hide();
        w->setEnabled(false);
    }
    if (ListCount(state_.config) != 0) {
        Combo1->addItems(ListNames(state_.config));
        platform::HideEmptyEntries(*Combo1);
    } else {
        ui_.message(QStringLiteral("リスト・テーブルが作成未済です。"), Icon::Critical, Buttons::Ok, ErrorTitle, this);
    }
}

void ListEntriesScreen::Combo1_Click(int index) {
    if (index < 0 || index >= Combo1->count() || Combo1->itemText(index).isEmpty())
        return;
    slot_ = index;
    DBGrid1->setHorizontalHeaderLabels({Combo1->itemText(index)});
    try {
        LoadGrid(0);
    } catch (const platform::EngineError& e) {
        slot_.reset();
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    Combo1->setCurrentIndex(index);
    Combo1->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{DBGrid1, Command1, Command2, Command3, Label5}) {
        w->show();
        w->setEnabled(true);
    }
    Text1->hide();
    Text2->show();
    Text2->setEnabled(true);
    Text2->setReadOnly(true);
    ShowCurrentEntry();
}

void ListEntriesScreen::Command1_Click() {
    adding_ = true;
    Text2->clear();
    EnterMode(AddCaption, true);
}

void ListEntriesScreen::Command2_Click() {
    EnterMode(ChangeCaption, true);
}

void ListEntriesScreen::Command3_Click() {
    EnterMode(DeleteCaption, false);
}

void ListEntriesScreen::EnterMode(const QString& executeCaption, bool editable) {
    for (QPushButton* b : {Command1, Command2, Command3}) {
        b->hide();
        b->setEnabled(false);
    }
    Command4->setText(executeCaption);
    Command4->show();
    Command4->setEnabled(true);
    Text2->setReadOnly(!editable);
    Label6->setVisible(editable);
    Label6->setEnabled(editable);
    if (editable)
        Text2->setFocus();
}

void ListEntriesScreen::Command4_Click() {
    if (!slot_)
        return;
    const QString mode = Command4->text();
    int row = currentRow();
    try {
        if (mode == ChangeCaption)
            row = TableUpDate();
        else if (mode == DeleteCaption)
            row = TableDelete();
        else
            row = TableAdd();
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }

    adding_ = false;
    try {
        LoadGrid(row);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
    for (QPushButton* b : {Command1, Command2, Command3}) {
        b->show();
        b->setEnabled(true);
    }
    Command4->setText(QString());
    Command4->hide();
    Command4->setEnabled(false);
    Label6->hide();
    Label6->setEnabled(false);
    Text2->setReadOnly(true);
    ShowCurrentEntry();
}

void ListEntriesScreen::ShowEntryProblem(EntryCheck check, const QString& entry) {
    switch (check) {
    case EntryCheck::Empty:
        ui_.message(QStringLiteral("リスト名称が入力洩れです。"), Icon::Critical, Buttons::Ok, ErrorTitle, this);
        break;
    case EntryCheck::TooLong:
        ui_.message(QStringLiteral("リスト名称の桁数が50桁オーバーです。"), Icon::Critical, Buttons::Ok, ErrorTitle,
                    this);
        break;
    case EntryCheck::Duplicate:
        ui_.message(QStringLiteral("リスト名称 [") + entry + QStringLiteral("] は既に登録済です。"), Icon::Critical,
                    Buttons::Ok, ErrorTitle, this);
        break;
    case EntryCheck::Ok:
        break;
    }
}

int ListEntriesScreen::TableAdd() {
    const QString entry = Text2->text().trimmed();
    const EntryCheck check = AddListEntry(state_, *slot_, entry);
    ShowEntryProblem(check, entry);
    // The new entry went to the end of the list: it becomes the current one.
    return check == EntryCheck::Ok ? static_cast<int>(entries_.size()) : currentRow();
}

int ListEntriesScreen::TableUpDate() {
    const int row = currentRow();
    // A change is not tested for duplicates: only the empty and length checks can refuse it.
    ShowEntryProblem(ChangeListEntry(state_, *slot_, currentEntry(), Text2->text()), QString());
    return row;
}

int ListEntriesScreen::TableDelete() {
    const int row = currentRow();
    // An empty list has no current entry to ask about.
    if (row < 0)
        return row;
    const QString entry = currentEntry();
    if (ui_.message(QStringLiteral("リスト[") + entry + QStringLiteral("]を削除しますか？"), Icon::Question,
                    Buttons::OkCancel, QStringLiteral("削除の確認"), this) != Answer::Ok)
        return row;
    DeleteListEntry(state_, *slot_, entry);
    return row;
}

void ListEntriesScreen::LoadGrid(int current) {
    entries_ = ListEntries(state_, *slot_);
    const QSignalBlocker block(DBGrid1);
    DBGrid1->clearContents();
    DBGrid1->setRowCount(static_cast<int>(entries_.size()));
    for (int r = 0; r < entries_.size(); ++r)
        DBGrid1->setItem(r, 0, new QTableWidgetItem(entries_[r]));
    if (!entries_.isEmpty())
        DBGrid1->setCurrentCell(std::clamp(current, 0, static_cast<int>(entries_.size()) - 1), 0);
}

void ListEntriesScreen::ShowCurrentEntry() {
    const QString entry = currentEntry();
    Text1->setText(entry);
    if (!adding_)
        Text2->setText(entry);
}

QString ListEntriesScreen::currentEntry() const {
    const int row = currentRow();
    return row >= 0 && row < entries_.size() ? entries_[row] : QString();
}

void ListEntriesScreen::setCurrentRow(int row) {
    DBGrid1->setCurrentCell(row, 0);
}

int ListEntriesScreen::currentRow() const {
    return DBGrid1->rowCount() == 0 ? -1 : DBGrid1->currentRow();
}

void ListEntriesScreen::Command5_Click() {
    reject();
}

void ListEntriesScreen::Command6_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::store
