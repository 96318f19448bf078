// Main record editor: adds, changes or deletes one main record of the current category.
#include "records/Form7.h"

#include "platform/Database.h"
#include "platform/MaskedDateBox.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"
#include "store/ListTables.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelm::records {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::TwipsRect;

namespace {

const QString ListToolTip = QStringLiteral("右クリックで、リスト・テーブル一覧を表示する。");
const QString DateMask = QStringLiteral("####/##/##");
constexpr int RowHeight = 420;
constexpr int FirstRowTop = 900;

bool IsMaskedElement(int i) {
    return i >= 10 && i <= 13;
}

} // namespace

Form7::Form7(store::AppState& state, platform::Ui& ui, QWidget* parent) : QDialog(parent), state_(state), ui_(ui) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(state_.caption(QStringLiteral("メイン明細更新処理")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildMenus();
    auto* body = new QWidget(this);
    body->setFixedSize(platform::TwipsToPixels(9600), platform::TwipsToPixels(FirstRowTop + 15 * RowHeight + 900));
    layout->addWidget(body);
    buildControls();
    me13->setEnabled(!QApplication::clipboard()->text().isEmpty());
}

Form7::~Form7() = default;

void Form7::buildMenus() {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    QMenu* mf1 = bar->addMenu(QStringLiteral("ファイル   "));
    mf15 = mf1->addAction(QStringLiteral("閉じる"));
    connect(mf15, &QAction::triggered, this, &Form7::Command2_Click);
    QMenu* me1 = bar->addMenu(QStringLiteral("編集     "));
    me11 = me1->addAction(QStringLiteral("切り取り"));
    me12 = me1->addAction(QStringLiteral("コピー"));
    me13 = me1->addAction(QStringLiteral("貼り付け"));
    connect(me11, &QAction::triggered, this, &Form7::me11_Click);
    connect(me12, &QAction::triggered, this, &Form7::me12_Click);
    connect(me13, &QAction::triggered, this, &Form7::me13_Click);
    mh1 = bar->addAction(QStringLiteral("ヘルプ"));
    connect(mh1, &QAction::triggered, this, [this] { ui_.showHelp(this); });

    LISTTBL = new QMenu(QStringLiteral("リスト・テーブル"), this);
    mList0 = LISTTBL->addAction(QStringLiteral("[リスト・テーブルを選択する]"));
    LISTTBL->addSeparator();
    for (int i = 0; i < store::ListSlotCount; ++i) {
        mList1[i] = LISTTBL->addAction(QString());
        connect(mList1[i], &QAction::triggered, this, [this, i] { mList1_Click(i); });
    }
}

void Form7::buildControls() {
    QWidget* body = layout()->itemAt(0)->widget();
    Label2 = new QLabel(body);
    QFont heading = Label2->font();
    heading.setPointSize(heading.pointSize() + 3);
    heading.setBold(true);
    Label2->setFont(heading);
    Label2->setGeometry(TwipsRect(240, 120, 4800, 420));
    Label3 = new QLabel(body);
    Label3->setGeometry(TwipsRect(5160, 120, 1800, 420));
    Label10 = new QLabel(QStringLiteral("登録ＮＯ"), body);
    Label10->setGeometry(TwipsRect(240, 540, 1800, 330));
    Label10->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text2 = new QLineEdit(body);
    Text2->setGeometry(TwipsRect(2160, 540, 1500, 330));
    Text2->setReadOnly(true);
    QPalette grey = Text2->palette();
    grey.setColor(QPalette::Base, platform::ColorFromWindowsRgb(14737632u));
    Text2->setPalette(grey);
    Label5 = new QLabel(QStringLiteral("データを残す"), body);
    Label5->setGeometry(TwipsRect(7800, 540, 1500, 330));

    for (int i = 0; i < store::MainFieldSlots; ++i) {
        const int y = FirstRowTop + i * RowHeight;
        Label1[i] = new QLabel(body);
        Label1[i]->setGeometry(TwipsRect(240, y, 1800, 330));
        Label1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QLineEdit* field = nullptr;
        if (IsMaskedElement(i)) {
            MaskEdBox1[i] = new platform::MaskedDateBox(body);
            connect(MaskEdBox1[i], &platform::MaskedDateBox::validationError, this,
                    [this, i](const QString& text) { MaskEdBox1_ValidationError(i, text); });
            field = MaskEdBox1[i];
        } else {
            Text1[i] = new QLineEdit(body);
            // The box's own menu would hide the pick lists of the right button.
            Text1[i]->setContextMenuPolicy(Qt::NoContextMenu);
            Text1[i]->installEventFilter(this);
            field = Text1[i];
        }
        field->setObjectName(QStringLiteral("field_%1").arg(i));
        field->setGeometry(TwipsRect(2160, y, 5400, 330));
        Check1[i] = new QCheckBox(body);
        Check1[i]->setGeometry(TwipsRect(8100, y, 330, 330));
        Label1[i]->hide();
        field->hide();
        Check1[i]->hide();
    }
    Combo1 = new QComboBox(body);
    Combo1->setEditable(true);
    Combo1->setGeometry(TwipsRect(2160, 0, 5400, 330));
    Combo1->hide();
    connect(Combo1, qOverload<int>(&QComboBox::activated), this, &Form7::Combo1_Click);

    const int buttonsTop = FirstRowTop + 15 * RowHeight + 240;
    Command1 = new QPushButton(body);
    Command1->setGeometry(TwipsRect(2160, buttonsTop, 2400, 450));
    Command1->setDefault(true);
    Command2 = new QPushButton(body);
    Command2->setGeometry(TwipsRect(5160, buttonsTop, 2400, 450));
    connect(Command1, &QPushButton::clicked, this, &Form7::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form7::Command2_Click);
}

QLineEdit* Form7::box(int i) const {
    return IsMaskedElement(i) ? MaskEdBox1[i] : Text1[i];
}

QString Form7::boxText(int i) const {
    return IsMaskedElement(i) ? MaskEdBox1[i]->text() : Text1[i]->text();
}

bool Form7::isDateField(int i) const {
    return MainFieldType(section_, i + 1) == store::TypeDate;
}

void Form7::setUpCommon(const store::ConfigSection& section, const std::vector<QString>& captions) {
    section_ = section;
    fields_ = std::clamp<int>(section.FieldCount, 0, store::MainFieldSlots);
    for (int i = 0; i < fields_; ++i) {
        Label1[i]->setText(i < static_cast<int>(captions.size()) ? captions[i] : QString());
        Label1[i]->show();
        box(i)->show();
        const QString type = MainFieldType(section_, i + 1);
        if (type == store::TypeText)
            box(i)->setToolTip(ListToolTip);
        else
            box(i)->setToolTip(section_.FieldName[i + 1]);
        if (IsMaskedElement(i))
            MaskEdBox1[i]->setMask(type == store::TypeDate ? DateMask : QString());
    }
}

void Form7::setValues(const std::vector<QString>& values) {
    for (int i = 0; i < fields_ && i < static_cast<int>(values.size()); ++i) {
        if (IsMaskedElement(i)) {
            // A stored date with a time shows as "yyyy/MM/dd HH:mm:ss"; the box holds its date, rather than
            // staying untouched and turning the value into Null on saving.
            if (!values[i].isEmpty() && !MaskEdBox1[i]->setText(values[i]) && isDateField(i))
                MaskEdBox1[i]->setText(values[i].left(10));
        } else {
            Text1[i]->setText(values[i]);
        }
    }
}

void Form7::setModeTexts(const QString& key, const QString& ok, const QString& close, const QString& heading) {
    Label3->setText(key);
    Command1->setText(ok);
    Command2->setText(close);
    Label2->setText(heading);
}

void Form7::setUpNew(const store::ConfigSection& section, const std::vector<QString>& captions,
                     std::int32_t nextRegNo) {
    setUpCommon(section, captions);
    for (int i = 0; i < fields_; ++i)
        Check1[i]->show();
    Text2->setText(QString::number(nextRegNo));
    Label5->show();
    setModeTexts(QStringLiteral("新規作成"), QStringLiteral("新規作成　ＯＫ"), QStringLiteral("終　了"),
                 section.ShumokuName + QStringLiteral(" (明細)"));
}

void Form7::setUpChange(const store::ConfigSection& section, const std::vector<QString>& captions,
                        const std::vector<QString>& values, const QString& regNo) {
    setUpCommon(section, captions);
    setValues(values);
    Text2->setText(regNo);
    Label5->hide();
    // The change heading has no blank before (明細).
    setModeTexts(QStringLiteral("変更"), QStringLiteral("変更　ＯＫ"), QStringLiteral("キャンセル"),
                 section.ShumokuName + QStringLiteral("(明細)"));
}

void Form7::setUpDelete(const store::ConfigSection& section, const std::vector<QString>& captions,
                        const std::vector<QString>& values, const QString& regNo) {
    setUpCommon(section, captions);
    for (int i = 0; i < fields_; ++i)
        box(i)->setToolTip(QString()); // nothing is typed when deleting: no hints, no pick lists
    setValues(values);
    Text2->setText(regNo);
    Text2->setEnabled(false);
    Label5->hide();
    setModeTexts(QStringLiteral("削除"), QStringLiteral("削除　ＯＫ"), QStringLiteral("キャンセル"),
                 section.ShumokuName + QStringLiteral(" (明細)"));
}

std::vector<FieldInput> Form7::inputs() const {
    std::vector<FieldInput> in;
    for (int i = 0; i < fields_; ++i) {
        if (IsMaskedElement(i))
            in.push_back({MaskEdBox1[i]->text(), MaskEdBox1[i]->clipText()});
        else
            in.push_back({Text1[i]->text(), Text1[i]->text()});
    }
    return in;
}

bool Form7::textsFit() {
    if (FindTooLongText(section_, inputs())) {
        ui_.message(TooLongTextMessage, Icon::Critical, Buttons::Ok, TooLongTextTitle, this);
        return false;
    }
    return true;
}

void Form7::Command1_Click() {
    const QString mode = Label3->text();
    if (mode == QStringLiteral("新規作成"))
        addRecord();
    else if (mode == QStringLiteral("変更"))
        changeRecord();
    else if (mode == QStringLiteral("削除"))
        deleteRecord();
}

void Form7::addRecord() {
    if (!textsFit())
        return;
    const EditResult result = AddMainRecord(state_, inputs());
    for (int i : result.blankedFields)
        Text1[i]->setText(EmptyTextValue);
    if (result.status == EditResult::Status::EngineError) {
        // Nothing was stored: the typed record stays in the boxes for another try.
        platform::ShowEngineError(ui_, result.message, this);
        return;
    }
    if (result.status == EditResult::Status::TypeError)
        ui_.message(result.message, Icon::Critical, Buttons::Ok, TypeErrorTitle, this);
    // The next entry is prepared also after a type error: unticked boxes are emptied.
    prepareNextEntry();
    Text2->setText(QString::number(state_.config[state_.CurrentSection].RegNo + 1));
}

void Form7::prepareNextEntry() {
    for (int i = 0; i < fields_; ++i) {
        if (Check1[i]->isChecked())
            continue;
        if (IsMaskedElement(i)) {
            MaskEdBox1[i]->setMask(QString());
            MaskEdBox1[i]->setText(QString());
            if (isDateField(i))
                MaskEdBox1[i]->setMask(DateMask);
            MaskEdBox1[i]->setToolTip(section_.FieldName[i + 1]);
        } else {
            Text1[i]->setToolTip(ListToolTip);
            Text1[i]->clear();
        }
    }
}

void Form7::changeRecord() {
    if (!textsFit())
        return;
    const EditResult result = UpdateMainRecord(state_, Text2->text().toInt(), inputs());
    for (int i : result.blankedFields)
        Text1[i]->setText(EmptyTextValue);
    if (result.status == EditResult::Status::TypeError)
        ui_.message(result.message, Icon::Critical, Buttons::Ok, TypeErrorTitle, this);
    else if (result.status == EditResult::Status::EngineError)
        platform::ShowEngineError(ui_, result.message, this);
    accept();
}

void Form7::deleteRecord() {
    if (ui_.message(QStringLiteral("このレコードを削除しますか？"), Icon::None, Buttons::OkCancel,
                    QStringLiteral("削除の確認"), this) != Answer::Ok) {
        accept();
        return;
    }
    // Counted again now: sub records added since the list showed this record must not be left behind.
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        state_.SubRecordCount = CountSubRecords(*db, section_, Text2->text().toLongLong()).count;
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        accept();
        return;
    }
    if (state_.SubRecordCount > 0) {
        const QString question = QStringLiteral("サブ明細が") + QString::number(state_.SubRecordCount) +
                                 QStringLiteral("件あります。") + QStringLiteral("\r\n") +
                                 QStringLiteral("全てのサブ明細レコードを削除しても宜しいですか？");
        if (ui_.message(question, Icon::None, Buttons::OkCancel, QStringLiteral("サブ明細レコード削除の確認"), this) !=
            Answer::Ok) {
            accept();
            return;
        }
    }
    const EditResult result = DeleteMainRecord(state_, Text2->text().toInt(), true);
    if (result.status == EditResult::Status::EngineError)
        platform::ShowEngineError(ui_, result.message, this);
    accept();
}

