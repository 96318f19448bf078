// Folder tree and file list shared by the backup and restore screens.
#include "maintenance/FolderScreen.h"

#include "platform/Ui.h"
#include "platform/Units.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTreeView>

namespace quelm::maintenance {

namespace {

QString Megabytes(std::int64_t bytes) {
    return QString::number(static_cast<double>(bytes) / (1 << 20), 'f', 1);
}

// "120.5 / 300.0 MB　（612 / 1500 ファイル）"
QString CopyDetail(const platform::CopyCount& done, const platform::CopyCount& total) {
    return QStringLiteral("%1 / %2 MB　（%3 / %4 ファイル）")
        .arg(Megabytes(done.bytes), Megabytes(total.bytes))
        .arg(done.files)
        .arg(total.files);
}

} // namespace

FolderScreen::FolderScreen(store::AppState& state, platform::Ui& ui, QWidget* parent, const QString& filePattern)
    : QDialog(parent), state_(state), ui_(ui), pattern_(filePattern) {
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QStringLiteral("/"));
    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c)
        Dir1->hideColumn(c);
    Dir1->header()->hide();
    Dir1->setMinimumSize(platform::TwipsToPixels(3600), platform::TwipsToPixels(3600));
    FolderPath = new QLabel(this);
    FolderPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setMinimumWidth(platform::TwipsToPixels(2800));
    // The label above the lists shows the chosen folder, which is no name for them.
    Dir1->setAccessibleName(QStringLiteral("フォルダー"));
    File1->setAccessibleName(QStringLiteral("ファイル"));
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        if (index.isValid() && model_->filePath(index) != folder_) {
            folder_ = model_->filePath(index);
            RefreshFiles();
        }
    });
    // The tree reads folders in the background: once the chosen folder's branch is there, it is shown.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] {
        const QModelIndex index = model_->index(folder_);
        if (!index.isValid())
            return;
        if (Dir1->currentIndex() != index)
            Dir1->setCurrentIndex(index);
        Dir1->scrollTo(index);
    });
    // The backups usually live next to the program's data.
    SetFolder(QFileInfo(state_.dataFolder).absolutePath());
}

void FolderScreen::SetFolder(const QString& path) {
    folder_ = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QModelIndex index = model_->index(folder_);
    if (index.isValid()) {
        Dir1->setCurrentIndex(index);
        Dir1->scrollTo(index);
        Dir1->expand(index);
    }
    RefreshFiles();
}

void FolderScreen::RefreshFiles() {
    FolderPath->setText(folder_);
    File1->clear();
    QDir dir(folder_);
    dir.setNameFilters({pattern_});
    File1->addItems(dir.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase));
}

} // namespace quelm::maintenance

namespace quelm::maintenance {

CopyReport FolderScreen::StartCopyProgress(const QString& text) {
    progress_ = ui_.showCancellableProgress(text, windowTitle(), this);
    return [this](const platform::CopyCount& done, const platform::CopyCount& total) {
        progress_->setDetail(CopyDetail(done, total));
        progress_->report(done.bytes, total.bytes);
        return !progress_->cancelled();
    };
}

bool FolderScreen::EndCopyProgress() {
    const bool cancelled = progress_ && progress_->cancelled();
    progress_.reset();
    return cancelled;
}

} // namespace quelm::maintenance
