#pragma once

#include "maintenance/BackupRestore.h"
#include "platform/Ui.h"
#include "store/AppState.h"

#include <QDialog>
#include <memory>

class QFileSystemModel;
class QLabel;
class QListWidget;
class QTreeView;

namespace quelm::maintenance {

// The frame of the backup and restore screens: a folder tree (Dir1) and the files of the chosen folder (File1).
class FolderScreen : public QDialog {
    Q_OBJECT
public:
    // The chosen folder, without a final separator (the root stays "/").
    QString Folder() const { return folder_; }
    // Chooses a folder as a click in the tree does.
    void SetFolder(const QString& path);
    // Lists the chosen folder's files again.
    void RefreshFiles();

    QTreeView* Dir1 = nullptr;
    QListWidget* File1 = nullptr;
    QLabel* FolderPath = nullptr; // the chosen folder's path, over the tree

protected:
    // filePattern: the files File1 lists ("*" or "*.mdb"; letter case is ignored).
    FolderScreen(store::AppState& state, platform::Ui& ui, QWidget* parent, const QString& filePattern);

    // Opens the progress window of a copy over the screen, with 中止, and returns the report that feeds it (bytes and
    // files); the window closes with EndCopyProgress, which tells whether the user cancelled.
    CopyReport StartCopyProgress(const QString& text);
    bool EndCopyProgress();

    store::AppState& state_;
    platform::Ui& ui_;

private:
    std::unique_ptr<platform::ProgressWindow> progress_;
    QFileSystemModel* model_ = nullptr;
    QString pattern_;
    QString folder_;
};

} // namespace quelm::maintenance
