// Print settings screen (Form5ps, Form6ps): report kind, items, font, paper and titles of a record-list report.
#include "print/PrintSettingsDialog.h"

#include "platform/CodePage.h"
#include "platform/DialogKeys.h"
#include "platform/PrinterSurface.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "print/CaseInserts.h"
#include "print/PrintStatusDialog.h"
#include "print/ScreenPrint.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quelm::print {

using platform::Buttons;
using platform::Icon;
using store::PrintSettings;

namespace {

const QString NoKindText = QStringLiteral("作成する帳表が選択されていません。");
const QString NoItemsText = QStringLiteral("印刷項目が選択されていません。");
const QString ErrorTitle = QStringLiteral("Error");
const QString RefusedText = QStringLiteral("使用中のプリンターのドライバーでは、プログラム側からの\r\n"
                                           "印刷設定変更が認めてくれません。\r\n"
                                           "そのため、プリンターのプロパティにて、「フチなし印刷」の\r\n"
                                           "チェックをはずして､用紙の設定を行ってください。");

QLabel* Note(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

// A sheet of paper with a few text lines, standing or lying.
QPixmap PagePicture(bool landscape) {
    const QSize size = landscape ? QSize(84, 60) : QSize(60, 84);
    QPixmap pixmap(size + QSize(4, 4));
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRect(QPoint(1, 1), size));
    p.setPen(QPen(Qt::gray, 2));
    for (int y = 12; y < size.height() - 6; y += 8)
        p.drawLine(9, y, size.width() - 7, y);
    return pixmap;
}

// A small drawing of what a report kind prints: a ruled list, the insert's list, a tray card with its spines, a
// booklet with a picture, a booklet with track lines.
QPixmap KindPicture(std::int16_t kind) {
    QPixmap pixmap(56, 40);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 1));
    const auto lines = [&p](QRect r, int step) {
        p.setPen(QPen(Qt::gray, 1));
        for (int y = r.top() + step; y < r.bottom() - 2; y += step)
            p.drawLine(r.left() + 3, y, r.right() - 3, y);
        p.setPen(QPen(Qt::black, 1));
    };
    switch (kind) {
    case PrintSettings::KindItemList:
        p.drawRect(16, 2, 26, 36);
        lines({16, 2, 26, 36}, 4);
        break;
    case PrintSettings::KindCdCase:
        p.drawRect(10, 6, 36, 30);
        lines({10, 10, 36, 26}, 3);
        break;
    case KindTrayCard:
        p.drawRect(4, 6, 48, 30);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawLine(8, 6, 8, 36);
        p.drawLine(48, 6, 48, 36);
        p.setPen(QPen(Qt::black, 1));
        lines({8, 8, 40, 26}, 3);
        break;
    case KindBookletFront:
        p.drawRect(12, 4, 32, 32);
        p.setBrush(QColor(90, 130, 190));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(28, 20), 11, 11);
        p.setBrush(Qt::white);
        p.drawEllipse(QPoint(28, 20), 3, 3);
        break;
    case KindBookletBack:
        p.drawRect(12, 4, 32, 32);
        lines({12, 8, 32, 28}, 3);
        break;
    default:
        break;
    }
    return pixmap;
}

} // namespace

QString TooWideText(std::int16_t reportKind) {
    const QString head = QStringLiteral("印刷データが多いため、用紙の横幅に入りません。\r\n");
    if (reportKind == PrintSettings::KindCdCase || reportKind == KindTrayCard)
        return head + QStringLiteral("印刷項目を減らして下さい。");
    return head + QStringLiteral("  ①用紙を横方向にするか、\r\n  ②印刷項目を減らすか、\r\n"
                                 "  ③フォントサイズを小さくするか\r\nの対策をお願いします。");
}

PrintSettingsDialog::PrintSettingsDialog(store::AppState& state, platform::Ui& ui, ReportSide side,
                                         const ReportScreen& owner, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), side_(side), owner_(owner) {
    const bool sub = side_ == ReportSide::Sub;
    setObjectName(sub ? QStringLiteral("Form6ps") : QStringLiteral("Form5ps"));
    setWindowTitle(state_.caption(sub ? QStringLiteral("印刷設定(サブ)") : QStringLiteral("印刷設定")));
    build();
    load();
}

PrintSettingsDialog::~PrintSettingsDialog() = default;

store::PrintSettings& PrintSettingsDialog::settings() const {
    return side_ == ReportSide::Main ? state_.MainPrintSettings : state_.SubPrintSettings;
}

