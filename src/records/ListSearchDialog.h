#pragma once

#include "store/AppState.h"

#include <QDialog>
#include <array>
#include <memory>

class QGroupBox;
class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace quelm::platform {
class RecordList;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::records {

// The screen whose list a list search or sort-order dialog acts on: it decides the dialog's name and caption.
enum class ListOwner {
    MainRecords, // Form5k / Form5s
    SubRecords,  // Form6k / Form6s
    Inquiry,     // Form10k / Form10s
};

// An owner's list dialog: its object name (Form5k, Form6s, ...) and the name its caption carries.
struct ListDialogName {
    QString object;
    QString caption;
};
enum class ListDialogKind { Search, SortOrder };
ListDialogName NameOf(ListOwner owner, ListDialogKind kind);

enum class ListSearchWhere { FirstColumn, LaterColumns };
enum class ListSearchMatch { WholeText, Prefix };

// The first row (1-based, in the list's current order) that matches text, 0 when none. The later columns include
// the hidden key columns and match by prefix only. Letter case is not told apart.
int FindListRow(const platform::RecordList& list, const QString& text, ListSearchWhere where, ListSearchMatch match);

// List search dialog (Form5k, Form6k, Form10k): finds the first row of an open list whose text matches and selects
// it. It stays open until a search finds a row or the user closes it.
class ListSearchDialog : public QDialog {
    Q_OBJECT
public:
    // panels: the owner's status bar, whose panel 1 reports a find; nullptr leaves the status bar alone.
    ListSearchDialog(store::AppState& state, platform::Ui& ui, ListOwner owner, platform::RecordList& list,
                     platform::StatusPanels* panels, QWidget* parent = nullptr);
    ~ListSearchDialog() override;

    // Handlers.
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Command1_Click();

    // Controls under their given names.
    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    QGroupBox* Frame2 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QRadioButton*, 2> Option2{};
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;

protected:
    // Return runs the choice that has the focus, as a click on it would.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void askAndSearch(ListSearchWhere where, ListSearchMatch match);

    platform::Ui& ui_;
    platform::RecordList& list_;
    platform::StatusPanels* panels_;
};

// The three dialogs; run them with ui.runModal(*dialog).
std::unique_ptr<ListSearchDialog> MakeMainListSearch(store::AppState& state, platform::Ui& ui,
                                                     platform::RecordList& list, platform::StatusPanels* panels,
                                                     QWidget* parent);
std::unique_ptr<ListSearchDialog> MakeSubListSearch(store::AppState& state, platform::Ui& ui,
                                                    platform::RecordList& list, platform::StatusPanels* panels,
                                                    QWidget* parent);
std::unique_ptr<ListSearchDialog> MakeInquiryListSearch(store::AppState& state, platform::Ui& ui,
                                                        platform::RecordList& list, QWidget* parent);

} // namespace quelm::records
