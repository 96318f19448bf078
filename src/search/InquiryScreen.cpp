// Inquiry screen: browse any category's main records and the sub records of the selected one; nothing is written.
#include "search/InquiryScreen.h"

#include "platform/CatalogueWrites.h"
#include "platform/Database.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "print/ScreenPrint.h"
#include "records/FieldSearchDialog.h"
#include "records/ListSearchDialog.h"
#include "records/RecordScreenParts.h"
#include "records/SortOrderDialog.h"
#include "search/InquiryMainView.h"
#include "search/InquirySubView.h"
#include "search/SearchAllScreen.h"
#include "store/Catalogue.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTreeView>
#include <QVBoxLayout>

namespace quelm::search {

using platform::Buttons;
using platform::Icon;
using platform::TwipsToPixels;

namespace {

// The window's outer height is 11100 twips, as on the main window's layout; the title bar takes about 450 of it.
constexpr int FormHeight = 11100 - 450;

const QString OpenPrefix = QStringLiteral("　     ");
const QString SearchPrefix = QStringLiteral("　(検索)  ");

void SetColumns(platform::RecordList& list, const std::vector<records::ListColumn>& columns) {
    list.clearColumns();
    for (const records::ListColumn& c : columns)
        list.addColumn(c.heading, c.widthTwips, c.align);
}

} // namespace

InquiryScreen::InquiryScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(state_.caption(QStringLiteral("照会")));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(TwipsToPixels(120), 0, TwipsToPixels(120), 0);
    buildMenus();

    auto* top = new QHBoxLayout;
    Label1 = records::HeadingLabel(QStringLiteral("照　会"), 3, this);
    Label2 = new QLabel(QStringLiteral("種目区分："), this);
    Label3 = records::HeadingLabel(QString(), 1, this);
    Label4 = new QLabel(QStringLiteral("登録ＮＯ："), this);
    Label5 = new QLabel(this);
    Label8 = new QLabel(QStringLiteral("サブＮＯ："), this);
    Label9 = new QLabel(this);
    top->addWidget(Label1);
    top->addSpacing(TwipsToPixels(600));
    top->addWidget(Label2);
    top->addWidget(Label3);
    top->addStretch(1);
    for (QLabel* l : {Label4, Label5, Label8, Label9}) {
        top->addWidget(l);
        l->hide();
    }
    Label5->setMinimumWidth(TwipsToPixels(900));
    Label9->setMinimumWidth(TwipsToPixels(600));
    layout->addLayout(top);

    Label10 = new QLabel(
        QStringLiteral("明細の行列をダフル・クリックすると、個別詳細表示画面が表示されます(メイン・サブ共)"), this);
    layout->addWidget(Label10);
    Text2 = new QPlainTextEdit(this);
    Text2->setReadOnly(true);
    Text2->setPlainText(
        QStringLiteral("「ファイル」の「開く」で種目を選ぶと、その種目の全てのメイン明細が表示されます。\n"
                       "「検索して開く」では、項目と検索文字を指定して、該当するメイン明細だけが表示されます。\n"
                       "メイン明細の行をクリックすると、そのサブ明細が下に表示されます。\n"
                       "この画面では、明細の登録・変更・削除はできません。"));
    Text2->setFixedHeight(TwipsToPixels(1500));
    const int listWidth = records::ListWidthPixels(state_);
    Text2->setFixedWidth(listWidth);
    layout->addWidget(Text2);

    Label6 = new QLabel(QStringLiteral("メイン明細"), this);
    layout->addWidget(Label6);
    ListView1 = new platform::RecordList(this);
    ListView1->setFixedWidth(listWidth);
    layout->addWidget(ListView1, 3);
    Label7 = new QLabel(QStringLiteral("サブ明細"), this);
    layout->addWidget(Label7);
    ListView2 = new platform::RecordList(this);
    ListView2->setFixedWidth(listWidth);
    layout->addWidget(ListView2, 2);
    connect(ListView1, &platform::RecordList::itemClick, this, &InquiryScreen::ListView1_ItemClick);
    connect(ListView1, &platform::RecordList::columnClick, this, &InquiryScreen::ListView1_ColumnClick);
    connect(ListView1->view(), &QTreeView::doubleClicked, this, &InquiryScreen::ListView1_DblClick);
    connect(ListView2, &platform::RecordList::itemClick, this, &InquiryScreen::ListView2_ItemClick);
    connect(ListView2->view(), &QTreeView::doubleClicked, this, &InquiryScreen::ListView2_DblClick);