void PrintSettingsDialog::build() {
    const bool sub = side_ == ReportSide::Sub;
    auto* layout = new QVBoxLayout(this);
    Label6 = new QLabel(sub ? QStringLiteral("印 刷 設 定 (サブ明細)") : QStringLiteral("印 刷 設 定"), this);
    QFont big = Label6->font();
    big.setPointSizeF(big.pointSizeF() + 5);
    big.setBold(true);
    Label6->setFont(big);
    Label6->setAlignment(Qt::AlignCenter);
    layout->addWidget(Label6);

    SSTab1 = new QTabWidget(this);
    SSTab1->addTab(buildKindTab(), QStringLiteral("帳表の選定"));
    SSTab1->addTab(buildItemsTab(), QStringLiteral("印刷項目の選定"));
    SSTab1->addTab(buildFontTab(), QStringLiteral("フォント"));
    SSTab1->addTab(buildPaperTab(), QStringLiteral("用 紙"));
    SSTab1->addTab(buildTitleTab(), QStringLiteral("ヘッダー・タイトル"));
    connect(SSTab1, &QTabWidget::currentChanged, this, &PrintSettingsDialog::SSTab1_Click);
    layout->addWidget(SSTab1, 1);

    auto* buttons = new QHBoxLayout;
    Command4 = platform::PlainButton(QStringLiteral("Ｏ　Ｋ"), this);
    Command3 = platform::PlainButton(QStringLiteral("キャンセル"), this);
    Command6 = platform::PlainButton(QStringLiteral("ヘルプ"), this);
    QPushButton* status = platform::PlainButton(QStringLiteral("印刷設定状況確認"), this);
    (sub ? Command9 : Command7) = status;
    for (QPushButton* b : {Command4, Command3, Command6, status})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(Command4, &QPushButton::clicked, this, &PrintSettingsDialog::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &PrintSettingsDialog::Command3_Click);
    connect(Command6, &QPushButton::clicked, this, &PrintSettingsDialog::Command6_Click);
    connect(status, &QPushButton::clicked, this, &PrintSettingsDialog::StatusButton_Click);
    resize(640, 500);
}

QWidget* PrintSettingsDialog::buildKindTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    Frame3 = new QGroupBox(QStringLiteral("作成する帳表を選択する"), tab);
    auto* options = new QGridLayout(Frame3);
    const bool sub = side_ == ReportSide::Sub;
    const QStringList texts{
        sub ? QStringLiteral("　種目サブ明細一覧表") : QStringLiteral("　種目明細一覧表"),
        QStringLiteral("　ＣＤケース背面用明細リスト"), QStringLiteral("　トレーカード（151×118mm）"),
        QStringLiteral("　ブックレット表（120×120mm）"), QStringLiteral("　ブックレット裏（120×120mm）")};
    for (int i = 0; i < static_cast<int>(Option3.size()); ++i) {
        if (i == KindBookletBack - 1 && !sub)
            continue; // the tracks are the sub records
        KindPictures[i] = new QLabel(Frame3);
        KindPictures[i]->setPixmap(KindPicture(static_cast<std::int16_t>(i + 1)));
        Option3[i] = new QRadioButton(texts[i], Frame3);
        options->addWidget(KindPictures[i], i, 0);
        options->addWidget(Option3[i], i, 1);
        connect(Option3[i], &QRadioButton::clicked, this, [this, i] { Option3_Click(i); });
    }
    options->setColumnStretch(1, 1);
    layout->addWidget(Frame3);
    Label12 =
        Note(QStringLiteral("出力するプリンターのドライバーによっては、印刷設定でエラーになったり、設定が無視される"
                            "ことがことがあります。　事前にプリンターのプロバティで、「フチなし印刷」のチェックを"
                            "はずしたり・用紙サイズ等を設定しておくことをお勧めします。"),
             tab);
    layout->addWidget(Label12);
    layout->addStretch();
    return tab;
}

