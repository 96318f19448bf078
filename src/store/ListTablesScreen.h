#pragma once

#include "store/AppState.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelm::platform {
class Ui;
}

namespace quelm::store {

// List table settings: creates a new pick list in the first free slot or drops an existing one.
class ListTablesScreen : public QDialog {
    Q_OBJECT
public:
    ListTablesScreen(AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    // Handlers.
    void Command1_Click();        // 作成
    void Combo2_Click(int index); // list to drop chosen
    void Command3_Click();        // 削除
    void Command2_Click();        // 戻る
    void Command4_Click();        // ヘルプ

    // The slot a creation goes to, found at loading; none when all ten are taken.
    std::optional<int> targetSlot() const { return target_; }

    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command4 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;

private:
    void Form_Load();

    AppState& state_;
    platform::Ui& ui_;
    std::optional<int> target_;
    std::optional<int> dropSlot_;
};

} // namespace quelm::store
