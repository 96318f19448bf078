#pragma once

#include "store/AppState.h"

#include <QDialog>

class QFileSystemModel;
class QLabel;
class QListWidget;
class QTreeView;

namespace quelm::platform {
class Ui;
}

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

    store::AppState& state_;
    platform::Ui& ui_;

private:
    QFileSystemModel* model_ = nullptr;
    QString pattern_;
    QString folder_;
};

} // namespace quelm::maintenance
