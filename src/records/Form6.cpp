// Sub record screen: the sub records of one main record, with the main record above them.
#include "records/Form6.h"

#include "platform/Database.h"
#include "platform/KeyedToolBar.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "print/ScreenPrint.h"
#include "records/Form8.h"
#include "records/ListSearchDialog.h"
#include "records/ListSort.h"
#include "records/MainRecords.h"
#include "records/RecordScreenParts.h"
#include "records/SortOrderDialog.h"
#include "records/SubList.h"
#include "store/Catalogue.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace quelm::records {

using platform::Buttons;
using platform::Icon;
using platform::TwipsRect;
using platform::TwipsToPixels;

namespace {

constexpr int ListDesignWidth = 14655; // both lists at the narrow layout; widened by ListViewExtraWidth
constexpr int FormHeight = 9600;
constexpr int MainRowListHeight = 1000; // heading, one row and the horizontal scroll bar
constexpr int PanelHeight = 2280;

const QString NoSubRecordMessage = QStringLiteral("サブ明細レコードが指定されていません。");

} // namespace

Form6::Form6(store::AppState& state, platform::Ui& ui, QWidget* parent) : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(state_.title() + QStringLiteral(" Quelm 種目別サブ明細"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(TwipsToPixels(120), 0, TwipsToPixels(120), 0);
    layout->setSpacing(TwipsToPixels(60));
    buildMenus();

    Toolbar1 = new platform::KeyedToolBar(this);
    AddRecordToolButtons(*Toolbar1);
    connect(Toolbar1, &platform::KeyedToolBar::buttonClick, this, &Form6::Toolbar1_ButtonClick);
    layout->addWidget(Toolbar1);

    Label1 = new QLabel(this);
    QFont headingFont = Label1->font();
    headingFont.setPointSize(headingFont.pointSize() + 3);
    headingFont.setBold(true);
    Label1->setFont(headingFont);
    layout->addWidget(Label1);

    const int listWidth = TwipsToPixels(ListDesignWidth + state_.ListViewExtraWidth);
    Label7 = new QLabel(QStringLiteral("(メイン・レコード)"), this);
    layout->addWidget(Label7);
    ListView2 = new platform::RecordList(this);
    ListView2->setFixedWidth(listWidth);
    ListView2->setFixedHeight(TwipsToPixels(MainRowListHeight));
    layout->addWidget(ListView2);

    Label8 = new QLabel(QStringLiteral("(サブ・レコード)"), this);
    layout->addWidget(Label8);
    ListView1 = new platform::RecordList(this);
    ListView1->setFixedWidth(listWidth);
    connect(ListView1, &platform::RecordList::itemClick, this, &Form6::ListView1_ItemClick);
    connect(ListView1, &platform::RecordList::columnClick, this, &Form6::ListView1_ColumnClick);
    layout->addWidget(ListView1, 1);

    auto* panel = new QWidget(this);
    panel->setFixedHeight(TwipsToPixels(PanelHeight));
    buildDetailPanel(panel);
    layout->addWidget(panel);

    StatusBar1 = new platform::StatusPanels(this);
    layout->addWidget(StatusBar1);

    Picture1 = new QLabel(this);
    Picture1->hide();

    // The same geometry as the main record screen; kept on the screen when the layout's top is negative.
    resize(TwipsToPixels(state_.ListFormWidth), TwipsToPixels(FormHeight));
    move(TwipsToPixels(state_.ListFormLeft), std::max(0, TwipsToPixels(state_.ListFormTop)));

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &Form6::Timer1_Timer);
    Timer1->start();
}

Form6::~Form6() = default;

