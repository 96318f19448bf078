#pragma once

class QComboBox;

namespace quelm::platform {

// Keeps a drop list's free slots (empty entries) in place, so that entry i still stands for slot i, but out of its
// popup and out of reach of the arrow keys and the wheel: the popup shows only what can be chosen.
void HideEmptyEntries(QComboBox& combo);

} // namespace quelm::platform
