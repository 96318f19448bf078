// Program entry: Japanese Qt texts, the data folder, then the main window's start-up.
#include "platform/DataFolder.h"
#include "platform/HelpViewer.h"
#include "platform/QtUi.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quelm"));
    QApplication::setOrganizationName(QStringLiteral("Quelm"));
    QApplication::setApplicationVersion(QStringLiteral(QUELM_VERSION));
    // The desktop's theme icon when installed, else the one built in.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quelm"), QIcon(QStringLiteral(":/quelm.png"))));
    QGuiApplication::setDesktopFileName(QStringLiteral("jp.quelm.Quelm"));

    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    quelm::platform::QtUi ui(quelm::platform::DefaultHelpFolder());
    const QString folder = quelm::platform::ResolveDataFolder(QApplication::applicationDirPath());
    return quelm::shell::RunProgram(app, ui, folder);
}