void Form6::buildMenus() {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    QMenu* mf1 = bar->addMenu(QStringLiteral("ファイル"));
    mf10 = mf1->addAction(QStringLiteral("(サブ明細レコード)"));
    mf11 = mf1->addAction(QStringLiteral("     新規作成"));
    mf12 = mf1->addAction(QStringLiteral("     変　更"));
    mf13 = mf1->addAction(QStringLiteral("     削　除"));
    mf1->addSeparator();
    QMenu* mf14 = mf1->addMenu(QStringLiteral("画面印刷"));
    mf140 = mf14->addAction(QStringLiteral("ActiveWindow(種目別サブ明細画面)"));
    mf141 = mf14->addAction(QStringLiteral("UserData(種目別サブ明細画面のユーザー・データ部)"));
    mf142 = mf14->addAction(QStringLiteral("EntireScreen(画面全体)"));
    mf15 = mf1->addAction(QStringLiteral("印刷設定"));
    mf16 = mf1->addAction(QStringLiteral("印　刷　"));
    mf1->addSeparator();
    mf18 = mf1->addAction(QStringLiteral("閉じる          "));
    mf19 = mf1->addAction(QStringLiteral("終了"));
    connect(mf11, &QAction::triggered, this, &Form6::mf11_Click);
    connect(mf12, &QAction::triggered, this, &Form6::mf12_Click);
    connect(mf13, &QAction::triggered, this, &Form6::mf13_Click);
    connect(mf18, &QAction::triggered, this, &Form6::mf18_Click);
    connect(mf19, &QAction::triggered, this, &Form6::mf19_Click);
    connect(mf140, &QAction::triggered, this, [this] { printScreen(print::ScreenPrintArea::ActiveWindow); });
    connect(mf141, &QAction::triggered, this, [this] { printScreen(print::ScreenPrintArea::UserData); });
    connect(mf142, &QAction::triggered, this, [this] { printScreen(print::ScreenPrintArea::EntireScreen); });

    QMenu* me1 = bar->addMenu(QStringLiteral("編集"));
    me11 = me1->addAction(QStringLiteral("コピー"));
    QMenu* me13 = me1->addMenu(QStringLiteral("外部データの取込み"));
    me131 = me13->addAction(QStringLiteral("CSVデータの取込み(サブ明細)"));
    me14 = me1->addAction(QStringLiteral("元に戻す"));
    connect(me11, &QAction::triggered, this, &Form6::me11_Click);
    connect(me14, &QAction::triggered, this, &Form6::me14_Click);

    QMenu* mv1 = bar->addMenu(QStringLiteral("表示"));
    mv11 = mv1->addAction(QStringLiteral("登録ＮＯ表示     "));
    mv12 = mv1->addAction(QStringLiteral("ツールバー非表示"));
    mv11->setCheckable(true);
    mv12->setCheckable(true);
    connect(mv11, &QAction::triggered, this, &Form6::mv11_Click);
    connect(mv12, &QAction::triggered, this, &Form6::mv12_Click);

    QMenu* mk1 = bar->addMenu(QStringLiteral("検索"));
    mk11 = mk1->addAction(QStringLiteral("検索条件"));
    connect(mk11, &QAction::triggered, this, &Form6::mk11_Click);
    QMenu* ms1 = bar->addMenu(QStringLiteral("ソート"));
    ms11 = ms1->addAction(QStringLiteral("ソート条件"));
    connect(ms11, &QAction::triggered, this, &Form6::ms11_Click);
    mh1 = bar->addAction(QStringLiteral("ヘルプ"));
    connect(mh1, &QAction::triggered, this, &Form6::mh1_Click);
}

void Form6::buildDetailPanel(QWidget* panel) {
    // Two columns of five sub fields; the key boxes on the right.
    for (int i = 0; i < store::SubFieldSlots; ++i) {
        const int column = i / 5, row = i % 5;
        const int x = column * 5040, y = 60 + row * 420;
        Label3[i] = new QLabel(panel);
        Label3[i]->setGeometry(TwipsRect(x, y, 1500, 330));
        Label3[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Text1[i] = new QLineEdit(panel);
        Text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        Text1[i]->setGeometry(TwipsRect(x + 1560, y, 3360, 330));
        Text1[i]->setReadOnly(true);
        Label3[i]->hide();
        Text1[i]->hide();
    }
    Label2 = new QLabel(QStringLiteral("登録ＮＯ："), panel);
    Label2->setGeometry(TwipsRect(10080, 60, 1500, 330));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text2 = new QLineEdit(panel);
    Text2->setGeometry(TwipsRect(11640, 60, 1200, 330));
    Text2->setReadOnly(true);
    Label6 = new QLabel(QStringLiteral("サブＮＯ："), panel);
    Label6->setGeometry(TwipsRect(10080, 480, 1500, 330));
    Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text3 = new QLineEdit(panel);
    Text3->setGeometry(TwipsRect(11640, 480, 1200, 330));
    Text3->setReadOnly(true);
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Label6),
                       static_cast<QWidget*>(Text3)})
        w->hide();
}

