#include "exchange/MappingSlots.h"

#include "exchange/CddbImport.h"
#include "platform/DragDrop.h"

#include <QGridLayout>
#include <QLabel>

namespace quelm::exchange {

QGridLayout*
BuildMappingSlots(QWidget* area, QLabel* mainHeading, QLabel* subHeading, std::span<QLabel*> mainLabels,
                  std::span<platform::DropSlot*> mainSlots, std::span<QLabel*> subLabels,
                  std::span<platform::DropSlot*> subSlots,
                  const std::function<void(platform::DropSlot*, bool main, const platform::DragSource&)>& dropped) {
    auto* fields = new QGridLayout;
    const auto column = [&](int at, QLabel* heading, std::span<QLabel*> labels, std::span<platform::DropSlot*> boxes,
                            bool main) {
        fields->addWidget(heading, 0, at, 1, 2);
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            labels[i] = new QLabel(area);
            boxes[i] = new platform::DropSlot(i, area);
            boxes[i]->setRefusesDrops(main ? !MainSlotTakesCddb(i) : !SubSlotTakesCddb(i));
            fields->addWidget(labels[i], i + 1, at);
            fields->addWidget(boxes[i], i + 1, at + 1);
            platform::DropSlot* slot = boxes[i];
            QObject::connect(slot, &platform::DropSlot::dragDropped, slot,
                             [slot, main, dropped](const platform::DragSource& s) { dropped(slot, main, s); });
        }
    };
    column(0, mainHeading, mainLabels, mainSlots, true);
    column(2, subHeading, subLabels, subSlots, false);
    return fields;
}

} // namespace quelm::exchange