void Form7::Command2_Click() {
    reject();
}

void Form7::copySelection(bool cut) {
    bool cleared = false;
    for (int i = 0; i < fields_; ++i) {
        QLineEdit* b = box(i);
        if (!b->hasSelectedText())
            continue;
        if (!cleared) {
            QApplication::clipboard()->clear();
            cleared = true;
        }
        QApplication::clipboard()->setText(b->selectedText());
        if (cut)
            b->del();
    }
    if (cleared)
        me13->setEnabled(true);
}

void Form7::me11_Click() {
    copySelection(true);
}
void Form7::me12_Click() {
    copySelection(false);
}

void Form7::me13_Click() {
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    if (auto* focused = qobject_cast<QLineEdit*>(QApplication::focusWidget()); focused && isAncestorOf(focused))
        focused->insert(text);
}

void Form7::MaskEdBox1_ValidationError(int index, const QString& rejectedText) {
    if (rejectedText == UntouchedDate)
        return;
    ui_.message(TypeErrorMessage(section_.FieldName[index + 1], rejectedText), Icon::Critical, Buttons::Ok,
                TypeErrorTitle, this);
}

void Form7::Text1_MouseDown(int index, Qt::MouseButton button, const QPoint& globalPos) {
    target_ = index;
    if (button != Qt::RightButton)
        return;
    MenuList();
    LISTTBL->popup(globalPos);
}

