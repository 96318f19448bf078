#pragma once

#include "store/AppState.h"

#include <QDialog>
#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QTimer;

namespace quelm::platform {
class KeyedToolBar;
class RecordList;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::print {
enum class ScreenPrintArea;
}

namespace quelm::records {

class Form8;

// Sub record screen: the sub records of one main record, with the main record above them.
class Form6 : public QDialog {
    Q_OBJECT
public:
    Form6(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~Form6() override;

    // Deferred load: both lists are read after the empty window has painted.
    void Timer1_Timer();
    bool loaded() const { return loaded_; }

    void SubListViewHD();
    // Clears the sub-record rows and reads them again.
    void SubListViewSet();
    void ListView2List();
    void Text123Set();
    // The position text of panel 2 for the current sub row.
    QString positionText() const;

    // Handlers.
    void mf11_Click();
    void mf12_Click();
    void mf13_Click();
    void mf18_Click();
    void mf19_Click();
    void me11_Click();
    void me14_Click();
    void mv11_Click();
    void mv12_Click();
    void mk11_Click();
    void ms11_Click();
    void mh1_Click();
    void ListView1_ItemClick(int index);
    void ListView1_ColumnClick(int column);
    void Toolbar1_ButtonClick(const QString& key);

    // Controls under their given names.
    platform::RecordList* ListView1 = nullptr; // sub records
    platform::RecordList* ListView2 = nullptr; // the main record, one row
    std::array<QLineEdit*, store::SubFieldSlots> Text1{};
    std::array<QLabel*, store::SubFieldSlots> Label3{};
    QLineEdit* Text2 = nullptr; // 登録ＮＯ of the shown sub record (of the main record while none is shown)
    QLineEdit* Text3 = nullptr; // サブＮＯ of the shown sub record: empty while none is shown
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Picture1 = nullptr; // work box of the screen print
    platform::StatusPanels* StatusBar1 = nullptr;
    platform::KeyedToolBar* Toolbar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QAction *mf10 = nullptr, *mf11 = nullptr, *mf12 = nullptr, *mf13 = nullptr, *mf140 = nullptr, *mf141 = nullptr,
            *mf142 = nullptr, *mf15 = nullptr, *mf16 = nullptr, *mf18 = nullptr, *mf19 = nullptr;
    QAction *me11 = nullptr, *me131 = nullptr, *me14 = nullptr;
    QAction *mv11 = nullptr, *mv12 = nullptr, *mk11 = nullptr, *ms11 = nullptr, *mh1 = nullptr;

    enum class EditorMode { New, Change, Delete };
    // Fills the editor's boxes and labels for a mode, from this screen's detail boxes.
    void SetUpEditor(Form8& editor, EditorMode mode);

signals:
    // Raised when the program must end at once (menu 終了).
    void endRequested();

private:
    void buildMenus();
    void buildDetailPanel(QWidget* panel);
    void showRow(int index);
    void clearBoxes();
    void openEditor(EditorMode mode);
    bool refusedWithoutSubRecord();
    int subFieldCount() const;
    // Puts back the category and record this screen was opened for, so its commands never act on another.
    void claimState();
    // Screen print of this window, its client area or the display (menu 画面印刷 and its tool bar button).
    void printScreen(print::ScreenPrintArea area);

    store::AppState& state_;
    platform::Ui& ui_;
    bool loaded_ = false;
    struct Opened {
        std::int16_t section = 0;
        QString categoryName;
        std::int16_t listMode = 0;
        std::int32_t regNo = 0;
        std::int32_t subNo = 0;
    } opened_;
};

} // namespace quelm::records
