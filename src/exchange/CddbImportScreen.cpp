// CDDB import screen: takes one CD at a time from the player's CDDB files into the current category.
#include "exchange/CddbImportScreen.h"

#include "exchange/CddbPlayer.h"
#include "exchange/DiscReading.h"
#include "exchange/MappingSlots.h"
#include "platform/Database.h"
#include "platform/DialogKeys.h"
#include "platform/DragDrop.h"
#include "platform/Ui.h"
#include "store/Catalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quelm::exchange {

using platform::Answer;
using platform::Buttons;
using platform::DragList;
using platform::DragSource;
using platform::DropSlot;
using platform::Icon;

namespace {

const QString ErrorTitle = QStringLiteral("ERROR");
const QString HeadingEntry = QStringLiteral("[ファイル名]　　　[ＣＤタイトル]");
const QString EntrySeparator = QStringLiteral("     ");
const QString PlayerNote =
    QStringLiteral("[Player] はフリーソフトです。ダウンロード先や使用方法の詳細は、「ヘルプ」を参照願います。");
const QString NoPlayerFolder = QStringLiteral("Playerのパス名が入力されていません。");
const QString NoCddbFolder = QStringLiteral("CDDBのパス名が入力されていません。");
const QString ProductTitle = QStringLiteral("ＣＤ管理Quelm");
// The CD list tells its progress window every so many files it has read.
constexpr int ListProgressStep = 32;

QListWidget* FolderList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setFixedHeight(list->fontMetrics().height() + 8);
    list->setMinimumWidth(360);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

// As large as the screen with everything shown, so that it does not jump when the mapping area appears; but no
// higher than a 1024×768 screen leaves below the title bar: the mapping area scrolls then, and a larger screen gives
// room for it when the window is made higher.
void SizeToScreen(QDialog& screen, QScrollArea& mapping) {
    constexpr int TitleBarPixels = 30, LowScreenPixels = 768;
    const QSize hint = screen.layout()->sizeHint();
    const int whole = hint.height() - mapping.sizeHint().height() + mapping.widget()->sizeHint().height();
    const int height = std::min(whole, LowScreenPixels - TitleBarPixels);
    screen.setMinimumSize(hint.width(), height);
    screen.resize(hint.width(), height);
}

} // namespace

CddbImportScreen::CddbImportScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), section_(state.CurrentSection) {
    setObjectName(QStringLiteral("Form5ip5c"));
    buildControls();
    AddDiscReading(*this, ui_);
    SizeToScreen(*this, static_cast<QScrollArea&>(*mappingArea_));
    Form_Load();
}

