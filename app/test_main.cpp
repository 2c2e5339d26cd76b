// The app tests' entry: one QApplication on Qt's offscreen platform for every test.
#include <gtest/gtest.h>
#include <QApplication>

#include "app/startup.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    tovmira::prepare_floating_point();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