    StatusBar1 = new platform::StatusPanels(this);
    layout->addWidget(StatusBar1);

    records::PlaceListWindow(*this, state_, FormHeight);
    Menuopen();
    Menukensaku();

    auto* refresh = new QAction(this);
    refresh->setShortcut(Qt::Key_F5);
    addAction(refresh);
    connect(refresh, &QAction::triggered, this, &InquiryScreen::refreshLists);
}

InquiryScreen::~InquiryScreen() = default;

void InquiryScreen::buildMenus() {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    QMenu* mf1 = bar->addMenu(QStringLiteral("ファイル  "));
    QMenu* mfo1 = mf1->addMenu(QStringLiteral("開く    "));
    QMenu* mff1 = mf1->addMenu(QStringLiteral("検索して開く  "));
    for (int i = 0; i < 6; ++i) {
        mf10[i] = mfo1->addAction(OpenPrefix);
        mf11[i] = mff1->addAction(SearchPrefix);
        connect(mf10[i], &QAction::triggered, this, [this, i] { mf10_Click(i); });
        connect(mf11[i], &QAction::triggered, this, [this, i] { mf11_Click(i); });
    }
    mff2 = mf1->addAction(QStringLiteral("全ファイルより検索"));
    mf1->addSeparator();
    mf15 = mf1->addAction(QStringLiteral("画面印刷(ActiveWindow)"));
    mf1->addSeparator();
    mf12 = mf1->addAction(QStringLiteral("閉じる"));
    mf13 = mf1->addAction(QStringLiteral("終了"));
    mk11 = bar->addMenu(QStringLiteral("検索   "))->addAction(QStringLiteral("検索条件     "));
    ms11 = bar->addMenu(QStringLiteral("  ソート "))->addAction(QStringLiteral("ソート条件　　"));
    mv11 = bar->addMenu(QStringLiteral("表示"))->addAction(QStringLiteral("登録ＮＯ表示"));
    mv11->setCheckable(true);
    mh1 = bar->addAction(QStringLiteral("  ヘルプ"));
    connect(mff2, &QAction::triggered, this, &InquiryScreen::mff2_Click);
    connect(mf15, &QAction::triggered, this, &InquiryScreen::mf15_Click);
    connect(mf12, &QAction::triggered, this, &InquiryScreen::mf12_Click);
    connect(mf13, &QAction::triggered, this, &InquiryScreen::mf13_Click);
    connect(mk11, &QAction::triggered, this, &InquiryScreen::mk11_Click);
    connect(ms11, &QAction::triggered, this, &InquiryScreen::ms11_Click);
    connect(mv11, &QAction::triggered, this, &InquiryScreen::mv11_Click);
    connect(mh1, &QAction::triggered, this, &InquiryScreen::mh1_Click);
}

void InquiryScreen::Menuopen() {
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        const store::ConfigSection& slot = state_.config[s];
        if (slot.inUse())
            mf10[s - 4]->setText(OpenPrefix + slot.ShumokuName);
        mf10[s - 4]->setEnabled(slot.inUse());
    }
}

void InquiryScreen::Menukensaku() {
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        const store::ConfigSection& slot = state_.config[s];
        if (slot.inUse())
            mf11[s - 4]->setText(SearchPrefix + slot.ShumokuName);
        mf11[s - 4]->setEnabled(slot.inUse());
    }
}

int InquiryScreen::fieldCount() const {
    return source_.section == 0 ? 0
                                : std::clamp<int>(state_.config[source_.section].FieldCount, 0, store::MainFieldSlots);
}

int InquiryScreen::subFieldCount() const {
    return source_.section == 0
               ? 0
               : std::clamp<int>(state_.config[source_.section].SubFieldCount, 0, store::SubFieldSlots);
}

