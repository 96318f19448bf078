// Migration screen: moves one category of the inventory database into the current category by dragged field names.
#include "exchange/MigrationScreen.h"

#include "exchange/InventoryFile.h"
#include "platform/DialogKeys.h"
#include "platform/DragDrop.h"
#include "platform/Ui.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quelm::exchange {

using platform::Answer;
using platform::Buttons;
using platform::DragSource;
using platform::Icon;

namespace {

const QString NotFoundText = QStringLiteral("在庫管理Dravnのデータベースが見つかりません");
const QString NotFoundTitle = QStringLiteral("EROOR");
const QString ErrorTitle = QStringLiteral("ERROR");
// The progress windows: reading an Access file takes its reader program a while, the run a while per thousand rows.
const QString ReadingText = QStringLiteral("データベースを読んでいます…");
const QString MigratingText = QStringLiteral("データを移行しています…");
const QString ChooseCategoryText = QStringLiteral("種目名を選択して下さい");
// Three sentences with the blanks that space them on the screen: six ASCII, then four and two ideographic.
const QString Label17Text = QStringLiteral("指定した種目のデータ全て（メイン明細、サブ明細）を移行します。"
                                           "      "
                                           "数値・日付型の項目には同じデータ型のみ移行できます。"
                                           "\u3000\u3000\u3000\u3000"
                                           "TEXT型の項目に移行したデータは、文字列に変換されます。"
                                           "\u3000\u3000");

} // namespace

MigrationScreen::MigrationScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form5ip5a"));
    buildControls();
    Form_Load();
}

MigrationScreen::~MigrationScreen() = default;

void MigrationScreen::buildControls() {
    Label1 = new QLabel(QStringLiteral("在庫管理Dravnよりデータ移行"), this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    Label2 =
        new QLabel(QStringLiteral("在庫管理Dravnのデータベース(Dravn.mdb)があるフォルダを指定してください。"), this);
    Text1 = new QLineEdit(this);
    Command1 = platform::PlainButton(QStringLiteral("参照"), this);
    Label3 = new QLabel(QStringLiteral("データ移行する在庫管理Dravnの種目名を指定してください。"), this);
    Combo1 = new QComboBox(this);
    Combo1->setMinimumContentsLength(20);
    Text2 = new QLineEdit(this);
    Text2->setReadOnly(true);
    Label4 = new QLabel(this);
    Label5 = new QLabel(
        QStringLiteral("在庫管理Dravnのデータ項目を、CD管理Quelmのデータ項目へドラッグ＆ドロップで移してください。"),
        this);
    Label8 = new QLabel(QStringLiteral("（メイン明細）"), this);
    Label9 = new QLabel(QStringLiteral("（サブ明細）"), this);
    Label10 = new QLabel(this);
    Label11 = new QLabel(QStringLiteral("（メイン明細）"), this);
    Label12 = new QLabel(QStringLiteral("（サブ明細）"), this);
    Label13 = new QLabel(this);
    Label14 = new QLabel(QStringLiteral("←→"), this);
    Label15 = new QLabel(QStringLiteral("Drag & Drop"), this);
    Label16 = new QLabel(
        QStringLiteral("サブ明細からメイン明細への項目移し替えは出来ません（その逆の移し替えは可能です）"), this);
    Label17 = new QLabel(Label17Text, this);
    Label17->setWordWrap(true);
    Command2 = platform::PlainButton(QStringLiteral("実行"), this);
    Command3 = platform::PlainButton(QStringLiteral("ヘルプ"), this);
    List1 = new platform::DragList(this);
    List2 = new platform::DragList(this);

    // Catalogue slots on the left (main fields, then sub fields), the inventory lists on the right.
    auto* slotGrid = new QGridLayout;
    slotGrid->addWidget(Label10, 0, 0, 1, 4);
    slotGrid->addWidget(Label8, 1, 0, 1, 2);
    slotGrid->addWidget(Label9, 1, 2, 1, 2);
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        Label6[i] = new QLabel(this);
        Text3[i] = new platform::DropSlot(i, this);
        slotGrid->addWidget(Label6[i], i + 2, 0);
        slotGrid->addWidget(Text3[i], i + 2, 1);
        connect(Text3[i], &platform::DropSlot::dragDropped, this,
                [this, i](const DragSource& s) { Text3_DragDrop(i, s); });
    }
    for (int j = 0; j < store::SubFieldSlots; ++j) {
        Label7[j] = new QLabel(this);
        Text4[j] = new platform::DropSlot(j, this);
        slotGrid->addWidget(Label7[j], j + 2, 2);
        slotGrid->addWidget(Text4[j], j + 2, 3);
        connect(Text4[j], &platform::DropSlot::dragDropped, this,
                [this, j](const DragSource& s) { Text4_DragDrop(j, s); });
    }
    // The slots keep their rows' height; what is left goes below them.
    slotGrid->setRowStretch(store::MainFieldSlots + 2, 1);
    slotGrid->setColumnStretch(1, 1);
    slotGrid->setColumnStretch(3, 1);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(Label14, 0, Qt::AlignHCenter);
    arrows->addWidget(Label15, 0, Qt::AlignHCenter);
    arrows->addStretch();
    auto* lists = new QGridLayout;
    lists->addWidget(Label13, 0, 0);
    lists->addWidget(Label11, 1, 0);
    lists->addWidget(List1, 2, 0);
    lists->addWidget(Label12, 3, 0);
    lists->addWidget(List2, 4, 0);
    auto* mapping = new QHBoxLayout;
    mapping->addLayout(slotGrid, 3);
    mapping->addLayout(arrows);
    mapping->addLayout(lists, 1);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(Text1, 1);
    folderRow->addWidget(Command1);
    auto* categoryRow = new QHBoxLayout;
    categoryRow->addWidget(Combo1);
    categoryRow->addWidget(Text2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label17, 1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label4);
    layout->addWidget(Label2);
    layout->addLayout(folderRow);
    layout->addWidget(Label3);
    layout->addLayout(categoryRow);
    layout->addWidget(Label5);
    layout->addLayout(mapping, 1);
    layout->addWidget(Label16);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &MigrationScreen::Command1_Click);
    // A typed folder is looked up when the typing ends, not at every keystroke: a half-typed path would be refused.
    connect(Text1, &QLineEdit::editingFinished, this, [this] {
        if (Text1->text() != lookedUp_)
            Text1_Change();
    });
    connect(Combo1, &QComboBox::activated, this, &MigrationScreen::Combo1_Click);
    connect(Command2, &QPushButton::clicked, this, &MigrationScreen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &MigrationScreen::Command3_Click);
    connect(List1, &platform::DragList::dragDropped, this, &MigrationScreen::List1_DragDrop);
    connect(List2, &platform::DragList::dragDropped, this, &MigrationScreen::List2_DragDrop);
}

