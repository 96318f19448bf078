#pragma once

#include "search/InquiryLists.h"
#include "store/AppState.h"

#include <QDialog>
#include <array>

class QAction;
class QLabel;
class QPlainTextEdit;

namespace quelm::platform {
class RecordList;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::search {

// Inquiry screen: any category's main records, and the sub records of the selected one, to look at only.
class InquiryScreen : public QDialog {
    Q_OBJECT
public:
    InquiryScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~InquiryScreen() override;

    // The category, mode and criteria the lists were filled for (section 0 before any was opened).
    const InquirySource& source() const { return source_; }

    void Menuopen();
    void Menukensaku();
    void SubListViewHD();
    void SubListViewSet();
    void SubListViewKensaku();
    void Txt1Label5Set();
    void ListView2List();
    void Txt2Label9Set();

    // Handlers.
    void mf10_Click(int index); // open a category
    void mf11_Click(int index); // search and open a category
    void mff2_Click();
    void mf12_Click();
    void mf13_Click();
    void mf15_Click();
    void mk11_Click();
    void ms11_Click();
    void mv11_Click();
    void mh1_Click();
    void ListView1_ItemClick(int index);
    void ListView1_ColumnClick(int column);
    void ListView1_DblClick();
    void ListView2_ItemClick(int index);
    void ListView2_DblClick();
    // Reads the lists again (F5, and on coming back to the window after a write), keeping the selected records
    // where they still exist.
    void refreshLists();

    // Controls under their given names.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr;
    QLabel *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr;
    QPlainTextEdit* Text2 = nullptr; // how to use the screen, until a category is opened
    platform::RecordList* ListView1 = nullptr;
    platform::RecordList* ListView2 = nullptr;
    platform::StatusPanels* StatusBar1 = nullptr;
    std::array<QAction*, 6> mf10{};
    std::array<QAction*, 6> mf11{};
    QAction *mff2 = nullptr, *mf15 = nullptr, *mf12 = nullptr, *mf13 = nullptr, *mk11 = nullptr, *ms11 = nullptr,
            *mv11 = nullptr, *mh1 = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    // The category of the open and search menus; false (with the message) when it is not in use.
    bool startOpening(int section, std::int16_t listMode, const QString& panelText);
    void fillMainList();
    // Label5 is what the sub list belongs to: each change of it rebuilds the sub list.
    void setLabel5(const QString& text);
    void Label5_Change();
    // After a dialog or a record view moved the selection: the sub list follows the selected main row.
    void followSelection();
    int fieldCount() const;
    int subFieldCount() const;
    // The main list's rows read again; the selection goes back to the record with 登録ＮＯ regNo, else stays at
    // its place within the list.
    void rereadMainRows(const QString& regNo);
    // Empties both lists, as after a cancelled search.
    void clearLists();

    store::AppState& state_;
    platform::Ui& ui_;
    InquirySource source_;
    // What the lists were read under: the count of committed writes and the generation of the category's tables.
    std::uint64_t readAtWrites_ = 0;
    int readAtTables_ = 0;
};

} // namespace quelm::search
