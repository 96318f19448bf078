#pragma once

#include "records/MainRecords.h"
#include "store/AppState.h"

#include <QDialog>
#include <array>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace quelm::platform {
class MaskedDateBox;
class Ui;
} // namespace quelm::platform

namespace quelm::records {

// What tells one record editor from the other.
struct EditorLayout {
    QString objectName;      // the screen's name, e.g. "Form7"
    QString screenName;      // the caption after the system title
    QString editMenuHeading; // the heading of the 編集 menu, blanks included
    int boxCount = 0;        // field boxes
    int firstMasked = 0;     // the field boxes from firstMasked to lastMasked are masked boxes
    int lastMasked = -1;
    int keyRows = 1;    // rows of key boxes above the fields
    QString addedBlank; // what an empty TEXT box stores when a record is added
    EditFields (*fieldsOf)(const store::ConfigSection&) = nullptr; // the fields the editor writes
};

// The record editor shared by the main and the sub record editor: one box per field, a mode key (新規作成, 変更,
// 削除), keep-value check boxes in new mode, pick lists from the list tables, and cut, copy and paste. The derived
// screen supplies its key boxes and the three record operations.
class RecordEditor : public QDialog {
    Q_OBJECT
public:
    ~RecordEditor() override;

    // Handlers.
    void Command1_Click();
    void Command2_Click();
    void me11_Click();
    void me12_Click();
    void me13_Click();
    void mList1_Click(int index);
    void Combo1_Click(int index);
    void MaskEdBox1_ValidationError(int index, const QString& rejectedText);
    void MenuList();
    void SubList(int slot);

    // The text or masked box of field element i (whichever the field uses).
    QLineEdit* box(int i) const;
    QString boxText(int i) const;

    // Controls under their given names. MaskEdBox1 holds only the masked elements; elements past the editor's
    // field boxes stay null.
    std::array<platform::MaskedDateBox*, store::MainFieldSlots> MaskEdBox1{};
    std::array<QLabel*, store::MainFieldSlots> Label1{};
    std::array<QCheckBox*, store::MainFieldSlots> Check1{};
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr; // the mode key: 新規作成, 変更 or 削除
    QLabel* Label10 = nullptr;
    QLineEdit* Text2 = nullptr; // 登録ＮＯ
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QAction *mf15 = nullptr, *me11 = nullptr, *me12 = nullptr, *me13 = nullptr, *mh1 = nullptr;
    QMenu* LISTTBL = nullptr;
    QAction* mList0 = nullptr;
    std::array<QAction*, store::ListSlotCount> mList1{};

protected:
    RecordEditor(store::AppState& state, platform::Ui& ui, EditorLayout layout, QWidget* parent);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Set-up steps of the three modes.
    void setUpFields(const store::ConfigSection& section, const std::vector<QString>& captions);
    void setValues(const std::vector<QString>& values);
    void clearToolTips();
    void showKeepBoxes(bool shown);
    void setModeTexts(const QString& key, const QString& ok, const QString& close, const QString& heading);

    // A mouse press on text box index: the box becomes the pick list's target; the right button opens the popup.
    void textMouseDown(int index, Qt::MouseButton button, const QPoint& globalPos);

    // The plain text box of element i; null for masked elements.
    QLineEdit* textBox(int i) const { return texts_[i]; }
    // Key box row r (0 is 登録ＮＯ): its top in twips, and the editor's body the boxes go on.
    static int keyRowTop(int row);
    QWidget* body() const { return body_; }
    // Shows a key box: a read-only text box with the light grey background.
    static void makeKeyBox(QLineEdit* keyBox);

    // The record operations: store the boxes as a new record, rewrite the shown record, delete it.
    virtual EditResult addRecord(const std::vector<FieldInput>& inputs) = 0;
    virtual EditResult updateRecord(const std::vector<FieldInput>& inputs) = 0;
    virtual EditResult deleteRecord() = 0;
    // Shows the key the next added record will receive.
    virtual void showNextKey() = 0;
    // Questions after "delete this record?" was answered OK; false stops and nothing is deleted.
    virtual bool confirmDeleteMore() { return true; }

    store::AppState& state_;
    platform::Ui& ui_;
    store::ConfigSection section_;
    QLabel* keepHeading_ = nullptr; // "データを残す" above the check boxes

private:
    void buildControls();
    void buildMenus();
    bool isMasked(int i) const { return i >= layout_.firstMasked && i <= layout_.lastMasked; }
    bool isDateField(int i) const;
    std::vector<FieldInput> inputs() const;
    bool textsFit();
    void showBlanks(const std::vector<int>& fields, const QString& blank);
    void prepareNextEntry();
    void onAdd();
    void onChange();
    void onDelete();
    void copySelection(bool cut);

    const EditorLayout layout_;
    QWidget* body_ = nullptr;
    std::array<QLineEdit*, store::MainFieldSlots> texts_{};
    EditFields fields_;
    int target_ = -1; // the box the pick list fills
};

} // namespace quelm::records
