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

QPushButton* PlainButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace quelm::platform