QWidget* PrintSettingsDialog::buildItemsTab() {
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);
    Label1 = new QLabel(QStringLiteral("印刷する項目の選択"), tab);
    Label2 = new QLabel(QStringLiteral("印刷可能な項目"), tab);
    Label3 = new QLabel(QStringLiteral("印刷する項目"), tab);
    List1 = new QListWidget(tab);
    QListWidget* chosen = new QListWidget(tab);
    (side_ == ReportSide::Main ? List2 : List3) = chosen;
    Command1 = platform::PlainButton(QStringLiteral("選択　＞"), tab);
    Command2 = platform::PlainButton(QStringLiteral("＜　削除"), tab);
    Command5 = platform::PlainButton(QStringLiteral("全て選択　≫"), tab);
    connect(Command1, &QPushButton::clicked, this, &PrintSettingsDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PrintSettingsDialog::Command2_Click);
    connect(Command5, &QPushButton::clicked, this, &PrintSettingsDialog::Command5_Click);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton* b : {Command1, Command2, Command5})
        middle->addWidget(b);
    middle->addStretch();
    grid->addWidget(Label1, 0, 0, 1, 3);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Label3, 1, 2);
    grid->addWidget(List1, 2, 0);
    grid->addLayout(middle, 2, 1);
    grid->addWidget(chosen, 2, 2);
    Label7 = Note(QStringLiteral("ＣＤケース背面用リストは、印刷できる項目が２項目(文字数が少なければ３項目)程度となり"
                                 "ます。"),
                  tab);
    grid->addWidget(Label7, 3, 0, 1, 3);
    return tab;
}

QWidget* PrintSettingsDialog::buildFontTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    Label8 = Note(QStringLiteral("ＣＤケース背面用リストのフォント・サイズは ”８” に固定されます。"), tab);
    layout->addWidget(Label8);
    layout->addStretch();
    return tab;
}

QWidget* PrintSettingsDialog::buildPaperTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    auto* row = new QHBoxLayout;
    Frame1 = new QGroupBox(QStringLiteral("用 紙"), tab);
    auto* paper = new QGridLayout(Frame1);
    PaperLabel = new QLabel(QStringLiteral("サイズ"), Frame1);
    Combo2 = new QComboBox(Frame1);
    Combo2->setEditable(true);
    Text2 = new QLineEdit(Frame1);
    paper->addWidget(PaperLabel, 0, 0);
    paper->addWidget(Combo2, 0, 1);
    paper->addWidget(new QLabel(QStringLiteral("左余白(mm)"), Frame1), 1, 0);
    paper->addWidget(Text2, 1, 1);
    row->addWidget(Frame1);

    Frame2 = new QGroupBox(QStringLiteral("印刷の向き"), tab);
    auto* turn = new QGridLayout(Frame2);
    Option1 = new QRadioButton(QStringLiteral("縦"), Frame2);
    Option2 = new QRadioButton(QStringLiteral("横"), Frame2);
    Image1 = new QLabel(Frame2);
    Image1->setPixmap(PagePicture(false));
    Image2 = new QLabel(Frame2);
    Image2->setPixmap(PagePicture(true));
    turn->addWidget(Option1, 0, 0);
    turn->addWidget(Option2, 1, 0);
    turn->addWidget(Image1, 0, 1, 2, 1);
    turn->addWidget(Image2, 0, 1, 2, 1);
    connect(Option1, &QRadioButton::clicked, this, &PrintSettingsDialog::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &PrintSettingsDialog::Option2_Click);
    row->addWidget(Frame2);
    layout->addLayout(row);
    Label10 = Note(QStringLiteral("ＣＤケース背面用リストは、用紙が印刷領域(137x117)に固定されます。"), tab);
    layout->addWidget(Label10);
    layout->addStretch();
    return tab;
}

