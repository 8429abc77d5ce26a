#include "plat/LibraryProbe.h"
#include "plat/testing/OffscreenScreen.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The tests that load the real libraries start this binary as their probe.
    plat::ServeLibraryProbe(argc, argv);
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                   : qgetenv("QT_QPA_PLATFORM"));
    // QZ_TEST_SCREEN=WxH: the offscreen screen of that size, so that a window
    // scales to it as it does on a real one.
    QTemporaryDir folder;
    if (const QByteArray size = qgetenv("QZ_TEST_SCREEN"); !size.isEmpty()) {
        if (!folder.isValid() || !plat::testing::UseOffscreenScreen(plat::testing::ParseScreenSize(size),
                                                                    QDir(folder.path()).filePath("screen.json"))) {
            std::fprintf(stderr, "QZ_TEST_SCREEN: no offscreen screen of %s\n", size.constData());
            return 2;
        }
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
