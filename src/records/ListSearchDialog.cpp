// List search dialog (Form5k, Form6k, Form10k): finds and selects the first row of an open record list whose text
// matches.
#include "records/ListSearchDialog.h"

#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "records/RecordScreenParts.h"
#include "records/TextMatch.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quelm::records {

using platform::Buttons;
using platform::Icon;
using platform::TwipsRect;

ListDialogName NameOf(ListOwner owner, ListDialogKind kind) {
    // By owner, then by kind: search, sort order.
    static const std::array<std::array<ListDialogName, 2>, 3> names{{
        {{{QStringLiteral("Form5k"), QStringLiteral("項目別検索条件(メイン)")},
          {QStringLiteral("Form5s"), QStringLiteral("項目別ソート条件(メイン)")}}},
        {{{QStringLiteral("Form6k"), QStringLiteral("項目別検索条件(サブ)")},
          {QStringLiteral("Form6s"), QStringLiteral("項目別ソート条件(サブ)")}}},
        {{{QStringLiteral("Form10k"), QStringLiteral("検索条件")},
          {QStringLiteral("Form10s"), QStringLiteral("ソート条件")}}},
    }};
    return names[static_cast<std::size_t>(owner)][static_cast<std::size_t>(kind)];
}

int FindListRow(const platform::RecordList& list, const QString& text, ListSearchWhere where, ListSearchMatch match) {
    const TextMatcher matcher(text, TextFold::Case);
    const bool whole = where == ListSearchWhere::FirstColumn && match == ListSearchMatch::WholeText;
    const int firstColumn = where == ListSearchWhere::FirstColumn ? 0 : 1;
    const int lastColumn = where == ListSearchWhere::FirstColumn ? 0 : list.columnCount() - 1;
    for (int index = 1; index <= list.rowCount(); ++index) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const QString cell = list.cell(index, column);
            if (whole ? matcher.equals(cell) : matcher.begins(cell))
                return index;
        }
    }
    return 0;
}

ListSearchDialog::ListSearchDialog(store::AppState& state, platform::Ui& ui, ListOwner owner,
                                   platform::RecordList& list, platform::StatusPanels* panels, QWidget* parent)
    : QDialog(parent), ui_(ui), list_(list), panels_(panels) {
    const ListDialogName name = NameOf(owner, ListDialogKind::Search);
    setObjectName(name.object);
    setWindowTitle(state.caption(name.caption));
    setFixedSize(platform::TwipsToPixels(9060), platform::TwipsToPixels(5400));

    Label1 = HeadingLabel(QStringLiteral("検索条件"), 2, this);
    Label1->setGeometry(TwipsRect(240, 120, 3000, 420));

    Frame1 = new QGroupBox(QStringLiteral("検索するリスト項目"), this);
    Frame1->setGeometry(TwipsRect(240, 600, 3360, 1140));
    const std::array<QString, 2> columns{QStringLiteral(" 1番目の項目(最左側)"), QStringLiteral(" ２番目以降の項目")};
    for (int i = 0; i < 2; ++i) {
        Option1[i] = new QRadioButton(columns[i], Frame1);
        Option1[i]->setGeometry(TwipsRect(180, 330 + i * 360, 3060, 330));
        // clicked rather than toggled: clicking the same choice again is another try after a failed search.
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }

    Frame2 = new QGroupBox(QStringLiteral("検索で一致する条件"), this);
    Frame2->setGeometry(TwipsRect(3840, 600, 4980, 1680));
    Label2 = new QLabel(QStringLiteral("１番目の項目検索のみ"), Frame2);
    Label2->setGeometry(TwipsRect(180, 300, 3000, 300));
    const std::array<QString, 2> matches{QStringLiteral(" 検索文字と完全に一致  する文字列を検索する"),
                                         QStringLiteral(" 検索文字で始まる文字列  を検索する")};
    for (int j = 0; j < 2; ++j) {
        Option2[j] = new QRadioButton(matches[j], Frame2);
        Option2[j]->setGeometry(TwipsRect(180, 660 + j * 480, 4680, 420));
        connect(Option2[j], &QRadioButton::clicked, this, [this, j] { Option2_Click(j); });
    }
    Frame2->hide();

    Text1 = new QPlainTextEdit(this);
    Text1->setReadOnly(true);
    Text1->setGeometry(TwipsRect(240, 2460, 8580, 1800));
    Text1->setPlainText(QStringLiteral(
        "「1番目の項目」を選ぶと、一番左の項目を、検索文字と完全に一致するか、検索文字で始まるかを選んで検索します。\n"
        "「２番目以降の項目」を選ぶと、２番目から右の全ての項目を、検索文字で始まるかで検索します。\n"
        "英字の大文字と小文字は区別しません。見つかった最初の行を選択します。"));

    Command1 = new QPushButton(QStringLiteral("ヘルプ"), this);
    Command1->setGeometry(TwipsRect(7020, 4500, 1800, 480));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &ListSearchDialog::Command1_Click);
}

