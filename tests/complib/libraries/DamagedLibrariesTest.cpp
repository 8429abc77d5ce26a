// A run-time library cut short (a broken copy, a full disk during an update)
// or damaged inside is a library that did not load: the protocol library's
// failure box, or the program's own Italian texts, and never a crash inside
// the system's loader or the library's own code.
#include "tests/support/DamagedLibraries.h"
#include "complib/connection/VyxConnection.h"
#include "complib/translator/Translator.h"

#include "plat/DynamicLibrary.h"
#include "plat/ProgramFolder.h"
#include "plat/Services.h"
#include "plat/testing/Fakes.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <dlfcn.h>
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
            QFile copy(folder.filePath(plat::LibraryFileName(QLatin1String(lib.logicalName))));
            ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
            ASSERT_EQ(copy.write(whole.left(size)), size);
            copy.close();

            plat::SetProgramFolder(folder.path());
            plat::testing::FakePrompts prompts;
            plat::ScopedServices services({.prompts = &prompts});
            EXPECT_EQ(lib.load(prompts), size == whole.size());
            plat::SetProgramFolder({});
        }
    }
}

QByteArray builtLibrary(const char* file)
{
    QFile built(QString::fromLocal8Bit(file));
    return built.open(QIODevice::ReadOnly) ? built.readAll() : QByteArray();
}

// Whether this process has the file mapped.
bool mapped(const QString& path)
{
    void* h = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

// Copies whose headers are intact: the check before mapping passes them, and
// today's program crashed on mapping them or on its first call. The reason is
// what the log must say after the file's name.
TEST(DamagedLibraries, AreRefusedWithoutBeingMappedAndTheLogNamesFileAndReason)
{
    qunsetenv("PROTOVYX_SIM");
    const QByteArray protocol = builtLibrary(QZ_PROTOVYX_LIBRARY);
    const QByteArray languages = builtLibrary(QZ_LANGUAGES_LIBRARY);
    ASSERT_FALSE(protocol.isEmpty());
    ASSERT_FALSE(languages.isEmpty());
    auto damaged = [](QByteArray bytes, const std::function<bool(QByteArray&)>& damage) {
        EXPECT_TRUE(damage(bytes));
        return bytes;
    };
    auto zeroDynamic = [](QByteArray& b) { return rig::ZeroSection(b, ".dynamic"); };
    auto randomCode = [](const char* exportName) {
        return [exportName](QByteArray& b) { return rig::RandomiseExportCode(b, exportName, 27); };
    };
    // Killed by a signal; under the address sanitizer the probe reports the
    // fault and exits instead.
    const char* crashed = "^the probe (was ended by signal \\d+|ended with code \\d+ and no verdict)";
    const struct {
        const char* name;
        const char* logicalName;
        QByteArray bytes;
        const char* reason;
        std::function<bool(plat::testing::FakePrompts&)> load;
    } cases[] = {
        {"protocol library, .dynamic zeroed", "ProtoVyx.dll", damaged(protocol, zeroDynamic), crashed, &loadProtocol},
        {"protocol library, random code in _CreateClassInstance", "ProtoVyx.dll",
         damaged(protocol, randomCode(kExportCreateClassInstance)), crashed, &loadProtocol},
        {"protocol library, cut inside its code", "ProtoVyx.dll", protocol.left(12 * 1024),
         "^a loadable segment lies past the end of the file$", &loadProtocol},
        {"language library, .dynamic zeroed", "Languages.dll", damaged(languages, zeroDynamic), crashed,
         &loadLanguages},
        {"language library, random code in _LoadStringW", "Languages.dll",
         damaged(languages, randomCode(langlib::kLoadStringWExport)), crashed, &loadLanguages},
        {"the protocol library in the language library's place", "Languages.dll", protocol,
         "^none of the language exports$", &loadLanguages},
        {"language library, cut inside its header", "Languages.dll", languages.left(4096),
         "^a loadable segment lies past the end of the file$", &loadLanguages},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString file = folder.filePath(plat::LibraryFileName(QLatin1String(c.logicalName)));
        QFile copy(file);
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        ASSERT_EQ(copy.write(c.bytes), c.bytes.size());
        copy.close();

        plat::SetProgramFolder(folder.path());
        plat::testing::FakePrompts prompts;
        plat::testing::FakeLog log;
        plat::ScopedServices services({.prompts = &prompts, .log = &log});
        EXPECT_FALSE(c.load(prompts));
        EXPECT_FALSE(mapped(file));
        plat::SetProgramFolder({});

        ASSERT_EQ(log.lines.size(), 1) << log.lines.join(u'\n').toStdString();
        const QString prefix = QStringLiteral("run-time library %1 refused: ").arg(file);
        ASSERT_TRUE(log.lines[0].startsWith(prefix)) << log.lines[0].toStdString();
        const QString reason = log.lines[0].mid(prefix.size());
        EXPECT_TRUE(QRegularExpression(QLatin1String(c.reason)).match(reason).hasMatch()) << reason.toStdString();
    }
}

} // namespace
