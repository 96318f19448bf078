#include "platform/Accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <limits>

namespace quelm::platform {

namespace {

QString Plain(QString text) {
    text.remove(QLatin1Char('&'));
    return text.simplified();
}

bool TakesInput(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

// The label beside a control: among the visible labels with text in the same parent, the nearest one that ends left
// of the control on its line, else the nearest one right above it.
QString LabelBeside(const QWidget* control) {
    const QWidget* parent = control->parentWidget();
    if (!parent)
        return {};
    const QRect box = control->geometry();
    const QLabel* best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    for (const QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->isHidden() || Plain(label->text()).isEmpty())
            continue;
        const QRect at = label->geometry();
        const bool sameLine = at.bottom() >= box.top() && at.top() <= box.bottom() && at.right() <= box.left() + 4;
        const bool above = at.bottom() <= box.top() + 4 && at.right() >= box.left() && at.left() <= box.right();
        if (!sameLine && !above)
            continue;
        // Prefer the same line: a label above counts from further away.
        const int distance = sameLine ? box.left() - at.right() : 10000 + box.top() - at.bottom();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = label;
        }
    }
    return best ? Plain(best->text()) : QString();
}

QString FrameAround(const QWidget* control) {
    for (const QWidget* w = control->parentWidget(); w && !w->isWindow(); w = w->parentWidget())
        if (const auto* frame = qobject_cast<const QGroupBox*>(w); frame && !Plain(frame->title()).isEmpty())
            return Plain(frame->title());
    return {};
}

QString Placeholder(const QWidget* control) {
    if (const auto* box = qobject_cast<const QLineEdit*>(control))
        return Plain(box->placeholderText());
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return Plain(combo->placeholderText());
    return {};
}

QString NameFor(const QWidget* control) {
    for (const QString& name :
         {LabelBeside(control), FrameAround(control), Placeholder(control), Plain(control->toolTip())})
        if (!name.isEmpty())
            return name;
    return qobject_cast<const QAbstractItemView*>(control) ? QStringLiteral("一覧") : QString();
}

} // namespace

void NameControlsForAccessibility(QWidget* window) {
    if (!window)
        return;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        // Buttons are named by their caption, which some screens change with their mode, so they are left to Qt
        // unless they show no text.
        if (!control->accessibleName().isEmpty())
            continue;
        const auto* button = qobject_cast<QAbstractButton*>(control);
        if (button ? !Plain(button->text()).isEmpty() : !TakesInput(control))
            continue;
        // The line edit inside a combo box or spin box is named through its owner.
        if (TakesInput(control->parentWidget()))
            continue;
        const QString name = NameFor(control);
        if (!name.isEmpty())
            control->setAccessibleName(name);
    }
}

} // namespace quelm::platform
