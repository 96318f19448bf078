#pragma once

#include "exchange/CsvImport.h"
#include "store/AppState.h"

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelm::platform {
class DragList;
class DropSlot;
struct DragSource;
class Ui;
} // namespace quelm::platform

namespace quelm::exchange {

// CSV import screen: the user maps the columns of a CSV file onto the fields of the current category by drag and
// drop, and the run adds one record per CSV record. CsvImportScreen adds main records, Form6ip6b the sub records of one
// main record; the two differ only in their texts, their fields and the run.
class CsvImportScreen : public QDialog {
    Q_OBJECT
public:
    enum class Target { MainRecords, SubRecords };
    CsvImportScreen(store::AppState& state, platform::Ui& ui, Target target, QWidget* parent = nullptr);
    ~CsvImportScreen() override;

    // Handlers.
    void Command1_Click(); // 参照
    void Command2_Click(); // 実行
    void Command3_Click(); // ヘルプ
    void Check1_Click();
    void Text1_Change();
    void Combo1_Click(); // another encoding chosen
    void Text3_DragDrop(int index, const platform::DragSource& source);
    void List1_DragDrop(const platform::DragSource& source);

    // Controls under their given names.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label5 = nullptr, *Label8 = nullptr, *Label10 = nullptr,
           *Label11 = nullptr, *Label14 = nullptr, *Label15 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr;
    QCheckBox* Check1 = nullptr;
    platform::DragList* List1 = nullptr;
    std::vector<QLabel*> Label6;
    std::vector<platform::DropSlot*> Text3;
    // The file's encoding, as detected; the user may choose another.
    QLabel* Label16 = nullptr;
    QComboBox* Combo1 = nullptr;
    // How the encoding was taken (detected or chosen), and the first records as they will be stored, so that a
    // wrong encoding is seen before the run.
    QLabel* EncodingNote = nullptr;
    QPlainTextEdit* Sample = nullptr;

private:
    void build();
    void setPreviewShown(bool shown);
    void preview();
    int slotCount() const;
    QString fieldName(int k) const;

    store::AppState& state_;
    platform::Ui& ui_;
    Target target_;
    std::int32_t regNo_ = 0; // the main record whose sub records are added
    int skip_ = 0;           // the skip flag
    std::optional<CsvFile> file_;
};

// The main-record import, opened from the main record screen.
std::unique_ptr<CsvImportScreen> MakeMainCsvImport(store::AppState& state, platform::Ui& ui, QWidget* parent);
// The sub-record import for the main record state.CurrentRegNo, opened from the sub record screen.
std::unique_ptr<CsvImportScreen> MakeSubCsvImport(store::AppState& state, platform::Ui& ui, QWidget* parent);

} // namespace quelm::exchange