void CddbImportScreen::buildControls() {
    Label1 = new QLabel(QStringLiteral("CDDBデータ取り込み"), this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    Label4 = new QLabel(this);
    Label18 = new QLabel(QStringLiteral("Player.exe(CDDB情報を読込むソフト)があるフォルダを指定して下さい。"), this);
    List4 = FolderList(this);
    Command1 = platform::PlainButton(QStringLiteral("参照"), this);
    Check1 = new QCheckBox(QStringLiteral("Player.exeのフォルダを保存する。"), this);
    Command3 = platform::PlainButton(QStringLiteral("Player起動"), this);
    PlayerWaitLabel = new QLabel(QStringLiteral("Playerの終了を待っています…"), this);
    // Shown only while the player runs, in the room left beside the buttons: it never widens the screen.
    PlayerWaitLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    PlayerWaitLabel->hide();
    Label3 =
        new QLabel(QStringLiteral("CDDBが保存されているフォルダを指定して下さい。(.cdbファイルの保管フォルダ)"), this);
    List3 = FolderList(this);
    Command4 = platform::PlainButton(QStringLiteral("参照"), this);
    Check2 = new QCheckBox(QStringLiteral("CDDBのフォルダを保存する。"), this);
    Command5 = platform::PlainButton(QStringLiteral("CDDBファイル読込み"), this);
    EncodingLabel = new QLabel(QStringLiteral("文字コード"), this);
    EncodingCombo = new QComboBox(this);
    EncodingCombo->addItem(QStringLiteral("自動判別"));
    for (const platform::TextEncoding e : platform::AllTextEncodings())
        EncodingCombo->addItem(platform::TextEncodingName(e), static_cast<int>(e));
    EncodingTaken = new QLabel(this);
    EncodingTaken->setObjectName(QStringLiteral("EncodingTaken"));
    Label19 = new QLabel(QStringLiteral("データを取込むファイルを選択する"), this);
    Combo1 = new QComboBox(this);
    Combo1->setMinimumContentsLength(40);
    // As wide as forty characters, not as its longest entry: a long disc title would widen the screen past the display.
    Combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Command6 = platform::PlainButton(QStringLiteral("不要なファイルを削除する"), this);
    Text2 = new QLineEdit(this);
    Text2->hide();
    Label13 = new QLabel(this);
    Label10 = new QLabel(this);
    Label5 = new QLabel(
        QStringLiteral("CDDBのデータ項目を、ＣＤ管理Quelmのデータ項目へドラッグ＆ドロップで移してください。"), this);
    Label17 = new QLabel(
        QStringLiteral(
            "(アルバムのデータ項目)は(メイン明細)にのみ、(曲のデータ項目)は(サブ明細)にのみ取込みが可能です。\n"
            "データ項目のうち、数値項目と日付項目への取込みは出来ません。"),
        this);
    Command2 = platform::PlainButton(QStringLiteral("実行"), this);
    Command8 = platform::PlainButton(QStringLiteral("設定保存"), this);
    Command7 = platform::PlainButton(QStringLiteral("ヘルプ"), this);

    auto* folders = new QGridLayout;
    folders->addWidget(Label18, 0, 0, 1, 5);
    folders->addWidget(List4, 1, 0);
    folders->addWidget(Command1, 1, 1);
    folders->addWidget(Check1, 1, 2);
    folders->addWidget(Command3, 1, 3);
    folders->addWidget(PlayerWaitLabel, 1, 4);
    folders->addWidget(Label3, 2, 0, 1, 5);
    folders->addWidget(List3, 3, 0);
    folders->addWidget(Command4, 3, 1);
    folders->addWidget(Check2, 3, 2);
    folders->addWidget(Command5, 3, 3);
    folders->setColumnStretch(4, 1);

    auto* cds = new QHBoxLayout;
    cds->addWidget(Label19);
    cds->addWidget(Combo1, 1);
    cds->addWidget(Command6);
    // The encoding on a line of its own, so that the screen stays within a 1024-pixel-wide screen.
    auto* encoding = new QHBoxLayout;
    encoding->addWidget(EncodingLabel);
    encoding->addWidget(EncodingCombo);
    encoding->addWidget(EncodingTaken);
    encoding->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command8);
    buttons->addWidget(Command7);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label4);
    layout->addLayout(folders);
    layout->addLayout(cds);
    layout->addLayout(encoding);
    layout->addWidget(Label13);
    layout->addWidget(Label10);
    layout->addWidget(buildMappingArea(), 100);
    layout->addStretch(1); // takes the room while the mapping area is hidden
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &CddbImportScreen::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &CddbImportScreen::Command4_Click);
    connect(Check1, &QCheckBox::clicked, this, &CddbImportScreen::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &CddbImportScreen::Check2_Click);
    connect(Command3, &QPushButton::clicked, this, &CddbImportScreen::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &CddbImportScreen::Command5_Click);
    connect(Combo1, &QComboBox::activated, this, &CddbImportScreen::Combo1_Click);
    connect(EncodingCombo, &QComboBox::activated, this, &CddbImportScreen::EncodingCombo_Click);
    connect(Command6, &QPushButton::clicked, this, &CddbImportScreen::Command6_Click);
    connect(Command2, &QPushButton::clicked, this, &CddbImportScreen::Command2_Click);
    connect(Command8, &QPushButton::clicked, this, &CddbImportScreen::Command8_Click);
    connect(Command7, &QPushButton::clicked, this, &CddbImportScreen::Command7_Click);
}

