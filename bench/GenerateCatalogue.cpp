// quelm_generate: writes a large synthetic catalogue, for trying the program and its benchmarks on real sizes.
#include "SyntheticCatalogue.h"

#include "platform/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

bool ParseCount(const char* text, int& out) {
    bool ok = false;
    out = QString::fromLocal8Bit(text).toInt(&ok);
    return ok && out >= 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int mains = 0;
    int subs = 0;
    if (argc != 4 || !ParseCount(argv[2], mains) || !ParseCount(argv[3], subs)) {
        std::fprintf(stderr, "usage: quelm_generate <folder> <mainPerCategory> <subPerMain>\n"
                             "  creates a new catalogue in <folder> and fills CD1 and DVD1\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QElapsedTimer timer;
    timer.start();
    try {
        quelm::bench::FillSyntheticCatalogue(folder, {mains, subs});
    } catch (const quelm::platform::EngineError& e) {
        std::fprintf(stderr, "quelm_generate: %s\n", e.message().toUtf8().constData());
        return 1;
    }
    std::printf("%s: CD1 and DVD1 with %d main and %lld sub records each, %.2f s\n", folder.toUtf8().constData(), mains,
                static_cast<long long>(mains) * subs, timer.elapsed() / 1000.0);
    return 0;
}
