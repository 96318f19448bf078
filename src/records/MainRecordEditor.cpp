// Main record editor: adds, changes or deletes one main record of the current category.
#include "records/MainRecordEditor.h"

#include "platform/Database.h"
#include "platform/Ui.h"
#include "store/Catalogue.h"

#include <QLabel>
#include <QLineEdit>

namespace quelm::records {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

EditorLayout MainEditorLayout() {
    EditorLayout l;
    l.objectName = QStringLiteral("Form7");
    l.screenName = QStringLiteral("メイン明細更新処理");
    l.editMenuHeading = QStringLiteral("編集     ");
    l.boxCount = store::MainFieldSlots;
    l.firstMasked = 10;
    l.lastMasked = 13;
    l.keyRows = 1;
    l.addedBlank = EmptyTextValue;
    l.fieldsOf = &MainEditFields;
    return l;
}

} // namespace

MainRecordEditor::MainRecordEditor(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : RecordEditor(state, ui, MainEditorLayout(), parent) {
    for (int i = 0; i < store::MainFieldSlots; ++i)
        Text1[i] = textBox(i);
    Label5 = keepHeading_;
}

MainRecordEditor::~MainRecordEditor() = default;

void MainRecordEditor::setUpNew(const store::ConfigSection& section, const std::vector<QString>& captions,
                                std::int32_t nextRegNo) {
    setUpFields(section, captions);
    showKeepBoxes(true);
    Text2->setText(QString::number(nextRegNo));
    setModeTexts(QStringLiteral("新規作成"), QStringLiteral("新規作成　ＯＫ"), QStringLiteral("終　了"),
                 section.ShumokuName + QStringLiteral(" (明細)"));
}

void MainRecordEditor::setUpChange(const store::ConfigSection& section, const std::vector<QString>& captions,
                                   const std::vector<QString>& values, const QString& regNo) {
    setUpFields(section, captions);
    setValues(values);
    Text2->setText(regNo);
    showKeepBoxes(false);
    // The change heading has no blank before (明細).
    setModeTexts(QStringLiteral("変更"), QStringLiteral("変更　ＯＫ"), QStringLiteral("キャンセル"),
                 section.ShumokuName + QStringLiteral("(明細)"));
}

void MainRecordEditor::setUpDelete(const store::ConfigSection& section, const std::vector<QString>& captions,
                                   const std::vector<QString>& values, const QString& regNo) {
    setUpFields(section, captions);
    clearToolTips(); // nothing is typed when deleting: no hints, no pick lists
    setValues(values);
    Text2->setText(regNo);
    Text2->setEnabled(false);
    showKeepBoxes(false);
    setModeTexts(QStringLiteral("削除"), QStringLiteral("削除　ＯＫ"), QStringLiteral("キャンセル"),
                 section.ShumokuName + QStringLiteral(" (明細)"));
}

void MainRecordEditor::Text1_MouseDown(int index, Qt::MouseButton button, const QPoint& globalPos) {
    textMouseDown(index, button, globalPos);
}

EditResult MainRecordEditor::addRecord(const std::vector<FieldInput>& inputs) {
    return AddMainRecord(state_, inputs);
}

EditResult MainRecordEditor::updateRecord(const std::vector<FieldInput>& inputs) {
    return UpdateMainRecord(state_, Text2->text().toInt(), inputs);
}

EditResult MainRecordEditor::deleteRecord() {
    return DeleteMainRecord(state_, Text2->text().toInt(), true);
}

void MainRecordEditor::showNextKey() {
    Text2->setText(QString::number(state_.config[state_.CurrentSection].RegNo + 1));
}

bool MainRecordEditor::confirmDeleteMore() {
    // Counted again now: sub records added since the list showed this record must not be left behind.
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        state_.SubRecordCount = CountSubRecords(*db, section_, Text2->text().toLongLong()).count;
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return false;
    }
    if (state_.SubRecordCount <= 0)
        return true;
    const QString question = QStringLiteral("サブ明細が") + QString::number(state_.SubRecordCount) +
                             QStringLiteral("件あります。") + QStringLiteral("\r\n") +
                             QStringLiteral("全てのサブ明細レコードを削除しても宜しいですか？");
    return ui_.message(question, Icon::None, Buttons::OkCancel, QStringLiteral("サブ明細レコード削除の確認"), this) ==
           Answer::Ok;
}

} // namespace quelm::records
