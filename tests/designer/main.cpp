// Test entry point of the designer: its widgets need a QApplication before
// any of them is created, so the tests run inside one.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Tests draw into offscreen windows unless the caller asked otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
