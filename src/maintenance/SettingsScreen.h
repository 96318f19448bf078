#pragma once

#include "store/AppState.h"

#include <QDialog>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quelm::platform {
class Ui;
}

namespace quelm::maintenance {

// System settings: the system title, its colour, the main window's background and the category display names.
class SettingsScreen : public QDialog {
    Q_OBJECT
public:
    // applyToMain makes the main window show the stored title, colours and category names at once.
    SettingsScreen(store::AppState& state, platform::Ui& ui, std::function<void()> applyToMain,
                   QWidget* parent = nullptr);

    void Command4_Click(); // 設定 (title)
    void Command1_Click(); // 色選定 (title colour)
    void Command2_Click(); // 色選定 (background)
    void Command6_Click(); // 設定 (category names)
    void Command3_Click(); // 終了
    void Command5_Click(); // ヘルプ

    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    std::array<QLineEdit*, 6> Text4{};
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    std::array<QLabel*, 9> Label{}; // the screen's texts, top to bottom (element 0 unused)

private:
    void Form_Load();
    void showColors();
    // Stores a change of the system row; false (the user told) when it could not be stored.
    bool storeSystemRow(const std::function<void(store::ConfigSection&)>& change);

    store::AppState& state_;
    platform::Ui& ui_;
    std::function<void()> applyToMain_;
};

} // namespace quelm::maintenance