ListSearchDialog::~ListSearchDialog() = default;

void ListSearchDialog::Option1_Click(int index) {
    if (index == 0) {
        Frame1->setEnabled(false);
        Frame2->show();
        for (QRadioButton* option : Option2)
            option->show();
        Option2[0]->setFocus(); // the keyboard goes on with the next choice, not with whatever follows the frame
        return;
    }
    askAndSearch(ListSearchWhere::LaterColumns, ListSearchMatch::Prefix);
}

void ListSearchDialog::Option2_Click(int index) {
    askAndSearch(ListSearchWhere::FirstColumn, index == 0 ? ListSearchMatch::WholeText : ListSearchMatch::Prefix);
}

void ListSearchDialog::askAndSearch(ListSearchWhere where, ListSearchMatch match) {
    // A cancelled input box searches for the empty text, which every cell begins with.
    const QString text =
        ui_.inputBox(QStringLiteral("検索文字"), QStringLiteral("検索"), QString(), this).value_or(QString());
    const int row = FindListRow(list_, text, where, match);
    if (row == 0) {
        ui_.message(QStringLiteral("該当するレコードが有りません。"), Icon::None, Buttons::Ok, QStringLiteral("検索"),
                    this);
        return;
    }
    list_.ensureVisible(row);
    list_.select(row);
    if (panels_)
        panels_->setPanelText(1, QStringLiteral("項目列で検索した結果を表示(フォーカス)"));
    accept();
}

void ListSearchDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto* option = qobject_cast<QRadioButton*>(focusWidget());
    if (!enter || !option || !option->isEnabled()) {
        QDialog::keyPressEvent(event);
        return;
    }
    // The dialog only searches, so Return may run it: the focused choice is taken as if it were clicked.
    option->click();
}

void ListSearchDialog::Command1_Click() {
    ui_.showHelp(this);
}

std::unique_ptr<ListSearchDialog> MakeMainListSearch(store::AppState& state, platform::Ui& ui,
                                                     platform::RecordList& list, platform::StatusPanels* panels,
                                                     QWidget* parent) {
    return std::make_unique<ListSearchDialog>(state, ui, ListOwner::MainRecords, list, panels, parent);
}

std::unique_ptr<ListSearchDialog> MakeSubListSearch(store::AppState& state, platform::Ui& ui,
                                                    platform::RecordList& list, platform::StatusPanels* panels,
                                                    QWidget* parent) {
    return std::make_unique<ListSearchDialog>(state, ui, ListOwner::SubRecords, list, panels, parent);
}

std::unique_ptr<ListSearchDialog> MakeInquiryListSearch(store::AppState& state, platform::Ui& ui,
                                                        platform::RecordList& list, QWidget* parent) {
    return std::make_unique<ListSearchDialog>(state, ui, ListOwner::Inquiry, list, nullptr, parent);
}

} // namespace quelm::records
