#include <gtest/gtest.h>
#include <QGuiApplication>

// Painting needs a GUI application; without a display the offscreen platform stands in, also
// when CTest lists the tests at build time.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
