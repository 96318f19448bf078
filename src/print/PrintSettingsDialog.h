#pragma once

#include "print/ReportLayout.h"
#include "store/AppState.h"

#include <QDialog>
#include <array>
#include <memory>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace quelm::platform {
class PrinterSurface;
class RecordList;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::print {

// What a settings screen works on: the record screen's list and status bar, and its heading.
struct ReportScreen {
    QWidget* screen = nullptr;
    platform::RecordList* rows = nullptr;     // the records the report prints
    platform::RecordList* mainRows = nullptr; // sub report: the main record of the sub records
    platform::StatusPanels* status = nullptr;
    QString heading; // the record screen's heading, the default title
};

// Print settings screen (Form5ps for the main records, Form6ps for the sub records): report kind, items, font,
// paper and titles, measured against the record screen's list when confirmed.
class PrintSettingsDialog : public QDialog {
    Q_OBJECT
public:
    PrintSettingsDialog(store::AppState& state, platform::Ui& ui, ReportSide side, const ReportScreen& owner,
                        QWidget* parent = nullptr);
    ~PrintSettingsDialog() override;

    // Handlers.
    void Option3_Click(int index);
    void Option1_Click();
    void Option2_Click();
    void Command1_Click();
    void Command2_Click();
    void Command5_Click();
    void SSTab1_Click(int tab);
    void Command4_Click(); // OK
    void Command3_Click(); // キャンセル
    void Command6_Click(); // ヘルプ
    void StatusButton_Click();
    void InsertTitle_Click(QLineEdit* into);

    // Applies the screen to the printer and measures the chosen columns over the record list. False when the
    // printer refused the page set-up (the user was told); nothing is changed then.
    bool PrinterSet();
    int requiredWidth() const { return requiredWidth_; }
    static int LenMbcs(const QString& text);

    store::PrintSettings& settings() const;
    ReportSide side() const { return side_; }
    QListWidget* chosenList() const { return side_ == ReportSide::Main ? List2 : List3; }
    QPushButton* statusButton() const { return side_ == ReportSide::Main ? Command7 : Command9; }

    // Controls under their given names. On Form6ps, List2 holds the main record's values and List3 the chosen
    // items; Command7 and Command8 insert a value into the titles and Command9 is the status button. On Form5ps,
    // List2 holds the chosen items and Command7 is the status button.
    QLabel* Label6 = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QGroupBox* Frame3 = nullptr;
    // The report kinds, index = kind − 1: item list, CD-case insert, tray card, booklet front and (sub screen
    // only, else nullptr) booklet back; KindPictures shows each beside its option.
    std::array<QRadioButton*, 5> Option3{};
    std::array<QLabel*, 5> KindPictures{};
    QLabel *Label12 = nullptr, *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
    QListWidget *List1 = nullptr, *List2 = nullptr, *List3 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command5 = nullptr;
    QLabel *Label7 = nullptr, *Label8 = nullptr, *Label10 = nullptr;
    QGroupBox *Frame1 = nullptr, *Frame2 = nullptr;
    QLabel* PaperLabel = nullptr;
    QComboBox* Combo2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QRadioButton *Option1 = nullptr, *Option2 = nullptr;
    QLabel *Image1 = nullptr, *Image2 = nullptr;
    QLabel *Label4 = nullptr, *Label5 = nullptr;
    QLineEdit *Text1 = nullptr, *Text3 = nullptr;
    QLabel *Label13 = nullptr, *Label14 = nullptr, *Label15 = nullptr, *Label16 = nullptr;
    std::array<QFrame*, 4> Line{};
    QPushButton *Command4 = nullptr, *Command3 = nullptr, *Command6 = nullptr, *Command7 = nullptr, *Command8 = nullptr,
                *Command9 = nullptr;

private:
    void build();
    QWidget* buildKindTab();
    QWidget* buildItemsTab();
    QWidget* buildFontTab();
    QWidget* buildPaperTab();
    QWidget* buildTitleTab();
    void load();
    void showSecondTitle(bool shown);
    platform::PrinterSurface* printer();
    QStringList fieldNames() const;
    void chooseFont();

    store::AppState& state_;
    platform::Ui& ui_;
    ReportSide side_;
    ReportScreen owner_;
    int requiredWidth_ = 0;
    bool switchingTab_ = false;
    std::vector<QWidget*> secondTitle_;
};

std::unique_ptr<PrintSettingsDialog> MakeMainPrintSettings(store::AppState& state, platform::Ui& ui,
                                                           const ReportScreen& owner);
std::unique_ptr<PrintSettingsDialog> MakeSubPrintSettings(store::AppState& state, platform::Ui& ui,
                                                          const ReportScreen& owner);

// The print command of a record screen: sets the report up when it is not (or not for this category), shows it
// in the print preview and prints it from there. A failed printout is reported and dropped.
void PrintReport(store::AppState& state, platform::Ui& ui, ReportSide side, const ReportScreen& owner);
// The print settings command: opens the report's settings screen.
void SetUpReport(store::AppState& state, platform::Ui& ui, ReportSide side, const ReportScreen& owner);

// The message of a width that does not fit, for a report kind.
QString TooWideText(std::int16_t reportKind);

} // namespace quelm::print
