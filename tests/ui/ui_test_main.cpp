#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Windows need a widget application; without a display the offscreen platform stands in, also
// when CTest lists the tests at build time. Settings and the application folder go to a
// throw-away folder, never to the real home.
int main(int argc, char** argv) {
    const QTemporaryDir home;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "KAVLO_HOME"}) {
        qputenv(name, home.path().toLocal8Bit());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
