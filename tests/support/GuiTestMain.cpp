#include "plat/LibraryProbe.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The tests that load the real libraries start this binary as their probe.
    plat::serveLibraryProbe(argc, argv);
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                   : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
