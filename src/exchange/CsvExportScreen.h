#pragma once

#include "exchange/CsvExport.h"
#include "store/AppState.h"

#include <QDialog>
#include <array>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quelm::platform {
class RecordList;
class Ui;
} // namespace quelm::platform

namespace quelm::exchange {

// CSV export screen: the main records that the main record screen's list shows, and optionally their sub records,
// written to a CSV file.
class CsvExportScreen : public QDialog {
    Q_OBJECT
public:
    // list: the main record list whose rows are exported; its rows hold fields 1 … n, then the 登録ＮＯ.
    CsvExportScreen(store::AppState& state, platform::Ui& ui, platform::RecordList& list, QWidget* parent = nullptr);

    // Handlers.
    void Option1_Click(int index);
    void Command2_Click(); // 実行
    void Command3_Click(); // ヘルプ

    // The mode chosen, once one is.
    std::optional<ExportMode> mode() const { return mode_; }

    // Controls under their given names.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr,
           *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label10 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 4> Option1{};
    std::array<QCheckBox*, store::MainFieldSlots> Check1{};
    std::array<QCheckBox*, store::SubFieldSlots> Check2{};
    QLineEdit* Text1 = nullptr;
    QPushButton *Command2 = nullptr, *Command3 = nullptr;

private:
    void build();
    void setFieldsShown(bool main, bool sub);
    // The rows the mode takes, from the list: every row, or the selected one.
    std::vector<ExportMainRow> rowsToExport() const;
    // Encodes the text, asking before anything CP932 cannot hold is written another way; nullopt when declined.
    // Asks whether the file may be written in UTF-8, naming a character CP932 cannot hold.
    bool utf8Wanted(const QString& misfit);

    store::AppState& state_;
    platform::Ui& ui_;
    platform::RecordList& list_;
    std::optional<ExportMode> mode_;
};

} // namespace quelm::exchange
