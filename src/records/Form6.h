#pragma once

#include "records/RecordScreen.h"

#include <array>

class QLabel;
class QLineEdit;

namespace quelm::records {

class Form8;

// Sub record screen: the sub records of one main record, with the main record above them.
class Form6 : public RecordScreen {
    Q_OBJECT
public:
    Form6(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~Form6() override;

    // Reads both lists.
    void Timer1_Timer() override;

    void SubListViewHD();
    // Clears the sub-record rows and reads them again.
    void SubListViewSet();
    void ListView2List();
    void Text123Set();

    // Handlers.
    void mf11_Click() override;
    void mf12_Click() override;
    void mf13_Click() override;
    void me11_Click() override;
    void me14_Click() override;
    void mk11_Click() override;
    void ms11_Click() override;
    void me131_Click(); // CSV import of sub records
    void ListView1_ItemClick(int index) override;

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
    void SetUpEditor(Form8& editor, EditorMode mode);

private:
    void buildDetailPanel(QWidget* panel);
    void showRow(int index);
    void clearBoxes();
    std::unique_ptr<QDialog> makeEditor(EditorMode mode) override;
    bool refusedWithoutSubRecord();
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
