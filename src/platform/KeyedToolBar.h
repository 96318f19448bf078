#pragma once

#include <QHash>
#include <QIcon>
#include <QToolBar>

namespace quelm::platform {

// A tool bar whose buttons are known by a key text; a click reports the key, so a screen runs the same
// handler as the menu item the key names.
class KeyedToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit KeyedToolBar(QWidget* parent = nullptr);

    // A key already on the bar keeps its button, which takes the new caption.
    QAction* addButton(const QString& key, const QString& caption, const QIcon& icon = QIcon());
    // nullptr for an unknown key.
    QAction* button(const QString& key) const;
    // Clicks the button of the key as the user would; false for an unknown or disabled button.
    bool trigger(const QString& key);

signals:
    void buttonClick(const QString& key);

private:
    QHash<QString, QAction*> buttons_;
};

} // namespace quelm::platform
