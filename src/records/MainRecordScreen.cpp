// Main record screen: one category's main records, a detail panel and the record commands.
#include "records/MainRecordScreen.h"

#include "platform/Database.h"
#include "platform/DialogKeys.h"
#include "platform/FileChoosers.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "records/ExchangeOpeners.h"
#include "records/ListSearchDialog.h"
#include "records/MainRecordEditor.h"
#include "records/MainRecords.h"
#include "records/RecordPicture.h"
#include "records/RecordScreenParts.h"
#include "records/SortOrderDialog.h"
#include "records/SubRecordScreen.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>

namespace quelm::records {

using platform::Buttons;
using platform::Icon;
using platform::TwipsRect;
using platform::TwipsToPixels;

namespace {

constexpr int PanelHeight = 2895; // as high as the nearly square picture box

RecordScreen::Captions MainCaptions(const store::AppState& state) {
    RecordScreen::Captions c;
    c.title = state.caption(QStringLiteral("種目別メイン明細"));
    c.records = QStringLiteral("(明細レコード)");
    c.printWindow = QStringLiteral("ActiveWindow(種目別明細画面)");
    c.printUserData = QStringLiteral("UserData(種目別明細画面のユーザー・データ部)");
    c.print = QStringLiteral("印刷");
    c.close = QStringLiteral("閉じる       ");
    c.showRegNo = QStringLiteral("登録ＮＯ表示");
    c.searchMenu = QStringLiteral("検索 ");
    c.sortMenu = QStringLiteral("ソート ");
    return c;
}

} // namespace

MainRecordScreen::MainRecordScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : RecordScreen(state, ui, MainCaptions(state), parent) {
    setObjectName(QStringLiteral("Form5"));
    buildEditItems();
    addListView1();
    auto* panel = new QWidget(this);
    panel->setFixedHeight(TwipsToPixels(PanelHeight));
    buildDetailPanel(panel);
    body()->addWidget(panel);
    setRegNoWidgets({Label2, Text3});
    platform::KeepReturnFromButtons(*this); // Return in the list opens nothing
}

MainRecordScreen::~MainRecordScreen() = default;

void MainRecordScreen::buildEditItems() {
    QMenu* me12 = addEditSubmenu(QStringLiteral("外部データの取込み"));
    me121 = me12->addAction(QStringLiteral("CDDBデータ取込み"));
    me122 = me12->addAction(QStringLiteral("CSVデータ取込み(メイン明細)"));
    connect(me12->addAction(QStringLiteral("リッピング済みアルバムの取込み")), &QAction::triggered, this, [this] {
        claimState();
        if (Exchange().rippedImport)
            runExchangeScreen(*Exchange().rippedImport(state_, ui_, this));
    });
    me125 = me12->addAction(QStringLiteral("在庫管理Dravnデータ移行"));
    connect(me125, &QAction::triggered, this, &MainRecordScreen::me125_Click);
    me131 = addEditSubmenu(QStringLiteral("エクスポート"))->addAction(QStringLiteral("CSVデータの出力"));
    connect(me121, &QAction::triggered, this, &MainRecordScreen::me121_Click);
    connect(me122, &QAction::triggered, this, &MainRecordScreen::me122_Click);
    connect(me131, &QAction::triggered, this, &MainRecordScreen::me131_Click);
}

void MainRecordScreen::me122_Click() {
    claimState(); // the screen is made for this screen's category and record
    if (Exchange().mainCsvImport)
        runExchangeScreen(*Exchange().mainCsvImport(state_, ui_, this));
}

void MainRecordScreen::me131_Click() {
    claimState(); // the screen is made for this screen's category and record
    if (Exchange().csvExport)
        runExchangeScreen(*Exchange().csvExport(state_, ui_, *ListView1, this));
}

void MainRecordScreen::buildDetailPanel(QWidget* panel) {
    // Three columns of five fields; the record's picture on the right.
    BuildFieldBoxes(panel, Label3, Text1, 3960, 2300);
    Command1 = new QPushButton(panel);
    Command1->setGeometry(TwipsRect(1560, 2220, 2300, 390));
    Command1->hide();
    connect(Command1, &QPushButton::clicked, this, &MainRecordScreen::Command1_Click);
    Label2 = new QLabel(QStringLiteral("登録ＮＯ"), panel);
    Label2->setGeometry(TwipsRect(3960, 2250, 1500, 330));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text3 = new QLineEdit(QStringLiteral("0"), panel);
    Text3->setGeometry(TwipsRect(5520, 2250, 1200, 330));
    Text3->setReadOnly(true);
    connect(Text3, &QLineEdit::textChanged, this, &MainRecordScreen::Text3_Change);
    Label4 = new QLabel(QStringLiteral("画像jpg有無"), panel);
    Label4->setGeometry(TwipsRect(6840, 2250, 1500, 330));
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text2 = new QLineEdit(panel);
    Text2->setGeometry(TwipsRect(8400, 2250, 600, 330));
    Text2->setReadOnly(true);

    // The box is nearly square: the fitting of a registered picture keeps its proportions only in such a box, and
    // the stored file has the box's inner size. A stored picture is shown from the top-left at its own size.
    Picture2 = new QLabel(panel);
    Picture2->setGeometry(TwipsRect(11790, 0, 2945, 2895));
    Picture2->setFrameShape(QFrame::Box);
    Picture2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Command2 = new QPushButton(QStringLiteral("画像登録"), panel);
    Command2->setGeometry(TwipsRect(9120, 2220, 1170, 390));
    Command3 = new QPushButton(QStringLiteral("画像削除"), panel);
    Command3->setGeometry(TwipsRect(10380, 2220, 1170, 390));
    connect(Command2, &QPushButton::clicked, this, &MainRecordScreen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &MainRecordScreen::Command3_Click);
}

int MainRecordScreen::fieldCount() const {
    return std::clamp<int>(state_.config[state_.CurrentSection].FieldCount, 0, store::MainFieldSlots);
}

void MainRecordScreen::Timer1_Timer() {
    if (!beginLoad())
        return;
    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    ShowFieldBoxes(Label3, Text1, std::span(section.FieldName).subspan(1, fieldCount()));
    static const std::array<QString, 3> modeTexts{QStringLiteral("種目別の全てのレコードを表示"),
                                                  QStringLiteral("種目別に検索したレコードを表示"),
                                                  QStringLiteral("全ファイルより検索したレコードの内、１件を表示")};
    StatusBar1->setPanelText(1, modeTexts[std::clamp<int>(state_.ListMode, 0, 2)]);
    SubListViewHD();
    RefillByMode();
    if (state_.ListMode == 1 && ListView1->rowCount() == 0)
        ui_.message(QStringLiteral("検索の結果、該当のレコードが見つかりませんでした。"), Icon::Information,
                    Buttons::Ok, QStringLiteral("検索結果"), this);
    Label2->hide();
    Text3->hide();
    if (ListView1->rowCount() > 0) {
        ListView1->select(1);
        const QSignalBlocker once(Text3); // the sub records are counted once, below
        showRow(1);
        showPicture();
        StatusBar1->setPanelText(2, positionText());
    }
    Label1->setText(section.ShumokuName + QStringLiteral(" (明細)"));
    Text3_Change();
    if (state_.ListMode == 2)
        Command1->hide();
    state_.MainPrintSettings.itemCount = 0; // the main report is set up again for every opening
    update();
}

void MainRecordScreen::SubListViewHD() {
    const auto columns = MainListColumns(state_.config[state_.CurrentSection]);
    for (const ListColumn& c : columns)
        ListView1->addColumn(c.heading, c.widthTwips, c.align);
}

void MainRecordScreen::claimState() {
    RecordScreen::claimState();
    if (!loaded_)
        return;
    state_.FieldSearchCriteria = opened_.criteria;
    if (opened_.listMode == 2)
        state_.CurrentRegNo = opened_.regNo; // the one record this screen shows
}

void MainRecordScreen::RefillByMode() {
    claimState();
    ListView1->clearRows();
    addRowsFrom(*ListView1, ReadMainRows);
    StatusBar1->setPanelText(3, QString());
}

void MainRecordScreen::showRow(int index) {
    showCells(index, shownBoxes(), {Text3, Text2});
}

void MainRecordScreen::clearPanel() {
    for (QLineEdit* box : Text1)
        box->clear();
    Text2->clear();
    Text3->setText(QStringLiteral("0"));
    Picture2->clear();
    StatusBar1->setPanelText(2, QString());
}

void MainRecordScreen::showPicture() {
    Picture2->clear();
    if (Text2->text() != QLatin1String("1"))
        return;
    const LoadedPicture picture =
        LoadPicture(state_.RecordPicturePath(state_.CurrentSection, Text3->text().toLongLong()));
    if (!picture.ok()) {
        ui_.message(Text1[0]->text() + PictureNotFoundText, Icon::Critical, Buttons::Ok, PictureErrorTitle, this);
        return;
    }
    Picture2->setPixmap(QPixmap::fromImage(picture.image));
}

void MainRecordScreen::Text13Set() {
    claimState();
    if (ListView1->rowCount() == 0)
        return;
    const int index = std::max(1, ListView1->selectedIndex());
    showRow(index);
    showPicture();
    StatusBar1->setPanelText(2, positionText());
    update();
}

void MainRecordScreen::SubRcCk() {
    claimState();
    countSubRecords(Text3->text().toLongLong());
}

void MainRecordScreen::Text3_Change() {
    if (!loaded_)
        return;
    SubRcCk();
    if (state_.SubRecordCount > 0) {
        Command1->setText(QStringLiteral("サブ明細表示(%1)").arg(state_.SubRecordCount));
        Command1->show();
    } else if (Text3->text() != QLatin1String("0")) {
        Command1->setText(QStringLiteral("サブ明細登録"));
        Command1->show();
    } else {
        Command1->hide();
    }
    if (state_.ListMode == 2)
        Command1->hide();
}

bool MainRecordScreen::refusedWithoutRecord() {
    if (!Text3->text().isEmpty() && Text3->text() != QLatin1String("0"))
        return false;
    ui_.message(NoRecordMessage, Icon::None, Buttons::Ok, QStringLiteral("Error"), this);
    return true;
}

void MainRecordScreen::Command1_Click() {
    claimState();
    state_.CurrentCategoryName = state_.config[state_.CurrentSection].ShumokuName;
    state_.CurrentRegNo = Text3->text().toInt();
    const int remembered = ListView1->selectedIndex();
    {
        SubRecordScreen subRecords(state_, ui_, this);
        connect(&subRecords, &SubRecordScreen::endRequested, this, &MainRecordScreen::endRequested);
        ui_.runModal(subRecords);
    }
    // The list and the panel are not read again, but the button counts the sub records anew: it would otherwise
    // go on offering "サブ明細登録" for a record that now has some, or a count that is no longer true.
    ListView1->select(remembered);
    ListView1->view()->setFocus();
    ListView1->ensureVisible(remembered);
    Text3_Change();
    update();
}

void MainRecordScreen::SetUpEditor(MainRecordEditor& editor, EditorMode mode) {
    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    const std::vector<QString> captions = TextsOf(Label3, fieldCount()), values = TextsOf(Text1, fieldCount());
    switch (mode) {
    case EditorMode::New:
        editor.setUpNew(section, captions, section.RegNo + 1);
        break;
    case EditorMode::Change:
        editor.setUpChange(section, captions, values, Text3->text());
        break;
    case EditorMode::Delete:
        editor.setUpDelete(section, captions, values, Text3->text());
        break;
    }
}

std::unique_ptr<QDialog> MainRecordScreen::makeEditor(EditorMode mode) {
    auto editor = std::make_unique<MainRecordEditor>(state_, ui_, this);
    SetUpEditor(*editor, mode);
    return editor;
}

void MainRecordScreen::me125_Click() {
    claimState();
    const int remembered = ListView1->selectedIndex();
    if (!Exchange().migration)
        return;
    bool migrated = false;
    {
        const std::unique_ptr<QDialog> migration = Exchange().migration(state_, ui_, this);
        migrated = ui_.runModal(*migration) == QDialog::Accepted;
    }
    // After a run the last migrated record is shown, as after adding one.
    showAfterEdit(migrated ? EditorMode::New : EditorMode::Change, remembered);
}

std::unique_ptr<RecordScreen> MainRecordScreen::makeAgain() {
    return std::make_unique<MainRecordScreen>(state_, ui_, parentWidget());
}

void MainRecordScreen::me121_Click() {
    claimState();
    if (!Exchange().cddbImport)
        return;
    {
        const std::unique_ptr<QDialog> cddb = Exchange().cddbImport(state_, ui_, this);
        ui_.runModal(*cddb);
    }
    showAfterEdit(EditorMode::New, ListView1->selectedIndex());
}

void MainRecordScreen::Command2_Click() {
    claimState();
    if (Text2->text() == QLatin1String("1")) {
        // One picture per record: to change it the user deletes it first, so a stored file is never overwritten.
        ui_.message(QStringLiteral("画像は登録済です。"), Icon::Critical, Buttons::Ok, PictureErrorTitle, this);
        return;
    }
    if (refusedWithoutRecord())
        return;
    const QString path =
        platform::SelectOpenFile(ui_, this, {{QStringLiteral("ＪＰＧファイル(*.jpg)"), QStringLiteral("*.jpg")}},
                                 QStringLiteral("登録する画像ファイルを開く"));
    if (path.isEmpty())
        return;
    const LoadedPicture picture = LoadPicture(path);
    if (!picture.ok()) {
        ui_.message(picture.error, Icon::Critical, Buttons::Ok, PictureErrorTitle, this);
        return;
    }
    // What the box shows is what is stored: the picture fitted into the box, on the box's background.
    const QImage boxImage = ComposeBoxImage(picture.image, picture.naturalSize, Picture2->contentsRect().size(),
                                            Picture2->palette().color(QPalette::Window));
    Picture2->setPixmap(QPixmap::fromImage(boxImage));
    if (ui_.message(QStringLiteral("この画像を登録しますか？"), Icon::Question, Buttons::OkCancel,
                    QStringLiteral("画像登録確認"), this) != platform::Answer::Ok) {
        Picture2->clear();
        return;
    }
    const PictureResult result = SaveRecordPicture(state_, state_.CurrentSection, Text3->text().toInt(), boxImage);
    if (!result.ok()) {
        Picture2->clear();
        if (result.status == PictureResult::Status::FileFailed)
            ui_.message(result.message, Icon::Exclamation, Buttons::Ok, PictureErrorTitle, this);
        else
            platform::ShowEngineError(ui_, result.message, this);
        return;
    }
    showPictureFlag(1);
}

void MainRecordScreen::Command3_Click() {
    claimState();
    if (Text2->text().isEmpty() || Text2->text() == QLatin1String("0")) {
        ui_.message(QStringLiteral("登録された画像はありません。"), Icon::Critical, Buttons::Ok, PictureErrorTitle,
                    this);
        return;
    }
    if (ui_.message(QStringLiteral("この画像を削除しますか？"), Icon::Question, Buttons::OkCancel,
                    QStringLiteral("画像削除確認"), this) != platform::Answer::Ok)
        return;
    const PictureResult result = DeleteRecordPicture(state_, state_.CurrentSection, Text3->text().toInt());
    if (!result.ok()) {
        // The file is still there with its flag at 1, so the picture stays in view.
        if (result.status == PictureResult::Status::FileFailed)
            ui_.message(result.message, Icon::Exclamation, Buttons::Ok, PictureErrorTitle, this);
        else
            platform::ShowEngineError(ui_, result.message, this);
        return;
    }
    Picture2->clear();
    showPictureFlag(0);
}

void MainRecordScreen::showPictureFlag(int jpgswr) {
    if (ListView1->rowCount() == 0)
        return;
    const int n = fieldCount();
    int index = ListView1->selectedIndex();
    if (index < 1 || ListView1->cell(index, n) != Text3->text())
        index = ListView1->find(Text3->text(), n, false);
    if (index >= 1)
        ListView1->setCell(index, n + 1, QString::number(jpgswr));
    Text2->setText(QString::number(jpgswr));
    ListView1->update();
    update();
}

} // namespace quelm::records