void MigrationScreen::Form_Load() {
    setWindowTitle(state_.caption(QStringLiteral("在庫管理Dravnよりデータ移行")));
    Label4->setText(state_.config[state_.CurrentSection].ShumokuName +
                    QStringLiteral("に在庫管理Dravnのデータを移行します。"));
    Label3->hide();
    Combo1->hide();
    Text2->hide();
    hideMapping();
}

void MigrationScreen::hideMapping() {
    category_.reset();
    board_.clear();
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, Label8, Label9, Label10, Label11, Label12, Label13,
                                                      Label14, Label15, Label16, Label17, List1, List2, Command2})
        w->hide();
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        Label6[i]->hide();
        Text3[i]->hide();
    }
    for (int j = 0; j < store::SubFieldSlots; ++j) {
        Label7[j]->hide();
        Text4[j]->hide();
    }
    showBoard();
}

void MigrationScreen::Command1_Click() {
    const auto chosen = ui_.chooseFolder(QStringLiteral("フォルダの選択"), this);
    if (!chosen || chosen->isEmpty())
        return;
    Text1->setText(*chosen);
    Text1_Change();
}

void MigrationScreen::Text1_Change() {
    lookedUp_ = Text1->text();
    // Another folder means another database: what was chosen from the last one no longer applies.
    hideMapping();
    Label3->hide();
    Combo1->hide();
    Text2->hide();
    if (Text1->text().isEmpty())
        return;
    QStringList names;
    try {
        const auto progress = showProgress(ReadingText);
        auto db = OpenInventoryFile(InventoryPath(Text1->text()));
        names = OfferedCategories(*db);
    } catch (const InventoryError& e) {
        // A file that is there but cannot be read says what is wrong with it on a line of its own.
        const QString path = InventoryPath(Text1->text());
        ui_.message(QFileInfo::exists(path) ? NotFoundText + QStringLiteral("\n詳細: ") + e.message() : NotFoundText,
                    Icon::Critical, Buttons::Ok, NotFoundTitle, this);
        const QSignalBlocker quiet(Text1);
        Text1->clear();
        lookedUp_.clear();
        return;
    }
    Combo1->clear();
    Combo1->addItems(names);
    Combo1->setPlaceholderText(ChooseCategoryText);
    Combo1->setCurrentIndex(-1);
    Combo1->setEnabled(true);
    Combo1->show();
    Text2->clear();
    Text2->show();
    Label3->show();
}

