// A run-time library cut short (a broken copy, a full disk during an update)
// is a library that did not load: the protocol library's failure box, or the
// program's own Italian texts, and never a crash inside the system's loader.
#include "Translator.h"
#include "VyxConnection.h"

#include "plat/DynamicLibrary.h"
#include "plat/ProgramFolder.h"
#include "plat/Services.h"
#include "plat/testing/Fakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct Library {
    const char* logicalName;
    const char* builtFile;
    // Loads it the program's way in a folder holding the file; answers
    // whether it loaded and checks what the user sees either way.
    std::function<bool(plat::testing::FakePrompts&)> load;
};

bool loadProtocol(plat::testing::FakePrompts& prompts)
{
    TVyxConnection connection;
    const bool loaded = connection.LoadDll();
    EXPECT_EQ(connection.LibraryLoaded(), loaded);
    if (loaded) {
        EXPECT_TRUE(prompts.shown().empty());
    } else {
        EXPECT_EQ(connection.Protocol(), TVyxConnection::NullProtocol());
        EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("ZID dll not found or out of date!")});
    }
    return loaded;
}

bool loadLanguages(plat::testing::FakePrompts& prompts)
{
    TTranslator translator;
    translator.SetDllName(QStringLiteral("Languages.dll"));
    const bool loaded = translator.LoadDll();
    // Italian either way; English only from the library.
    EXPECT_EQ(translator.GetString(3), QStringLiteral("Configura"));
    translator.SetLanguage(1);
    EXPECT_EQ(translator.GetString(3), loaded ? QStringLiteral("Configure") : QStringLiteral("Configura"));
    EXPECT_EQ(translator.LanguageCount(), loaded ? 2 : 1);
    EXPECT_TRUE(prompts.shown().empty());
    return loaded;
}

TEST(TruncatedLibraries, CountAsMissingWithTheirFallback)
{
    qunsetenv("PROTOVYX_SIM");
    const Library libraries[] = {
        {"ProtoVyx.dll", QZ_PROTOVYX_LIBRARY, &loadProtocol},
        {"Languages.dll", QZ_LANGUAGES_LIBRARY, &loadLanguages},
    };
    for (const Library& lib : libraries) {
        QFile built(QString::fromLocal8Bit(lib.builtFile));
        ASSERT_TRUE(built.open(QIODevice::ReadOnly));
        const QByteArray whole = built.readAll();
        ASSERT_GT(whole.size(), 16 * 1024);
        // Whole, and cut to a few KiB: inside the header, inside the code,
        // inside the read-only data.
        for (const qsizetype size : {whole.size(), qsizetype(4096), qsizetype(12 * 1024), qsizetype(40 * 1024)}) {
            SCOPED_TRACE(std::string(lib.logicalName) + " of " + std::to_string(size) + " bytes");
            QTemporaryDir folder;
            QFile copy(folder.filePath(plat::libraryFileName(QLatin1String(lib.logicalName))));
            ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
            ASSERT_EQ(copy.write(whole.left(size)), size);
            copy.close();

            plat::setProgramFolder(folder.path());
            plat::testing::FakePrompts prompts;
            plat::ScopedServices services({.prompts = &prompts});
            EXPECT_EQ(lib.load(prompts), size == whole.size());
            plat::setProgramFolder({});
        }
    }
}

} // namespace
