// CSV import screens: main records (CsvImportScreen) and sub records (Form6ip6b) from a CSV file, mapped by drag and
// drop.
#include "exchange/CsvImportScreen.h"

#include "platform/CodePage.h"
#include "platform/DialogKeys.h"
#include "platform/DragDrop.h"
#include "platform/FileChoosers.h"
#include "platform/Ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelm::exchange {

using platform::Buttons;
using platform::DragSource;
using platform::DropSlot;
using platform::Icon;

namespace {

// A run longer than this shows its progress.
constexpr int ShowProgressAfterMs = 400;

struct Texts {
    QString name;  // object name: the screen's given name
    QString title; // Label1, and the caption after the system title
    QString group; // Label8
};

Texts TextsOf(CsvImportScreen::Target target) {
    if (target == CsvImportScreen::Target::SubRecords)
        return {QStringLiteral("Form6ip6b"), QStringLiteral("ＣＳＶファイルよりデータ取込み(サブ明細)"),
                QStringLiteral("（サブ明細）")};
    return {QStringLiteral("Form5ip5b"), QStringLiteral("ＣＳＶファイルよりデータ取込み(メイン明細)"),
            QStringLiteral("（メイン明細）")};
}

} // namespace

CsvImportScreen::CsvImportScreen(store::AppState& state, platform::Ui& ui, Target target, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), target_(target), regNo_(state.CurrentRegNo) {
    const Texts texts = TextsOf(target);
    setObjectName(texts.name);
    setWindowTitle(state_.title() + QLatin1Char(' ') + texts.title);
    setModal(true);
    build();
    setPreviewShown(false);
}

CsvImportScreen::~CsvImportScreen() = default;

int CsvImportScreen::slotCount() const {
    return target_ == Target::MainRecords ? store::MainFieldSlots : store::SubFieldSlots;
}

QString CsvImportScreen::fieldName(int k) const {
    const store::ConfigSection& s = state_.config[state_.CurrentSection];
    return target_ == Target::MainRecords ? s.FieldName[k] : s.SubFieldName[k];
}

