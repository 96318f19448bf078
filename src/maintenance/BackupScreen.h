#pragma once

#include "maintenance/FolderScreen.h"

class QLabel;
class QPushButton;

namespace quelm::maintenance {

// Backup: copies the catalogue and the picture folder into a chosen folder.
class BackupScreen : public FolderScreen {
    Q_OBJECT
public:
    BackupScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    void Command1_Click(); // 新規フォルダー作成
    void Command2_Click(); // バックアップ実行
    void Command3_Click(); // 戻る
    void Command5_Click(); // ヘルプ

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command5 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;

private:
    // Whether a backup into the chosen folder is meant: asked once per folder when it is on the catalogue's disk.
    // Sets accepted to the answer kept with the folder.
    bool ConfirmDisk(bool& accepted);
};

} // namespace quelm::maintenance
