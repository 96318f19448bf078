#pragma once

#include "store/AppState.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelm::platform {
class Ui;
}

namespace quelm::search {

// Search text dialog of the all-category search: the text and the exact-match option go to
// state.FieldSearchCriteria (searchText, exactMatch); cancelled() stays true unless a search is accepted.
class SearchTextDialog : public QDialog {
    Q_OBJECT
public:
    SearchTextDialog(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~SearchTextDialog() override;

    bool cancelled() const { return cancelled_; }

    // Handlers.
    void Check1_Click();
    void Command1_Click();
    void Command2_Click();

    // Controls under their given names.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

private:
    store::AppState& state_;
    platform::Ui& ui_;
    bool cancelled_ = true;
};

} // namespace quelm::search
