#pragma once

#include "exchange/Migration.h"
#include "store/AppState.h"

#include <QDialog>
#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelm::platform {
class DragList;
class DropSlot;
struct DragSource;
class ProgressWindow;
class Ui;
} // namespace quelm::platform

namespace quelm::exchange {

// Migration screen: moves one category of the inventory database into the current category, with the fields mapped
// by drag and drop.
class MigrationScreen : public QDialog {
    Q_OBJECT
public:
    MigrationScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~MigrationScreen() override;

    // Handlers.
    void Command1_Click();        // 参照
    void Text1_Change();          // the folder is looked up
    void Combo1_Click(int index); // an inventory category chosen
    void Command2_Click();        // 実行
    void Command3_Click();        // ヘルプ
    void List1_DragDrop(const platform::DragSource& source);
    void List2_DragDrop(const platform::DragSource& source);
    void Text3_DragDrop(int index, const platform::DragSource& source);
    void Text4_DragDrop(int index, const platform::DragSource& source);

    const MappingBoard& board() const { return board_; }

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    std::array<QLabel*, store::MainFieldSlots> Label6{};
    std::array<platform::DropSlot*, store::MainFieldSlots> Text3{};
    std::array<QLabel*, store::SubFieldSlots> Label7{};
    std::array<platform::DropSlot*, store::SubFieldSlots> Text4{};
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    platform::DragList* List1 = nullptr;
    platform::DragList* List2 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label17 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;

private:
    void buildControls();
    void Form_Load();
    // Back to the state of a screen with no category chosen.
    void hideMapping();
    // Lists and slots show what the board holds.
    void showBoard();
    // A progress window over the screen, told that the work has begun.
    std::unique_ptr<platform::ProgressWindow> showProgress(const QString& text);
    void dropOn(Spot target, const platform::DragSource& source);
    std::optional<Spot> spotOf(const platform::DragSource& source) const;

    store::AppState& state_;
    platform::Ui& ui_;
    QString lookedUp_; // the folder whose database the category list came from
    std::optional<InventoryCategory> category_;
    MappingBoard board_;
};

} // namespace quelm::exchange