bool InquiryScreen::startOpening(int section, std::int16_t listMode, const QString& panelText) {
    if (!state_.config[section].inUse()) {
        ui_.message(QStringLiteral("ファイル設定が未済です。"), Icon::Critical, Buttons::Ok, QStringLiteral("Error"),
                    this);
        return false;
    }
    StatusBar1->setPanelText(1, panelText);
    StatusBar1->repaint();
    state_.CurrentSection = static_cast<std::int16_t>(section);
    state_.CurrentCategoryName = state_.config[section].ShumokuName;
    state_.ListMode = listMode;
    Label3->setText(state_.CurrentCategoryName);
    return true;
}

void InquiryScreen::mf10_Click(int index) {
    const int s = index + 4;
    if (!startOpening(s, 0, QStringLiteral("種目別に全てのレコードを表示")))
        return;
    source_ = {s, 0, {}};
    fillMainList();
}

void InquiryScreen::mf11_Click(int index) {
    const int s = index + 4;
    if (!startOpening(s, 1, QStringLiteral("種目別に検索したレコードを表示")))
        return;
    {
        records::FieldSearchDialog dialog(state_, ui_, this);
        ui_.runModal(dialog);
    }
    if (state_.SearchCancelled) {
        source_ = {s, 1, {}};
        clearLists();
        return;
    }
    source_ = {s, 1, state_.FieldSearchCriteria};
    fillMainList();
}

void InquiryScreen::fillMainList() {
    Text2->hide();
    ListView1->clearColumns();
    SubListViewHD();
    if (source_.listMode == 1)
        SubListViewKensaku();
    else
        SubListViewSet();
    ListView1->setFocus();
    setLabel5(QString());
    Txt1Label5Set();
}

void InquiryScreen::SubListViewHD() {
    SetColumns(*ListView1, InquiryMainColumns(state_.config[source_.section]));
}

void InquiryScreen::SubListViewSet() {
    StatusBar1->setPanelText(3, QStringLiteral("ファイル読込中"));
    StatusBar1->repaint();
    // Taken before the read: a write that commits while the rows are read is seen at the next activation.
    readAtWrites_ = platform::CommittedWrites();
    readAtTables_ = state_.TablesGeneration[source_.section];
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        ListView1->addRows(ReadInquiryMainRows(*db, state_, source_));
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
    StatusBar1->setPanelText(3, QString());
    if (ListView1->rowCount() > 0)
        ListView1->select(1);
    update();
}

void InquiryScreen::clearLists() {
    ListView1->clearColumns();
    ListView2->clearColumns();
    Label5->clear();
    StatusBar1->setPanelText(2, QString());
}

void InquiryScreen::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Back in this window after another screen wrote to the catalogue: the lists may show records that changed
    // or no longer exist.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && platform::CommittedWrites() != readAtWrites_)
        refreshLists();
}

void InquiryScreen::refreshLists() {
    Menuopen(); // a category may have been added or renamed meanwhile
    Menukensaku();
    if (source_.section == 0 || ListView1->columnCount() == 0)
        return; // nothing opened yet, or a cancelled search emptied the lists
    if (!state_.config[source_.section].inUse()) {
        clearLists();
        return;
    }
    if (state_.TablesGeneration[source_.section] != readAtTables_) {
        fillMainList(); // the category's tables were rebuilt: its columns are laid out anew
        return;
    }
    const int subIndex = ListView2->selectedIndex();
    const QString subNo = subIndex > 0 ? ListView2->cell(subIndex, subFieldCount() + 1) : QString();
    rereadMainRows(Label5->text());
    setLabel5(QString()); // the sub list is read again even when the main record stays the same
    Txt1Label5Set();
    const int subRow = subNo.isEmpty() ? 0 : ListView2->findRow({subFieldCount() + 1}, {subNo});
    if (subRow > 0) {
        ListView2->select(subRow);
        Txt2Label9Set();
    } else {
        Label9->clear();
    }
}

void InquiryScreen::rereadMainRows(const QString& regNo) {
    const int oldIndex = ListView1->selectedIndex();
    ListView1->clearRows();
    SubListViewSet(); // also keeps a column sort
    const int rows = ListView1->rowCount();
    if (rows == 0)
        return;
    int row = regNo.isEmpty() ? 0 : ListView1->findRow({fieldCount()}, {regNo});
    if (row == 0)
        row = std::clamp(oldIndex, 1, rows);
    ListView1->select(row);
    ListView1->ensureVisible(row);
}

