// Ripped album import screen: folders of audio files into the current category, one record per folder.
#include "exchange/RippedImportScreen.h"

#include "exchange/MappingSlots.h"
#include "platform/Database.h"
#include "platform/DialogKeys.h"
#include "platform/DragDrop.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "store/Catalogue.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quelm::exchange {

using platform::Answer;
using platform::Buttons;
using platform::DragList;
using platform::DragSource;
using platform::DropSlot;
using platform::Icon;

namespace {

// A scan or a run longer than this shows its progress.
constexpr int ShowProgressAfterMs = 400;

const QString ErrorTitle = QStringLiteral("ERROR");
const QString ExistingMark = QStringLiteral("登録済");
// The most file names a message lists; the rest are counted.
constexpr int ListedFiles = 20;
enum PreviewColumn { ColumnFolder, ColumnTitle, ColumnArtist, ColumnTracks, ColumnExisting };

// The picture box of the main record screen, where the covers are shown.
CoverBox RecordCoverBox(const QWidget& screen) {
    const QRect box = platform::TwipsRect(0, 0, 2945, 2895);
    return {box.size() - QSize(2, 2), screen.palette().color(QPalette::Window)};
}

} // namespace

RippedImportScreen::RippedImportScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), section_(state.CurrentSection) {
    setObjectName(QStringLiteral("Form5ip5d"));
    setWindowTitle(state_.caption(QStringLiteral("リッピング済みアルバムの取込み")));
    buildControls();
    Label4->setText(state_.config[section_].ShumokuName + QStringLiteral("に音楽ファイルのアルバムを取込みます。"));
    const store::ConfigSection& s = state_.config[section_];
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        Label6[i]->setText(s.FieldName[i + 1]);
        Text3[i]->setVisible(MainSlotTakesCddb(i));
    }
    for (int i = 0; i < store::SubFieldSlots; ++i) {
        Label7[i]->setText(s.SubFieldName[i + 1]);
        Text4[i]->setVisible(SubSlotTakesCddb(i));
    }
    List1->setItems(RippedAlbum{}.disc().albumItems);
    List2->setItems(RippedAlbum{}.disc().trackItems);
    restoreMapping();
}

void RippedImportScreen::buildControls() {
    Label1 = new QLabel(QStringLiteral("リッピング済みアルバムの取込み"), this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    Label4 = new QLabel(this);
    Label3 =
        new QLabel(QStringLiteral("音楽ファイル(FLAC, MP3, Ogg, Opus, M4A, WAV, WMA)があるフォルダを指定して下さい。"
                                  "フォルダごとに１枚のCDとして取込みます。"),
                   this);
    Text1 = new QLineEdit(this);
    Text1->setReadOnly(true);
    Text1->setMinimumWidth(360);
    Command4 = platform::PlainButton(QStringLiteral("参照"), this);
    Command5 = platform::PlainButton(QStringLiteral("読込み"), this);
    Tree1 = new QTreeWidget(this);
    Tree1->setRootIsDecorated(false);
    Tree1->setHeaderLabels({QStringLiteral("フォルダ"), QStringLiteral("タイトル"), QStringLiteral("アーティスト"),
                            QStringLiteral("曲数"), QStringLiteral("既存")});
    Tree1->setMinimumHeight(150);
    Command2 = platform::PlainButton(QStringLiteral("実行"), this);
    Command8 = platform::PlainButton(QStringLiteral("設定保存"), this);
    Command7 = platform::PlainButton(QStringLiteral("ヘルプ"), this);
    Command9 = platform::PlainButton(QStringLiteral("閉じる"), this);

    auto* folder = new QHBoxLayout;
    folder->addWidget(Text1, 1);
    folder->addWidget(Command4);
    folder->addWidget(Command5);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {Command2, Command8, Command7, Command9})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label4);
    layout->addWidget(Label3);
    layout->addLayout(folder);
    layout->addWidget(Tree1, 1);
    layout->addWidget(buildMappingArea(), 2);
    layout->addLayout(buttons);

    connect(Command4, &QPushButton::clicked, this, &RippedImportScreen::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &RippedImportScreen::Command5_Click);
    connect(Command2, &QPushButton::clicked, this, &RippedImportScreen::Command2_Click);
    connect(Command8, &QPushButton::clicked, this, &RippedImportScreen::Command8_Click);
    connect(Command7, &QPushButton::clicked, this, &RippedImportScreen::Command7_Click);
    connect(Command9, &QPushButton::clicked, this, &RippedImportScreen::Command9_Click);
}