QWidget* CddbImportScreen::buildMappingArea() {
    mappingArea_ = new QWidget(this);
    Label11 = new QLabel(QStringLiteral("（アルバムのデータ項目）"), mappingArea_);
    List1 = new DragList(mappingArea_);
    Label12 = new QLabel(QStringLiteral("（曲のデータ項目）"), mappingArea_);
    List2 = new DragList(mappingArea_);
    Label14 = new QLabel(QStringLiteral("←→"), mappingArea_);
    // The & is shown once; the doubled form was only the old label's escape.
    Label15 = new QLabel(QStringLiteral("Drag & Drop"), mappingArea_);
    Label8 = new QLabel(QStringLiteral("（メイン明細）"), mappingArea_);
    Label9 = new QLabel(QStringLiteral("（サブ明細）"), mappingArea_);

    auto* lists = new QVBoxLayout;
    lists->addWidget(Label11);
    lists->addWidget(List1);
    lists->addWidget(Label12);
    lists->addWidget(List2);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(Label14, 0, Qt::AlignHCenter);
    arrows->addWidget(Label15, 0, Qt::AlignHCenter);
    arrows->addStretch();

    QGridLayout* fields = BuildMappingSlots(
        mappingArea_, Label8, Label9, Label6, Text3, Label7, Text4,
        [this](DropSlot* slot, bool main, const DragSource& s) { dropOnSlot(slot, main ? List1 : List2, s); });
    fields->setRowStretch(store::MainFieldSlots + 1, 1);
    connect(List1, &DragList::dragDropped, this, [this](const DragSource& s) { dropOnList(List1, s); });
    connect(List2, &DragList::dragDropped, this, [this](const DragSource& s) { dropOnList(List2, s); });

    auto* row = new QHBoxLayout;
    row->addLayout(lists, 2);
    row->addLayout(arrows);
    row->addLayout(fields, 5);
    auto* area = new QVBoxLayout(mappingArea_);
    area->setContentsMargins(0, 0, 0, 0);
    area->addLayout(row, 1);
    area->addWidget(Label5);
    area->addWidget(Label17);

    // On a low screen the area scrolls rather than pushing the buttons off the screen; it never scrolls sideways.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(mappingArea_->minimumSizeHint().width() + scroll->verticalScrollBar()->sizeHint().width());
    scroll->setWidget(mappingArea_);
    mappingArea_ = scroll; // what is shown and hidden with a CD, the items and slots within
    return scroll;
}

void CddbImportScreen::Form_Load() {
    setWindowTitle(state_.caption(QStringLiteral("CDDBデータ取込み")));
    Label4->setText(state_.config[section_].ShumokuName + QStringLiteral("にCDDBのデータを取込みます。"));
    Label19->hide();
    Combo1->hide();
    Command6->hide();
    EncodingLabel->hide();
    EncodingCombo->hide();
    PlayerWaitLabel->hide();
    hideMapping();
    Label10->setText(PlayerNote);
    // The folders as last stored; this screen keeps the in-memory copy in step whenever it stores one.
    List4->addItem(state_.config[0].FieldName[5].trimmed());
    List3->addItem(state_.config[0].FieldName[6].trimmed());
}

void CddbImportScreen::hideMapping() {
    mappingArea_->hide();
    Command2->hide();
    Command8->hide();
    List1->clear();
    List2->clear();
    for (DropSlot* slot : Text3)
        slot->clearMapping();
    for (DropSlot* slot : Text4)
        slot->clearMapping();
    disc_ = {};
}

