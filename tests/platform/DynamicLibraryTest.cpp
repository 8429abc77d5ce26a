#include "plat/DynamicLibrary.h"
#include "plat/ProgramFolder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plat;

TEST(DynamicLibrary, LogicalNamesMapToThisSystemsFileNames)
{
#if defined(Q_OS_WIN)
    EXPECT_EQ(libraryFileName("ProtoVyx.dll"), "ProtoVyx.dll");
#elif !defined(Q_OS_MACOS)
    EXPECT_EQ(libraryFileName("ProtoVyx.dll"), "libProtoVyx.so");
    EXPECT_EQ(libraryFileName("Languages.DLL"), "libLanguages.so");
    EXPECT_EQ(libraryFileName("SerVyxDL.dll"), "libSerVyxDL.so");
#endif
}

TEST(DynamicLibrary, MissingLibraryIsNullNotACrash)
{
    QTemporaryDir dir;
    setProgramFolder(dir.path());
    QtLibraryLoader loader;
    EXPECT_EQ(loader.load("NoSuchLibrary.dll"), nullptr);
    setProgramFolder({});
}
