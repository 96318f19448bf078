#pragma once

#include "records/RecordScreen.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quelm::records {

class MainRecordEditor;

// Main record screen: one category's main records, a detail panel and the record commands.
class MainRecordScreen : public RecordScreen {
    Q_OBJECT
public:
    MainRecordScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~MainRecordScreen() override;

    void Timer1_Timer() override;

    void SubListViewHD();
    // Clears the rows and fills the list for the current ListMode (SubListViewSet / SubListViewKensaku /
    // SubListViewOne).
    void RefillByMode();
    void Text13Set();
    void SubRcCk();
    void Text3_Change();

    // Handlers.
    void Command1_Click();
    void Command2_Click(); // 画像登録
    void Command3_Click(); // 画像削除
    void me121_Click();    // CDDBデータ取込み
    void me125_Click();    // 在庫管理Dravnデータ移行
    void me122_Click();    // CSV import of main records
    void me131_Click();    // CSV export

    // Controls under their given names (the frame's are in RecordScreen).
    std::array<QLineEdit*, store::MainFieldSlots> Text1{};
    std::array<QLabel*, store::MainFieldSlots> Label3{};
    QLineEdit* Text2 = nullptr; // 画像jpg有無 of the shown record
    QLineEdit* Text3 = nullptr; // 登録ＮＯ of the shown record: "0" while none is shown
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Command1 = nullptr; // sub records
    QPushButton* Command2 = nullptr; // 画像登録
    QPushButton* Command3 = nullptr; // 画像削除
    QLabel* Picture2 = nullptr;
    QAction *me121 = nullptr, *me122 = nullptr, *me125 = nullptr, *me131 = nullptr;

    // Fills the editor's boxes and labels for a mode, from this screen's detail panel.
    void SetUpEditor(MainRecordEditor& editor, EditorMode mode);

private:
    void buildEditItems();
    void buildDetailPanel(QWidget* panel);
    void showRow(int index);
    void showPicture();
    // After 画像jpg有無 changed: the row's hidden 画像jpg cell and Text2 follow.
    void showPictureFlag(int jpgswr);
    void clearPanel();
    std::unique_ptr<QDialog> makeEditor(EditorMode mode) override;
    // No record shown: says so ("明細レコードが指定されていません。") and answers true.
    bool refusedWithoutRecord() override;
    ListOwner listOwner() const override { return ListOwner::MainRecords; }
    void afterListSearch() override { Text13Set(); }
    std::span<QLineEdit* const> shownBoxes() const override { return std::span(Text1).first(fieldCount()); }
    int fieldCount() const;
    void claimState() override;
    std::unique_ptr<RecordScreen> makeAgain() override;
    void readRows() override { RefillByMode(); }
    void clearShown() override { clearPanel(); }
    void showSelected() override { Text13Set(); }
    std::vector<int> keyColumns() const override { return {fieldCount()}; }
};

} // namespace quelm::records
