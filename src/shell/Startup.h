#pragma once

#include <QString>

class QApplication;

namespace quelm::platform {
class Ui;
}

namespace quelm::shell {

// Makes the catalogue on a first start, shows the main window and runs the program until it ends.
int RunProgram(QApplication& app, platform::Ui& ui, const QString& dataFolder);

} // namespace quelm::shell
