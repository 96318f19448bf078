#pragma once

#include <QDialog>
#include <array>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;

namespace quelm::platform {
class Ui;
}

namespace quelm::store {

struct AppState;

class CategorySlotsScreen : public QDialog {
    Q_OBJECT
public:
    CategorySlotsScreen(AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    // Handlers, public so the screen can be driven without a mouse.
    void Command6_Click(int index);
    void Command1_Click();
    void Command3_Click();
    void Command5_Click();
    void SD11_Click(int index);

    std::array<QPushButton*, 6> Command6{};
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command5 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;

    QMenuBar* menuBar = nullptr;
    QMenu* SDF = nullptr;
    QAction* SDF1 = nullptr;
    QMenu* ShuDataDel = nullptr; // never on the menu bar: the popup of Command1
    QAction* SD = nullptr;
    QAction* SD1 = nullptr;
    std::array<QAction*, 6> SD11{};

private:
    void SetShumoku();
    void MenuShuDataDel();

    AppState& state_;
    platform::Ui& ui_;
};

} // namespace quelm::store
