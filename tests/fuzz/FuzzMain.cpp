// libFuzzer entry of one fuzz target, chosen when the program is built (QUELM_FUZZ_TARGET).
#include "FuzzTargets.h"

#include <QGuiApplication>
#include <cstdlib>

namespace {
const quelm::fuzz::FuzzTarget* target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.gui.imageio*=false"); // a warning for every broken input drowns the fuzzer's own

    static QGuiApplication app(*argc, *argv);
    target = quelm::fuzz::FindFuzzTarget(QStringLiteral(QUELM_FUZZ_TARGET));
    quelm::fuzz::Require(target != nullptr, "unknown fuzz target");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    target->entry(data, size);
    return 0;
}
