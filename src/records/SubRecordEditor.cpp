// Sub record editor: adds, changes or deletes one sub record of the main record shown on the sub record screen.
#include "records/SubRecordEditor.h"

#include "platform/Units.h"
#include "records/SubRecords.h"

#include <QLabel>
#include <QLineEdit>

namespace quelm::records {

namespace {

EditorLayout SubEditorLayout() {
    EditorLayout l;
    l.objectName = QStringLiteral("Form8");
    l.screenName = QStringLiteral("サブ明細更新処理");
    l.editMenuHeading = QStringLiteral("編集    ");
    l.boxCount = store::SubFieldSlots;
    l.firstMasked = 8;
    l.lastMasked = 9;
    l.keyRows = 2;
    l.addedBlank = EmptySubTextOnAdd;
    l.fieldsOf = &SubEditFields;
    return l;
}

} // namespace

SubRecordEditor::SubRecordEditor(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : RecordEditor(state, ui, SubEditorLayout(), parent) {
    for (int i = 0; i < store::SubFieldSlots; ++i)
        Text3[i] = textBox(i);
    Label6 = keepHeading_;
    Label5 = new QLabel(QStringLiteral("サブＮＯ"), body());
    Label5->setGeometry(platform::TwipsRect(240, keyRowTop(1), 1800, 330));
    Label5->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text1 = new QLineEdit(body());
    Text1->setGeometry(platform::TwipsRect(2160, keyRowTop(1), 1500, 330));
    makeKeyBox(Text1);
}

SubRecordEditor::~SubRecordEditor() = default;

void SubRecordEditor::setKeys(const QString& regNo, const QString& subNo) {
    Text2->setText(regNo);
    Text1->setText(subNo);
}

void SubRecordEditor::setUpNew(const store::ConfigSection& section, const std::vector<QString>& captions,
                               const QString& regNo) {
    setUpFields(section, captions);
    showKeepBoxes(true);
    setKeys(regNo, QString::number(static_cast<qint64>(state_.MaxSubNo) + 1));
    setModeTexts(QStringLiteral("新規作成"), QStringLiteral("新規作成　ＯＫ"), QStringLiteral("終　了"),
                 section.ShumokuName + QStringLiteral(" (サブ明細)"));
}

void SubRecordEditor::setUpChange(const store::ConfigSection& section, const std::vector<QString>& captions,
                                  const std::vector<QString>& values, const QString& regNo, const QString& subNo) {
    setUpFields(section, captions);
    setValues(values);
    setKeys(regNo, subNo);
    showKeepBoxes(false);
    setModeTexts(QStringLiteral("変更"), QStringLiteral("変更　ＯＫ"), QStringLiteral("キャンセル"),
                 section.ShumokuName + QStringLiteral(" (サブ明細)"));
}

void SubRecordEditor::setUpDelete(const store::ConfigSection& section, const std::vector<QString>& captions,
                                  const std::vector<QString>& values, const QString& regNo, const QString& subNo) {
    setUpFields(section, captions);
    clearToolTips(); // nothing is typed when deleting: no hints, no pick lists
    setValues(values);
    setKeys(regNo, subNo);
    Text2->setEnabled(false);
    Text1->setEnabled(false);
    showKeepBoxes(false);
    setModeTexts(QStringLiteral("削除"), QStringLiteral("削除　ＯＫ"), QStringLiteral("キャンセル"),
                 section.ShumokuName + QStringLiteral(" (サブ明細)"));
}

void SubRecordEditor::Text3_MouseDown(int index, Qt::MouseButton button, const QPoint& globalPos) {
    textMouseDown(index, button, globalPos);
}

EditResult SubRecordEditor::addRecord(const std::vector<FieldInput>& inputs) {
    return AddSubRecord(state_, Text2->text().toInt(), inputs);
}

EditResult SubRecordEditor::updateRecord(const std::vector<FieldInput>& inputs) {
    return UpdateSubRecord(state_, Text2->text().toInt(), Text1->text().toInt(), inputs);
}

EditResult SubRecordEditor::deleteRecord() {
    return DeleteSubRecord(state_, Text2->text().toInt(), Text1->text().toInt());
}

void SubRecordEditor::showNextKey() {
    Text1->setText(QString::number(static_cast<qint64>(state_.MaxSubNo) + 1));
}

} // namespace quelm::records
