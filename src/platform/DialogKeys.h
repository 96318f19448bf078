#pragma once

class QPushButton;
class QString;
class QWidget;

namespace quelm::platform {

// Takes Return away from every push button of a dialog: none is default or becomes default when it gets the focus,
// so Return in a box never saves, rebuilds or closes anything. A screen whose own button answers Return sets that
// one default again after this call.
void KeepReturnFromButtons(QWidget& dialog);

// A push button that never answers Return, neither as the default nor when it has the focus.
QPushButton* PlainButton(const QString& text, QWidget* parent);

} // namespace quelm::platform
