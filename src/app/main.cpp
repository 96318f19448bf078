// Program entry: Japanese Qt texts, the data folder, then the main window's start-up.
#include "platform/DataFolder.h"
#include "platform/HelpViewer.h"
#include "platform/QtUi.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

// --help and --version answer on the terminal before anything needs a display; nullopt: start the program.
std::optional<int> AnswerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--version" || arg == "-v") {
            std::printf("quelm %s\n", QUELM_VERSION);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::printf("使い方: quelm [--help] [--version]\n"
                        "ＣＤ管理Quelm: 音楽CDと映像DVDの目録。\n"
                        "データフォルダーは環境変数 QUELM_HOME で指定できます（既定はユーザーのデータフォルダー）。\n"
                        "  --help     この説明を表示して終了します\n"
                        "  --version  版数を表示して終了します\n");
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    if (const auto answered = AnswerCommandLine(argc, argv))
        return *answered;
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
