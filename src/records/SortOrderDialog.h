#pragma once

// ListOwner, and the forward declarations this dialog shares with the list search dialog.
#include "records/ListSearchDialog.h"

namespace quelm::records {

// Sort-order dialog (Form5s, Form6s, Form10s): sets the order, ascending or descending, that the next click on a
// column heading of the list sorts in. It closes as soon as an order is chosen.
class SortOrderDialog : public QDialog {
    Q_OBJECT
public:
    SortOrderDialog(store::AppState& state, platform::Ui& ui, ListOwner owner, platform::RecordList& list,
                    QWidget* parent = nullptr);
    ~SortOrderDialog() override;

    // Handlers.
    void Option1_Click(int index);
    void Command1_Click();

    // Controls under their given names.
    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    QPlainTextEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;

private:
    platform::Ui& ui_;
    platform::RecordList& list_;
};

// The three dialogs; run them with ui.runModal(*dialog).
std::unique_ptr<SortOrderDialog> MakeMainSortOrder(store::AppState& state, platform::Ui& ui, platform::RecordList& list,
                                                   QWidget* parent);
std::unique_ptr<SortOrderDialog> MakeSubSortOrder(store::AppState& state, platform::Ui& ui, platform::RecordList& list,
                                                  QWidget* parent);
std::unique_ptr<SortOrderDialog> MakeInquirySortOrder(store::AppState& state, platform::Ui& ui,
                                                      platform::RecordList& list, QWidget* parent);

} // namespace quelm::records
