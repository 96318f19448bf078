#pragma once

#include "store/AppState.h"

#include <QDialog>
#include <QElapsedTimer>

class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;
class QTimer;

namespace quelm::platform {
class RecordList;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::search {

// Result screen of the all-category search: one row per matching field of every category, the whole record of the
// selected row, and the way to the record's screen.
class SearchAllScreen : public QDialog {
    Q_OBJECT
public:
    // Opened from the inquiry screen when state.SearchFromInquiry is set: no editing from here then.
    SearchAllScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);
    ~SearchAllScreen() override;

    // Asks for the search text once the window has painted, then searches.
    void Timer1_Timer();
    void SubListViewHD();
    // Searches every table; false when the search was stopped.
    bool SubListViewKensaku();
    void ListView2List();
    void Txt1234Set();
    bool searching() const { return searching_; }
    // How often, in milliseconds, a running search lets the window repaint and take Esc or a close.
    void setResponseInterval(int ms) { responseIntervalMs_ = ms; }

    // Handlers.
    void ListView1_ItemClick(int index);
    void ListView1_ColumnClick(int column);
    // Opens the hit's record as 編 集 does.
    void ListView1_DblClick(int index);
    void mf11_Click();
    void mf12_Click();
    void mf13_Click();
    void mk1_Click();
    void mv11_Click();
    void mh1_Click();

    // Controls under their given names.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label4 = nullptr, *Label5 = nullptr;
    QLabel *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
    platform::RecordList* ListView1 = nullptr; // the hits
    platform::RecordList* ListView2 = nullptr; // the record of the selected hit
    QLineEdit* Text2 = nullptr;                // table of the selected hit
    QLineEdit* Text3 = nullptr;                // its 登録ＮＯ
    QLineEdit* Text4 = nullptr;                // its サブＮＯ
    platform::StatusPanels* StatusBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QAction *mf10 = nullptr, *mf11 = nullptr, *mf12 = nullptr, *mf13 = nullptr, *mk1 = nullptr, *mv11 = nullptr,
            *mh1 = nullptr;

    // Esc stops a running search and keeps what it found; closing stops it and then closes.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Progress;
    void buildMenus();
    void showPosition();
    // Marks the detail list's cell of the field the selected hit matched in.
    void markMatchedField();
    // Lets the window paint and take Esc or a close now and then during a search; answers whether to go on.
    bool keepResponsive();

    store::AppState& state_;
    platform::Ui& ui_;
    bool fromInquiry_;
    bool loaded_ = false;
    bool searching_ = false;
    bool stopRequested_ = false;
    bool closeRequested_ = false;
    int responseIntervalMs_ = 40;
    QElapsedTimer sincePaint_;
    QMenuBar* menuBar_ = nullptr;
};

} // namespace quelm::search