void MigrationScreen::Combo1_Click(int index) {
    if (index < 0 || index >= Combo1->count())
        return;
    const QString name = Combo1->itemText(index);
    Combo1->setCurrentIndex(index);
    hideMapping();
    Text2->setText(name);
    InventoryCategory chosen;
    try {
        const auto progress = showProgress(ReadingText);
        auto db = OpenInventoryFile(InventoryPath(lookedUp_));
        chosen = ReadInventoryCategory(*db, name);
    } catch (const InventoryError& e) {
        ui_.message(e.message(), Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    const store::ConfigSection& target = state_.config[state_.CurrentSection];
    Label10->setText(target.ShumokuName + QStringLiteral("(ＣＤ管理)"));
    Label13->setText(name + QStringLiteral("(在庫管理Dravn)"));
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, Label8, Label9, Label10, Label11, Label12, Label13,
                                                      Label14, Label15, Label16, Label17, List1, Command2})
        w->show();
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        Label6[i]->setText(target.FieldName[i + 1]);
        Label6[i]->show();
        Text3[i]->show();
    }
    for (int j = 0; j < store::SubFieldSlots; ++j) {
        Label7[j]->setText(target.SubFieldName[j + 1]);
        Label7[j]->show();
        Text4[j]->show();
    }
    List2->setVisible(chosen.hasSub);
    board_.reset(chosen);
    category_ = std::move(chosen);
    showBoard();
}

void MigrationScreen::showBoard() {
    const auto names = [](const std::vector<ListEntry>& entries) {
        QStringList n;
        for (const ListEntry& e : entries)
            n << e.name;
        return n;
    };
    List1->setItems(names(board_.list1()));
    List2->setItems(names(board_.list2()));
    for (int i = 0; i < store::MainFieldSlots; ++i)
        Text3[i]->setText(board_.mainSlots()[i].text);
    for (int j = 0; j < store::SubFieldSlots; ++j)
        Text4[j]->setText(board_.subSlots()[j].text);
}

std::optional<Spot> MigrationScreen::spotOf(const DragSource& source) const {
    if (source.isList(List1))
        return Spot{Place::List1, List1->firstSelectedRow()};
    if (source.isList(List2))
        return Spot{Place::List2, List2->firstSelectedRow()};
    if (source.isSlot()) {
        for (int i = 0; i < store::MainFieldSlots; ++i)
            if (source.slot == Text3[i])
                return Spot{Place::MainSlot, i};
        for (int j = 0; j < store::SubFieldSlots; ++j)
            if (source.slot == Text4[j])
                return Spot{Place::SubSlot, j};
    }
    return std::nullopt;
}

void MigrationScreen::dropOn(Spot target, const DragSource& source) {
    const auto from = spotOf(source);
    if (from && board_.drop(*from, target))
        showBoard();
}

void MigrationScreen::List1_DragDrop(const DragSource& source) {
    dropOn({Place::List1, 0}, source);
}

void MigrationScreen::List2_DragDrop(const DragSource& source) {
    dropOn({Place::List2, 0}, source);
}

void MigrationScreen::Text3_DragDrop(int index, const DragSource& source) {
    dropOn({Place::MainSlot, index}, source);
}

void MigrationScreen::Text4_DragDrop(int index, const DragSource& source) {
    dropOn({Place::SubSlot, index}, source);
}

void MigrationScreen::Command2_Click() {
    if (!category_)
        return;
    if (const auto mismatch = TypeMismatch(*category_, board_, state_.config[state_.CurrentSection])) {
        ui_.message(*mismatch, Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    if (ui_.message(QStringLiteral("データ移行を開始します、よろしいですか。"), Icon::None, Buttons::OkCancel,
                    QStringLiteral("作業開始の確認"), this) != Answer::Ok)
        return;
    MigrationResult result;
    {
        // Closed before any message, which must not open behind it.
        const auto progress = showProgress(MigratingText);
        try {
            auto source = OpenInventoryFile(InventoryPath(lookedUp_));
            result =
                Migrate(state_, *source, *category_, board_, [&](std::int64_t rows) { progress->report(rows, 0); });
        } catch (const InventoryError& e) {
            result.message = e.message();
        }
    }
    if (!result.ok) {
        // Nothing was written: the screen stays so the mapping can be mended.
        ui_.message(result.message, Icon::Critical, Buttons::Ok, QStringLiteral("Error"), this);
        return;
    }
    ui_.message(MigrationSummary(result.mainCount, result.subCount), Icon::Information, Buttons::Ok,
                QStringLiteral("作業結果"), this);
    accept();
}

std::unique_ptr<platform::ProgressWindow> MigrationScreen::showProgress(const QString& text) {
    auto progress = ui_.showProgress(text, windowTitle(), this);
    progress->report(0, 0);
    return progress;
}

void MigrationScreen::Command3_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::exchange
