// The entry point of the widget test programs: widgets need a QApplication for their whole life.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char **argv)
{
    // Listing the tests at build time and running them from a terminal must not need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
