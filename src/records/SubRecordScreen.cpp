// Sub record screen: the sub records of one main record, with the main record above them.
#include "records/SubRecordScreen.h"

#include "platform/Database.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "print/ReportLayout.h"
#include "records/ExchangeOpeners.h"
#include "records/ListSearchDialog.h"
#include "records/MainRecords.h"
#include "records/RecordScreenParts.h"
#include "records/SortOrderDialog.h"
#include "records/SubList.h"
#include "records/SubRecordEditor.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>
#include <QVBoxLayout>

namespace quelm::records {

using platform::Buttons;
using platform::Icon;
using platform::TwipsRect;
using platform::TwipsToPixels;

namespace {

constexpr int MainRowListHeight = 1000; // heading, one row and the horizontal scroll bar
constexpr int PanelHeight = 2280;

const QString NoSubRecordMessage = QStringLiteral("サブ明細レコードが指定されていません。");

RecordScreen::Captions SubCaptions(const store::AppState& state) {
    RecordScreen::Captions c;
    c.title = state.title() + QStringLiteral(" Quelm 種目別サブ明細");
    c.records = QStringLiteral("(サブ明細レコード)");
    c.printWindow = QStringLiteral("ActiveWindow(種目別サブ明細画面)");
    c.printUserData = QStringLiteral("UserData(種目別サブ明細画面のユーザー・データ部)");
    c.print = QStringLiteral("印　刷　");
    c.close = QStringLiteral("閉じる          ");
    c.showRegNo = QStringLiteral("登録ＮＯ表示     ");
    c.showRegNoFirst = true;
    c.searchMenu = QStringLiteral("検索");
    c.sortMenu = QStringLiteral("ソート");
    return c;
}

} // namespace

SubRecordScreen::SubRecordScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : RecordScreen(state, ui, SubCaptions(state), parent) {
    setObjectName(QStringLiteral("Form6"));
    me131 =
        addEditSubmenu(QStringLiteral("外部データの取込み"))->addAction(QStringLiteral("CSVデータの取込み(サブ明細)"));
    connect(me131, &QAction::triggered, this, &SubRecordScreen::me131_Click);

    Label7 = new QLabel(QStringLiteral("(メイン・レコード)"), this);
    body()->addWidget(Label7);
    ListView2 = newList();
    ListView2->setFixedHeight(TwipsToPixels(MainRowListHeight));
    body()->addWidget(ListView2);
    Label8 = new QLabel(QStringLiteral("(サブ・レコード)"), this);
    body()->addWidget(Label8);
    addListView1();

    auto* panel = new QWidget(this);
    panel->setFixedHeight(TwipsToPixels(PanelHeight));
    buildDetailPanel(panel);
    body()->addWidget(panel);
    setRegNoWidgets({Label2, Text2, Label6, Text3});

    Picture1 = new QLabel(this);
    Picture1->hide();
}

SubRecordScreen::~SubRecordScreen() = default;

void SubRecordScreen::buildDetailPanel(QWidget* panel) {
    // Two columns of five sub fields; the key boxes on the right.
    BuildFieldBoxes(panel, Label3, Text1, 5040, 3360);
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

int SubRecordScreen::subFieldCount() const {
    return std::clamp<int>(state_.config[state_.CurrentSection].SubFieldCount, 0, store::SubFieldSlots);
}

void SubRecordScreen::Timer1_Timer() {
    if (!beginLoad())
        return;
    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    ShowFieldBoxes(Label3, Text1, std::span(section.SubFieldName).subspan(1, subFieldCount()));
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
    countSubRecords(state_.CurrentRegNo);
    if (ListView1->rowCount() > 0)
        StatusBar1->setPanelText(2, positionText());
    Label1->setText(section.ShumokuName + QStringLiteral(" (サブ明細)"));
    state_.SubPrintSettings.itemCount = 0; // the sub report is set up again for every opening
    ListView1->view()->setFocus();
    update();
}

print::ReportSide SubRecordScreen::reportSide() const {
    return print::ReportSide::Sub;
}

void SubRecordScreen::claimState() {
    RecordScreen::claimState();
    if (!loaded_)
        return;
    state_.CurrentRegNo = opened_.regNo;
    state_.CurrentSubNo = opened_.subNo;
}

void SubRecordScreen::SubListViewHD() {
    for (const ListColumn& c : SubListColumns(state_.config[state_.CurrentSection]))
        ListView1->addColumn(c.heading, c.widthTwips, c.align);
}

void SubRecordScreen::SubListViewSet() {
    claimState();
    ListView1->clearRows();
    addRowsFrom(*ListView1, ReadSubRows);
    StatusBar1->setPanelText(3, QString());
    update();
}

void SubRecordScreen::ListView2List() {
    ListView2->clearColumns();
    for (const ListColumn& c : MainRowColumns(state_.config[state_.CurrentSection]))
        ListView2->addColumn(c.heading, c.widthTwips, c.align);
    addRowsFrom(*ListView2, ReadMainRow);
}

void SubRecordScreen::showRow(int index) {
    showCells(index, shownBoxes(), {Text2, Text3});
}

// No sub row to show: the boxes stay with the main record, so a new sub record still knows its 登録ＮＯ.
void SubRecordScreen::clearBoxes() {
    for (QLineEdit* box : Text1)
        box->clear();
    Text2->setText(QString::number(state_.CurrentRegNo));
    Text3->clear();
    StatusBar1->setPanelText(2, QString());
}

void SubRecordScreen::Text123Set() {
    if (ListView1->rowCount() == 0)
        return;
    showRow(std::max(1, ListView1->selectedIndex()));
    StatusBar1->setPanelText(2, positionText());
    update();
}

void SubRecordScreen::SetUpEditor(SubRecordEditor& editor, EditorMode mode) {
    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    const std::vector<QString> captions = TextsOf(Label3, subFieldCount()), values = TextsOf(Text1, subFieldCount());
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

std::unique_ptr<QDialog> SubRecordScreen::makeEditor(EditorMode mode) {
    auto editor = std::make_unique<SubRecordEditor>(state_, ui_, this);
    SetUpEditor(*editor, mode);
    return editor;
}

bool SubRecordScreen::refusedWithoutRecord() {
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

void SubRecordScreen::me14_Click() {
    ListView2->clearColumns();
    RecordScreen::me14_Click();
}

std::unique_ptr<RecordScreen> SubRecordScreen::makeAgain() {
    return std::make_unique<SubRecordScreen>(state_, ui_, parentWidget());
}

void SubRecordScreen::me131_Click() {
    claimState(); // the screen is made for this screen's category and record
    if (Exchange().subCsvImport)
        runExchangeScreen(*Exchange().subCsvImport(state_, ui_, this));
}

} // namespace quelm::records
