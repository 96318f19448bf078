#pragma once

#include "store/AppState.h"
#include "store/ListTables.h"

#include <QDialog>
#include <QStringList>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quelm::platform {
class Ui;
}

namespace quelm::store {

// List entry screen: adds, changes and deletes the entries of one pick list.
class ListEntriesScreen : public QDialog {
    Q_OBJECT
public:
    ListEntriesScreen(AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    // Handlers.
    void Combo1_Click(int index); // list chosen
    void Command1_Click();        // 新規登録
    void Command2_Click();        // 変　更
    void Command3_Click();        // 削　除
    void Command4_Click();        // execute the chosen mode
    void Command5_Click();        // 戻る
    void Command6_Click();        // ヘルプ

    // The grid's current row (-1 when the list is empty); setting it moves the bound boxes along.
    void setCurrentRow(int row);
    int currentRow() const;
    // The list being worked on, once one is chosen.
    std::optional<int> slot() const { return slot_; }

    QComboBox* Combo1 = nullptr;
    QTableWidget* DBGrid1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;

private:
    void Form_Load();
    // Each returns the row to make current once the grid is read again.
    void ShowEntryProblem(EntryCheck check, const QString& entry);
    int TableAdd();
    int TableUpDate();
    int TableDelete();

    void LoadGrid(int currentRow);
    void ShowCurrentEntry();
    void EnterMode(const QString& executeCaption, bool editable);
    QString currentEntry() const;

    AppState& state_;
    platform::Ui& ui_;
    std::optional<int> slot_;
    QStringList entries_;
    bool adding_ = false; // Text2 is cut loose from the grid while a new entry is typed
};

} // namespace quelm::store
