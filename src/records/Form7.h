#pragma once

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

struct FieldInput;

// Main record editor: adds, changes or deletes one main record of the current category.
class Form7 : public QDialog {
    Q_OBJECT
public:
    Form7(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~Form7() override;

    // Set-up by the main record screen, one per mode. captions are the screen's field captions ("名前 ：").
    void setUpNew(const store::ConfigSection& section, const std::vector<QString>& captions, std::int32_t nextRegNo);
    void setUpChange(const store::ConfigSection& section, const std::vector<QString>& captions,
                     const std::vector<QString>& values, const QString& regNo);
    void setUpDelete(const store::ConfigSection& section, const std::vector<QString>& captions,
                     const std::vector<QString>& values, const QString& regNo);

    // Handlers.
    void Command1_Click();
    void Command2_Click();
    void me11_Click();
    void me12_Click();
    void me13_Click();
    void mList1_Click(int index);
    void Combo1_Click(int index);
    void MaskEdBox1_ValidationError(int index, const QString& rejectedText);
    // A mouse press on a text box: the box becomes the pick list's target; the right button opens the popup.
    void Text1_MouseDown(int index, Qt::MouseButton button, const QPoint& globalPos);
    void MenuList();
    void SubList(int slot);

    // The text or masked box of field element i (whichever the field uses).
    QLineEdit* box(int i) const;
    QString boxText(int i) const;

    // Controls under their given names; Text1 holds elements 0 … 9 and 14, MaskEdBox1 elements 10 … 13.
    std::array<QLineEdit*, store::MainFieldSlots> Text1{};
    std::array<platform::MaskedDateBox*, store::MainFieldSlots> MaskEdBox1{};
    std::array<QLabel*, store::MainFieldSlots> Label1{};
    std::array<QCheckBox*, store::MainFieldSlots> Check1{};
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr; // the mode key: 新規作成, 変更 or 削除
    QLabel* Label5 = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QAction *mf15 = nullptr, *me11 = nullptr, *me12 = nullptr, *me13 = nullptr, *mh1 = nullptr;
    QMenu* LISTTBL = nullptr;
    QAction* mList0 = nullptr;
    std::array<QAction*, store::ListSlotCount> mList1{};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void setUpCommon(const store::ConfigSection& section, const std::vector<QString>& captions);
    void setValues(const std::vector<QString>& values);
    void setModeTexts(const QString& key, const QString& ok, const QString& close, const QString& heading);
    std::vector<FieldInput> inputs() const;
    bool textsFit();
    void prepareNextEntry();
    void addRecord();
    void changeRecord();
    void deleteRecord();
    void copySelection(bool cut);
    bool isDateField(int i) const;

    store::AppState& state_;
    platform::Ui& ui_;
    store::ConfigSection section_;
    int fields_ = 0;
    int target_ = -1; // the box the pick list fills
};

} // namespace quelm::records