void CddbImportScreen::showMapping() {
    const store::ConfigSection& s = state_.config[section_];
    Label10->setText(s.ShumokuName + QStringLiteral("(ＣＤ管理)"));
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        Label6[i]->setText(s.FieldName[i + 1]);
        Text3[i]->clearMapping();
        Text3[i]->setVisible(MainSlotTakesCddb(i));
    }
    for (int i = 0; i < store::SubFieldSlots; ++i) {
        Label7[i]->setText(s.SubFieldName[i + 1]);
        Text4[i]->clearMapping();
        Text4[i]->setVisible(SubSlotTakesCddb(i));
    }
    List1->clear();
    List2->clear();
    mappingArea_->show();
}

QString CddbImportScreen::entryOf(const QListWidget* list) const {
    return list->count() > 0 ? list->item(0)->text().trimmed() : QString();
}

void CddbImportScreen::chooseFolder(QListWidget* list) {
    const auto chosen = ui_.chooseFolder(QStringLiteral("フォルダの選択"), this);
    if (!chosen)
        return;
    list->clear();
    list->addItem(*chosen);
}

void CddbImportScreen::Command1_Click() {
    chooseFolder(List4);
}

void CddbImportScreen::Command4_Click() {
    chooseFolder(List3);
}

void CddbImportScreen::saveFolder(QCheckBox* box, bool player) {
    if (!box->isChecked())
        return;
    const QString folder = entryOf(player ? List4 : List3);
    if (folder.isEmpty()) {
        ui_.message(player ? NoPlayerFolder : NoCddbFolder, Icon::Exclamation, Buttons::Ok, ErrorTitle, this);
        return;
    }
    const store::ConfigSection& system = state_.config[0];
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        store::StoreCddbFolders(*db, state_.config, player ? folder : system.FieldName[5],
                                player ? system.FieldName[6] : folder);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
}

void CddbImportScreen::Check1_Click() {
    saveFolder(Check1, true);
}

void CddbImportScreen::Check2_Click() {
    saveFolder(Check2, false);
}

void CddbImportScreen::Command3_Click() {
    const auto command = PlayerCommandIn(entryOf(List4));
    if (!command) {
        ui_.message(QStringLiteral("Playerが起動できませんでした"), Icon::None, Buttons::Ok, ProductTitle, this);
        return;
    }
    // The screen stays painted and says what it waits for; nothing here may be used until the player has ended.
    PlayerWaitLabel->show();
    setEnabled(false);
    const bool ran = ui_.runProgramAndWait(command->program, command->arguments, entryOf(List4));
    setEnabled(true);
    PlayerWaitLabel->hide();
    if (!ran) {
        ui_.message(QStringLiteral("Playerが起動できませんでした"), Icon::None, Buttons::Ok, ProductTitle, this);
        return;
    }
    ui_.message(QStringLiteral("Playerが終了しました"), Icon::None, Buttons::Ok, QStringLiteral("Player実行"), this);
}

void CddbImportScreen::Command5_Click() {
    Label19->show();
    Combo1->show();
    Command6->show();
    EncodingLabel->show();
    EncodingCombo->show();
    CDDBRead();
}

std::optional<platform::TextEncoding> CddbImportScreen::chosenEncoding() const {
    if (EncodingCombo->currentIndex() <= 0)
        return std::nullopt;
    return static_cast<platform::TextEncoding>(EncodingCombo->currentData().toInt());
}