void CsvImportScreen::build() {
    const Texts texts = TextsOf(target_);
    auto* top = new QVBoxLayout(this);
    Label1 = new QLabel(texts.title, this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    top->addWidget(Label1);
    Label2 = new QLabel(QStringLiteral("データを取込むＣＳＶファイルを指定してください。"), this);
    top->addWidget(Label2);

    auto* fileRow = new QHBoxLayout;
    Text1 = new QLineEdit(this);
    Command1 = platform::PlainButton(QStringLiteral("参照"), this);
    fileRow->addWidget(Text1, 1);
    fileRow->addWidget(Command1);
    top->addLayout(fileRow);

    auto* optionRow = new QHBoxLayout;
    Check1 = new QCheckBox(QStringLiteral("最初のレコードを読み飛ばす"), this);
    Label16 = new QLabel(QStringLiteral("文字コード"), this);
    Combo1 = new QComboBox(this);
    for (const platform::TextEncoding e : platform::AllTextEncodings())
        Combo1->addItem(platform::TextEncodingName(e), static_cast<int>(e));
    EncodingNote = new QLabel(this);
    optionRow->addWidget(Check1);
    optionRow->addStretch(1);
    optionRow->addWidget(Label16);
    optionRow->addWidget(Combo1);
    optionRow->addWidget(EncodingNote);
    top->addLayout(optionRow);
    Sample = new QPlainTextEdit(this);
    Sample->setObjectName(QStringLiteral("Sample"));
    Sample->setReadOnly(true);
    Sample->setLineWrapMode(QPlainTextEdit::NoWrap);
    Sample->setFixedHeight(Sample->fontMetrics().lineSpacing() * (CsvSampleRecords + 1) + 12);
    top->addWidget(Sample);

    Label5 = new QLabel(
        QStringLiteral("ＣＳＶファイルのデータ項目を、ＣＤ管理Quelmのデータ項目へドラッグ＆ドロップで移してください。"),
        this);
    top->addWidget(Label5);

    auto* mapping = new QGridLayout;
    Label11 = new QLabel(QStringLiteral("CSVファイルの明細"), this);
    List1 = new platform::DragList(this);
    List1->setMinimumWidth(280);
    mapping->addWidget(Label11, 0, 0);
    mapping->addWidget(List1, 1, 0, slotCount() + 1, 1);

    auto* middle = new QVBoxLayout;
    Label14 = new QLabel(QStringLiteral("←→"), this);
    Label15 = new QLabel(QStringLiteral("Drag & Drop"), this); // a label has no access key: one & shows as it is
    for (QLabel* l : {Label14, Label15}) {
        l->setAlignment(Qt::AlignCenter);
        middle->addWidget(l);
    }
    mapping->addLayout(middle, 1, 1, slotCount() + 1, 1, Qt::AlignVCenter);

    Label8 = new QLabel(texts.group, this);
    Label10 = new QLabel(this);
    auto* headings = new QHBoxLayout;
    headings->addWidget(Label8);
    headings->addWidget(Label10);
    headings->addStretch(1);
    mapping->addLayout(headings, 0, 2, 1, 2);
    for (int i = 0; i < slotCount(); ++i) {
        auto* label = new QLabel(this);
        auto* slot = new DropSlot(i, this);
        slot->setMinimumWidth(280);
        Label6.push_back(label);
        Text3.push_back(slot);
        mapping->addWidget(label, i + 1, 2);
        mapping->addWidget(slot, i + 1, 3);
        connect(slot, &DropSlot::dragDropped, this, [this, i](const DragSource& source) { Text3_DragDrop(i, source); });
    }
    mapping->setColumnStretch(0, 1);
    mapping->setColumnStretch(3, 1);
    top->addLayout(mapping, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Command2 = platform::PlainButton(QStringLiteral("実行"), this);
    Command3 = platform::PlainButton(QStringLiteral("ヘルプ"), this);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    top->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &CsvImportScreen::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CsvImportScreen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &CsvImportScreen::Command3_Click);
    connect(Check1, &QCheckBox::clicked, this, &CsvImportScreen::Check1_Click);
    connect(Text1, &QLineEdit::textChanged, this, &CsvImportScreen::Text1_Change);
    connect(Combo1, &QComboBox::activated, this, &CsvImportScreen::Combo1_Click);
    connect(List1, &platform::DragList::dragDropped, this, &CsvImportScreen::List1_DragDrop);
    resize(900, 640);
}

void CsvImportScreen::setPreviewShown(bool shown) {
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, Label8, Label10, Label11, Label14, Label15, List1,
                                                      Command2, Check1, Label16, Combo1, EncodingNote, Sample})
        w->setVisible(shown);
    for (int i = 0; i < slotCount(); ++i) {
        Text3[i]->clearMapping();
        Text3[i]->setVisible(shown);
        Label6[i]->setVisible(shown);
    }
    if (!shown)
        List1->clear();
}

void CsvImportScreen::Command1_Click() {
    const QString path =
        platform::SelectOpenFile(ui_, this, {{QStringLiteral("ＣＳＶファイル(*.CSV)"), QStringLiteral("*.CSV")}},
                                 QStringLiteral("ＣＳＶファイルを開く"));
    if (!path.isEmpty())
        Text1->setText(path);
}

void CsvImportScreen::Check1_Click() {
    skip_ = Check1->isChecked() ? 1 : 0;
}

void CsvImportScreen::Text1_Change() {
    // The path may be typed by hand: until it names a readable file, nothing is shown and nothing is said.
    file_ = LoadCsvFile(Text1->text());
    if (!file_) {
        setPreviewShown(false);
        return;
    }
    Combo1->setCurrentIndex(Combo1->findData(static_cast<int>(file_->encoding)));
    EncodingNote->setText(QStringLiteral("（自動判別）"));
    preview();
}

void CsvImportScreen::Combo1_Click() {
    if (!file_)
        return;
    file_->decodeAs(static_cast<platform::TextEncoding>(Combo1->currentData().toInt()));
    EncodingNote->setText(QStringLiteral("（指定）"));
    preview();
}

