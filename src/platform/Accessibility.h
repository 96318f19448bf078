#pragma once

class QWidget;

namespace quelm::platform {

// Gives every control of a window that has no accessible name one, so that screen readers and AT-SPI tools can
// find it by its Japanese text: a box or list the caption of the label that stands just left of it or just above it,
// else the title of the frame (group box) around it, else its placeholder text or tool tip. Buttons, check boxes and
// option buttons are named by their caption (Qt does that as long as they have one).
// Names set by the screens themselves are kept. The Qt Ui does this for every window when it is first shown.
void NameControlsForAccessibility(QWidget* window);

} // namespace quelm::platform
