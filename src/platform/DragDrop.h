#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QMetaType>
#include <QStringList>

namespace quelm::platform {

class DragList;
class DropSlot;

// Where a drag started: a list or a field slot (exactly one of the two is set). The screen that receives a
// drop compares these with its own controls to decide what the drop means, or that it means nothing.
struct DragSource {
    DragList* list = nullptr;
    DropSlot* slot = nullptr;

    static DragSource fromList(DragList* list) { return {list, nullptr}; }
    static DragSource fromSlot(DropSlot* slot) { return {nullptr, slot}; }
    bool isList(const DragList* l) const { return list != nullptr && list == l; }
    bool isSlot() const { return slot != nullptr; }
};

// The list box of the mapping screens: the user drags an entry from it onto a field slot, and drags a slot
// back onto it. The list itself does not move anything: it reports the drop, and the screen applies its rules.
class DragList : public QListWidget {
    Q_OBJECT
public:
    explicit DragList(QWidget* parent = nullptr);

    QStringList items() const;
    void setItems(const QStringList& texts);
    // The first selected entry (or the current one when nothing is selected), -1 when there is none.
    int firstSelectedRow() const;
    QString firstSelectedText() const;

    // The one way a drop reaches the screen: a real mouse drop comes through here, and so do tests.
    // Returns false, and reports nothing, when the list refuses drops.
    bool acceptDrop(const DragSource& source);

signals:
    void dragDropped(const quelm::platform::DragSource& source);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// A field slot: a read-only box that holds one mapped entry, or a single blank when nothing is mapped.
// It accepts drops (unless told to refuse them) and can itself be dragged back to a list.
class DropSlot : public QLineEdit {
    Q_OBJECT
public:
    // What a slot holds when nothing is mapped to it.
    static inline const QString Unmapped = QStringLiteral(" ");

    explicit DropSlot(int index, QWidget* parent = nullptr);

    // The slot's position in its screen's array of slots.
    int index() const { return index_; }
    bool isMapped() const { return text() != Unmapped; }
    void clearMapping() { setText(Unmapped); }

    // A slot that refuses drops ignores every drag over it; a hidden field does this.
    void setRefusesDrops(bool refuse) { setAcceptDrops(!refuse); }
    bool refusesDrops() const { return !acceptDrops(); }

    // As DragList::acceptDrop.
    bool acceptDrop(const DragSource& source);

signals:
    void dragDropped(const quelm::platform::DragSource& source);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int index_;
    QPoint pressPos_;
    bool pressed_ = false;
};

} // namespace quelm::platform

Q_DECLARE_METATYPE(quelm::platform::DragSource)
