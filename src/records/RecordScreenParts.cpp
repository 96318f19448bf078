#include "records/RecordScreenParts.h"

#include "platform/KeyedToolBar.h"
#include "platform/RecordList.h"
#include "platform/Units.h"
#include "store/AppState.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>

namespace quelm::records {

namespace {
const std::array<QString, 9>& ToolKeys() {
    static const std::array<QString, 9> keys{
        QStringLiteral("新規作成"), QStringLiteral("変更"),     QStringLiteral("削除"),
        QStringLiteral("画面印刷"), QStringLiteral("印刷設定"), QStringLiteral("印刷"),
        QStringLiteral("検索"),     QStringLiteral("ソート"),   QStringLiteral("ヘルプ")};
    return keys;
}
} // namespace

void AddRecordToolButtons(platform::KeyedToolBar& bar) {
    for (const QString& key : ToolKeys())
        bar.addButton(key, key);
}

void TriggerRecordToolButton(const QString& key, const RecordToolActions& actions) {
    for (std::size_t i = 0; i < ToolKeys().size(); ++i) {
        if (ToolKeys()[i] == key && actions[i]) {
            actions[i]->trigger();
            return;
        }
    }
}

QString PositionText(const platform::RecordList& list) {
    return QStringLiteral("レコード順／総数　　") + QString::number(list.selectedIndex()) + QStringLiteral(" / ") +
           QString::number(list.rowCount());
}

bool CopySelectedText(std::span<QLineEdit* const> boxes, bool cut) {
    bool cleared = false;
    for (QLineEdit* box : boxes) {
        if (!box || !box->hasSelectedText())
            continue;
        if (!cleared) {
            QApplication::clipboard()->clear();
            cleared = true;
        }
        QApplication::clipboard()->setText(box->selectedText());
        if (cut)
            box->del();
    }
    return cleared;
}

QLabel* HeadingLabel(const QString& text, int enlargeBy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSize(font.pointSize() + enlargeBy);
    font.setBold(true);
    label->setFont(font);
    return label;
}

int ListWidthPixels(const store::AppState& state) {
    constexpr int NarrowListWidth = 14655;
    return platform::TwipsToPixels(NarrowListWidth + state.ListViewExtraWidth);
}

void PlaceListWindow(QWidget& window, const store::AppState& state, int heightTwips) {
    window.resize(platform::TwipsToPixels(state.ListFormWidth), platform::TwipsToPixels(heightTwips));
    window.move(platform::TwipsToPixels(state.ListFormLeft), std::max(0, platform::TwipsToPixels(state.ListFormTop)));
}

} // namespace quelm::records
