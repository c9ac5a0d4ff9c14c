// The main of every window test program: widgets need a QApplication before the first one is made.
// (Kept out of tests/support itself, whose .cpp files go into every test program there.)

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char *argv[])
{
    // CTest runs these on the offscreen platform; so does a run by hand, and so does the test
    // listing at build time, where no display may exist.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
