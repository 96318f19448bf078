// Main window: the category buttons, the search popup and the menus of every other screen.
#include "shell/MainWindow.h"

#include "exchange/AccessCatalogue.h"
#include "maintenance/AboutBox.h"
#include "maintenance/BackupScreen.h"
#include "maintenance/FieldNamesListing.h"
#include "maintenance/InitialiseScreen.h"
#include "maintenance/ListTablesListing.h"
#include "maintenance/RestoreScreen.h"
#include "maintenance/SettingsScreen.h"
#include "maintenance/StatisticsScreen.h"
#include "platform/Database.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "records/FieldSearchDialog.h"
#include "records/MainRecordScreen.h"
#include "records/RecordPicture.h"
#include "search/InquiryScreen.h"
#include "search/SearchAllScreen.h"
#include "shell/Choosers.h"
#include "shell/Startup.h"
#include "store/Catalogue.h"
#include "store/CategorySlotsScreen.h"
#include "store/ConfigCheck.h"
#include "store/FieldRenameScreen.h"
#include "store/ListEntriesScreen.h"
#include "store/ListTablesScreen.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <cmath>

namespace quelm::shell {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::TwipsToPixels;

namespace {

// Design geometry in twips.
constexpr int WindowWidth = 7920;
constexpr int WindowHeight = 5460;
constexpr int CategoryButtonWidth = 2895;
constexpr int ButtonHeight = 375;
constexpr int RowStep = 450;

const std::array<QString, 6> BuiltInCaptions{QStringLiteral("CD "),  QStringLiteral("CD２ "), QStringLiteral("CD３ "),
                                             QStringLiteral("DVD "), QStringLiteral("DVD２"), QStringLiteral("DVD３ ")};

const QString PictureFolderGoneTitle = QStringLiteral("ＣＤ管理Quelm  画像フォルダなし");

// Halves go to the even neighbour, as the old integer division did.
std::int32_t HalfToEven(std::int64_t twice) {
    return static_cast<std::int32_t>(std::nearbyint(twice / 2.0));
}

} // namespace

LayoutValues Dspsize(int w, int h) {
    LayoutValues v{};
    if (w >= 17000) {
        v.ListFormWidth = 17000;
        v.ListFormLeft = HalfToEven(w - 17000);
        v.ListViewExtraWidth = 1900;
    } else if (w >= 14955) {
        v.ListFormWidth = 14955;
        v.ListFormLeft = HalfToEven(w - 14955);
        v.ListViewExtraWidth = 0;
    } else {
        v.ListFormWidth = 14955;
        v.ListFormLeft = 0;
        v.ListViewExtraWidth = 0;
    }
    v.ListFormTop = HalfToEven(static_cast<std::int64_t>(h) - 11100);
    return v;
}

MainWindow::MainWindow(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : QMainWindow(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ＣＤ管理　Quelm"));
    setCentralWidget(new QWidget(this));
    centralWidget()->setAutoFillBackground(true);
    buildControls();
    buildMenus();
}

MainWindow::~MainWindow() = default;

void MainWindow::place(QWidget* control, int left, int top, int width, int height) {
    geometry_[control] = {left, top, width, height};
    control->setGeometry(platform::TwipsRect(left, top, width, height));
}

void MainWindow::moveTop(QWidget* control, int top) {
    Geometry& g = geometry_.at(control);
    place(control, g.left, top, g.width, g.height);
}

int MainWindow::topTwips(QWidget* control) const {
    return geometry_.at(control).top;
}
int MainWindow::leftTwips(QWidget* control) const {
    return geometry_.at(control).left;
}

void MainWindow::placeLine(Line& line) {
    const int x = std::min(line.x1, line.x2), y = std::min(line.y1, line.y2);
    const int w = std::max(std::abs(line.x2 - line.x1), 15), h = std::max(std::abs(line.y2 - line.y1), 15);
    line.widget->setGeometry(platform::TwipsRect(x, y, w, h));
}

void MainWindow::applyHeight() {
    centralWidget()->setFixedSize(TwipsToPixels(widthTwips_), TwipsToPixels(heightTwips_));
    adjustSize();
    setFixedSize(sizeHint());
}

void MainWindow::buildControls() {
    QWidget* c = centralWidget();
    Label2 = new QLabel(QStringLiteral("ＣＤ管理"), c);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont titleFont = Label2->font();
    titleFont.setPointSize(26);
    titleFont.setBold(true);
    Label2->setFont(titleFont);
    Label2->setAutoFillBackground(true);
    place(Label2, 720, 300, 4560, 780);
    Label1 = new QLabel(QStringLiteral("Quelm"), c);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont productFont = Label1->font();
    productFont.setPointSize(18);
    productFont.setItalic(true);
    Label1->setFont(productFont);
    Label1->setAutoFillBackground(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    place(Label1, 5400, 420, 1800, 600);

    Label3 = new QLabel(QStringLiteral("種目別に開く"), c);
    place(Label3, 720, 1740, 2895, 300);
    for (int i = 0; i < 6; ++i) {
        Command1[i] = new QPushButton(BuiltInCaptions[i], c);
        Command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        place(Command1[i], i < 3 ? 720 : 4200, 2160, CategoryButtonWidth, ButtonHeight);
        const bool shown = i == 0 || i == 3;
        Command1[i]->setVisible(shown);
        Command1[i]->setEnabled(shown);
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
    Label4 = new QLabel(QStringLiteral("検索して開く"), c);
    place(Label4, 720, 3300, 2895, 300);
    Command2 = new QPushButton(QStringLiteral("種目別に検索"), c);
    place(Command2, 720, 3720, CategoryButtonWidth, ButtonHeight);
    Command3 = new QPushButton(QStringLiteral("全ファイルより検索"), c);
    place(Command3, 4200, 3720, CategoryButtonWidth, ButtonHeight);
    Command9 = new QPushButton(QStringLiteral("終了"), c);
    place(Command9, 6480, 4800, 975, ButtonHeight);
    connect(Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(Command9, &QPushButton::clicked, this, &MainWindow::Command9_Click);

    // The frame: Line4/Line5 under the title; Line1-3 box the category buttons; Line6-10 the lower part.
    Lines[1] = {360, 2760, 7560, 2760};
    Lines[2] = {360, 1620, 360, 2760};
    Lines[3] = {7560, 1620, 7560, 2760};
    Lines[4] = {360, 1200, 7560, 1200};
    Lines[5] = {360, 1620, 7560, 1620};
    Lines[6] = {360, 3180, 7560, 3180};
    Lines[7] = {360, 4320, 7560, 4320};
    Lines[8] = {360, 3180, 360, 4320};
    Lines[9] = {7560, 3180, 7560, 4320};
    Lines[10] = {360, 4620, 7560, 4620};
    for (int n = 1; n <= 10; ++n) {
        auto* f = new QFrame(c);
        f->setObjectName(QStringLiteral("Line%1").arg(n));
        f->setFrameShape(Lines[n].x1 == Lines[n].x2 ? QFrame::VLine : QFrame::HLine);
        f->setFrameShadow(QFrame::Sunken);
        Lines[n].widget = f;
        placeLine(Lines[n]);
    }
    widthTwips_ = WindowWidth;
    heightTwips_ = WindowHeight;
    applyHeight();
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* mf1 = bar->addMenu(QStringLiteral("ファイル "));
    mf1->addSeparator(); // mf1x
    mf12 = mf1->addAction(QStringLiteral("ファイル・バックアップ　　　"));
    mf13 = mf1->addAction(QStringLiteral("ファイル復元"));
    mf14 = mf1->addAction(QStringLiteral("Accessデータベース取込み"));
    connect(mf14, &QAction::triggered, this, &MainWindow::mf14_Click);
    mf1->addSeparator(); // mf1x1
    mf17 = mf1->addAction(QStringLiteral("終了"));
    connect(mf17, &QAction::triggered, this, &MainWindow::Command9_Click);

    QMenu* mt1 = bar->addMenu(QStringLiteral("環境設定  "));
    mt11 = mt1->addAction(QStringLiteral("システム環境設定"));
    mt12 = mt1->addAction(QStringLiteral("種目(CDorDVD)追加"));
    mt13 = mt1->addAction(QStringLiteral("項目名変更"));
    mt14 = mt1->addAction(QStringLiteral("リスト・テーブル設定"));
    mt15 = mt1->addAction(QStringLiteral("リスト登録"));
    mt1->addSeparator(); // mt1x
    mt17 = mt1->addAction(QStringLiteral("システム初期値化"));
    connect(mt12, &QAction::triggered, this, &MainWindow::mt12_Click);
    connect(mt13, &QAction::triggered, this, &MainWindow::mt13_Click);
    connect(mt14, &QAction::triggered, this, &MainWindow::mt14_Click);
    connect(mt15, &QAction::triggered, this, &MainWindow::mt15_Click);
    connect(mt11, &QAction::triggered, this, &MainWindow::mt11_Click);
    connect(mt17, &QAction::triggered, this, &MainWindow::mt17_Click);
    connect(mf12, &QAction::triggered, this, &MainWindow::mf12_Click);
    connect(mf13, &QAction::triggered, this, &MainWindow::mf13_Click);

    // Shown only as the popup of Command2.
    kenopen = new QMenu(QStringLiteral("検索して開く"), this);
    mk1 = kenopen->addAction(QStringLiteral("[ 種目を選択して下さい ]  "));
    const std::array<QString, 6> numbers{QStringLiteral("１"), QStringLiteral("２"), QStringLiteral("３"),
                                         QStringLiteral("４"), QStringLiteral("５"), QStringLiteral("６")};
    for (int i = 0; i < 6; ++i) {
        mk11[i] = kenopen->addAction(QStringLiteral("     ") + numbers[i] + QStringLiteral("     "));
        connect(mk11[i], &QAction::triggered, this, [this, i] { mk11_Click(i); });
    }

    mi1 = bar->addAction(QStringLiteral("簡易照会  "));
    connect(mi1, &QAction::triggered, this, &MainWindow::mi1_Click);
    QMenu* mm1 = bar->addMenu(QStringLiteral("管理資料  "));
    mm11 = mm1->addAction(QStringLiteral("種目別登録件数調べ"));
    mm12 = mm1->addAction(QStringLiteral("種目別項目名一覧"));
    mm13 = mm1->addAction(QStringLiteral("リストテーブル別登録リスト一覧"));
    QMenu* mh1 = bar->addMenu(QStringLiteral("ヘルプ"));
    mh11 = mh1->addAction(QStringLiteral("ヘルプ  "));
    mh12 = mh1->addAction(QStringLiteral("バージョン情報"));
    connect(mh11, &QAction::triggered, this, [this] { ui_.showHelp(this); });
    connect(mm11, &QAction::triggered, this, &MainWindow::mm11_Click);
    connect(mm12, &QAction::triggered, this, &MainWindow::mm12_Click);
    connect(mm13, &QAction::triggered, this, &MainWindow::mm13_Click);
    connect(mh12, &QAction::triggered, this, &MainWindow::mh12_Click);
}

bool MainWindow::Form_Load() {
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        store::CategoryConfig config = store::LoadConfig(*db);
        if (auto problem = store::CheckCategoryTables(*db, config))
            throw platform::EngineError(DamagedCatalogueMessage(state_.databasePath(), *problem));
        state_.config = std::move(config);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        ui_.endProgram();
        return false;
    }
    CommandSet();
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        if (state_.config[s].inUse()) {
            Command1[s - 4]->setText(state_.config[s].ShumokuName);
            Command1[s - 4]->setEnabled(true);
        }
    }
    state_.ListTableNames = store::MakeListTableNames();
    ApplyTitleAndColors();
    Menukensaku();
    QGuiApplication::clipboard()->clear();
    const QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize(1024, 768);
    const LayoutValues layout =
        Dspsize(platform::PixelsToTwips(screen.width()), platform::PixelsToTwips(screen.height()));
    state_.ListFormWidth = layout.ListFormWidth;
    state_.ListFormLeft = layout.ListFormLeft;
    state_.ListFormTop = layout.ListFormTop;
    state_.ListViewExtraWidth = layout.ListViewExtraWidth;
    if (!PictureFolderCheck())
        return false;
    // A save killed half-way leaves its temporary file behind; no other copy can be saving now.
    records::RemoveStaleTemporaryPictures(state_.pictureFolder());
    update();
    return true;
}

void MainWindow::ApplyTitleAndColors() {
    Label2->setText(state_.title());
    setWindowTitle(state_.title() + QStringLiteral(" Quelm"));
    QPalette title = Label2->palette();
    title.setColor(QPalette::WindowText, store::TitleColor(state_.config));
    const QColor back = store::BackColor(state_.config);
    title.setColor(QPalette::Window, back);
    Label2->setPalette(title);
    QPalette plain = Label1->palette();
    plain.setColor(QPalette::Window, back);
    Label1->setPalette(plain);
    QPalette window = centralWidget()->palette();
    window.setColor(QPalette::Window, back);
    centralWidget()->setPalette(window);
}

void MainWindow::Menukensaku() {
    for (int i = 0; i < 6; ++i) {
        const store::ConfigSection& s = state_.config[i + 4];
        if (s.inUse()) {
            mk11[i]->setText(s.ShumokuName + QStringLiteral("   "));
            mk11[i]->setEnabled(true);
        } else {
            mk11[i]->setEnabled(false);
        }
    }
}

void MainWindow::CommandSet() {
    cd2Flag = cd3Flag = dvd2Flag = dvd3Flag = false;
    const auto showBelow = [this](int button, int under, int step) {
        Command1[button]->setVisible(true);
        Command1[button]->setEnabled(true);
        place(Command1[button], leftTwips(Command1[under]), topTwips(Command1[under]) + step, CategoryButtonWidth,
              ButtonHeight);
    };
    for (int s = 4; s <= 9; ++s) {
        if (!state_.config[s].inUse())
            continue;
        switch (s) {
        case 5:
            showBelow(1, 0, RowStep);
            cd2Flag = true;
            break;
        case 6:
            showBelow(2, 0, 2 * RowStep);
            cd3Flag = true;
            break;
        case 8:
            showBelow(4, 3, RowStep);
            dvd2Flag = true;
            break;
        case 9:
            showBelow(5, 3, 2 * RowStep);
            dvd3Flag = true;
            break;
        default:
            break;
        }
    }
    if (cd2Flag || dvd2Flag)
        DSpaceSet();
    if (cd3Flag || dvd3Flag)
        DSpaceSet();
    update();
}

void MainWindow::shiftLowerPart(int twips) {
    for (QWidget* w : {static_cast<QWidget*>(Command2), static_cast<QWidget*>(Command3),
                       static_cast<QWidget*>(Command9), static_cast<QWidget*>(Label4)})
        moveTop(w, topTwips(w) + twips);
    for (int n : {2, 3})
        Lines[n].y2 += twips;
    for (int n : {1, 6, 7, 8, 9, 10}) {
        Lines[n].y1 += twips;
        Lines[n].y2 += twips;
    }
    for (int n = 1; n <= 10; ++n)
        placeLine(Lines[n]);
    heightTwips_ += twips;
    applyHeight();
}

void MainWindow::DSpaceSet() {
    shiftLowerPart(RowStep);
}
void MainWindow::DSpaceReSet() {
    shiftLowerPart(-RowStep);
}

bool MainWindow::PictureFolderCheck() {
    if (QFileInfo(state_.pictureFolder()).isDir())
        return true;
    const QString question = QStringLiteral("画像フォルダ(Quelm-画像)がありません。\r\n"
                                            "ダウンロードしたQuelm.lzhの解凍先フォルダにある画像フォルダを\r\n"
                                            "コピーしてください。\r\n"
                                            "コピーしますか？");
    const QString noFolder = QStringLiteral("画像フォルダが無いため、システムを終了します。");
    if (ui_.message(question, Icon::None, Buttons::YesNo, QStringLiteral("ＣＤ管理Quelm  画像フォルダERROR"), this) !=
        Answer::Yes) {
        ui_.message(noFolder, Icon::Critical, Buttons::Ok, PictureFolderGoneTitle, this);
        ui_.endProgram();
        return false;
    }
    const QString chosen = SelectFolder(ui_, this);
    if (chosen == QLatin1String("Cancel")) {
        ui_.message(noFolder, Icon::Critical, Buttons::Ok, PictureFolderGoneTitle, this);
        ui_.endProgram();
        return false;
    }
    // Only the eight characters after the last separator are compared, so Quelm-画像2 passes too.
    const QString name = chosen.mid(chosen.lastIndexOf(QLatin1Char('/')) + 1, 8);
    if (name != store::PictureFolderName) {
        ui_.message(QStringLiteral("画像フォルダ(Quelm-画像)の選択が無いため、システムを終了します。"), Icon::Critical,
                    Buttons::Ok, PictureFolderGoneTitle, this);
        ui_.endProgram();
        return false;
    }
    // The contents go into Quelm-画像 whatever the chosen folder is called (Quelm-画像2 passes the check above): a copy
    // under the chosen name would leave the program without its picture folder at the next start.
    if (!platform::CopyFolderTo(chosen, state_.pictureFolder())) {
        platform::ShowEngineError(ui_, QStringLiteral("フォルダ '%1' をコピーできませんでした。").arg(chosen), this);
        ui_.endProgram();
        return false;
    }
    return true;
}

void MainWindow::openCategory(int section, std::int16_t listMode) {
    state_.CurrentSection = static_cast<std::int16_t>(section);
    state_.CurrentCategoryName = state_.config[section].ShumokuName;
    state_.ListMode = listMode;
}

void MainWindow::Command1_Click(int index) {
    const int s = index + 4;
    if (!state_.config[s].inUse()) {
        ui_.message(QStringLiteral("種目の追加使用登録が未済です。"), Icon::Critical, Buttons::Ok,
                    QStringLiteral("Error"), this);
        return;
    }
    openCategory(s, 0);
    showRecordScreen();
    update();
}

void MainWindow::showRecordScreen() {
    // One record screen at a time: one left open would show another category than the one its commands now act on.
    if (recordScreen)
        recordScreen->close();
    recordScreen = new records::MainRecordScreen(state_, ui_, this);
    recordScreen->setAttribute(Qt::WA_DeleteOnClose);
    ui_.showModeless(*recordScreen);
}

void MainWindow::Command2_Click() {
    kenopen->popup(QCursor::pos());
}

void MainWindow::Command3_Click() {
    state_.SearchFromInquiry = false;
    search::SearchAllScreen form(state_, ui_, this);
    ui_.runModal(form);
}

void MainWindow::mi1_Click() {
    // One inquiry screen at a time; the menu brings an open one to the front.
    if (!inquiryScreen) {
        inquiryScreen = new search::InquiryScreen(state_, ui_, this);
        inquiryScreen->setAttribute(Qt::WA_DeleteOnClose);
    }
    ui_.showModeless(*inquiryScreen);
    inquiryScreen->raise();
    inquiryScreen->activateWindow();
    update();
}

void MainWindow::Command9_Click() {
    ending_ = true;
    ui_.endProgram();
}

void MainWindow::mk11_Click(int index) {
    const int s = index + 4;
    if (!state_.config[s].inUse()) {
        ui_.message(QStringLiteral("ファイル設定が未済です。"), Icon::Critical, Buttons::Ok, QStringLiteral("Error"),
                    this);
        return;
    }
    openCategory(s, 1);
    {
        records::FieldSearchDialog search(state_, ui_, this);
        ui_.runModal(search);
    }
    if (state_.SearchCancelled)
        return;
    showRecordScreen();
    update();
}

void MainWindow::mf14_Click() {
    // Every screen works on the configuration read at start, so a replaced catalogue means a new start.
    if (exchange::RunAccessCatalogueImport(state_, ui_, this))
        ui_.endProgram();
}

void MainWindow::mt12_Click() {
    {
        store::CategorySlotsScreen form(state_, ui_, this);
        ui_.runModal(form);
    }
    closeStaleRecordScreen();
    RelayOutCategories();
}

void MainWindow::RelayOutCategories() {
    if (cd2Flag || dvd2Flag)
        DSpaceReSet();
    if (cd3Flag || dvd3Flag)
        DSpaceReSet();
    for (int b : {1, 2})
        moveTop(Command1[b], topTwips(Command1[0]));
    for (int b : {4, 5})
        moveTop(Command1[b], topTwips(Command1[3]));
    for (int b : {1, 2, 4, 5}) {
        Command1[b]->setVisible(state_.config[b + 4].inUse());
        Command1[b]->setEnabled(state_.config[b + 4].inUse());
    }
    CommandSet();
    update();
}

void MainWindow::ApplySettings() {
    ApplyTitleAndColors();
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        if (state_.config[s].inUse())
            Command1[s - 4]->setText(state_.config[s].ShumokuName);
    }
    Menukensaku();
    update();
}

void MainWindow::mt11_Click() {
    maintenance::SettingsScreen form(
        state_, ui_, [this] { ApplySettings(); }, this);
    ui_.runModal(form);
}

void MainWindow::mt17_Click() {
    maintenance::InitialiseScreen form(
        state_, ui_, [this] { ApplySettings(); }, this);
    ui_.runModal(form);
    if (!form.Initialised)
        return;
    // The open record screen shows records that are gone now.
    if (recordScreen)
        recordScreen->close();
    RelayOutCategories();
    ApplySettings();
}

void MainWindow::mf12_Click() {
    maintenance::BackupScreen form(state_, ui_, this);
    ui_.runModal(form);
}

void MainWindow::mf13_Click() {
    maintenance::RestoreScreen form(state_, ui_, this);
    ui_.runModal(form);
}

void MainWindow::mm11_Click() {
    maintenance::StatisticsScreen form(state_, ui_, this);
    ui_.runModal(form);
}

void MainWindow::mm12_Click() {
    maintenance::FieldNamesListing form(state_, ui_, this);
    if (form.Loaded)
        ui_.runModal(form);
}

void MainWindow::mm13_Click() {
    maintenance::ListTablesListing form(state_, ui_, this);
    if (form.Loaded)
        ui_.runModal(form);
}

void MainWindow::mh12_Click() {
    maintenance::AboutBox form(this);
    ui_.runModal(form);
}

void MainWindow::mt13_Click() {
    {
        store::FieldRenameScreen form(state_, ui_, this);
        ui_.runModal(form);
    }
    closeStaleRecordScreen();
}

void MainWindow::closeStaleRecordScreen() {
    // A record screen left open on deleted data would add sub records to discs that are gone.
    if (recordScreen && recordScreen->stale())
        recordScreen->close();
}

void MainWindow::mt14_Click() {
    store::ListTablesScreen form(state_, ui_, this);
    ui_.runModal(form);
}

void MainWindow::mt15_Click() {
    store::ListEntriesScreen form(state_, ui_, this);
    ui_.runModal(form);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!ending_) {
        ending_ = true;
        ui_.endProgram();
    }
}

} // namespace quelm::shell
