// The main of the test programs that need a Qt application object: timers and event loops
// for the controller and operations tests (QCoreApplication), widgets on the offscreen
// platform for the window tests (QApplication, with MORVANE_TEST_WIDGETS).
#ifdef MORVANE_TEST_WIDGETS
#include <QApplication>
#else
#include <QCoreApplication>
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv) {
#ifdef MORVANE_TEST_WIDGETS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
