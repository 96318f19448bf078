// Sort-order dialog (Form5s, Form6s, Form10s): ascending or descending order for the next column sort of a list.
#include "records/SortOrderDialog.h"

#include "platform/RecordList.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "records/RecordScreenParts.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quelm::records {

using platform::Buttons;
using platform::Icon;
using platform::TwipsRect;

namespace {

QPlainTextEdit* Note(const QString& text, QWidget* parent) {
    auto* note = new QPlainTextEdit(parent);
    note->setReadOnly(true);
    note->setPlainText(text);
    return note;
}

} // namespace

SortOrderDialog::SortOrderDialog(store::AppState& state, platform::Ui& ui, ListOwner owner, platform::RecordList& list,
                                 QWidget* parent)
    : QDialog(parent), ui_(ui), list_(list) {
    const ListDialogName name = NameOf(owner, ListDialogKind::SortOrder);
    setObjectName(name.object);
    setWindowTitle(state.caption(name.caption));
    setFixedSize(platform::TwipsToPixels(6480), platform::TwipsToPixels(4800));

    Label1 = HeadingLabel(QStringLiteral("ソート条件"), 2, this);
    Label1->setGeometry(TwipsRect(240, 120, 3000, 420));

    Frame1 = new QGroupBox(QStringLiteral("ソート順序"), this);
    Frame1->setGeometry(TwipsRect(240, 600, 2880, 1140));
    const std::array<QString, 2> orders{QStringLiteral("昇順  (A～Z)"), QStringLiteral("降順　(Z～A)")};
    for (int i = 0; i < 2; ++i) {
        Option1[i] = new QRadioButton(orders[i], Frame1);
        Option1[i]->setGeometry(TwipsRect(180, 330 + i * 360, 2580, 330));
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }

    Text1 = Note(QStringLiteral("リストの項目名(列の見出し)をクリックすると、その項目の文字の順にソートします。"
                                "数値や日付も文字として並べます。"),
                 this);
    Text1->setGeometry(TwipsRect(3360, 600, 2880, 1140));
    Text2 = Note(QStringLiteral("ここで選んだソート順序は、次に項目名をクリックした時から使われます。"), this);
    Text2->setGeometry(TwipsRect(240, 1980, 6000, 1440));

    Command1 = new QPushButton(QStringLiteral("ヘルプ"), this);
    Command1->setGeometry(TwipsRect(4440, 3840, 1800, 480));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &SortOrderDialog::Command1_Click);
}

SortOrderDialog::~SortOrderDialog() = default;

void SortOrderDialog::Option1_Click(int index) {
    if (index == 0) {
        list_.setSortOrder(Qt::AscendingOrder);
        ui_.message(QStringLiteral("ソート順序は「昇順」で設定しました。"), Icon::Information, Buttons::Ok, QString(),
                    this);
    } else {
        list_.setSortOrder(Qt::DescendingOrder);
        ui_.message(QStringLiteral("ソート順序は「降順」で設定しました。"), Icon::Information, Buttons::Ok, QString(),
                    this);
    }
    accept();
}

void SortOrderDialog::Command1_Click() {
    ui_.showHelp(this);
}

std::unique_ptr<SortOrderDialog> MakeMainSortOrder(store::AppState& state, platform::Ui& ui, platform::RecordList& list,
                                                   QWidget* parent) {
    return std::make_unique<SortOrderDialog>(state, ui, ListOwner::MainRecords, list, parent);
}

std::unique_ptr<SortOrderDialog> MakeSubSortOrder(store::AppState& state, platform::Ui& ui, platform::RecordList& list,
                                                  QWidget* parent) {
    return std::make_unique<SortOrderDialog>(state, ui, ListOwner::SubRecords, list, parent);
}

std::unique_ptr<SortOrderDialog> MakeInquirySortOrder(store::AppState& state, platform::Ui& ui,
                                                      platform::RecordList& list, QWidget* parent) {
    return std::make_unique<SortOrderDialog>(state, ui, ListOwner::Inquiry, list, parent);
}

} // namespace quelm::records