QWidget* PrintSettingsDialog::buildTitleTab() {
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);
    Label4 = new QLabel(QStringLiteral("ヘッダー・タイトル"), tab);
    Text1 = new QLineEdit(tab);
    Label5 = new QLabel(QStringLiteral("(入力ない場合は種目名とする)"), tab);
    grid->addWidget(Label4, 0, 0);
    grid->addWidget(Text1, 1, 0);
    grid->addWidget(Label5, 2, 0);
    if (side_ == ReportSide::Sub) {
        Label13 = new QLabel(QStringLiteral("ヘッダー・タイトル．２"), tab);
        Text3 = new QLineEdit(tab);
        Label14 = new QLabel(QStringLiteral("(入力ない場合は項目２のデータとする)"), tab);
        Label15 = new QLabel(QStringLiteral("メイン明細データ"), tab);
        Label16 = new QLabel(QStringLiteral("←選択"), tab);
        List2 = new QListWidget(tab);
        Command7 = platform::PlainButton(QStringLiteral("挿入 ≫"), tab);
        Command8 = platform::PlainButton(QStringLiteral("挿入 ≫"), tab);
        connect(Command7, &QPushButton::clicked, this, [this] { InsertTitle_Click(Text1); });
        connect(Command8, &QPushButton::clicked, this, [this] { InsertTitle_Click(Text3); });
        for (std::size_t i = 0; i < Line.size(); ++i) {
            Line[i] = new QFrame(tab);
            Line[i]->setFrameShape(i == 2 ? QFrame::VLine : QFrame::HLine);
            Line[i]->setFrameShadow(QFrame::Sunken);
        }
        // Titles on the left, the main record's values on the right, pointed at by the insert buttons.
        grid->addWidget(Command7, 1, 1);
        grid->addWidget(Line[0], 3, 0, 1, 2);
        grid->addWidget(Label13, 4, 0);
        grid->addWidget(Text3, 5, 0);
        grid->addWidget(Command8, 5, 1);
        grid->addWidget(Label14, 6, 0);
        grid->addWidget(Line[1], 7, 0, 1, 2);
        grid->addWidget(Line[2], 0, 2, 8, 1);
        grid->addWidget(Label15, 0, 3);
        grid->addWidget(List2, 1, 3, 7, 1);
        grid->addWidget(Label16, 1, 4, Qt::AlignTop);
        grid->addWidget(Line[3], 8, 0, 1, 5);
        secondTitle_ = {Label13, Text3, Label14, Label15, Label16, List2, Command7, Command8};
        secondTitle_.insert(secondTitle_.end(), Line.begin(), Line.end());
    }
    grid->setRowStretch(9, 1);
    return tab;
}

QStringList PrintSettingsDialog::fieldNames() const {
    return FieldsOf(state_.config[state_.CurrentSection], side_).names;
}

void PrintSettingsDialog::load() {
    const QSignalBlocker quiet(SSTab1);
    List1->addItems(fieldNames());
    Combo2->addItems({QStringLiteral("A5"), QStringLiteral("A4"), QStringLiteral("B5")});
    Combo2->setCurrentIndex(1);
    SSTab1->setCurrentIndex(0);
    PrintSettings& s = settings();
    s.reportKind = PrintSettings::KindNone;
    Text2->setText(QStringLiteral("10"));
    s.leftMargin = 10;
    Option1->setChecked(true);
    Image1->show();
    Image2->hide();
    for (QLabel* note : {Label7, Label8, Label10})
        note->hide();
    if (side_ == ReportSide::Sub) {
        showSecondTitle(false);
        platform::RecordList* main = owner_.mainRows;
        if (main && main->rowCount() > 0) {
            main->select(1);
            const int fields = FieldsOf(state_.config[state_.CurrentSection], ReportSide::Main).names.size();
            for (int f = 0; f < fields; ++f)
                List2->addItem(main->cell(1, f).trimmed());
        }
    }
}

void PrintSettingsDialog::showSecondTitle(bool shown) {
    for (QWidget* w : secondTitle_)
        w->setVisible(shown);
}

void PrintSettingsDialog::Option3_Click(int index) {
    if (index < 0 || index >= static_cast<int>(Option3.size()) || !Option3[index])
        return;
    const auto kind = static_cast<std::int16_t>(index + 1);
    Option3[index]->setChecked(true);
    PrintSettings& s = settings();
    s.reportKind = kind;
    const bool backList = IsBackList(s);
    Label7->setVisible(backList);
    Label8->setVisible(backList);
    Label10->setVisible(kind == PrintSettings::KindCdCase);
    // The A5 insert has its paper; the other inserts are printed at their size on the chosen paper, turned to
    // fit it.
    Combo2->setVisible(kind != PrintSettings::KindCdCase);
    PaperLabel->setVisible(kind != PrintSettings::KindCdCase);
    Option1->setVisible(kind == PrintSettings::KindItemList);
    Option2->setVisible(kind == PrintSettings::KindItemList);
    Frame2->setVisible(!IsCaseInsert(s)); // their page is turned for them
    if (side_ == ReportSide::Sub) {
        const bool insert = kind != PrintSettings::KindItemList;
        showSecondTitle(insert);
        Text1->clear();
        if (insert) {
            Text3->clear();
            Label4->setText(QStringLiteral("ヘッダー・タイトル．１"));
            Label5->setText(QStringLiteral("(入力ない場合は項目１のデータとする)"));
        } else {
            Label4->setText(QStringLiteral("ヘッダー・タイトル"));
            Label5->setText(QStringLiteral("(入力ない場合は種目名とする)"));
        }
    }
    SSTab1->setCurrentIndex(1);
}

