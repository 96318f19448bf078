// Record editor shared by the main and the sub record editor.
#include "records/RecordEditor.h"

#include "platform/Database.h"
#include "platform/DialogKeys.h"
#include "platform/MaskedDateBox.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "records/RecordScreenParts.h"
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
using platform::DateMask;
const QString NewKey = QStringLiteral("新規作成");
const QString ChangeKey = QStringLiteral("変更");
const QString DeleteKey = QStringLiteral("削除");
constexpr int RowHeight = 420;
constexpr int KeyRowHeight = 360;
constexpr int FirstKeyRowTop = 540;

int FirstRowTop(int keyRows) {
    return FirstKeyRowTop + keyRows * KeyRowHeight;
}

} // namespace

RecordEditor::RecordEditor(store::AppState& state, platform::Ui& ui, EditorLayout layout, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), layout_(std::move(layout)) {
    setObjectName(layout_.objectName);
    setWindowTitle(state_.caption(layout_.screenName));
    auto* vbox = new QVBoxLayout(this);
    vbox->setContentsMargins(0, 0, 0, 0);
    buildMenus();
    body_ = new QWidget(this);
    body_->setFixedSize(platform::TwipsToPixels(9600),
                        platform::TwipsToPixels(FirstRowTop(layout_.keyRows) + layout_.boxCount * RowHeight + 900));
    vbox->addWidget(body_);
    buildControls();
    // Return in a box must not store a half-typed record.
    platform::KeepReturnFromButtons(*this);
    me13->setEnabled(!QApplication::clipboard()->text().isEmpty());
}

RecordEditor::~RecordEditor() = default;

int RecordEditor::keyRowTop(int row) {
    return FirstKeyRowTop + row * KeyRowHeight;
}

void RecordEditor::makeKeyBox(QLineEdit* keyBox) {
    keyBox->setReadOnly(true);
    QPalette grey = keyBox->palette();
    grey.setColor(QPalette::Base, platform::ColorFromWindowsRgb(14737632u));
    keyBox->setPalette(grey);
}