QWidget* RippedImportScreen::buildMappingArea() {
    auto* area = new QWidget(this);
    Label11 = new QLabel(QStringLiteral("（アルバムのデータ項目）"), area);
    List1 = new DragList(area);
    Label12 = new QLabel(QStringLiteral("（曲のデータ項目）"), area);
    List2 = new DragList(area);
    Label8 = new QLabel(QStringLiteral("（メイン明細）"), area);
    Label9 = new QLabel(QStringLiteral("（サブ明細）"), area);
    Label5 = new QLabel(QStringLiteral("アルバムの項目はメイン明細へ、曲の項目はサブ明細へ、ドラッグ＆ドロップで移して"
                                       "ください。数値項目と日付項目への取込みは出来ません。"),
                        area);
    Label5->setWordWrap(true);
    auto* lists = new QVBoxLayout;
    lists->addWidget(Label11);
    lists->addWidget(List1);
    lists->addWidget(Label12);
    lists->addWidget(List2);
    QGridLayout* fields = BuildMappingSlots(
        area, Label8, Label9, Label6, Text3, Label7, Text4,
        [this](DropSlot* slot, bool main, const DragSource& s) { dropOnSlot(slot, main ? List1 : List2, s); });
    connect(List1, &DragList::dragDropped, this, [this](const DragSource& s) { dropOnList(List1, s); });
    connect(List2, &DragList::dragDropped, this, [this](const DragSource& s) { dropOnList(List2, s); });
    auto* row = new QHBoxLayout;
    row->addLayout(lists, 2);
    row->addLayout(fields, 5);
    auto* box = new QVBoxLayout(area);
    box->setContentsMargins(0, 0, 0, 0);
    box->addLayout(row, 1);
    box->addWidget(Label5);
    return area;
}

void RippedImportScreen::Command4_Click() {
    if (const auto chosen = ui_.chooseFolder(QStringLiteral("フォルダの選択"), this))
        Text1->setText(*chosen);
}