bool CddbImportScreen::CDDBRead() {
    hideMapping();
    pickedFile_.clear();
    Text2->clear();
    Label13->clear();
    const QString folder = entryOf(List3);
    if (folder.isEmpty()) {
        ui_.message(NoCddbFolder, Icon::Exclamation, Buttons::Ok, ErrorTitle, this);
        return false;
    }
    // Plain files only: no folders, and no devices or pipes, which could never be read to their end.
    File1 = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    if (File1.isEmpty()) {
        ui_.message(QStringLiteral("CDDBのファイルがありません。"), Icon::Exclamation, Buttons::Ok, ErrorTitle, this);
        return false;
    }
    listedFolder_ = folder;
    Combo1->clear();
    Combo1->addItem(HeadingEntry);
    const auto encoding = chosenEncoding();
    // A folder of a whole collection holds thousands of files, each read for its title: the window shows how far.
    const auto progress = ui_.showProgress(QStringLiteral("CDDBファイルを読んでいます…"), windowTitle(), this);
    const auto total = static_cast<std::int64_t>(File1.size());
    for (std::int64_t i = 0; i < total; ++i) {
        if (i % ListProgressStep == 0)
            progress->report(i, total);
        const QString& name = File1[i];
        if (const auto title = ReadCddbListTitle(QDir(folder).filePath(name), encoding))
            Combo1->addItem(name + EntrySeparator + *title, name);
    }
    Combo1->setCurrentIndex(0);
    return true;
}

std::optional<QString> CddbImportScreen::listedFilePath(const QString& fileName) const {
    if (listedFolder_.isEmpty() || fileName.isEmpty() || fileName.contains(QLatin1Char('/')) ||
        fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        return std::nullopt;
    const QFileInfo file(QDir(listedFolder_).filePath(fileName));
    if (!file.isFile() || file.absoluteDir().canonicalPath() != QDir(listedFolder_).canonicalPath())
        return std::nullopt;
    return file.absoluteFilePath();
}

void CddbImportScreen::Combo1_Click() {
    const int index = Combo1->currentIndex();
    if (index < 0)
        return;
    Text2->setText(Combo1->currentText());
    Label13->setText(Combo1->currentText());
    disc_ = {};
    pickedFile_.clear();
    EncodingTaken->clear();
    showMapping();
    Command2->hide();
    Command8->hide();
    if (index == 0)
        return;

    const QString name = Combo1->currentData().toString();
    const auto path = listedFilePath(name);
    const CddbReadResult read =
        path ? ReadCddbFile(*path, chosenEncoding()) : CddbReadResult{CddbReadStatus::Unreadable, {}};
    if (read.status != CddbReadStatus::Ok) {
        ui_.message(CddbReadFailureText(read), Icon::Exclamation, Buttons::Ok, ErrorTitle, this);
        return;
    }
    disc_ = read.disc;
    pickedFile_ = name;
    EncodingTaken->setText(QStringLiteral("（%1）").arg(platform::TextEncodingName(disc_.encoding)));
    List1->setItems(disc_.albumItems);
    List2->setItems(disc_.trackItems);
    Command2->show();
    Command8->show();
    restoreMapping();
}

void CddbImportScreen::restoreMapping() {
    std::optional<CddbMapping> saved;
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        saved = LoadCddbMapping(*db, section_);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    if (!saved)
        return;
    auto take = [](DragList* list, const QString& label) {
        const int at = list->items().indexOf(label);
        if (at >= 0)
            delete list->takeItem(at);
    };
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        if (!MainSlotTakesCddb(i))
            continue;
        Text3[i]->setText(saved->main[i]);
        if (Text3[i]->isMapped())
            take(List1, saved->main[i]);
    }
    for (int i = 0; i < store::SubFieldSlots; ++i) {
        if (!SubSlotTakesCddb(i))
            continue;
        Text4[i]->setText(saved->sub[i]);
        if (Text4[i]->isMapped())
            take(List2, saved->sub[i]);
    }
}

bool CddbImportScreen::isMainSlot(const DropSlot* slot) const {
    return std::find(Text3.begin(), Text3.end(), slot) != Text3.end();
}

void CddbImportScreen::dropOnSlot(DropSlot* slot, DragList* from, const DragSource& source) {
    // Album items go to main slots only, track items to sub slots only.
    if (!source.isList(from) || slot->refusesDrops())
        return;
    const int row = from->firstSelectedRow();
    if (row < 0)
        return;
    const QString label = from->firstSelectedText();
    delete from->takeItem(row);
    // What the slot held goes back to its list, so no item is lost by mapping over it.
    if (slot->isMapped())
        from->addItem(slot->text());
    slot->setText(label);
}

