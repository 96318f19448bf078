// Test entry point: a QApplication on the offscreen platform, so screens can be built and driven.
#include "exchange/ExchangeScreens.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quelm::exchange::InstallExchangeOpeners(); // as the program does at start-up
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
