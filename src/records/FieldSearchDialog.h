#pragma once

#include "store/AppState.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quelm::platform {
class MaskedDateBox;
class Ui;
} // namespace quelm::platform

namespace quelm::records {

// Per-field search dialog (検索して開く): the user picks one field of the current category and gives a value; the
// criteria go to state.FieldSearchCriteria and state.SearchCancelled becomes false only when a search is accepted.
class FieldSearchDialog : public QDialog {
    Q_OBJECT
public:
    FieldSearchDialog(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~FieldSearchDialog() override;

    // Handlers.
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Check1_Click();
    void Command1_Click();
    void Command2_Click();

    // Controls under their given names.
    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, store::MainFieldSlots> Option1{};
    QLabel* Label2 = nullptr;
    platform::MaskedDateBox* MaskEdBox1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 3> Option2{};
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

private:
    void buildControls();
    void Form_Load();
    void error(const QString& text);

    store::AppState& state_;
    platform::Ui& ui_;
    bool fieldChosen_ = false;
};

} // namespace quelm::records
