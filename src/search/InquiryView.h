#pragma once

#include "store/AppState.h"

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quelm::platform {
class RecordList;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::search {

// One record of an inquiry list at a time, with previous and next: the frame of InquiryMainView (main records, with the
// picture) and InquirySubView (sub records). Moving selects the row in the inquiry screen's list.
class InquiryView : public QDialog {
    Q_OBJECT
public:
    ~InquiryView() override;

    // The texts in which the two views differ.
    struct Texts {
        QString screen;    // the caption's screen name
        QString heading;   // Label3
        QString keyLabel;  // Label4
        QString keyPrefix; // status panel 2 before the key
        QString noEarlier; // 前へ on the first record
        QString noLater;   // 次へ on the last record
    };

    int position() const { return position_; }

    // Handlers.
    void Command1_Click(); // previous
    void Command2_Click(); // next
    void Command3_Click(); // back

    // Controls under their given names.
    QLabel* Label2 = nullptr; // the category
    QLabel* Label3 = nullptr; // メイン明細 / サブ明細
    std::array<QLabel*, store::MainFieldSlots> Label1{};
    std::array<QLineEdit*, store::MainFieldSlots> Text1{};
    QLabel* Label4 = nullptr;   // 登録ＮＯ / サブＮＯ
    QLineEdit* Text2 = nullptr; // the record's key
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr;
    platform::StatusPanels* StatusBar1 = nullptr;

protected:
    // list: the inquiry screen's list; section: the category it was filled from; keyColumn: the key Text2 shows.
    InquiryView(store::AppState& state, platform::Ui& ui, platform::RecordList& list, int section, bool sub,
                const Texts& texts, QWidget* parent);
    // Called once the subclass has built its own controls.
    void showStart();
    virtual void showExtra(int /*index*/) {}

    store::AppState& state_;
    platform::Ui& ui_;
    platform::RecordList& list_;
    int section_;
    int fields_;
    int keyColumn_;

private:
    void showRow(int index);

    Texts texts_;
    int position_ = 0;
};

} // namespace quelm::search
