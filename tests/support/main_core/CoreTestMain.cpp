#include "plat/LibraryProbe.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The tests that load the real libraries start this binary as their probe.
    plat::ServeLibraryProbe(argc, argv);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
