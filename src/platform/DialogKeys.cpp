#include "platform/DialogKeys.h"

#include <QPushButton>
#include <QWidget>

namespace quelm::platform {

void KeepReturnFromButtons(QWidget& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

} // namespace quelm::platform
