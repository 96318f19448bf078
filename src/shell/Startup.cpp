#include "shell/Startup.h"

#include "platform/Database.h"
#include "platform/Ui.h"
#include "shell/Form1.h"
#include "store/Catalogue.h"

#include <QApplication>

namespace quelm::shell {

int RunProgram(QApplication& app, platform::Ui& ui, const QString& dataFolder) {
    try {
        store::EnsureCatalogue(dataFolder);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui, e.message());
        return 1;
    }
    store::AppState state;
    state.dataFolder = dataFolder;
    Form1 window(state, ui);
    if (!window.Form_Load())
        return 0;
    window.show();
    return app.exec();
}

} // namespace quelm::shell
