#include "exchange/DiscReading.h"

#include "exchange/CddbFile.h"
#include "exchange/CddbImportScreen.h"
#include "platform/Ui.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace quelm::exchange {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QString ErrorTitle = QStringLiteral("ERROR");
const QString ReadTitle = QStringLiteral("CD読取り");

// A list to pick one entry from, run through the Ui; nullopt when cancelled.
std::optional<int> ChooseFromList(platform::Ui& ui, QWidget* owner, const QString& title, const QString& prompt,
                                  const QStringList& entries) {
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("DiscChooser"));
    dialog.setWindowTitle(title);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("Choices"));
    list->addItems(entries);
    list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt, &dialog));
    layout->addWidget(list);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    if (ui.runModal(dialog) != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return list->currentRow();
}

QGridLayout* GridHolding(QLayout* layout, QWidget* widget) {
    if (!layout)
        return nullptr;
    if (auto* grid = qobject_cast<QGridLayout*>(layout); grid && grid->indexOf(widget) >= 0)
        return grid;
    for (int i = 0; i < layout->count(); ++i)
        if (QGridLayout* found = GridHolding(layout->itemAt(i)->layout(), widget))
            return found;
    return nullptr;
}

} // namespace

DiscReading::DiscReading(CddbImportScreen& screen, platform::Ui& ui) : QObject(&screen), screen_(screen), ui_(ui) {
    setObjectName(QStringLiteral("DiscReading"));
    const QString cache = QDir::home().filePath(QStringLiteral(".cddb"));
    if (QFileInfo(cache).isDir())
        freedbFolder = cache;
    DiscRead = new QPushButton(QStringLiteral("CD読取り"), &screen);
    DiscRead->setObjectName(QStringLiteral("DiscRead"));
    DiscRead->setAutoDefault(false);
    DiscRead->setToolTip(QStringLiteral("ドライブの音楽CDを読取り、CDDBのフォルダにファイルを作ります。"));
    FreedbFolder = new QPushButton(QStringLiteral("freedb参照"), &screen);
    FreedbFolder->setObjectName(QStringLiteral("FreedbFolder"));
    FreedbFolder->setAutoDefault(false);
    FreedbFolder->setToolTip(freedbFolder);
    placeButtons();
    connect(DiscRead, &QPushButton::clicked, this, &DiscReading::DiscRead_Click);
    connect(FreedbFolder, &QPushButton::clicked, this, &DiscReading::FreedbFolder_Click);
}

void DiscReading::placeButtons() {
    auto* row = new QHBoxLayout;
    row->addWidget(DiscRead);
    row->addWidget(FreedbFolder);
    // Beside the player's button, in the cell of its waiting note, which moves along behind them.
    if (QGridLayout* grid = GridHolding(screen_.layout(), screen_.Command3)) {
        int at = grid->indexOf(screen_.Command3), r = 0, c = 0, rs = 0, cs = 0;
        grid->getItemPosition(at, &r, &c, &rs, &cs);
        if (QLayoutItem* next = grid->itemAtPosition(r, c + cs); next && next->widget()) {
            QWidget* note = next->widget();
            grid->removeWidget(note);
            row->addWidget(note);
        }
        row->addStretch();
        grid->addLayout(row, r, c + cs);
        return;
    }
    row->addStretch();
    if (auto* box = qobject_cast<QBoxLayout*>(screen_.layout()))
        box->insertLayout(1, row);
}

void DiscReading::FreedbFolder_Click() {
    const auto chosen = ui_.chooseFolder(QStringLiteral("freedbのファイルがあるフォルダの選択"), &screen_);
    if (!chosen)
        return;
    freedbFolder = *chosen;
    FreedbFolder->setToolTip(freedbFolder);
}

std::optional<QString> DiscReading::chooseDrive() {
    const QStringList found = drives();
    if (found.isEmpty()) {
        ui_.message(DiscReadFailureText(DiscReadStatus::NoDrive), Icon::Exclamation, Buttons::Ok, ErrorTitle, &screen_);
        return std::nullopt;
    }
    if (found.size() == 1)
        return found.front();
    const auto at = ChooseFromList(ui_, &screen_, ReadTitle, QStringLiteral("読取るドライブを選択して下さい。"), found);
    if (!at)
        return std::nullopt;
    return found[*at];
}