void PrintSettingsDialog::Option1_Click() {
    Option1->setChecked(true);
    Image1->show();
    Image2->hide();
}

void PrintSettingsDialog::Option2_Click() {
    Option2->setChecked(true);
    Image1->hide();
    Image2->show();
}

void PrintSettingsDialog::Command1_Click() {
    QListWidgetItem* item = List1->currentItem();
    if (!item || !item->isSelected())
        return;
    chosenList()->addItem(List1->takeItem(List1->row(item))); // the item moves, with its text
}

void PrintSettingsDialog::Command2_Click() {
    QListWidget* chosen = chosenList();
    QListWidgetItem* item = chosen->currentItem();
    if (!item || !item->isSelected())
        return;
    List1->addItem(chosen->takeItem(chosen->row(item))); // back at the end, not at its old place
}

void PrintSettingsDialog::Command5_Click() {
    while (List1->count() > 0)
        chosenList()->addItem(List1->takeItem(0));
}

void PrintSettingsDialog::SSTab1_Click(int tab) {
    if (switchingTab_)
        return;
    if (tab != 0 && settings().reportKind == PrintSettings::KindNone)
        ui_.message(NoKindText, Icon::Critical, Buttons::Ok, QStringLiteral("作成帳表選択洩れ"), this);
    if (tab != 2 || IsBackList(settings()))
        return;
    chooseFont();
    switchingTab_ = true;
    SSTab1->setCurrentIndex(side_ == ReportSide::Main ? 1 : 0);
    switchingTab_ = false;
}

void PrintSettingsDialog::chooseFont() {
    const QFont preset = Combo2->font();
    const auto chosen = ui_.chooseFont({preset.family(), preset.pointSizeF(), preset.bold(), preset.italic()}, this);
    platform::PrinterSurface* p = chosen ? printer() : nullptr;
    if (!p)
        return;
    p->setFontName(chosen->name);
    p->setFontSize(chosen->size);
    p->setFontBold(chosen->bold);
    p->setFontItalic(chosen->italic);
}

platform::PrinterSurface* PrintSettingsDialog::printer() {
    return ui_.printer(NewPdfPath(state_.dataFolder, QStringLiteral("印刷")));
}

int PrintSettingsDialog::LenMbcs(const QString& text) {
    return platform::LenMbcs(text);
}