int Form6::subFieldCount() const {
    return std::clamp<int>(state_.config[state_.CurrentSection].SubFieldCount, 0, store::SubFieldSlots);
}

void Form6::Timer1_Timer() {
    if (loaded_)
        return;
    Timer1->stop();
    loaded_ = true;
    state_.CurrentSection =
        static_cast<std::int16_t>(SectionOfCategory(state_.config, state_.CurrentCategoryName, state_.CurrentSection));
    opened_ = {state_.CurrentSection, state_.config[state_.CurrentSection].ShumokuName, state_.ListMode,
               state_.CurrentRegNo, state_.CurrentSubNo};
    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    for (int k = 1; k <= subFieldCount(); ++k) {
        Label3[k - 1]->setText(section.SubFieldName[k] + QStringLiteral(" ："));
        Label3[k - 1]->show();
        Text1[k - 1]->show();
        Text1[k - 1]->setEnabled(true);
    }
    StatusBar1->setPanelText(1, state_.ListMode == 2 ? QStringLiteral("全ファイルより検索したレコードの内、１件を表示")
                                                     : QStringLiteral("サブ明細のレコードを表示"));
    SubListViewHD();
    SubListViewSet();
    if (ListView1->rowCount() > 0) {
        ListView1->select(1);
        showRow(1);
    } else {
        clearBoxes();
    }
    ListView2List();
    // The next サブＮＯ must follow this main record's largest, whoever opened the screen: the opener's count may
    // belong to a record another screen showed since.
    state_.SubRecordCount = 0;
    state_.MaxSubNo = 0;
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        const SubCounts counts = CountSubRecords(*db, section, state_.CurrentRegNo);
        state_.SubRecordCount = counts.count;
        state_.MaxSubNo = counts.maxSubNo;
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
    if (ListView1->rowCount() > 0)
        StatusBar1->setPanelText(2, positionText());
    Label1->setText(section.ShumokuName + QStringLiteral(" (サブ明細)"));
    ListView1->view()->setFocus();
    update();
}

void Form6::claimState() {
    if (!loaded_)
        return;
    state_.CurrentSection = opened_.section;
    state_.CurrentCategoryName = opened_.categoryName;
    state_.ListMode = opened_.listMode;
    state_.CurrentRegNo = opened_.regNo;
    state_.CurrentSubNo = opened_.subNo;
}

void Form6::SubListViewHD() {
    for (const ListColumn& c : SubListColumns(state_.config[state_.CurrentSection]))
        ListView1->addColumn(c.heading, c.widthTwips, c.align);
}

void Form6::SubListViewSet() {
    claimState();
    ListView1->clearRows();
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        ListView1->addRows(ReadSubRows(*db, state_));
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
    StatusBar1->setPanelText(3, QString());
    update();
}

void Form6::ListView2List() {
    ListView2->clearColumns();
    for (const ListColumn& c : MainRowColumns(state_.config[state_.CurrentSection]))
        ListView2->addColumn(c.heading, c.widthTwips, c.align);
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        ListView2->addRows(ReadMainRow(*db, state_));
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
}

void Form6::showRow(int index) {
    const int m = subFieldCount();
    for (int k = 0; k < m; ++k)
        Text1[k]->setText(ListView1->cell(index, k));
    Text2->setText(ListView1->cell(index, m));
    Text3->setText(ListView1->cell(index, m + 1));
}

// No sub row to show: the boxes stay with the main record, so a new sub record still knows its 登録ＮＯ.
void Form6::clearBoxes() {
    for (QLineEdit* box : Text1)
        box->clear();
    Text2->setText(QString::number(state_.CurrentRegNo));
    Text3->clear();
    StatusBar1->setPanelText(2, QString());
}

QString Form6::positionText() const {
    return PositionText(*ListView1);
}

void Form6::Text123Set() {
    if (ListView1->rowCount() == 0)
        return;
    showRow(std::max(1, ListView1->selectedIndex()));
    StatusBar1->setPanelText(2, positionText());
    update();
}

