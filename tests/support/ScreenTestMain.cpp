// main() for the GUI tests that need a screen of a given size: the offscreen
// platform with one screen of QZ_TEST_SCREEN ("1024x768"; that size when the
// variable is unset), so that a window scales to it as it does on a real one.
#include "plat/LibraryProbe.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The tests that load the real libraries start this binary as their probe.
    plat::serveLibraryProbe(argc, argv);
    QByteArray size = qgetenv("QZ_TEST_SCREEN");
    if (size.isEmpty())
        size = "1024x768";
    const QList<QByteArray> wh = size.split('x');
    const int width = wh.value(0).toInt(), height = wh.value(1).toInt();
    QTemporaryDir folder;
    if (width <= 0 || height <= 0 || !folder.isValid()) {
        std::fprintf(stderr, "QZ_TEST_SCREEN: not a screen size: %s\n", size.constData());
        return 2;
    }
    const QString path = QDir(folder.path()).filePath(QStringLiteral("screen.json"));
    QFile config(path);
    if (!config.open(QIODevice::WriteOnly))
        return 2;
    config.write(QStringLiteral("{\"screens\":[{\"name\":\"test\",\"x\":0,\"y\":0,\"width\":%1,\"height\":%2,"
                                "\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}")
                     .arg(width)
                     .arg(height)
                     .toUtf8());
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(path));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
