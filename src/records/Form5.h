#pragma once

#include "store/AppState.h"

#include <QDialog>
#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace quelm::platform {
class KeyedToolBar;
class RecordList;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::records {

class Form7;

// Main record screen: one category's main records, a detail panel and the record commands.
class Form5 : public QDialog {
    Q_OBJECT
public:
    Form5(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~Form5() override;

    // Deferred load: the list is read after the empty window has painted.
    void Timer1_Timer();
    bool loaded() const { return loaded_; }

    void SubListViewHD();
    // Clears the rows and fills the list for the current ListMode (SubListViewSet / SubListViewKensaku /
    // SubListViewOne).
    void RefillByMode();
    void Text13Set();
    void SubRcCk();
    void Text3_Change();
    // The position text of panel 2 for the current row.
    QString positionText() const;

    // Handlers.
    void Command1_Click();
    void Command2_Click(); // 画像登録
    void Command3_Click(); // 画像削除
    void mf140_Click();    // screen print: this window
    void mf141_Click();    // screen print: its client area
    void mf142_Click();    // screen print: the whole display
    void mf11_Click();
    void mf12_Click();
    void mf13_Click();
    void mf18_Click();
    void mf19_Click();
    void me11_Click();
    void me14_Click();
    void mv11_Click();
    void mv12_Click();
    void mh1_Click();
    void mk11_Click();
    void ms11_Click();
    void ListView1_ItemClick(int index);
    void ListView1_ColumnClick(int column);
    void Toolbar1_ButtonClick(const QString& key);

    // Controls under their given names.
    platform::RecordList* ListView1 = nullptr;
    std::array<QLineEdit*, store::MainFieldSlots> Text1{};
    std::array<QLabel*, store::MainFieldSlots> Label3{};
    QLineEdit* Text2 = nullptr; // 画像jpg有無 of the shown record
    QLineEdit* Text3 = nullptr; // 登録ＮＯ of the shown record: "0" while none is shown
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Command1 = nullptr; // sub records
    QPushButton* Command2 = nullptr; // 画像登録
    QPushButton* Command3 = nullptr; // 画像削除
    QLabel* Picture2 = nullptr;
    platform::StatusPanels* StatusBar1 = nullptr;
    platform::KeyedToolBar* Toolbar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QAction *mf10 = nullptr, *mf11 = nullptr, *mf12 = nullptr, *mf13 = nullptr, *mf140 = nullptr, *mf141 = nullptr,
            *mf142 = nullptr, *mf15 = nullptr, *mf16 = nullptr, *mf18 = nullptr, *mf19 = nullptr;
    QAction *me11 = nullptr, *me121 = nullptr, *me122 = nullptr, *me125 = nullptr, *me131 = nullptr, *me14 = nullptr;
    QAction *mv11 = nullptr, *mv12 = nullptr, *mk11 = nullptr, *ms11 = nullptr, *mh1 = nullptr;

    // Mode keys of the editor, as its Label3 shows them.
    enum class EditorMode { New, Change, Delete };
    // Fills the editor's boxes and labels for a mode, from this screen's detail panel.
    void SetUpEditor(Form7& editor, EditorMode mode);

signals:
    // Raised when the program must end at once (menu 終了).
    void endRequested();

private:
    void buildMenus();
    void buildDetailPanel(QWidget* panel);
    void showRow(int index);
    void showPicture();
    // After 画像jpg有無 changed: the row's hidden 画像jpg cell and Text2 follow.
    void showPictureFlag(int jpgswr);
    void clearPanel();
    void openEditor(EditorMode mode);
    bool recordShown() const;
    int fieldCount() const;

    // The shared current-category state is also written by other screens (the rename screen, the data deletion
    // popup, the search popup) while this modeless screen stays open; each command puts back what this screen
    // was opened for, so it never acts on another category than the one it shows.
    void claimState();

    store::AppState& state_;
    platform::Ui& ui_;
    bool loaded_ = false;
    struct Opened {
        std::int16_t section = 0;
        QString categoryName;
        std::int16_t listMode = 0;
        std::int32_t regNo = 0;
        store::FieldSearch criteria;
    } opened_;
};

} // namespace quelm::records
