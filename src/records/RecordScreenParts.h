#pragma once

#include <QString>
#include <array>
#include <span>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QWidget;

namespace quelm::platform {
class KeyedToolBar;
class RecordList;
} // namespace quelm::platform

namespace quelm::store {
struct AppState;
} // namespace quelm::store

namespace quelm::records {

// Pieces the main and the sub record screen share, so both behave alike.

// The texts of the first n labels or boxes of an array of them.
template <class Widget, std::size_t N> std::vector<QString> TextsOf(const std::array<Widget*, N>& widgets, int n) {
    std::vector<QString> texts;
    for (int i = 0; i < n && i < static_cast<int>(N); ++i)
        texts.push_back(widgets[i]->text());
    return texts;
}

// A bold heading label, enlarged by some points: the record screens' and their dialogs' first line.
QLabel* HeadingLabel(const QString& text, int enlargeBy, QWidget* parent);

// A change or delete with no main record shown (OK button, no icon, title "Error").
// Sizes and places a list window (record screens, search, inquiry) from the layout values of the main window. A
// negative top (a screen lower than the design) would put the title bar out of reach, so the window stays on screen.
void PlaceListWindow(QWidget& window, const store::AppState& state, int heightTwips);
// Width in pixels of the lists of those windows: the narrow layout's width, widened by the main window's layout.
int ListWidthPixels(const store::AppState& state);

inline const QString NoRecordMessage = QStringLiteral("明細レコードが指定されていません。");

// The nine tool bar buttons of a record screen, keyed by the texts the handlers dispatch on.
void AddRecordToolButtons(platform::KeyedToolBar& bar);
// The menu items the nine buttons stand for, in button order: 新規作成, 変更, 削除, 画面印刷, 印刷設定, 印刷, 検索,
// ソート, ヘルプ.
using RecordToolActions = std::array<QAction*, 9>;
// A tool bar button does what its menu item does: the item is triggered.
void TriggerRecordToolButton(const QString& key, const RecordToolActions& actions);

// Panel 2: "レコード順／総数　　" + selected index + " / " + row count.
QString PositionText(const platform::RecordList& list);

// Copy (cut: cut) of the detail or editor boxes: the clipboard is emptied before the first box that has a selection
// and then takes each selected text in turn, so the last box with a selection wins; a cut removes each selection
// as it is taken. With no selection the clipboard is left alone and false is returned.
bool CopySelectedText(std::span<QLineEdit* const> boxes, bool cut = false);

} // namespace quelm::records
