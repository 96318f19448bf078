// Search text dialog of the all-category search: the text, and whether case, width and kana kind must match.
#include "search/SearchTextDialog.h"

#include "platform/Ui.h"
#include "platform/Units.h"
#include "records/RecordScreenParts.h"
#include "search/AllCategorySearch.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quelm::search {

using platform::TwipsRect;

SearchTextDialog::SearchTextDialog(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form9k"));
    setWindowTitle(state_.caption(QStringLiteral("検索条件(全ファイル)")));
    setFixedSize(platform::TwipsToPixels(8400), platform::TwipsToPixels(3600));

    Label1 = records::HeadingLabel(QStringLiteral("全ファイルより検索"), 2, this);
    Label1->setGeometry(TwipsRect(240, 120, 5000, 420));
    Label3 = new QLabel(QStringLiteral("全種目ファイル(メイン・サブ)のＴＥＸＴ型(文字)項目を対象に検索します。"), this);
    Label3->setGeometry(TwipsRect(240, 660, 7900, 330));
    Label2 = new QLabel(QStringLiteral("検索文字"), this);
    Label2->setGeometry(TwipsRect(240, 1260, 1100, 330));
    Text1 = new QLineEdit(this);
    Text1->setGeometry(TwipsRect(1380, 1230, 6700, 390));
    Check1 = new QCheckBox(QStringLiteral("大/小文字、全角/半角、カナ/ひらがなを区別する"), this);
    Check1->setGeometry(TwipsRect(1380, 1800, 6700, 330));
    Command1 = new QPushButton(QStringLiteral("検索"), this);
    Command1->setGeometry(TwipsRect(4800, 2640, 1500, 450));
    Command2 = new QPushButton(QStringLiteral("ヘルプ"), this);
    Command2->setGeometry(TwipsRect(6480, 2640, 1500, 450));
    for (QPushButton* b : {Command1, Command2})
        b->setAutoDefault(false);
    Command1->setDefault(true); // the dialog only reads: Return in the text box searches
    connect(Check1, &QCheckBox::clicked, this, &SearchTextDialog::Check1_Click);
    connect(Command1, &QPushButton::clicked, this, &SearchTextDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &SearchTextDialog::Command2_Click);
}

SearchTextDialog::~SearchTextDialog() = default;

void SearchTextDialog::Check1_Click() {
    state_.FieldSearchCriteria.exactMatch = Check1->isChecked() ? 1 : 0;
}

void SearchTextDialog::Command1_Click() {
    const QString text = Text1->text();
    if (!IsUsableSearchText(text)) {
        ui_.message(NoSearchTextMessage, platform::Icon::None, platform::Buttons::Ok, QStringLiteral("ERROR"), this);
        Text1->setFocus();
        return;
    }
    state_.FieldSearchCriteria.searchText = text;
    state_.FieldSearchCriteria.exactMatch = Check1->isChecked() ? 1 : 0;
    cancelled_ = false;
    accept();
}

void SearchTextDialog::Command2_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::search