void Form6::SetUpEditor(Form8& editor, EditorMode mode) {
    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    std::vector<QString> captions, values;
    for (int i = 0; i < subFieldCount(); ++i) {
        captions.push_back(Label3[i]->text());
        values.push_back(Text1[i]->text());
    }
    switch (mode) {
    case EditorMode::New:
        editor.setUpNew(section, captions, Text2->text());
        break;
    case EditorMode::Change:
        editor.setUpChange(section, captions, values, Text2->text(), Text3->text());
        break;
    case EditorMode::Delete:
        editor.setUpDelete(section, captions, values, Text2->text(), Text3->text());
        break;
    }
}

void Form6::openEditor(EditorMode mode) {
    claimState();
    const int remembered = ListView1->selectedIndex();
    {
        Form8 editor(state_, ui_, this);
        SetUpEditor(editor, mode);
        ui_.runModal(editor);
    }
    SubListViewSet();
    const int rows = ListView1->rowCount();
    if (rows == 0) {
        // The only sub record was deleted, or the one found is gone: nothing may stay shown as if it existed.
        clearBoxes();
        update();
        return;
    }
    // A changed list can also be shorter (the record went elsewhere), so the remembered row is kept within it.
    const int index = mode == EditorMode::New ? rows : std::clamp(remembered, 1, rows);
    ListView1->select(index);
    Text123Set();
    ListView1->ensureVisible(index);
    update();
}

bool Form6::refusedWithoutSubRecord() {
    const QString* message = nullptr;
    if (Text2->text().isEmpty())
        message = &NoRecordMessage;
    else if (Text3->text().isEmpty())
        message = &NoSubRecordMessage;
    if (!message)
        return false;
    ui_.message(*message, Icon::None, Buttons::Ok, QStringLiteral("Error"), this);
    return true;
}

void Form6::mf11_Click() {
    openEditor(EditorMode::New);
}

void Form6::mf12_Click() {
    if (!refusedWithoutSubRecord())
        openEditor(EditorMode::Change);
}

void Form6::mf13_Click() {
    if (!refusedWithoutSubRecord())
        openEditor(EditorMode::Delete);
}

void Form6::mf18_Click() {
    close();
}

void Form6::mf19_Click() {
    emit endRequested();
    ui_.endProgram();
}

void Form6::me11_Click() {
    CopySelectedText(std::span(Text1).first(subFieldCount()));
}

void Form6::me14_Click() {
    // Read again from the tables in their own order: a column sort is undone.
    claimState();
    ListView1->clearColumns();
    ListView2->clearColumns();
    hide();
    Form6 again(state_, ui_, parentWidget());
    connect(&again, &Form6::endRequested, this, &Form6::endRequested);
    ui_.runModal(again);
    close();
}

void Form6::mv11_Click() {
    const bool shown = mv11->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Label6),
                       static_cast<QWidget*>(Text3)})
        w->setVisible(shown);
    Text2->setEnabled(shown);
    Text3->setEnabled(shown);
}

void Form6::mv12_Click() {
    Toolbar1->setVisible(!mv12->isChecked());
}

void Form6::mk11_Click() {
    {
        auto dialog = MakeForm6k(state_, ui_, *ListView1, StatusBar1, this);
        ui_.runModal(*dialog);
    }
    // The found row is selected; the boxes keep the sub record shown before until a row is clicked.
    update();
}

void Form6::ms11_Click() {
    auto dialog = MakeForm6s(state_, ui_, *ListView1, this);
    ui_.runModal(*dialog);
}

void Form6::mh1_Click() {
    ui_.showHelp(this);
}

void Form6::ListView1_ItemClick(int) {
    Text123Set();
}

void Form6::ListView1_ColumnClick(int column) {
    SortByColumn(*ListView1, *StatusBar1, column);
    update();
}

void Form6::Toolbar1_ButtonClick(const QString& key) {
    TriggerRecordToolButton(key, {mf11, mf12, mf13, mf140, mf15, mf16, mk11, ms11, mh1});
}

void Form6::printScreen(print::ScreenPrintArea area) {
    claimState();
    print::PrintScreen(*this, StatusBar1, area, ui_, state_.dataFolder);
}

} // namespace quelm::records
