#pragma once

#include "store/AppState.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quelm::platform {
class Ui;
}

namespace quelm::maintenance {

// System initialisation: puts the whole system back into its first state.
class InitialiseScreen : public QDialog {
    Q_OBJECT
public:
    // applyToMain makes the main window show the reset title, colours and categories at once.
    InitialiseScreen(store::AppState& state, platform::Ui& ui, std::function<void()> applyToMain,
                     QWidget* parent = nullptr);

    void Command1_Click(); // 初期値化
    void Command2_Click(); // ヘルプ

    // True once the system has been initialised.
    bool Initialised = false;

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPlainTextEdit* Text1 = nullptr;

private:
    store::AppState& state_;
    platform::Ui& ui_;
    std::function<void()> applyToMain_;
};

} // namespace quelm::maintenance