bool PrintSettingsDialog::PrinterSet() {
    PrintSettings& s = settings();
    platform::PrinterSurface* p = printer();
    if (!p) {
        ui_.message(QStringLiteral("プリンターが見つかりません。"), Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return false;
    }
    const bool cd = s.reportKind == PrintSettings::KindCdCase;
    // The back list is measured at its own size; the printer keeps the font the user chose for the item lists.
    const SavedFont chosenFont(*p);
    bool accepted = p->setPaper(cd ? platform::PaperA5 : PaperFromText(Combo2->currentText()));
    if (IsBackList(s)) {
        p->setFontSize(CdCaseFontSize);
        p->setFontBold(false);
    }
    if (IsCaseInsert(s))
        SetFittingOrientation(s.reportKind, *p);
    else
        accepted = accepted && p->setOrientation(Option1->isChecked() ? platform::PageOrientation::Portrait
                                                                      : platform::PageOrientation::Landscape);
    if (!accepted) {
        ui_.message(RefusedText, Icon::None, Buttons::Ok, QStringLiteral("注意メッセージ"), this);
        return false;
    }
    s.leftMargin = MarginFromText(Text2->text());

    const bool sub = side_ == ReportSide::Sub;
    // The sub report's inserts are titled with the disc's own title and artist unless the user typed others.
    const bool disc = s.reportKind != PrintSettings::KindItemList;
    if (!Text1->text().isEmpty())
        s.title1 = Text1->text().trimmed();
    else if (sub && disc)
        s.title1 = List2->count() > 0 ? List2->item(0)->text().trimmed() : QString();
    else
        s.title1 = owner_.heading.trimmed();
    if (sub) {
        if (!Text3->text().isEmpty())
            s.title2 = Text3->text().trimmed();
        else if (disc && List2->count() > 1)
            s.title2 = List2->item(1)->text().trimmed();
        else
            s.title2.clear();
    }

    SetLineMetrics(s, *p);
    const QStringList names = fieldNames();
    QListWidget* chosen = chosenList();
    s.itemCount = static_cast<std::int16_t>(std::min(chosen->count(), PrintSettings::MaxColumns));
    std::vector<int> fields;
    for (int i = 0; i < s.itemCount; ++i) {
        s.columnField[i] = static_cast<std::int16_t>(FieldOfItem(chosen->item(i)->text(), names));
        fields.push_back(s.columnField[i]);
    }
    const std::vector<ColumnMeasure> measured = MeasureColumns(*p, fields, names, *owner_.rows);
    if (owner_.rows->rowCount() > 0)
        owner_.rows->select(owner_.rows->rowCount());
    SetPageMetrics(s, *p);
    for (int i = 0; i < s.itemCount; ++i) {
        s.columnWidth[i] = static_cast<std::int16_t>(measured[i].width + 4);
        s.columnBytes[i] = static_cast<std::int16_t>(measured[i].bytes);
    }
    requiredWidth_ = RequiredWidth(s);

    s.paper = p->paper();
    s.orientation = p->orientation() == platform::PageOrientation::Landscape ? 2 : 1;
    s.fontName = p->fontName();
    s.fontSize = p->fontSize();
    s.fontBold = p->fontBold();
    s.fontItalic = p->fontItalic();
    return true;
}

void PrintSettingsDialog::Command4_Click() {
    PrintSettings& s = settings();
    if (s.reportKind == PrintSettings::KindNone) {
        ui_.message(NoKindText, Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    if (chosenList()->count() == 0) {
        ui_.message(NoItemsText, Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    if (owner_.status)
        owner_.status->setPanelText(3, QStringLiteral("設定作業中"));
    if (owner_.screen)
        owner_.screen->repaint();
    // A printer that refused the set-up leaves nothing measured: the report stays as it was and the screen open.
    if (!PrinterSet())
        return;
    // A booklet shortens what is too wide for it; the lists must fit their width.
    const bool booklet = s.reportKind == KindBookletFront || s.reportKind == KindBookletBack;
    if (!booklet && s.usableWidth < requiredWidth_) {
        ui_.message(TooWideText(s.reportKind), Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    s.configuredSection = state_.CurrentSection;
    if (owner_.status)
        owner_.status->setPanelText(3, QString());
    accept();
}

void PrintSettingsDialog::Command3_Click() {
    settings().itemCount = 0;
    reject();
}

void PrintSettingsDialog::Command6_Click() {
    ui_.showHelp(this);
}

void PrintSettingsDialog::StatusButton_Click() {
    PrintSettings& s = settings();
    if (s.reportKind == PrintSettings::KindNone) {
        ui_.message(NoKindText, Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    PrinterSet();
    platform::PrinterSurface* p = printer();
    if (!p)
        return;
    // Measured in the report's font (8 pt for the insert), then the printer's own font is back.
    const SavedFont chosenFont(*p);
    p->setFontSize(s.fontSize);
    p->setFontBold(s.fontBold);
    const QStringList names = fieldNames();
    std::vector<int> all;
    for (int k = 0; k < names.size(); ++k)
        all.push_back(k);
    std::vector<int> widths;
    for (const ColumnMeasure& m : MeasureColumns(*p, all, names, *owner_.rows))
        widths.push_back(m.width + 4);
    if (owner_.rows->rowCount() > 0)
        owner_.rows->select(owner_.rows->rowCount());
    SetPageMetrics(s, *p);
    QStringList chosen;
    for (int i = 0; i < chosenList()->count(); ++i)
        chosen << chosenList()->item(i)->text();
    PrintStatusDialog screen(state_, ui_, side_, MakePrintStatus(s, names, widths, chosen, p->fontSize()), this);
    ui_.runModal(screen);
}

void PrintSettingsDialog::InsertTitle_Click(QLineEdit* into) {
    QListWidgetItem* item = List2 ? List2->currentItem() : nullptr;
    if (item && item->isSelected())
        into->setText(item->text());
}

std::unique_ptr<PrintSettingsDialog> MakeMainPrintSettings(store::AppState& state, platform::Ui& ui,
                                                           const ReportScreen& owner) {
    return std::make_unique<PrintSettingsDialog>(state, ui, ReportSide::Main, owner, owner.screen);
}

std::unique_ptr<PrintSettingsDialog> MakeSubPrintSettings(store::AppState& state, platform::Ui& ui,
                                                          const ReportScreen& owner) {
    return std::make_unique<PrintSettingsDialog>(state, ui, ReportSide::Sub, owner, owner.screen);
}

} // namespace quelm::print
