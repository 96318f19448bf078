#pragma once

class QWidget;

namespace quelm::platform {

// Gives every control of a window that has no accessible name one, so that screen readers and AT-SPI tools can
// find it by its Japanese text. A box takes the label that stands just left of it or just above it as its buddy, so
// that its name follows the label's text (the record screens fill their item names after showing) and screen readers
// find the label through its relation; a list takes that label's text. Without a label: the title of the frame (group
// box) around it, else its placeholder text or tool tip, else, for a read-only note, what it says; a list without any
// of these is named "一覧". Buttons, check boxes and option buttons are named by their caption (Qt does that as long
// as they have one). Names set by the screens themselves are kept. The Qt Ui does this for every window when it is
// first shown; pages of tabs not shown yet are laid out for it.
void NameControlsForAccessibility(QWidget* window);

} // namespace quelm::platform
