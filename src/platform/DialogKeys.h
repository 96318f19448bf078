#pragma once

class QWidget;

namespace quelm::platform {

// Takes Return away from every push button of a dialog: none is default or becomes default when it gets the focus,
// so Return in a box never saves, rebuilds or closes anything. A screen whose own button answers Return sets that
// one default again after this call.
void KeepReturnFromButtons(QWidget& dialog);

} // namespace quelm::platform