void InquiryScreen::SubListViewKensaku() {
    SubListViewSet(); // the source's list mode 1 reads only the records that meet its criteria
}

void InquiryScreen::Txt1Label5Set() {
    if (ListView1->rowCount() > 0) {
        const int index = ListView1->selectedIndex();
        setLabel5(ListView1->cell(index, fieldCount()));
        StatusBar1->setPanelText(2, PositionOf(MainPositionPrefix, *ListView1));
        StatusBar1->setPanelText(3, ListView1->cell(index, 0));
    }
    ListView1->update();
}

void InquiryScreen::setLabel5(const QString& text) {
    if (Label5->text() == text)
        return;
    Label5->setText(text);
    Label5_Change();
}

void InquiryScreen::Label5_Change() {
    ListView2->clearColumns();
    if (!Label5->text().isEmpty())
        ListView2List();
    if (ListView1->rowCount() > 0)
        StatusBar1->setPanelText(2, PositionOf(MainPositionPrefix, *ListView1));
    ListView1->update();
}

void InquiryScreen::ListView2List() {
    SetColumns(*ListView2, InquirySubColumns(state_.config[source_.section]));
    const auto regNo = Label5->text().toLongLong();
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        ListView2->addRows(ReadInquirySubRows(*db, state_, source_, regNo));
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
}

void InquiryScreen::ListView1_ItemClick(int index) {
    ListView1->select(index);
    setLabel5(QString());
    Txt1Label5Set();
}

void InquiryScreen::ListView2_ItemClick(int index) {
    ListView2->select(index);
    Label9->clear();
    Txt2Label9Set();
    ListView2->update();
}

void InquiryScreen::Txt2Label9Set() {
    if (ListView2->rowCount() == 0)
        return;
    Label9->setText(ListView2->cell(ListView2->selectedIndex(), subFieldCount() + 1));
    StatusBar1->setPanelText(2, PositionOf(SubPositionPrefix, *ListView2));
}

void InquiryScreen::ListView1_ColumnClick(int column) {
    if (ListView1->rowCount() == 0)
        return;
    ListView1->sortByColumn(column, ListView1->sortOrder());
    StatusBar1->setPanelText(2, PositionOf(MainPositionPrefix, *ListView1));
}

void InquiryScreen::followSelection() {
    const int index = ListView1->selectedIndex();
    if (index > 0 && ListView1->cell(index, fieldCount()) != Label5->text())
        ListView1_ItemClick(index);
}

void InquiryScreen::ListView1_DblClick() {
    if (ListView1->selectedIndex() == 0 || source_.section == 0)
        return;
    {
        InquiryMainView view(state_, ui_, *ListView1, source_.section, this);
        ui_.runModal(view);
    }
    followSelection();
}

void InquiryScreen::ListView2_DblClick() {
    if (ListView2->selectedIndex() == 0 || source_.section == 0)
        return;
    {
        InquirySubView view(state_, ui_, *ListView2, source_.section, this);
        ui_.runModal(view);
    }
    if (ListView2->selectedIndex() > 0)
        Txt2Label9Set();
}

void InquiryScreen::mk11_Click() {
    {
        const auto dialog = records::MakeInquiryListSearch(state_, ui_, *ListView1, this);
        ui_.runModal(*dialog);
    }
    update();
    followSelection();
}

void InquiryScreen::ms11_Click() {
    const auto dialog = records::MakeInquirySortOrder(state_, ui_, *ListView1, this);
    ui_.runModal(*dialog);
}

void InquiryScreen::mff2_Click() {
    state_.SearchFromInquiry = true;
    SearchAllScreen search(state_, ui_, this);
    ui_.runModal(search);
}

void InquiryScreen::mf15_Click() {
    print::PrintScreen(*this, StatusBar1, print::ScreenPrintArea::ActiveWindow, ui_, state_.dataFolder);
}

void InquiryScreen::mf12_Click() {
    close();
}

void InquiryScreen::mf13_Click() {
    ui_.endProgram();
}

void InquiryScreen::mv11_Click() {
    const bool shown = mv11->isChecked();
    for (QLabel* l : {Label4, Label5, Label8, Label9})
        l->setVisible(shown);
}

void InquiryScreen::mh1_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::search