void Form7::MenuList() {
    for (int i = 0; i < store::ListSlotCount; ++i) {
        const QString name = store::ListName(state_.config, i);
        if (!name.isEmpty()) {
            mList1[i]->setText(name);
            mList1[i]->setEnabled(true);
        } else {
            mList1[i]->setEnabled(false);
        }
    }
}

void Form7::mList1_Click(int index) {
    if (!store::ListName(state_.config, index).isEmpty())
        SubList(index);
}

void Form7::SubList(int slot) {
    QStringList entries;
    try {
        entries = store::ListEntries(state_, slot);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    Combo1->clear();
    Combo1->addItems(entries);
    Combo1->setEnabled(true);
    Combo1->setEditText(QStringLiteral("リストを選択して下さい"));
    if (target_ >= 0 && box(target_))
        Combo1->move(Combo1->x(), box(target_)->y());
    Combo1->show();
    Combo1->raise();
}

void Form7::Combo1_Click(int index) {
    if (target_ >= 0 && Text1[target_] && index >= 0 && index < Combo1->count())
        Text1[target_]->setText(Combo1->itemText(index));
    Combo1->hide();
}

bool Form7::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < fields_; ++i) {
            if (watched == Text1[i]) {
                auto* mouse = static_cast<QMouseEvent*>(event);
                Text1_MouseDown(i, mouse->button(), mouse->globalPosition().toPoint());
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quelm::records
