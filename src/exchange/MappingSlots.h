#pragma once

#include <QString>
#include <functional>
#include <span>

class QGridLayout;
class QLabel;
class QWidget;

namespace quelm::platform {
class DropSlot;
struct DragSource;
} // namespace quelm::platform

namespace quelm::exchange {

// The field slots of the CDDB and ripped-album screens: the main fields under mainHeading in the first two columns,
// the sub fields under subHeading in the next two, each slot refusing what a field of its type cannot take. The
// labels and slots are made in area; dropped(slot, main, source) is told of every drop on a slot.
QGridLayout*
BuildMappingSlots(QWidget* area, QLabel* mainHeading, QLabel* subHeading, std::span<QLabel*> mainLabels,
                  std::span<platform::DropSlot*> mainSlots, std::span<QLabel*> subLabels,
                  std::span<platform::DropSlot*> subSlots,
                  const std::function<void(platform::DropSlot*, bool main, const platform::DragSource&)>& dropped);

} // namespace quelm::exchange
