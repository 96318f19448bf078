#pragma once

#include "records/RecordEditor.h"

namespace quelm::records {

// Main record editor: adds, changes or deletes one main record of the current category.
class MainRecordEditor : public RecordEditor {
    Q_OBJECT
public:
    MainRecordEditor(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~MainRecordEditor() override;

    // Set-up by the main record screen, one per mode. captions are the screen's field captions ("名前 ：").
    void setUpNew(const store::ConfigSection& section, const std::vector<QString>& captions, std::int32_t nextRegNo);
    void setUpChange(const store::ConfigSection& section, const std::vector<QString>& captions,
                     const std::vector<QString>& values, const QString& regNo);
    void setUpDelete(const store::ConfigSection& section, const std::vector<QString>& captions,
                     const std::vector<QString>& values, const QString& regNo);

    // A mouse press on a text box: the box becomes the pick list's target; the right button opens the popup.
    void Text1_MouseDown(int index, Qt::MouseButton button, const QPoint& globalPos);

    // Text1 holds the text boxes, elements 0 … 9 and 14; MaskEdBox1 elements 10 … 13.
    std::array<QLineEdit*, store::MainFieldSlots> Text1{};
    QLabel* Label5 = nullptr; // "データを残す"

protected:
    EditResult addRecord(const std::vector<FieldInput>& inputs) override;
    EditResult updateRecord(const std::vector<FieldInput>& inputs) override;
    EditResult deleteRecord() override;
    void showNextKey() override;
    bool confirmDeleteMore() override;
};

} // namespace quelm::records
