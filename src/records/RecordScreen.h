#pragma once

#include "records/ListSearchDialog.h"
#include "records/RecordScreenParts.h"
#include "store/AppState.h"

#include <QDialog>
#include <array>
#include <memory>
#include <span>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QVBoxLayout;

namespace quelm::platform {
class Database;
class KeyedToolBar;
class ListRow;
class RecordList;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::print {
enum class ScreenPrintArea;
enum class ReportSide;
} // namespace quelm::print

namespace quelm::records {

// The frame the main and the sub record screen share: menus, tool bar, heading, status bar, window geometry, the
// deferred load and the category the screen was opened for. Each screen adds its lists and detail panel to body()
// and handles its own record commands.
class RecordScreen : public QDialog {
    Q_OBJECT
public:
    ~RecordScreen() override;

    // Deferred load: the lists are read after the empty window has painted.
    virtual void Timer1_Timer() = 0;
    bool loaded() const { return loaded_; }

    // The position text of panel 2 for the current row of ListView1.
    QString positionText() const;
    // Whether the category's data was deleted or its tables rebuilt since the screen loaded: its rows are stale.
    bool stale() const;

    // Handlers. The record commands act on the screen's own editor, boxes and list through the hooks below.
    void mf11_Click(); // new record
    void mf12_Click(); // change the shown record
    void mf13_Click(); // delete the shown record
    void me11_Click(); // copy the selected text of a detail box
    // The screen is made again and reads the tables in their own order, which undoes a column sort.
    virtual void me14_Click();
    void mk11_Click(); // list search
    void ms11_Click(); // sort order of the next column sort
    void ListView1_ItemClick(int index);
    void mf15_Click(); // print settings of the screen's report
    void mf16_Click(); // print the screen's report
    void mf18_Click();
    void mf19_Click();
    void mv11_Click();
    void mv12_Click();
    void mh1_Click();
    void ListView1_ColumnClick(int column);
    void Toolbar1_ButtonClick(const QString& key);

    // Controls under their given names.
    QLabel* Label1 = nullptr;                  // heading: the category and the screen
    platform::RecordList* ListView1 = nullptr; // the records the commands act on
    platform::StatusPanels* StatusBar1 = nullptr;
    platform::KeyedToolBar* Toolbar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QAction *mf10 = nullptr, *mf11 = nullptr, *mf12 = nullptr, *mf13 = nullptr, *mf140 = nullptr, *mf141 = nullptr,
            *mf142 = nullptr, *mf15 = nullptr, *mf16 = nullptr, *mf18 = nullptr, *mf19 = nullptr;
    QAction *me11 = nullptr, *me14 = nullptr;
    QAction *mv11 = nullptr, *mv12 = nullptr, *mk11 = nullptr, *ms11 = nullptr, *mh1 = nullptr;

    // Mode keys of the editor, as its Label3 shows them.
    enum class EditorMode { New, Change, Delete };

    // The texts in which the two screens differ.
    struct Captions {
        QString title;               // the window's
        QString records;             // mf10
        QString printWindow;         // mf140
        QString printUserData;       // mf141
        QString print;               // mf16
        QString close;               // mf18
        QString showRegNo;           // mv11
        bool showRegNoFirst = false; // mv11 above mv12 in 表示
        QString searchMenu;          // over mk11
        QString sortMenu;            // over ms11
    };

signals:
    // Raised when the program must end at once (menu 終了).
    void endRequested();

protected:
    RecordScreen(store::AppState& state, platform::Ui& ui, const Captions& captions, QWidget* parent);

    // Between the heading and the status bar: where a screen puts its lists and detail panel.
    QVBoxLayout* body() const { return body_; }
    // A record list as wide as the layout values make it.
    platform::RecordList* newList();
    // Makes ListView1 and adds it to body(), taking the height left.
    void addListView1();
    // A submenu of 編集 above 元に戻す (the import and export items).
    QMenu* addEditSubmenu(const QString& title);
    // The widgets 登録ＮＯ表示 (mv11) shows and hides.
    void setRegNoWidgets(std::initializer_list<QWidget*> widgets) { regNoWidgets_ = widgets; }
    // The report this screen prints, and the main record above its rows (the sub record screen's).
    virtual print::ReportSide reportSide() const;
    virtual platform::RecordList* reportMainRow() const { return nullptr; }
    // A fresh screen of the same kind, for me14.
    virtual std::unique_ptr<RecordScreen> makeAgain() = 0;

