#pragma once

#include "records/RecordScreen.h"

#include <array>

class QLabel;
class QLineEdit;

namespace quelm::records {

class SubRecordEditor;

// Sub record screen: the sub records of one main record, with the main record above them.
class SubRecordScreen : public RecordScreen {
    Q_OBJECT
public:
    SubRecordScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~SubRecordScreen() override;

    // Reads both lists.
    void Timer1_Timer() override;

    void SubListViewHD();
    // Clears the sub-record rows and reads them again.
    void SubListViewSet();
    void ListView2List();
    void Text123Set();

    // Handlers.
    void me14_Click() override;
    void me131_Click(); // CSV import of sub records

    // Controls under their given names (the frame's are in RecordScreen; ListView1 holds the sub records).
    platform::RecordList* ListView2 = nullptr; // the main record, one row
    std::array<QLineEdit*, store::SubFieldSlots> Text1{};
    std::array<QLabel*, store::SubFieldSlots> Label3{};
    QLineEdit* Text2 = nullptr; // 登録ＮＯ of the shown sub record (of the main record while none is shown)
    QLineEdit* Text3 = nullptr; // サブＮＯ of the shown sub record: empty while none is shown
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Picture1 = nullptr; // work box of the screen print
    QAction* me131 = nullptr;

    // Fills the editor's boxes and labels for a mode, from this screen's detail boxes.
    void SetUpEditor(SubRecordEditor& editor, EditorMode mode);

private:
    void buildDetailPanel(QWidget* panel);
    void showRow(int index);
    void clearBoxes();
    std::unique_ptr<QDialog> makeEditor(EditorMode mode) override;
    // No record or no sub record shown: says which and answers true.
    bool refusedWithoutRecord() override;
    ListOwner listOwner() const override { return ListOwner::SubRecords; }
    // The boxes, the position and the record commands follow the found row.
    void afterListSearch() override { Text123Set(); }
    std::span<QLineEdit* const> shownBoxes() const override { return std::span(Text1).first(subFieldCount()); }
    int subFieldCount() const;
    // Also puts back the record this screen was opened for.
    void claimState() override;
    std::unique_ptr<RecordScreen> makeAgain() override;
    print::ReportSide reportSide() const override;
    platform::RecordList* reportMainRow() const override { return ListView2; }
    void readRows() override { SubListViewSet(); }
    void clearShown() override { clearBoxes(); }
    void showSelected() override { Text123Set(); }
    std::vector<int> keyColumns() const override { return {subFieldCount(), subFieldCount() + 1}; }
};

} // namespace quelm::records
