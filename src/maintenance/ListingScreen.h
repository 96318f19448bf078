#pragma once

#include "store/AppState.h"

#include <QDialog>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QVBoxLayout;

namespace quelm::platform {
class RecordList;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::maintenance {

struct ListingColumn;

// The frame the three listings share: heading, a report list, the file menu with screen print and close, and help.
class ListingScreen : public QDialog {
    Q_OBJECT
public:
    // False when there was nothing to list: the screen told the user so and is not to be shown.
    bool Loaded = true;

    void mf11_Click(); // 画面印刷(ActiveWindow)
    void mf12_Click(); // 閉じる
    void mh1_Click();  // ヘルプ

    QMenuBar* menuBar = nullptr;
    QMenu* mf = nullptr;
    QAction* mf11 = nullptr;
    QAction* mf12 = nullptr;
    QAction* mh1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Picture1 = nullptr; // never shown; kept as the screen print's drawing surface
    platform::RecordList* ListView1 = nullptr;
    platform::StatusPanels* StatusBar1 = nullptr; // the statistics screen only

protected:
    ListingScreen(store::AppState& state, platform::Ui& ui, QWidget* parent, const QString& name,
                  const QString& screenName, const QString& heading, bool withStatusBar);

    // Width of a text in twips as the list measures it (font size 10).
    int TextWidthTwips(const QString& text) const;
    // Columns side by side, each as wide as the widest heading so far plus 1000 twips; row i holds the i-th cells.
    void ListViewSet(const QList<ListingColumn>& columns);
    // Nothing to list, or the catalogue could not be read: the user is told and the screen closes.
    void Refuse(const QString& text);

    store::AppState& state_;
    platform::Ui& ui_;
};

} // namespace quelm::maintenance
