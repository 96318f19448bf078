#pragma once

#include "exchange/CddbImport.h"
#include "store/AppState.h"

#include <QDialog>
#include <QStringList>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace quelm::platform {
class DragList;
class DropSlot;
struct DragSource;
class Ui;
} // namespace quelm::platform

namespace quelm::exchange {

// CDDB import screen: takes one CD at a time from the player's CDDB files into the current category.
class CddbImportScreen : public QDialog {
    Q_OBJECT
public:
    CddbImportScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    // Handlers.
    void Command1_Click(); // 参照 (player folder)
    void Command4_Click(); // 参照 (CDDB folder)
    void Check1_Click();   // save the player folder
    void Check2_Click();   // save the CDDB folder
    void Command3_Click(); // Player起動
    void Command5_Click(); // CDDBファイル読込み
    void Combo1_Click();   // a CD picked
    void Command6_Click(); // 不要なファイルを削除する
    void Command2_Click(); // 実行
    void Command8_Click(); // 設定保存
    void Command7_Click(); // ヘルプ
    void EncodingCombo_Click();

    // Fills the CD list from the CDDB folder; false when there is nothing to list (the reason was shown).
    bool CDDBRead();
    // The slots as they stand.
    CddbMapping mapping() const;

    // Controls under their given names.
    QLabel *Label1 = nullptr, *Label4 = nullptr, *Label18 = nullptr, *Label3 = nullptr, *Label19 = nullptr;
    QLabel *Label13 = nullptr, *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr, *Label8 = nullptr;
    QLabel *Label9 = nullptr, *Label5 = nullptr, *Label17 = nullptr, *Label14 = nullptr, *Label15 = nullptr;
    QListWidget *List4 = nullptr, *List3 = nullptr;
    QPushButton *Command1 = nullptr, *Command3 = nullptr, *Command4 = nullptr, *Command5 = nullptr;
    QPushButton *Command6 = nullptr, *Command2 = nullptr, *Command8 = nullptr, *Command7 = nullptr;
    QCheckBox *Check1 = nullptr, *Check2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QStringList File1; // the files of the CDDB folder, in name order
    platform::DragList *List1 = nullptr, *List2 = nullptr;
    std::array<QLabel*, store::MainFieldSlots> Label6{};
    std::array<platform::DropSlot*, store::MainFieldSlots> Text3{};
    std::array<QLabel*, store::SubFieldSlots> Label7{};
    std::array<platform::DropSlot*, store::SubFieldSlots> Text4{};
    // The encoding the files are read in: detected, or the user's choice.
    QLabel* EncodingLabel = nullptr;
    QComboBox* EncodingCombo = nullptr;
    QLabel* EncodingTaken = nullptr; // the encoding the picked file was read in
    // Shown while the player runs.
    QLabel* PlayerWaitLabel = nullptr;

private:
    void buildControls();
    QWidget* buildMappingArea();
    void Form_Load();
    void hideMapping();
    void showMapping();
    void restoreMapping();
    void chooseFolder(QListWidget* list);
    void saveFolder(QCheckBox* box, bool player);
    QString entryOf(const QListWidget* list) const;
    // The path of a listed file, only when it still is a file directly inside the folder the list was read from.
    std::optional<QString> listedFilePath(const QString& fileName) const;
    std::optional<platform::TextEncoding> chosenEncoding() const;
    void dropOnSlot(platform::DropSlot* slot, platform::DragList* from, const platform::DragSource& source);
    void dropOnList(platform::DragList* list, const platform::DragSource& source);
    bool isMainSlot(const platform::DropSlot* slot) const;

    store::AppState& state_;
    platform::Ui& ui_;
    int section_;
    QWidget* mappingArea_ = nullptr;
    QString listedFolder_; // the folder the CD list was read from
    QString pickedFile_;   // the file of the picked CD; empty when none
    CddbDisc disc_;
};

} // namespace quelm::exchange
