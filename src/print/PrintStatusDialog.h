#pragma once

#include "print/ReportLayout.h"
#include "store/AppState.h"

#include <QDialog>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace quelm::platform {
class Ui;
}

namespace quelm::print {

// What the status screen shows, worked out from the settings just applied.
struct PrintStatus {
    QString kind;
    QStringList fieldNames;        // every field of the report's side
    std::vector<int> fieldWidths;  // each measured over the list, gap included
    QStringList chosenItems;       // as the chosen list shows them
    std::vector<int> chosenWidths; // the width of each chosen item's field
    int total = 0;                 // of the chosen widths, margin excluded
    QString fontSize, paper, orientation, margin, usableWidth, title1, title2;
    bool over = false;  // total + margin exceeds the usable width
    int difference = 0; // how much it exceeds, or how much is left
};
PrintStatus MakePrintStatus(const store::PrintSettings& settings, const QStringList& fieldNames,
                            const std::vector<int>& fieldWidths, const QStringList& chosenItems, double fontSize);

// Print settings status screen (Form5pp for the main records, Form6pp for the sub records): the widths measured and
// the width left over or missing.
class PrintStatusDialog : public QDialog {
    Q_OBJECT
public:
    PrintStatusDialog(const store::AppState& state, platform::Ui& ui, ReportSide side, const PrintStatus& status,
                      QWidget* parent = nullptr);

    // Controls under their given names; the value labels are named after what they show.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QTreeWidget* List1 = nullptr; // every field and its width
    QTreeWidget* List2 = nullptr; // the chosen items, then the total
    QLabel *KindValue = nullptr, *FontSizeValue = nullptr, *PaperValue = nullptr, *OrientationValue = nullptr,
           *MarginValue = nullptr, *WidthValue = nullptr, *Title1Value = nullptr, *Title2Value = nullptr;
    QLabel* DifferenceLabel = nullptr;
    QLabel* DifferenceValue = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace quelm::print