void CddbImportScreen::dropOnList(DragList* list, const DragSource& source) {
    if (!source.isSlot() || !source.slot->isMapped())
        return;
    if (isMainSlot(source.slot) != (list == List1))
        return;
    list->addItem(source.slot->text());
    source.slot->clearMapping();
}

CddbMapping CddbImportScreen::mapping() const {
    CddbMapping m;
    for (int i = 0; i < store::MainFieldSlots; ++i)
        m.main[i] = Text3[i]->text();
    for (int i = 0; i < store::SubFieldSlots; ++i)
        m.sub[i] = Text4[i]->text();
    return m;
}

void CddbImportScreen::Command2_Click() {
    const CddbMapping m = mapping();
    if (!m.anyMain()) {
        ui_.message(QStringLiteral("メイン明細にデータ項目がセットされていません。"), Icon::Exclamation, Buttons::Ok,
                    ErrorTitle, this);
        return;
    }
    const QString question = m.anySub() ? QStringLiteral("データの取込みを開始します、よろしいですか。")
                                        : QStringLiteral("メイン明細のみデータの取込みを開始します、よろしいですか。");
    if (ui_.message(question, Icon::None, Buttons::OkCancel, QStringLiteral("作業開始の確認"), this) != Answer::Ok)
        return;
    // The screen writes into the category it was opened for, whatever another screen chose meanwhile.
    state_.CurrentSection = static_cast<std::int16_t>(section_);
    const CddbRunResult result = RunCddbImport(state_, disc_, m);
    if (!result.ok) {
        platform::ShowEngineError(ui_, result.message, this);
        return;
    }
    const QString report =
        QStringLiteral("データ取込みが終了しました。\r\n  種目メイン明細　%1\r\n  種目サブ明細　　%2\r\n")
            .arg(result.mainCount)
            .arg(result.subCount) +
        CutItemsText(result.cutItems) + QStringLiteral("引続き取込み作業を行いますか？");
    if (ui_.message(report, Icon::None, Buttons::YesNo, QStringLiteral("作業結果"), this) == Answer::No) {
        accept();
        return;
    }
    hideMapping();
}

void CddbImportScreen::Command8_Click() {
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        SaveCddbMapping(*db, section_, mapping());
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
    }
}

void CddbImportScreen::Command7_Click() {
    ui_.showHelp(this);
}

void CddbImportScreen::EncodingCombo_Click() {
    if (!Combo1->isVisible() && Combo1->count() == 0)
        return;
    // The titles and the picked CD are read again in the chosen encoding.
    const QString picked = pickedFile_;
    if (!CDDBRead() || picked.isEmpty())
        return;
    const int at = Combo1->findData(picked);
    if (at > 0) {
        Combo1->setCurrentIndex(at);
        Combo1_Click();
    }
}

void CddbImportScreen::Command6_Click() {
    const int index = Combo1->currentIndex();
    if (index <= 0) {
        ui_.message(QStringLiteral("ファイルが選択されていません。"), Icon::Exclamation, Buttons::Ok, ErrorTitle, this);
        return;
    }
    const QString name = Combo1->currentData().toString();
    if (ui_.message(QStringLiteral("ファイル ") + name + QStringLiteral("を削除しますか？"), Icon::None, Buttons::YesNo,
                    QStringLiteral("削除の確認"), this) != Answer::Yes)
        return;
    const auto path = listedFilePath(name);
    if (!path || !QFile::remove(*path)) {
        ui_.message(QStringLiteral("ファイル ") + name + QStringLiteral("が削除できませんでした"), Icon::Exclamation,
                    Buttons::Ok, ErrorTitle, this);
        return;
    }
    CDDBRead();
}

} // namespace quelm::exchange