    // The screen's editor, set up for a mode from the detail panel.
    virtual std::unique_ptr<QDialog> makeEditor(EditorMode mode) = 0;
    // Runs the editor modally; then the rows are read again and the edited row (after a new record, the last) is
    // shown.
    void openEditor(EditorMode mode);
    // Runs an import or export screen modally; then the list is emptied and read again and its row shown.
    void runExchangeScreen(QDialog& screen);
    void showAfterEdit(EditorMode mode, int rememberedIndex, const QStringList& editedKey = {});
    // What showAfterEdit does with the screen's own lists and boxes.
    virtual void readRows() = 0;
    virtual void clearShown() = 0;
    virtual void showSelected() = 0;
    // The hidden key columns of ListView1 that name one record (登録ＮＯ, and サブＮＯ on the sub list).
    virtual std::vector<int> keyColumns() const = 0;
    // Whose list dialogs the screen opens (their names and captions).
    virtual ListOwner listOwner() const = 0;
    // After a list search: what the screen shows of the found row.
    virtual void afterListSearch() = 0;
    // The detail boxes in use, for copying their selected text.
    virtual std::span<QLineEdit* const> shownBoxes() const = 0;
    // Says why a record cannot be changed or deleted, and returns true, when no record is shown.
    virtual bool refusedWithoutRecord() = 0;

    // Field labels and boxes on the detail panel, five to a column; hidden until the load shows those in use.
    static void BuildFieldBoxes(QWidget* panel, std::span<QLabel*> labels, std::span<QLineEdit*> boxes,
                                int columnStepTwips, int boxWidthTwips);
    // Shows the first names.size() labels and boxes, each label captioned with its field's name.
    static void ShowFieldBoxes(std::span<QLabel* const> labels, std::span<QLineEdit* const> boxes,
                               std::span<const QString> names);

    // Adds the rows read from the catalogue to list; an engine error is shown and leaves the list as it was.
    using RowReader = std::vector<platform::ListRow> (*)(platform::Database&, const store::AppState&);
    void addRowsFrom(platform::RecordList& list, RowReader read);
    // Shows row index of ListView1 in the detail boxes: its first boxes.size() cells, then the key cells in keyBoxes.
    void showCells(int index, std::span<QLineEdit* const> boxes, std::initializer_list<QLineEdit*> keyBoxes);

    // SubRecordCount and MaxSubNo of one main record of the screen's category; both 0 when it cannot be read.
    void countSubRecords(std::int64_t regNo);

    // Start of the load: false when it already ran. Resolves the category and remembers what the screen is for.
    bool beginLoad();
    // The shared current-category state is also written by other screens (the rename screen, the data deletion
    // popup, the search popup) while a record screen stays open; each command puts back what this screen was
    // opened for, so it never acts on another category than the one it shows.
    virtual void claimState();

    store::AppState& state_;
    platform::Ui& ui_;
    bool loaded_ = false;
    struct Opened {
        std::int16_t section = 0;
        QString categoryName;
        std::int16_t listMode = 0;
        std::int32_t regNo = 0;
        std::int32_t subNo = 0;
        store::FieldSearch criteria;
        int tablesGeneration = 0;
    } opened_;

private:
    void buildMenus(const Captions& captions);
    // The row to show after the editor closed, on the refilled list of rows rows.
    int rowAfterEdit(EditorMode mode, int rememberedIndex, const QStringList& editedKey) const;
    // Screen print of this window, its client area or the display (menu 画面印刷 and its tool bar button).
    void printScreen(print::ScreenPrintArea area);

    QVBoxLayout* body_ = nullptr;
    QMenu* editMenu_ = nullptr;
    std::vector<QWidget*> regNoWidgets_;
};

} // namespace quelm::records
