// Per-field search dialog: one field of the current category and a value; the main record screen then opens with
// the records that match.
#include "records/FieldSearchDialog.h"

#include "platform/MaskedDateBox.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "records/MainRecords.h"
#include "records/RecordScreenParts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace quelm::records {

using platform::Buttons;
using platform::DateMask;
using platform::Icon;
using platform::TwipsRect;

namespace {

const QString ErrorTitle = QStringLiteral("ERROR");
const QString NoTextMessage = QStringLiteral("検索文字が入力されていません");

constexpr int OptionHeight = 300;

QString TypeNote(const QString& type) {
    if (type == store::TypeLong)
        return QStringLiteral("(数値)");
    if (type == store::TypeDate)
        return QStringLiteral("(日付)");
    return QStringLiteral("(文字)");
}

} // namespace

FieldSearchDialog::FieldSearchDialog(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form5kf"));
    buildControls();
    Form_Load();
}

FieldSearchDialog::~FieldSearchDialog() = default;

void FieldSearchDialog::buildControls() {
    setFixedSize(platform::TwipsToPixels(10320), platform::TwipsToPixels(6120));
    Label1 = HeadingLabel(QStringLiteral("検索して開く  （レコードの選択）"), 2, this);
    Label1->setGeometry(TwipsRect(240, 120, 6000, 420));

    Frame1 = new QGroupBox(QStringLiteral("検索する項目"), this);
    Frame1->setGeometry(TwipsRect(240, 600, 4920, 360 + store::MainFieldSlots * OptionHeight + 120));
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        Option1[i] = new QRadioButton(Frame1);
        Option1[i]->setGeometry(TwipsRect(180, 300 + i * OptionHeight, 4620, OptionHeight));
        // clicked, not toggled: a field is chosen by the user, never by resetting the options.
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }

    Label2 = new QLabel(QStringLiteral("検索文字"), this);
    Label2->setGeometry(TwipsRect(5400, 720, 3600, 300));
    MaskEdBox1 = new platform::MaskedDateBox(this);
    MaskEdBox1->setGeometry(TwipsRect(5400, 1020, 3780, 360));

    Frame2 = new QGroupBox(QStringLiteral("検索条件（日付）"), this);
    Frame2->setGeometry(TwipsRect(5400, 1560, 3780, 1380));
    const std::array<QString, 3> comparisons{QStringLiteral("検索文字と　一致"), QStringLiteral("検索文字より 大きい"),
                                             QStringLiteral("検索文字より 小さい")};
    for (int j = 0; j < 3; ++j) {
        Option2[j] = new QRadioButton(comparisons[j], Frame2);
        Option2[j]->setGeometry(TwipsRect(180, 300 + j * 330, 3420, 300));
        connect(Option2[j], &QRadioButton::clicked, this, [this, j] { Option2_Click(j); });
    }

    Check1 = new QCheckBox(QStringLiteral("大/小文字、全角/半角、カナ/ひらがなを区別する"), this);
    Check1->setGeometry(TwipsRect(5400, 1560, 4740, 600));
    connect(Check1, &QCheckBox::clicked, this, &FieldSearchDialog::Check1_Click);

    Command1 = new QPushButton(QStringLiteral("検　索"), this);
    Command1->setGeometry(TwipsRect(5400, 4560, 1800, 480));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &FieldSearchDialog::Command1_Click);
    Command2 = new QPushButton(QStringLiteral("ヘルプ"), this);
    Command2->setGeometry(TwipsRect(7380, 4560, 1800, 480));
    Command2->setAutoDefault(false);
    connect(Command2, &QPushButton::clicked, this, &FieldSearchDialog::Command2_Click);
}

void FieldSearchDialog::Form_Load() {
    setWindowTitle(state_.caption(QStringLiteral("レコード別検索条件")));
    store::FieldSearch& criteria = state_.FieldSearchCriteria;
    criteria.searchText.clear();
    criteria.searchNumber = 0;
    criteria.searchDate = store::FieldSearch::ZeroDate;
    state_.SearchCancelled = true;

    Frame2->hide();
    for (QRadioButton* option : Option2)
        option->hide();
    Check1->setChecked(false);
    Check1->hide();
    MaskEdBox1->setMask(QString());
    MaskEdBox1->setText(QString());
    MaskEdBox1->hide();
    Command1->hide();

    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    const int n = std::clamp<int>(section.FieldCount, 0, store::MainFieldSlots);
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        Option1[i]->setChecked(false);
        if (i >= n) {
            Option1[i]->hide();
            continue;
        }
        Option1[i]->setText(section.FieldName[i + 1] + QStringLiteral(" ----- ") +
                            TypeNote(MainFieldType(section, i + 1)));
        Option1[i]->show();
    }
    Frame1->setEnabled(true);
}

void FieldSearchDialog::Option1_Click(int index) {
    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    store::FieldSearch& criteria = state_.FieldSearchCriteria;
    criteria.searchField = static_cast<std::int16_t>(index);
    criteria.searchType = MainFieldType(section, index + 1);
    fieldChosen_ = true;
    if (criteria.searchType == store::TypeDate) {
        MaskEdBox1->setMask(DateMask);
        // The comparison of the previous date search stays in force until another is clicked; show which.
        const int kept = std::clamp<int>(criteria.dateComparison, 0, 2);
        Option2[kept]->setChecked(true);
        Frame2->show();
        for (QRadioButton* option : Option2)
            option->show();
    } else if (criteria.searchType == store::TypeText) {
        Check1->show();
    }
    Command1->show();
    MaskEdBox1->show();
    MaskEdBox1->setFocus();
    // The field is fixed from here; another field needs the dialog opened again.
    Frame1->setEnabled(false);
}

void FieldSearchDialog::Option2_Click(int index) {
    state_.FieldSearchCriteria.dateComparison = static_cast<std::int16_t>(index);
}

void FieldSearchDialog::Check1_Click() {
    state_.FieldSearchCriteria.exactMatch = Check1->isChecked() ? 1 : 0;
}

void FieldSearchDialog::error(const QString& text) {
    ui_.message(text, Icon::None, Buttons::Ok, ErrorTitle, this);
}

void FieldSearchDialog::Command1_Click() {
    store::FieldSearch& criteria = state_.FieldSearchCriteria;
    // The accept button is hidden until a field is chosen; a stray default-button press before that does nothing.
    if (!fieldChosen_)
        return;
    const QString text = MaskEdBox1->text();
    if (text.isEmpty()) {
        error(NoTextMessage);
        return;
    }
    if (criteria.searchType == store::TypeLong) {
        const auto number = ParseWholeNumber(text);
        if (!number) {
            error(QStringLiteral("検索文字が数値ではありません"));
            return;
        }
        criteria.searchNumber = *number;
    } else if (criteria.searchType == store::TypeDate) {
        if (MaskEdBox1->clipText().isEmpty()) {
            error(NoTextMessage);
            return;
        }
        const auto date = ParseMaskedDate(text);
        if (!date) {
            error(QStringLiteral("検索文字が日付ではありません"));
            return;
        }
        criteria.searchDate = *date;
    } else {
        criteria.searchText = text;
        criteria.exactMatch = Check1->isChecked() ? 1 : 0;
    }
    state_.SearchCancelled = false;
    accept();
}

void FieldSearchDialog::Command2_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::records
