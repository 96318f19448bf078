// Frame of the main and the sub record screen: menus, tool bar, status bar, deferred load, the state they are for.
#include "records/RecordScreen.h"

#include "platform/Database.h"
#include "platform/KeyedToolBar.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "print/PrintSettingsDialog.h"
#include "print/ScreenPrint.h"
#include "records/ListSort.h"
#include "records/MainRecords.h"
#include "records/RecordScreenParts.h"
#include "records/SortOrderDialog.h"
#include "store/Catalogue.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>

namespace quelm::records {

using platform::TwipsRect;
using platform::TwipsToPixels;

namespace {

constexpr int FormHeight = 9600;

} // namespace

RecordScreen::RecordScreen(store::AppState& state, platform::Ui& ui, const Captions& captions, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setWindowTitle(captions.title);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(TwipsToPixels(120), 0, TwipsToPixels(120), 0);
    layout->setSpacing(TwipsToPixels(60));
    buildMenus(captions);

    Toolbar1 = new platform::KeyedToolBar(this);
    AddRecordToolButtons(*Toolbar1);
    connect(Toolbar1, &platform::KeyedToolBar::buttonClick, this, &RecordScreen::Toolbar1_ButtonClick);
    layout->addWidget(Toolbar1);

    Label1 = HeadingLabel(QString(), 3, this);
    layout->addWidget(Label1);

    body_ = new QVBoxLayout;
    body_->setContentsMargins(0, 0, 0, 0);
    body_->setSpacing(layout->spacing());
    layout->addLayout(body_, 1);

    StatusBar1 = new platform::StatusPanels(this);
    layout->addWidget(StatusBar1);

    PlaceListWindow(*this, state_, FormHeight);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &RecordScreen::Timer1_Timer);
    Timer1->start();
}

RecordScreen::~RecordScreen() = default;

void RecordScreen::buildMenus(const Captions& captions) {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    QMenu* mf1 = bar->addMenu(QStringLiteral("ファイル"));
    mf10 = mf1->addAction(captions.records);
    mf11 = mf1->addAction(QStringLiteral("     新規作成"));
    mf12 = mf1->addAction(QStringLiteral("     変　更"));
    mf13 = mf1->addAction(QStringLiteral("     削　除"));
    mf1->addSeparator();
    QMenu* mf14 = mf1->addMenu(QStringLiteral("画面印刷"));
    mf140 = mf14->addAction(captions.printWindow);
    mf141 = mf14->addAction(captions.printUserData);
    mf142 = mf14->addAction(QStringLiteral("EntireScreen(画面全体)"));
    mf15 = mf1->addAction(QStringLiteral("印刷設定"));
    mf16 = mf1->addAction(captions.print);
    mf1->addSeparator();
    mf18 = mf1->addAction(captions.close);
    mf19 = mf1->addAction(QStringLiteral("終了"));
    connect(mf11, &QAction::triggered, this, &RecordScreen::mf11_Click);
    connect(mf12, &QAction::triggered, this, &RecordScreen::mf12_Click);
    connect(mf13, &QAction::triggered, this, &RecordScreen::mf13_Click);
    connect(mf15, &QAction::triggered, this, &RecordScreen::mf15_Click);
    connect(mf16, &QAction::triggered, this, &RecordScreen::mf16_Click);
    connect(mf18, &QAction::triggered, this, &RecordScreen::mf18_Click);
    connect(mf19, &QAction::triggered, this, &RecordScreen::mf19_Click);
    connect(mf140, &QAction::triggered, this, [this] { printScreen(print::ScreenPrintArea::ActiveWindow); });
    connect(mf141, &QAction::triggered, this, [this] { printScreen(print::ScreenPrintArea::UserData); });
    connect(mf142, &QAction::triggered, this, [this] { printScreen(print::ScreenPrintArea::EntireScreen); });

    editMenu_ = bar->addMenu(QStringLiteral("編集"));
    me11 = editMenu_->addAction(QStringLiteral("コピー"));
    me14 = editMenu_->addAction(QStringLiteral("元に戻す"));
    connect(me11, &QAction::triggered, this, &RecordScreen::me11_Click);
    connect(me14, &QAction::triggered, this, &RecordScreen::me14_Click);

    QMenu* mv1 = bar->addMenu(QStringLiteral("表示"));
    mv11 = new QAction(captions.showRegNo, mv1);
    mv12 = new QAction(QStringLiteral("ツールバー非表示"), mv1);
    mv1->addActions(captions.showRegNoFirst ? QList<QAction*>{mv11, mv12} : QList<QAction*>{mv12, mv11});
    mv11->setCheckable(true);
    mv12->setCheckable(true);
    connect(mv11, &QAction::triggered, this, &RecordScreen::mv11_Click);
    connect(mv12, &QAction::triggered, this, &RecordScreen::mv12_Click);

    mk11 = bar->addMenu(captions.searchMenu)->addAction(QStringLiteral("検索条件"));
    ms11 = bar->addMenu(captions.sortMenu)->addAction(QStringLiteral("ソート条件"));
    connect(mk11, &QAction::triggered, this, &RecordScreen::mk11_Click);
    connect(ms11, &QAction::triggered, this, &RecordScreen::ms11_Click);
    mh1 = bar->addAction(QStringLiteral("ヘルプ"));
    connect(mh1, &QAction::triggered, this, &RecordScreen::mh1_Click);
}