void RippedImportScreen::Command5_Click() {
    const QString folder = Text1->text().trimmed();
    if (folder.isEmpty() || !QDir(folder).exists()) {
        ui_.message(QStringLiteral("フォルダが指定されていません。"), Icon::Exclamation, Buttons::Ok, ErrorTitle, this);
        return;
    }
    QProgressDialog progress(QStringLiteral("音楽ファイルを読んでいます…"), QStringLiteral("中止"), 0, 0, this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ShowProgressAfterMs);
    progress.setAutoReset(false);
    RippedScan scan = ScanRippedFolder(folder, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    albums_.clear();
    Tree1->clear();
    if (scan.cancelled)
        return;
    albums_ = std::move(scan.albums);
    fillPreview();
    if (albums_.empty())
        ui_.message(QStringLiteral("音楽ファイルがありません。"), Icon::Exclamation, Buttons::Ok, ErrorTitle, this);
    reportSkipped(scan.unreadable, QStringLiteral("次のファイルは読めないため、取込みません。"));
}

void RippedImportScreen::reportSkipped(const QStringList& files, const QString& heading) {
    if (files.isEmpty())
        return;
    QStringList lines = files.mid(0, ListedFiles);
    if (files.size() > ListedFiles)
        lines << QStringLiteral("ほか %1 件").arg(files.size() - ListedFiles);
    ui_.message(heading + QStringLiteral("\r\n") + lines.join(QStringLiteral("\r\n")), Icon::Exclamation, Buttons::Ok,
                windowTitle(), this);
}

void RippedImportScreen::fillPreview() {
    Tree1->clear();
    for (const RippedAlbum& album : albums_) {
        const CddbDisc disc = album.disc();
        auto* item = new QTreeWidgetItem(Tree1);
        item->setText(ColumnFolder, QDir(Text1->text()).relativeFilePath(album.folder));
        item->setText(ColumnTitle, disc.albumValues.at(QStringLiteral("タイトル")));
        item->setText(ColumnArtist, disc.albumValues.at(QStringLiteral("アーティスト")));
        item->setText(ColumnTracks, QString::number(album.tracks.size()));
        item->setTextAlignment(ColumnTracks, Qt::AlignRight | Qt::AlignVCenter);
        item->setCheckState(ColumnFolder, Qt::Checked);
    }
    Tree1->header()->resizeSections(QHeaderView::ResizeToContents);
    markExisting();
}

void RippedImportScreen::markExisting() {
    if (albums_.empty())
        return;
    std::vector<CddbDisc> discs;
    for (const RippedAlbum& album : albums_)
        discs.push_back(album.disc());
    std::vector<bool> existing;
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        existing = FindExistingAlbums(*db, state_.config[section_], mapping(), discs);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    for (int i = 0; i < Tree1->topLevelItemCount() && i < static_cast<int>(existing.size()); ++i) {
        QTreeWidgetItem* item = Tree1->topLevelItem(i);
        const bool was = !item->text(ColumnExisting).isEmpty();
        item->setText(ColumnExisting, existing[i] ? ExistingMark : QString());
        // Albums found in the category are left out unless the user ticks them again.
        if (existing[i] && !was)
            item->setCheckState(ColumnFolder, Qt::Unchecked);
    }
}

std::vector<const RippedAlbum*> RippedImportScreen::chosenAlbums() const {
    std::vector<const RippedAlbum*> chosen;
    for (int i = 0; i < Tree1->topLevelItemCount() && i < static_cast<int>(albums_.size()); ++i)
        if (Tree1->topLevelItem(i)->checkState(ColumnFolder) == Qt::Checked)
            chosen.push_back(&albums_[i]);
    return chosen;
}

CddbMapping RippedImportScreen::mapping() const {
    CddbMapping m;
    for (int i = 0; i < store::MainFieldSlots; ++i)
        m.main[i] = Text3[i]->text();
    for (int i = 0; i < store::SubFieldSlots; ++i)
        m.sub[i] = Text4[i]->text();
    return m;
}

void RippedImportScreen::restoreMapping() {
    const auto saved = LoadRippedMapping(state_, section_);
    if (!saved)
        return;
    auto take = [](DragList* list, const QString& label) {
        const int at = list->items().indexOf(label);
        if (at < 0)
            return false;
        delete list->takeItem(at);
        return true;
    };
    for (int i = 0; i < store::MainFieldSlots; ++i)
        if (MainSlotTakesCddb(i) && take(List1, saved->main[i]))
            Text3[i]->setText(saved->main[i]);
    for (int i = 0; i < store::SubFieldSlots; ++i)
        if (SubSlotTakesCddb(i) && take(List2, saved->sub[i]))
            Text4[i]->setText(saved->sub[i]);
}

bool RippedImportScreen::isMainSlot(const DropSlot* slot) const {
    return std::find(Text3.begin(), Text3.end(), slot) != Text3.end();
}

void RippedImportScreen::dropOnSlot(DropSlot* slot, DragList* from, const DragSource& source) {
    if (!source.isList(from) || slot->refusesDrops())
        return;
    const int row = from->firstSelectedRow();
    if (row < 0)
        return;
    const QString label = from->firstSelectedText();
    delete from->takeItem(row);
    if (slot->isMapped())
        from->addItem(slot->text());
    slot->setText(label);
    markExisting();
}

void RippedImportScreen::dropOnList(DragList* list, const DragSource& source) {
    if (!source.isSlot() || !source.slot->isMapped() || isMainSlot(source.slot) != (list == List1))
        return;
    list->addItem(source.slot->text());
    source.slot->clearMapping();
    markExisting();
}

void RippedImportScreen::Command2_Click() {
    const CddbMapping m = mapping();
    if (!m.anyMain()) {
        ui_.message(QStringLiteral("メイン明細にデータ項目がセットされていません。"), Icon::Exclamation, Buttons::Ok,
                    ErrorTitle, this);
        return;
    }
    const std::vector<const RippedAlbum*> chosen = chosenAlbums();
    if (chosen.empty()) {
        ui_.message(QStringLiteral("取込むアルバムが選択されていません。"), Icon::Exclamation, Buttons::Ok, ErrorTitle,
                    this);
        return;
    }
    if (ui_.message(QStringLiteral("%1 枚のアルバムの取込みを開始します、よろしいですか。").arg(chosen.size()),
                    Icon::None, Buttons::OkCancel, QStringLiteral("作業開始の確認"), this) != Answer::Ok)
        return;
    state_.CurrentSection = static_cast<std::int16_t>(section_);
    QProgressDialog progress(QStringLiteral("アルバムを取込んでいます…"), QStringLiteral("中止"), 0,
                             static_cast<int>(chosen.size()), this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ShowProgressAfterMs);
    progress.setAutoReset(false);
    const RippedRunResult result = RunRippedImport(state_, chosen, m, RecordCoverBox(*this), [&](int done, int) {
        progress.setValue(done);
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    if (!result.ok) {
        platform::ShowEngineError(ui_, result.message, this);
        return;
    }
    if (result.cancelled) {
        ui_.message(QStringLiteral("取込みを中止しました。データは取込まれていません。"), Icon::Information,
                    Buttons::Ok, QStringLiteral("作業結果"), this);
        return;
    }
    reportSkipped(result.coverFailures,
                  QStringLiteral("次のフォルダのジャケット画像は使えないため、登録しませんでした。"));
    ui_.message(QStringLiteral("データ取込みが終了しました。\r\n  種目メイン明細　%1\r\n  種目サブ明細　　%2\r\n"
                               "  ジャケット画像　%3")
                    .arg(result.mainCount)
                    .arg(result.subCount)
                    .arg(result.covers),
                Icon::None, Buttons::Ok, QStringLiteral("作業結果"), this);
    markExisting();
}

void RippedImportScreen::Command8_Click() {
    if (!SaveRippedMapping(state_, section_, mapping()))
        ui_.message(QStringLiteral("設定が保存できませんでした。"), Icon::Exclamation, Buttons::Ok, ErrorTitle, this);
}

void RippedImportScreen::Command7_Click() {
    ui_.showHelp(this);
}

void RippedImportScreen::Command9_Click() {
    reject();
}

} // namespace quelm::exchange