void CsvImportScreen::preview() {
    setPreviewShown(true);
    Label10->setText(state_.config[state_.CurrentSection].ShumokuName.trimmed() + QStringLiteral("(ＣＤ管理)"));
    for (int i = 0; i < slotCount(); ++i)
        Label6[i]->setText(fieldName(i + 1));
    // Another file starts from its own columns only.
    List1->clear();
    const CsvPreview p = PreviewCsv(*file_, skip_ == 1);
    List1->addItems(p.items);
    Sample->setPlainText(CsvSample(*file_, skip_ == 1).join(u'\n'));
    if (p.status == CsvPreview::Status::Uneven)
        ui_.message(UnevenRecordsMessage, Icon::Exclamation, Buttons::Ok, CsvErrorTitle, this);
    else if (p.status == CsvPreview::Status::NoData)
        ui_.message(NoCsvDataMessage, Icon::Exclamation, Buttons::Ok, CsvErrorTitle, this);
}

void CsvImportScreen::Text3_DragDrop(int index, const DragSource& source) {
    if (!source.isList(List1) || index < 0 || index >= slotCount())
        return;
    const int row = List1->firstSelectedRow();
    if (row < 0)
        return;
    // Whatever the slot held is replaced and gone.
    Text3[index]->setText(List1->item(row)->text());
    delete List1->takeItem(row);
}

void CsvImportScreen::List1_DragDrop(const DragSource& source) {
    if (!source.isSlot() || !source.slot->isMapped())
        return;
    for (DropSlot* slot : Text3)
        if (slot == source.slot) {
            List1->addItem(slot->text());
            slot->clearMapping();
        }
}

void CsvImportScreen::Command2_Click() {
    if (ui_.message(QStringLiteral("データの取込みを開始します、よろしいですか。"), Icon::None, Buttons::OkCancel,
                    QStringLiteral("作業開始の確認"), this) != platform::Answer::Ok)
        return;
    if (!file_)
        return;
    CsvImportOptions options;
    options.skipFirst = skip_ == 1;
    for (const DropSlot* slot : Text3)
        options.columns.push_back(slot->isMapped() ? ColumnOfItem(slot->text()) : 0);

    // Long files show their progress and can be stopped; a stop undoes the whole run.
    QProgressDialog progress(QStringLiteral("データを取込んでいます…"), QStringLiteral("中止"), 0, 0, this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ShowProgressAfterMs);
    progress.setAutoReset(false);
    // The dialog's own estimate never comes for a bar without an end, so it is shown here once the run takes longer
    // than a moment.
    QElapsedTimer clock;
    clock.start();
    options.progress = [&](int read) {
        progress.setLabelText(QStringLiteral("データを取込んでいます… %1 件").arg(read));
        if (!progress.isVisible() && clock.elapsed() >= ShowProgressAfterMs)
            progress.show();
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    const CsvImportResult r = target_ == Target::MainRecords ? ImportMainRecords(state_, *file_, options)
                                                             : ImportSubRecords(state_, regNo_, *file_, options);
    progress.close();
    switch (r.status) {
    case CsvImportResult::Status::Ok:
        ui_.message(ImportDoneMessage(r, target_ == Target::SubRecords), Icon::Information, Buttons::Ok,
                    ImportDoneTitle, this);
        accept();
        break;
    case CsvImportResult::Status::Cancelled:
        ui_.message(ImportCancelledMessage, Icon::Information, Buttons::Ok, ImportDoneTitle, this);
        break;
    case CsvImportResult::Status::Failed:
        ui_.message(ImportFailedMessage(r), Icon::Critical, Buttons::Ok, ImportFailedTitle, this);
        break;
    }
}

void CsvImportScreen::Command3_Click() {
    ui_.showHelp(this);
}

std::unique_ptr<CsvImportScreen> MakeMainCsvImport(store::AppState& state, platform::Ui& ui, QWidget* parent) {
    return std::make_unique<CsvImportScreen>(state, ui, CsvImportScreen::Target::MainRecords, parent);
}

std::unique_ptr<CsvImportScreen> MakeSubCsvImport(store::AppState& state, platform::Ui& ui, QWidget* parent) {
    return std::make_unique<CsvImportScreen>(state, ui, CsvImportScreen::Target::SubRecords, parent);
}

} // namespace quelm::exchange
