#include "platform/DragDrop.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <optional>

namespace quelm::platform {

namespace {

// Our drags carry only this marker; what was dragged is the source widget itself, as a drop in the same
// program can always see it.
const QString DragFormat = QStringLiteral("application/x-quelm-mapping");

void startDragFrom(QWidget* from, const QString& text) {
    auto* drag = new QDrag(from);
    auto* mime = new QMimeData;
    mime->setData(DragFormat, text.toUtf8());
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

// The source of a drop, when it is one of our own controls.
std::optional<DragSource> sourceOf(const QDropEvent* event) {
    if (!event->mimeData()->hasFormat(DragFormat))
        return std::nullopt;
    QObject* from = event->source();
    if (auto* list = qobject_cast<DragList*>(from))
        return DragSource::fromList(list);
    if (auto* slot = qobject_cast<DropSlot*>(from))
        return DragSource::fromSlot(slot);
    return std::nullopt;
}

void acceptIfOurs(QDropEvent* event, bool accepting) {
    if (accepting && sourceOf(event)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

// Hands a drop from one of our controls to the receiver's acceptDrop. Qt is told "copy" so that it removes nothing:
// moving the item is the screen's business.
template <typename Receiver> void DeliverDrop(Receiver& receiver, QDropEvent* event) {
    const auto source = sourceOf(event);
    if (!source || !receiver.acceptDrops()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    receiver.acceptDrop(*source);
}

} // namespace

DragList::DragList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

QStringList DragList::items() const {
    QStringList texts;
    texts.reserve(count());
    for (int i = 0; i < count(); ++i)
        texts.append(item(i)->text());
    return texts;
}

void DragList::setItems(const QStringList& texts) {
    clear();
    addItems(texts);
}

int DragList::firstSelectedRow() const {
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected())
            return i;
    return currentRow();
}

QString DragList::firstSelectedText() const {
    const int row = firstSelectedRow();
    return row >= 0 ? item(row)->text() : QString();
}

bool DragList::acceptDrop(const DragSource& source) {
    if (!acceptDrops())
        return false;
    emit dragDropped(source);
    return true;
}

void DragList::startDrag(Qt::DropActions) {
    if (firstSelectedRow() >= 0)
        startDragFrom(this, firstSelectedText());
}

void DragList::dragEnterEvent(QDragEnterEvent* event) {
    acceptIfOurs(event, acceptDrops());
}

void DragList::dragMoveEvent(QDragMoveEvent* event) {
    acceptIfOurs(event, acceptDrops());
}

void DragList::dropEvent(QDropEvent* event) {
    DeliverDrop(*this, event);
}

DropSlot::DropSlot(int index, QWidget* parent) : QLineEdit(Unmapped, parent), index_(index) {
    setReadOnly(true);
    setAcceptDrops(true);
    setDragEnabled(false); // our own drag below, not the line edit's text drag
}

bool DropSlot::acceptDrop(const DragSource& source) {
    if (!acceptDrops())
        return false;
    emit dragDropped(source);
    return true;
}

void DropSlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressPos_ = event->position().toPoint();
        pressed_ = true;
    }
    QLineEdit::mousePressEvent(event);
}

void DropSlot::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
        pressed_ = false;
        startDragFrom(this, text());
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void DropSlot::dragEnterEvent(QDragEnterEvent* event) {
    acceptIfOurs(event, acceptDrops());
}

void DropSlot::dragMoveEvent(QDragMoveEvent* event) {
    acceptIfOurs(event, acceptDrops());
}

void DropSlot::dropEvent(QDropEvent* event) {
    DeliverDrop(*this, event);
}

} // namespace quelm::platform