void RecordEditor::buildMenus() {
    auto* bar = new QMenuBar(this);
    QDialog::layout()->setMenuBar(bar);
    QMenu* mf1 = bar->addMenu(QStringLiteral("ファイル   "));
    mf15 = mf1->addAction(QStringLiteral("閉じる"));
    connect(mf15, &QAction::triggered, this, &RecordEditor::Command2_Click);
    QMenu* me1 = bar->addMenu(layout_.editMenuHeading);
    me11 = me1->addAction(QStringLiteral("切り取り"));
    me12 = me1->addAction(QStringLiteral("コピー"));
    me13 = me1->addAction(QStringLiteral("貼り付け"));
    connect(me11, &QAction::triggered, this, &RecordEditor::me11_Click);
    connect(me12, &QAction::triggered, this, &RecordEditor::me12_Click);
    connect(me13, &QAction::triggered, this, &RecordEditor::me13_Click);
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

void RecordEditor::buildControls() {
    Label2 = new QLabel(body_);
    QFont heading = Label2->font();
    heading.setPointSize(heading.pointSize() + 3);
    heading.setBold(true);
    Label2->setFont(heading);
    Label2->setGeometry(TwipsRect(240, 120, 4800, 420));
    Label3 = new QLabel(body_);
    Label3->setGeometry(TwipsRect(5160, 120, 1800, 420));
    Label10 = new QLabel(QStringLiteral("登録ＮＯ"), body_);
    Label10->setGeometry(TwipsRect(240, keyRowTop(0), 1800, 330));
    Label10->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text2 = new QLineEdit(body_);
    Text2->setGeometry(TwipsRect(2160, keyRowTop(0), 1500, 330));
    makeKeyBox(Text2);
    const int firstRowTop = FirstRowTop(layout_.keyRows);
    keepHeading_ = new QLabel(QStringLiteral("データを残す"), body_);
    keepHeading_->setGeometry(TwipsRect(7800, firstRowTop - KeyRowHeight, 1500, 330));

    for (int i = 0; i < layout_.boxCount; ++i) {
        const int y = firstRowTop + i * RowHeight;
        Label1[i] = new QLabel(body_);
        Label1[i]->setGeometry(TwipsRect(240, y, 1800, 330));
        Label1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QLineEdit* field = nullptr;
        if (isMasked(i)) {
            MaskEdBox1[i] = new platform::MaskedDateBox(body_);
            connect(MaskEdBox1[i], &platform::MaskedDateBox::validationError, this,
                    [this, i](const QString& text) { MaskEdBox1_ValidationError(i, text); });
            field = MaskEdBox1[i];
        } else {
            texts_[i] = new QLineEdit(body_);
            // The box's own menu would hide the pick lists of the right button.
            texts_[i]->setContextMenuPolicy(Qt::NoContextMenu);
            texts_[i]->installEventFilter(this);
            field = texts_[i];
        }
        field->setObjectName(QStringLiteral("field_%1").arg(i));
        field->setGeometry(TwipsRect(2160, y, 5400, 330));
        Check1[i] = new QCheckBox(body_);
        Check1[i]->setGeometry(TwipsRect(8100, y, 330, 330));
        Label1[i]->hide();
        field->hide();
        Check1[i]->hide();
    }
    Combo1 = new QComboBox(body_);
    // Only a real entry of the list can be taken: nothing typed, and Return chooses nothing.
    Combo1->setEditable(false);
    Combo1->setPlaceholderText(QStringLiteral("リストを選択して下さい"));
    Combo1->setGeometry(TwipsRect(2160, 0, 5400, 330));
    Combo1->hide();
    connect(Combo1, qOverload<int>(&QComboBox::activated), this, &RecordEditor::Combo1_Click);

    const int buttonsTop = firstRowTop + layout_.boxCount * RowHeight + 240;
    Command1 = new QPushButton(body_);
    Command1->setGeometry(TwipsRect(2160, buttonsTop, 2400, 450));
    Command2 = new QPushButton(body_);
    Command2->setGeometry(TwipsRect(5160, buttonsTop, 2400, 450));
    connect(Command1, &QPushButton::clicked, this, &RecordEditor::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &RecordEditor::Command2_Click);
}

QLineEdit* RecordEditor::box(int i) const {
    if (i < 0 || i >= layout_.boxCount)
        return nullptr;
    return isMasked(i) ? MaskEdBox1[i] : texts_[i];
}

QString RecordEditor::boxText(int i) const {
    if (i < 0 || i >= layout_.boxCount)
        return {};
    return isMasked(i) ? MaskEdBox1[i]->text() : texts_[i]->text();
}

bool RecordEditor::isDateField(int i) const {
    return i < fields_.count() && fields_.types[i] == store::TypeDate;
}

void RecordEditor::setUpFields(const store::ConfigSection& section, const std::vector<QString>& captions) {
    section_ = section;
    fields_ = layout_.fieldsOf(section);
    if (fields_.count() > layout_.boxCount) {
        fields_.names.resize(layout_.boxCount);
        fields_.types.resize(layout_.boxCount);
    }
    for (int i = 0; i < fields_.count(); ++i) {
        Label1[i]->setText(i < static_cast<int>(captions.size()) ? captions[i] : QString());
        Label1[i]->show();
        box(i)->show();
        const QString& type = fields_.types[i];
        if (type == store::TypeText)
            box(i)->setToolTip(ListToolTip);
        else
            box(i)->setToolTip(fields_.names[i]);
        if (isMasked(i))
            MaskEdBox1[i]->setMask(type == store::TypeDate ? DateMask : QString());
    }
    // Typing starts in the first field, not in the read-only key boxes above it.
    if (fields_.count() > 0)
        box(0)->setFocus();
}

void RecordEditor::setValues(const std::vector<QString>& values) {
    for (int i = 0; i < fields_.count() && i < static_cast<int>(values.size()); ++i) {
        if (isMasked(i)) {
            // A stored date with a time shows as "yyyy/MM/dd HH:mm:ss"; the box holds its date, rather than
            // staying untouched and turning the value into Null on saving.
            if (!values[i].isEmpty() && !MaskEdBox1[i]->setText(values[i]) && isDateField(i))
                MaskEdBox1[i]->setText(values[i].left(10));
        } else {
            texts_[i]->setText(values[i]);
        }
    }
}

void RecordEditor::clearToolTips() {
    for (int i = 0; i < fields_.count(); ++i)
        box(i)->setToolTip(QString());
}

void RecordEditor::showKeepBoxes(bool shown) {
    for (int i = 0; i < fields_.count(); ++i)
        Check1[i]->setVisible(shown);
    keepHeading_->setVisible(shown);
}

void RecordEditor::setModeTexts(const QString& key, const QString& ok, const QString& close, const QString& heading) {
    Label3->setText(key);
    Command1->setText(ok);
    Command2->setText(close);
    Label2->setText(heading);
}

std::vector<FieldInput> RecordEditor::inputs() const {
    std::vector<FieldInput> in;
    for (int i = 0; i < fields_.count(); ++i) {
        if (isMasked(i))
            in.push_back({MaskEdBox1[i]->text(), MaskEdBox1[i]->clipText()});
        else
            in.push_back({texts_[i]->text(), texts_[i]->text()});
    }
    return in;
}

bool RecordEditor::textsFit() {
    if (FindTooLongText(fields_, inputs())) {
        ui_.message(TooLongTextMessage, Icon::Critical, Buttons::Ok, TooLongTextTitle, this);
        return false;
    }
    return true;
}

void RecordEditor::showBlanks(const std::vector<int>& fields, const QString& blank) {
    for (int i : fields) {
        if (texts_[i])
            texts_[i]->setText(blank);
    }
}

void RecordEditor::Command1_Click() {
    const QString mode = Label3->text();
    if (mode == NewKey)
        onAdd();
    else if (mode == ChangeKey)
        onChange();
    else if (mode == DeleteKey)
        onDelete();
}

void RecordEditor::onAdd() {
    if (!textsFit())
        return;
    const EditResult result = addRecord(inputs());
    if (result.status == EditResult::Status::EngineError || result.status == EditResult::Status::NotFound) {
        // Nothing was stored: the typed record stays in the boxes for another try.
        platform::ShowEngineError(ui_, result.message, this);
        return;
    }
    showBlanks(result.blankedFields, layout_.addedBlank);
    if (result.status == EditResult::Status::TypeError)
        ui_.message(result.message, Icon::Critical, Buttons::Ok, TypeErrorTitle, this);
    // The next entry is prepared also after a type error: unticked boxes are emptied.
    prepareNextEntry();
    showNextKey();
}

void RecordEditor::prepareNextEntry() {
    for (int i = 0; i < fields_.count(); ++i) {
        if (Check1[i]->isChecked())
            continue;
        if (isMasked(i)) {
            MaskEdBox1[i]->setMask(QString());
            MaskEdBox1[i]->setText(QString());
            if (isDateField(i))
                MaskEdBox1[i]->setMask(DateMask);
            MaskEdBox1[i]->setToolTip(fields_.names[i]);
        } else {
            texts_[i]->setToolTip(ListToolTip);
            texts_[i]->clear();
        }
    }
}

void RecordEditor::onChange() {
    if (!textsFit())
        return;
    const EditResult result = updateRecord(inputs());
    if (result.status == EditResult::Status::NotFound) {
        // The record was deleted meanwhile: the typed values stay, for the user to copy or give up.
        platform::ShowEngineError(ui_, result.message, this);
        return;
    }
    showBlanks(result.blankedFields, EmptyTextValue);
    if (result.status == EditResult::Status::TypeError)
        ui_.message(result.message, Icon::Critical, Buttons::Ok, TypeErrorTitle, this);
    else if (result.status == EditResult::Status::EngineError)
        platform::ShowEngineError(ui_, result.message, this);
    accept();
}

void RecordEditor::onDelete() {
    if (ui_.message(QStringLiteral("このレコードを削除しますか？"), Icon::None, Buttons::OkCancel,
                    QStringLiteral("削除の確認"), this) != Answer::Ok ||
        !confirmDeleteMore()) {
        accept();
        return;
    }
    const EditResult result = deleteRecord();
    if (result.status == EditResult::Status::NotFound) {
        platform::ShowEngineError(ui_, result.message, this);
        return;
    }
    if (result.status == EditResult::Status::EngineError)
        platform::ShowEngineError(ui_, result.message, this);
    accept();
}

void RecordEditor::Command2_Click() {
    reject();
}

void RecordEditor::copySelection(bool cut) {
    std::vector<QLineEdit*> boxes;
    for (int i = 0; i < fields_.count(); ++i)
        boxes.push_back(box(i));
    if (CopySelectedText(boxes, cut))
        me13->setEnabled(true);
}

void RecordEditor::me11_Click() {
    copySelection(true);
}

void RecordEditor::me12_Click() {
    copySelection(false);
}

void RecordEditor::me13_Click() {
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    if (auto* focused = qobject_cast<QLineEdit*>(QApplication::focusWidget()); focused && isAncestorOf(focused))
        focused->insert(text);
}

void RecordEditor::MaskEdBox1_ValidationError(int index, const QString& rejectedText) {
    if (rejectedText == UntouchedDate || index < 0 || index >= fields_.count())
        return;
    ui_.message(TypeErrorMessage(fields_.names[index], rejectedText), Icon::Critical, Buttons::Ok, TypeErrorTitle,
                this);
}

void RecordEditor::textMouseDown(int index, Qt::MouseButton button, const QPoint& globalPos) {
    target_ = index;
    if (button != Qt::RightButton)
        return;
    MenuList();
    LISTTBL->popup(globalPos);
}

void RecordEditor::MenuList() {
    for (int i = 0; i < store::ListSlotCount; ++i) {
        const QString name = store::ListName(state_.config, i);
        if (!name.isEmpty()) {
            mList1[i]->setText(name);
            mList1[i]->setEnabled(true);
        } else {
            mList1[i]->setEnabled(false);
        }
        // A free slot is not offered at all rather than shown as an empty line.
        mList1[i]->setVisible(!name.isEmpty());
    }
}

void RecordEditor::mList1_Click(int index) {
    if (!store::ListName(state_.config, index).isEmpty())
        SubList(index);
}

void RecordEditor::SubList(int slot) {
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
    Combo1->setCurrentIndex(-1);
    if (QLineEdit* target = box(target_))
        Combo1->move(Combo1->x(), target->y());
    Combo1->show();
    Combo1->raise();
}

void RecordEditor::Combo1_Click(int index) {
    if (target_ >= 0 && target_ < layout_.boxCount && texts_[target_] && index >= 0 && index < Combo1->count())
        texts_[target_]->setText(Combo1->itemText(index));
    Combo1->hide();
}

bool RecordEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < fields_.count(); ++i) {
            if (watched == texts_[i]) {
                auto* mouse = static_cast<QMouseEvent*>(event);
                textMouseDown(i, mouse->button(), mouse->globalPosition().toPoint());
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quelm::records
