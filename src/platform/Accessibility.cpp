#include "platform/Accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <algorithm>
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

// The label beside a control, among the labels shown in the same parent: the nearest one that ends left of the
// control on its line, even while it is still empty (the record screens fill their item names once the category is
// read), else the nearest one with text right above it.
QLabel* LabelBeside(const QWidget* control) {
    const QWidget* parent = control->parentWidget();
    if (!parent)
        return nullptr;
    const QRect box = control->geometry();
    QLabel* best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    for (QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        // A hidden control shows with its label: a hidden label counts for it.
        if ((label->isHidden() && !control->isHidden()) || !label->pixmap().isNull())
            continue;
        const QRect at = label->geometry();
        const bool sameLine = at.bottom() >= box.top() && at.top() <= box.bottom() && at.right() <= box.left() + 4;
        // A label above names the control only when it is close: two lines at most.
        const int lineHeight = std::min(box.height(), 2 * label->fontMetrics().height());
        const bool above = at.bottom() <= box.top() + 4 && at.bottom() >= box.top() - 2 * lineHeight &&
                           at.right() >= box.left() && at.left() <= box.right() && !Plain(label->text()).isEmpty();
        if (!sameLine && !above)
            continue;
        // Prefer the same line: a label above counts from further away.
        const int distance = sameLine ? box.left() - at.right() : 10000 + box.top() - at.bottom();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = label;
        }
    }
    return best;
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

// A read-only text box that no label names is a note: what it says is its name.
QString NoteText(const QWidget* control) {
    if (const auto* note = qobject_cast<const QPlainTextEdit*>(control); note && note->isReadOnly())
        return Plain(note->toPlainText());
    if (const auto* note = qobject_cast<const QTextEdit*>(control); note && note->isReadOnly())
        return Plain(note->toPlainText());
    return {};
}

QString NameFor(const QWidget* control) {
    for (const QString& name :
         {FrameAround(control), Placeholder(control), Plain(control->toolTip()), NoteText(control)})
        if (!name.isEmpty())
            return name;
    return qobject_cast<const QAbstractItemView*>(control) ? QStringLiteral("一覧") : QString();
}

// The label becomes the control's buddy, so that the name follows the label when a screen changes its text, and
// screen readers find the label through its relation. A label with "&" in it, or one that is already another
// control's buddy, stays as it is (a buddy would turn that letter into a shortcut and hide it): its text, as shown, is
// the name. So is the label of a list, whose name Qt takes from the list alone.
bool NameByLabel(QWidget* control) {
    QLabel* label = LabelBeside(control);
    if (!label)
        return false;
    if (!label->text().contains(QLatin1Char('&')) && (!label->buddy() || label->buddy() == control) &&
        !qobject_cast<const QAbstractItemView*>(control)) {
        label->setBuddy(control);
        return true;
    }
    const QString shown = label->text().simplified();
    if (shown.isEmpty())
        return false;
    control->setAccessibleName(shown);
    return true;
}

// Pages of a tab or stack not shown yet have not been laid out, nor have the frames on them: their controls sit at
// one spot until they are. Parents come before their children here, so each is laid out in its final size.
void LayOutHiddenPages(QWidget* window) {
    for (QWidget* page : window->findChildren<QWidget*>())
        if (!page->isVisible() && page->layout())
            page->layout()->activate();
}

} // namespace

void NameControlsForAccessibility(QWidget* window) {
    if (!window)
        return;
    LayOutHiddenPages(window);
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
        if (NameByLabel(control))
            continue;
        const QString name = NameFor(control);
        if (!name.isEmpty())
            control->setAccessibleName(name);
    }
}

} // namespace quelm::platform
