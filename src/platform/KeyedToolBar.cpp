#include "platform/KeyedToolBar.h"

#include <QAction>

namespace quelm::platform {

KeyedToolBar::KeyedToolBar(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

QAction* KeyedToolBar::addButton(const QString& key, const QString& caption, const QIcon& icon) {
    if (QAction* existing = button(key)) {
        existing->setText(caption);
        if (!icon.isNull())
            existing->setIcon(icon);
        return existing;
    }
    QAction* action = addAction(icon, caption);
    action->setData(key);
    connect(action, &QAction::triggered, this, [this, key] { emit buttonClick(key); });
    buttons_.insert(key, action);
    return action;
}

QAction* KeyedToolBar::button(const QString& key) const {
    return buttons_.value(key, nullptr);
}

bool KeyedToolBar::trigger(const QString& key) {
    QAction* action = button(key);
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}

} // namespace quelm::platform
