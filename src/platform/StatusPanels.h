#pragma once

#include <QStatusBar>
#include <array>

class QLabel;

namespace quelm::platform {

// A status bar of three text panels, numbered 1 to 3 as the screens number them.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    // Panel numbers outside 1 … 3 are ignored.
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

private:
    std::array<QLabel*, 3> panels_{};
};

} // namespace quelm::platform
