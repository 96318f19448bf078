#include "shell/Startup.h"

#include <QApplication>

namespace quelm::shell {

int RunProgram(QApplication& app, platform::Ui&, const QString&) {
    return app.exec();
}

} // namespace quelm::shell
