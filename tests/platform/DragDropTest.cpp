#include "platform/DragDrop.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using quelm::platform::DragList;
using quelm::platform::DragSource;
using quelm::platform::DropSlot;

namespace {

// A screen's rules in miniature: an entry dropped on a slot moves there, a slot dropped on the list moves back.
struct MiniScreen {
    DragList list;
    DropSlot first{0};
    DropSlot second{1};

    MiniScreen() {
        for (DropSlot* slot : {&first, &second})
            QObject::connect(slot, &DropSlot::dragDropped, [this, slot](const DragSource& from) {
                if (!from.isList(&list) || list.firstSelectedRow() < 0)
                    return;
                slot->setText(list.firstSelectedText());
                delete list.takeItem(list.firstSelectedRow());
            });
        QObject::connect(&list, &DragList::dragDropped, [this](const DragSource& from) {
            if (!from.isSlot())
                return;
            list.addItem(from.slot->text());
            from.slot->clearMapping();
        });
    }
};

TEST(DragDropTest, DropsReachTheScreenWhichMovesTheEntries) {
    MiniScreen screen;
    screen.list.setItems({QStringLiteral("項目1"), QStringLiteral("項目2")});
    EXPECT_FALSE(screen.first.isMapped());
    EXPECT_EQ(screen.second.index(), 1);

    screen.list.setCurrentRow(1);
    EXPECT_EQ(screen.list.firstSelectedText(), QStringLiteral("項目2"));
    EXPECT_TRUE(screen.first.acceptDrop(DragSource::fromList(&screen.list)));
    EXPECT_EQ(screen.first.text(), QStringLiteral("項目2"));
    EXPECT_EQ(screen.list.items(), QStringList{QStringLiteral("項目1")});

    // A slot dragged onto another slot means nothing to this screen; dragged onto the list it goes back.
    screen.second.acceptDrop(DragSource::fromSlot(&screen.first));
    EXPECT_EQ(screen.second.text(), DropSlot::Unmapped);
    screen.list.acceptDrop(DragSource::fromSlot(&screen.first));
    EXPECT_EQ(screen.list.items(), (QStringList{QStringLiteral("項目1"), QStringLiteral("項目2")}));
    EXPECT_FALSE(screen.first.isMapped());
}

TEST(DragDropTest, ARefusingSlotReportsNothing) {
    DragList list;
    DropSlot slot(4);
    QSignalSpy spy(&slot, &DropSlot::dragDropped);
    slot.setRefusesDrops(true);
    EXPECT_TRUE(slot.refusesDrops());
    EXPECT_FALSE(slot.acceptDrop(DragSource::fromList(&list)));
    EXPECT_EQ(spy.count(), 0);
    slot.setRefusesDrops(false);
    EXPECT_TRUE(slot.acceptDrop(DragSource::fromList(&list)));
    EXPECT_EQ(spy.count(), 1);
}

} // namespace
