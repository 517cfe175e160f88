// GoogleTest with a QApplication around it: text and vector pictures need one.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Headless unless told otherwise (the test list is also read at build time).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
