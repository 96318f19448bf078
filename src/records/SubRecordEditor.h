#pragma once

#include "records/RecordEditor.h"

namespace quelm::records {

// Sub record editor: adds, changes or deletes one sub record of the main record shown on the sub record screen.
class SubRecordEditor : public RecordEditor {
    Q_OBJECT
public:
    SubRecordEditor(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~SubRecordEditor() override;

    // Set-up by the sub record screen, one per mode. captions are the screen's field captions ("名前 ："), m of
    // them; values its field texts, m of them; regNo and subNo the keys it shows.
    void setUpNew(const store::ConfigSection& section, const std::vector<QString>& captions, const QString& regNo);
    void setUpChange(const store::ConfigSection& section, const std::vector<QString>& captions,
                     const std::vector<QString>& values, const QString& regNo, const QString& subNo);
    void setUpDelete(const store::ConfigSection& section, const std::vector<QString>& captions,
                     const std::vector<QString>& values, const QString& regNo, const QString& subNo);

    // A mouse press on a text box: the box becomes the pick list's target; the right button opens the popup.
    void Text3_MouseDown(int index, Qt::MouseButton button, const QPoint& globalPos);

    // Text3 holds the text boxes, elements 0 … 7; MaskEdBox1 elements 8 and 9.
    std::array<QLineEdit*, store::SubFieldSlots> Text3{};
    QLineEdit* Text1 = nullptr; // サブＮＯ
    QLabel* Label5 = nullptr;   // "サブＮＯ"
    QLabel* Label6 = nullptr;   // "データを残す"

protected:
    EditResult addRecord(const std::vector<FieldInput>& inputs) override;
    EditResult updateRecord(const std::vector<FieldInput>& inputs) override;
    EditResult deleteRecord() override;
    void showNextKey() override;

private:
    void setKeys(const QString& regNo, const QString& subNo);
};

} // namespace quelm::records
