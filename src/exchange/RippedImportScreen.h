#pragma once

#include "exchange/RippedImport.h"
#include "store/AppState.h"

#include <QDialog>
#include <array>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace quelm::platform {
class DragList;
class DropSlot;
struct DragSource;
class Ui;
} // namespace quelm::platform

namespace quelm::exchange {

// Import of ripped albums: every folder of audio files under a chosen folder becomes one main record of the current
// category, its files the sub records; album and track items are mapped onto the fields by drag and drop.
class RippedImportScreen : public QDialog {
    Q_OBJECT
public:
    RippedImportScreen(store::AppState& state, platform::Ui& ui, QWidget* parent = nullptr);

    void Command4_Click(); // 参照
    void Command5_Click(); // 読込み
    void Command2_Click(); // 実行
    void Command8_Click(); // 設定保存
    void Command7_Click(); // ヘルプ
    void Command9_Click(); // 閉じる

    // Marks the albums the category holds already and unticks them; called after reading and after each drop.
    void markExisting();
    CddbMapping mapping() const;
    const std::vector<RippedAlbum>& Albums() const { return albums_; }
    // The albums whose rows are ticked, in list order.
    std::vector<const RippedAlbum*> chosenAlbums() const;

    QLabel *Label1 = nullptr, *Label4 = nullptr, *Label3 = nullptr, *Label11 = nullptr, *Label12 = nullptr;
    QLabel *Label8 = nullptr, *Label9 = nullptr, *Label5 = nullptr;
    QLineEdit* Text1 = nullptr; // the folder
    QPushButton *Command4 = nullptr, *Command5 = nullptr, *Command2 = nullptr, *Command8 = nullptr;
    QPushButton *Command7 = nullptr, *Command9 = nullptr;
    QTreeWidget* Tree1 = nullptr; // the albums found
    platform::DragList *List1 = nullptr, *List2 = nullptr;
    std::array<QLabel*, store::MainFieldSlots> Label6{};
    std::array<platform::DropSlot*, store::MainFieldSlots> Text3{};
    std::array<QLabel*, store::SubFieldSlots> Label7{};
    std::array<platform::DropSlot*, store::SubFieldSlots> Text4{};

private:
    void buildControls();
    QWidget* buildMappingArea();
    void fillPreview();
    void restoreMapping();
    void dropOnSlot(platform::DropSlot* slot, platform::DragList* from, const platform::DragSource& source);
    void dropOnList(platform::DragList* list, const platform::DragSource& source);
    bool isMainSlot(const platform::DropSlot* slot) const;
    void reportSkipped(const QStringList& files, const QString& heading);

    store::AppState& state_;
    platform::Ui& ui_;
    int section_;
    std::vector<RippedAlbum> albums_;
};

} // namespace quelm::exchange