QMenu* RecordScreen::addEditSubmenu(const QString& title) {
    auto* menu = new QMenu(title, editMenu_);
    editMenu_->insertMenu(me14, menu);
    return menu;
}

platform::RecordList* RecordScreen::newList() {
    auto* list = new platform::RecordList(this);
    list->setFixedWidth(ListWidthPixels(state_));
    return list;
}

void RecordScreen::addListView1() {
    ListView1 = newList();
    connect(ListView1, &platform::RecordList::itemClick, this, &RecordScreen::ListView1_ItemClick);
    connect(ListView1, &platform::RecordList::columnClick, this, &RecordScreen::ListView1_ColumnClick);
    body_->addWidget(ListView1, 1);
}

void RecordScreen::BuildFieldBoxes(QWidget* panel, std::span<QLabel*> labels, std::span<QLineEdit*> boxes,
                                   int columnStepTwips, int boxWidthTwips) {
    for (std::size_t i = 0; i < labels.size() && i < boxes.size(); ++i) {
        const int column = static_cast<int>(i) / 5, row = static_cast<int>(i) % 5;
        const int x = column * columnStepTwips, y = 60 + row * 420;
        labels[i] = new QLabel(panel);
        labels[i]->setGeometry(TwipsRect(x, y, 1500, 330));
        labels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        boxes[i] = new QLineEdit(panel);
        boxes[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        boxes[i]->setGeometry(TwipsRect(x + 1560, y, boxWidthTwips, 330));
        boxes[i]->setReadOnly(true);
        labels[i]->hide();
        boxes[i]->hide();
    }
}

void RecordScreen::ShowFieldBoxes(std::span<QLabel* const> labels, std::span<QLineEdit* const> boxes,
                                  std::span<const QString> names) {
    for (std::size_t i = 0; i < names.size() && i < labels.size() && i < boxes.size(); ++i) {
        labels[i]->setText(names[i] + QStringLiteral(" ："));
        labels[i]->show();
        boxes[i]->show();
        boxes[i]->setEnabled(true);
    }
}

bool RecordScreen::beginLoad() {
    if (loaded_)
        return false;
    Timer1->stop();
    loaded_ = true;
    state_.CurrentSection =
        static_cast<std::int16_t>(SectionOfCategory(state_.config, state_.CurrentCategoryName, state_.CurrentSection));
    opened_ = {state_.CurrentSection, state_.config[state_.CurrentSection].ShumokuName,
               state_.ListMode,       state_.CurrentRegNo,
               state_.CurrentSubNo,   state_.FieldSearchCriteria};
    opened_.tablesGeneration = state_.TablesGeneration[opened_.section];
    return true;
}

bool RecordScreen::stale() const {
    return loaded_ && state_.TablesGeneration[opened_.section] != opened_.tablesGeneration;
}

void RecordScreen::addRowsFrom(platform::RecordList& list, RowReader read) {
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        list.addRows(read(*db, state_));
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
}

void RecordScreen::showCells(int index, std::span<QLineEdit* const> boxes, std::initializer_list<QLineEdit*> keyBoxes) {
    int column = 0;
    for (QLineEdit* box : boxes)
        box->setText(ListView1->cell(index, column++));
    for (QLineEdit* box : keyBoxes)
        box->setText(ListView1->cell(index, column++));
}

void RecordScreen::countSubRecords(std::int64_t regNo) {
    state_.SubRecordCount = 0;
    state_.MaxSubNo = 0;
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        const SubCounts counts = CountSubRecords(*db, state_.config[state_.CurrentSection], regNo);
        state_.SubRecordCount = counts.count;
        state_.MaxSubNo = counts.maxSubNo;
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
}

void RecordScreen::claimState() {
    if (!loaded_)
        return;
    state_.CurrentSection = opened_.section;
    state_.CurrentCategoryName = opened_.categoryName;
    state_.ListMode = opened_.listMode;
}

QString RecordScreen::positionText() const {
    return PositionText(*ListView1);
}

void RecordScreen::openEditor(EditorMode mode) {
    claimState();
    const int remembered = ListView1->selectedIndex();
    QStringList editedKey;
    for (int column : keyColumns())
        editedKey << ListView1->cell(remembered, column);
    {
        const std::unique_ptr<QDialog> editor = makeEditor(mode);
        ui_.runModal(*editor);
    }
    showAfterEdit(mode, remembered, editedKey);
}

void RecordScreen::runExchangeScreen(QDialog& screen) {
    claimState();
    ui_.runModal(screen);
    readRows();
    if (ListView1->rowCount() == 0) {
        clearShown();
    } else {
        // The refilled list starts on its first row, so that the shown record and the position agree.
        ListView1->select(1);
        showSelected();
    }
    update();
}

int RecordScreen::rowAfterEdit(EditorMode mode, int rememberedIndex, const QStringList& editedKey) const {
    const int rows = ListView1->rowCount();
    const std::vector<int> keys = keyColumns();
    if (mode == EditorMode::New) {
        if (!ListView1->isSorted() || keys.empty())
            return rows; // unsorted, the newest record is the last row
        // Sorted, the newest record is the one with the largest number, wherever the sort put it.
        int newest = rows;
        qlonglong largest = std::numeric_limits<qlonglong>::min();
        for (int i = 1; i <= rows; ++i) {
            const qlonglong key = ListView1->cell(i, keys.back()).toLongLong();
            if (key > largest) {
                largest = key;
                newest = i;
            }
        }
        return newest;
    }
    // A changed record is found by its key: a sort or another writer may have moved it to another row.
    if (mode == EditorMode::Change) {
        if (const int row = ListView1->findRow(keys, editedKey); row > 0)
            return row;
    }
    // A changed list can also be shorter (the record went elsewhere), so the remembered row is kept within it.
    return std::clamp(rememberedIndex, 1, rows);
}

void RecordScreen::showAfterEdit(EditorMode mode, int rememberedIndex, const QStringList& editedKey) {
    readRows();
    const int rows = ListView1->rowCount();
    if (rows == 0) {
        // The only record was deleted, or a search list lost its record: nothing may stay shown as if it existed.
        clearShown();
        update();
        return;
    }
    const int index = rowAfterEdit(mode, rememberedIndex, editedKey);
    ListView1->select(index);
    showSelected();
    ListView1->ensureVisible(index);
    update();
}

void RecordScreen::me14_Click() {
    claimState();
    ListView1->clearColumns();
    hide();
    {
        const std::unique_ptr<RecordScreen> again = makeAgain();
        connect(again.get(), &RecordScreen::endRequested, this, &RecordScreen::endRequested);
        ui_.runModal(*again);
    }
    close();
}

void RecordScreen::mf11_Click() {
    openEditor(EditorMode::New);
}

void RecordScreen::mf12_Click() {
    if (!refusedWithoutRecord())
        openEditor(EditorMode::Change);
}

void RecordScreen::mf13_Click() {
    if (!refusedWithoutRecord())
        openEditor(EditorMode::Delete);
}

void RecordScreen::me11_Click() {
    CopySelectedText(shownBoxes());
}

void RecordScreen::mk11_Click() {
    {
        ListSearchDialog dialog(state_, ui_, listOwner(), *ListView1, StatusBar1, this);
        ui_.runModal(dialog);
    }
    afterListSearch();
}

void RecordScreen::ms11_Click() {
    SortOrderDialog dialog(state_, ui_, listOwner(), *ListView1, this);
    ui_.runModal(dialog);
}

void RecordScreen::ListView1_ItemClick(int) {
    showSelected();
}

void RecordScreen::mf18_Click() {
    close();
}

void RecordScreen::mf19_Click() {
    emit endRequested();
    ui_.endProgram();
}

void RecordScreen::mv11_Click() {
    const bool shown = mv11->isChecked();
    for (QWidget* w : regNoWidgets_) {
        w->setVisible(shown);
        w->setEnabled(shown);
    }
}

void RecordScreen::mv12_Click() {
    Toolbar1->setVisible(!mv12->isChecked());
}

void RecordScreen::mh1_Click() {
    ui_.showHelp(this);
}

void RecordScreen::ListView1_ColumnClick(int column) {
    SortByColumn(*ListView1, *StatusBar1, column);
    update();
}

void RecordScreen::Toolbar1_ButtonClick(const QString& key) {
    TriggerRecordToolButton(key, {mf11, mf12, mf13, mf140, mf15, mf16, mk11, ms11, mh1});
}

print::ReportSide RecordScreen::reportSide() const {
    return print::ReportSide::Main;
}

void RecordScreen::mf15_Click() {
    claimState();
    print::SetUpReport(state_, ui_, reportSide(), {this, ListView1, reportMainRow(), StatusBar1, Label1->text()});
}

void RecordScreen::mf16_Click() {
    claimState();
    print::PrintReport(state_, ui_, reportSide(), {this, ListView1, reportMainRow(), StatusBar1, Label1->text()});
}

void RecordScreen::printScreen(print::ScreenPrintArea area) {
    claimState();
    print::PrintScreen(*this, StatusBar1, area, ui_, state_.dataFolder);
}

} // namespace quelm::records
