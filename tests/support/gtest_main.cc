// Entry point of every engine test executable: a QCoreApplication (engines
// use Qt Core), Qt's test mode for standard paths, and the en_US text locale.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    vantrel::test::prepareTestEnvironment();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
