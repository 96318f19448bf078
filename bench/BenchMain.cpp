// The main of every benchmark program.
#include "platform/Memory.h"

#include <QApplication>
#include <benchmark/benchmark.h>

// A QApplication on the offscreen platform, so benchmarks of screens can build their widgets.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quelm::platform::KeepFreedMemory(); // as the program does at start-up
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
