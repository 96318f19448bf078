#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace quelm::shots {

class DemoCatalogue;

// One screen to photograph: its name (the picture is <name>.png), how to make it on the demo catalogue, and what to
// do once it is shown (choose a category, select a row) so that the picture shows it at work.
struct ScreenShot {
    QString name;
    std::function<std::unique_ptr<QWidget>(DemoCatalogue&)> make;
    std::function<void(QWidget&)> prepare;
};

const std::vector<ScreenShot>& Screens();

} // namespace quelm::shots
