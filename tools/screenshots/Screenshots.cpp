// Takes a picture of every screen on a small demo catalogue, for the help pages: tools/help-screenshots.sh runs it.
// Usage: quelm_screenshots OUTPUT_FOLDER [SCREEN ...]
#include "DemoCatalogue.h"
#include "ScreenRegistry.h"
#include "exchange/ExchangeScreens.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>
#include <cstdio>

namespace {

// Lets the screen paint and run its deferred load (the record screens read their tables 100 ms after showing).
void Settle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quelm::exchange::InstallExchangeOpeners();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [SCREEN ...]\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QStringList wanted;
    for (int i = 2; i < argc; ++i)
        wanted << QString::fromLocal8Bit(argv[i]);
    QDir().mkpath(output);

    QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("QuelmDemo-XXXXXX")));
    quelm::shots::DemoCatalogue demo(folder.path());
    int failures = 0;
    for (const quelm::shots::ScreenShot& shot : quelm::shots::Screens()) {
        if (!wanted.isEmpty() && !wanted.contains(shot.name))
            continue;
        std::unique_ptr<QWidget> screen = shot.make(demo);
        if (!screen) {
            std::fprintf(stderr, "%s: could not be made\n", qPrintable(shot.name));
            ++failures;
            continue;
        }
        screen->show();
        Settle(400);
        if (shot.prepare)
            shot.prepare(*screen);
        Settle(200);
        const QString path = QDir(output).filePath(shot.name + QStringLiteral(".png"));
        if (!screen->grab().save(path)) {
            std::fprintf(stderr, "%s: could not be saved\n", qPrintable(path));
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
        screen->close();
    }
    return failures == 0 ? 0 : 1;
}
