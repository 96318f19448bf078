#pragma once

#include "maintenance/FolderScreen.h"

class QLabel;
class QPushButton;

namespace quelm::maintenance {

// Restore: first a saved catalogue, then a saved picture folder; the program then ends so it starts on them.
class RestoreScreen : public FolderScreen {
    Q_OBJECT
public:
    RestoreScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    void Command1_Click(); // データベース復元実行
    void Command4_Click(); // 画像フォルダー復元実行
    void Command2_Click(); // 戻る
    void Command3_Click(); // ヘルプ

    // True once the catalogue has been replaced.
    bool DatabaseRestored = false;

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;

    void done(int result) override;

private:
    bool ended_ = false;
};

} // namespace quelm::maintenance