// The disc's entry of the freedb folder when there is one (the user picks among several genres), else its CD-Text.
std::optional<QByteArray> DiscReading::xmcdFor(const DiscToc& toc) {
    const std::vector<FreedbMatch> matches = FindFreedbEntries(freedbFolder, toc);
    if (matches.empty())
        return ComposeXmcd(toc);
    size_t chosen = 0;
    if (matches.size() > 1) {
        QStringList entries;
        for (const FreedbMatch& m : matches)
            entries << QStringLiteral("[%1]　%2").arg(m.genre, m.title);
        const auto at =
            ChooseFromList(ui_, &screen_, ReadTitle,
                           QStringLiteral("freedbに複数のデータがあります。取込むデータを選択して下さい。"), entries);
        if (!at)
            return std::nullopt;
        chosen = static_cast<size_t>(*at);
    }
    QFile entry(matches[chosen].path);
    if (!entry.open(QIODevice::ReadOnly)) {
        ui_.message(QStringLiteral("freedbのファイルが読込めませんでした。"), Icon::Exclamation, Buttons::Ok,
                    ErrorTitle, &screen_);
        return std::nullopt;
    }
    return ComposeXmcdFromEntry(toc, entry.read(MaxCddbFileBytes));
}

bool DiscReading::writeXmcd(const QString& path, const QByteArray& bytes) {
    QFile existing(path);
    if (existing.exists()) {
        if (existing.open(QIODevice::ReadOnly) && existing.read(MaxCddbFileBytes + 1) == bytes)
            return true;
        const QString question = QStringLiteral("ファイル ") + QFileInfo(path).fileName() +
                                 QStringLiteral(" は既にあります。上書きしますか？");
        if (ui_.message(question, Icon::Question, Buttons::YesNo, ReadTitle, &screen_) != Answer::Yes)
            return true; // the file as it is gets listed and picked
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    ui_.message(QStringLiteral("ファイル ") + QFileInfo(path).fileName() + QStringLiteral(" が書込めませんでした。"),
                Icon::Exclamation, Buttons::Ok, ErrorTitle, &screen_);
    return false;
}

void DiscReading::pick(const QString& fileName) {
    screen_.Command5_Click();
    const int at = screen_.Combo1->findData(fileName);
    if (at <= 0)
        return;
    screen_.Combo1->setCurrentIndex(at);
    screen_.Combo1_Click();
}

void DiscReading::DiscRead_Click() {
    const QString folder = screen_.List3->count() > 0 ? screen_.List3->item(0)->text().trimmed() : QString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        ui_.message(QStringLiteral("CDDBのパス名が入力されていません。"), Icon::Exclamation, Buttons::Ok, ErrorTitle,
                    &screen_);
        return;
    }
    const auto drive = chooseDrive();
    if (!drive)
        return;
    DiscReadResult read;
    {
        const auto progress = ui_.showProgress(QStringLiteral("CDを読取っています…"), ReadTitle, &screen_);
        progress->report(0, 0);
        screen_.setEnabled(false);
        read = ReadDiscWithTimeLimit(*drive, timeLimit);
        screen_.setEnabled(true);
    }
    if (read.status != DiscReadStatus::Ok) {
        ui_.message(DiscReadFailureText(read.status), Icon::Exclamation, Buttons::Ok, ErrorTitle, &screen_);
        return;
    }
    const auto xmcd = xmcdFor(read.toc);
    if (!xmcd)
        return;
    const QString name = FreedbDiscId(read.toc);
    if (writeXmcd(QDir(folder).filePath(name), *xmcd))
        pick(name);
}

DiscReading* AddDiscReading(CddbImportScreen& screen, platform::Ui& ui) {
    return new DiscReading(screen, ui);
}

} // namespace quelm::exchange
