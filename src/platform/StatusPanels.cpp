#include "platform/StatusPanels.h"

#include <QLabel>

namespace quelm::platform {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
    // The first panel says how the list was built, the longest text of the three.
    const int stretch[] = {2, 1, 1};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(this);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(60);
        addWidget(label, stretch[i]);
        panels_[i] = label;
    }
}

void StatusPanels::setPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 3)
        panels_[panel - 1]->setText(text);
}

QString StatusPanels::panelText(int panel) const {
    return panel >= 1 && panel <= 3 ? panels_[panel - 1]->text() : QString();
}

} // namespace quelm::platform
