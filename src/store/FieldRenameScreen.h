#pragma once

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelm::platform {
class Ui;
}

namespace quelm::store {

struct AppState;

class FieldRenameScreen : public QDialog {
    Q_OBJECT
public:
    FieldRenameScreen(AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    // Handlers, public so the screen can be driven without a mouse.
    void Combo1_Click(int index);
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();

    QComboBox* Combo1 = nullptr;
    std::array<QLineEdit*, 15> Text1{};
    std::array<QLineEdit*, 10> Text2{};
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;

private:
    AppState& state_;
    platform::Ui& ui_;
    int section_ = -1; // the category chosen in Combo1
};

} // namespace quelm::store
