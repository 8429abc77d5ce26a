#include "shell/main/Startup.h"
#include "MainTestSupport.h"
#include "config/window/FormConfig.h"
#include "shell/main/MainQuorin.h"

#include "complib/connection/VyxConnection.h"
#include "complib/settings/VyxRegistryData.h"
#include "datamodule/core/iodata.h"
#include "tests/support/DamagedLibraries.h"
#include "tests/support/rig/DataModuleRig.h"

#include "plat/ProgramFolder.h"
#include "plat/testing/Fakes.h"

#include <QApplication>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The rig's fakes without its data module: the start-up makes its own.
struct StartupRig {
    explicit StartupRig(const rig::Options& o = {}) : rig(o)
    {
        rig.destroyModule();
        rig.prompts.clear();
        // The module saved its settings as it went.
        if (!o.settings)
            rig.settings.keys.clear();
    }
    rig::DataModuleRig rig;
    std::vector<std::string> order;
    bool loopRan = false;
    bool mainShownInLoop = false;

    StartupHooks hooks()
    {
        StartupHooks h;
        h.created = [this](const char* name) {
            order.push_back(name);
            // Each object finds the ones before it.
            EXPECT_NE(StreamDati, nullptr) << name;
            if (order.size() >= 2) {
                EXPECT_NE(FormMain, nullptr) << name;
            }
        };
        h.createConfigWindow = [this](TFormMain* main) -> QWidget* {
            EXPECT_EQ(main, FormMain);
            EXPECT_NE(StreamDati, nullptr);
            auto* w = new QWidget;
            w->setObjectName(QStringLiteral("FormConfig"));
            return w;
        };
        h.exec = [this] {
            loopRan = true;
            mainShownInLoop = FormMain && FormMain->isVisible();
            if (FormMain)
                FormMain->close();
            return 0;
        };
        return h;
    }
};

TEST(Startup, CreatesTheThreeObjectsInOrderRunsTheLoopAndCleansUp)
{
    StartupRig s;
    EXPECT_EQ(RunProgram({.offline = true}, s.hooks()), 0);
    EXPECT_EQ(s.order, (std::vector<std::string>{"StreamDati", "FormMain", "FormConfig"}));
    EXPECT_TRUE(s.loopRan);
    EXPECT_TRUE(s.mainShownInLoop);
    EXPECT_EQ(StreamDati, nullptr);
    EXPECT_EQ(FormMain, nullptr);
    EXPECT_EQ(QApplication::applicationDisplayName(), QStringLiteral("Quorin Zelkon"));
    // The settings were saved and the protocol library unloaded at the end.
    EXPECT_TRUE(s.rig.libraries.unloaded.contains(QStringLiteral("ProtoVyx.dll")));
}

// Without a hook the program makes its own configuration window: hidden,
// the one "Configura" shows, in the language the main window applies.
TEST(Startup, TheProgramsConfigurationWindowFollowsTheMainWindowsLanguage)
{
    StartupRig s;
    StartupHooks h = s.hooks();
    h.createConfigWindow = nullptr;
    bool checked = false;
    h.exec = [&] {
        EXPECT_NE(FormConfig, nullptr);
        if (FormConfig && FormMain) {
            checked = true;
            EXPECT_EQ(FormMain->ConfigWindow.data(), FormConfig);
            EXPECT_FALSE(FormConfig->isVisible());
            EXPECT_EQ(FormConfig->PageControl->tabText(0), rig::text(70));
            FormConfig->PageControl->setTabText(0, QStringLiteral("stale"));
            FormMain->ApplyLanguage();
            EXPECT_EQ(FormConfig->PageControl->tabText(0), rig::text(70));
            FormMain->close();
        }
        return 0;
    };
    EXPECT_EQ(RunProgram({.offline = true}, h), 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(FormConfig, nullptr);
}

TEST(Startup, FailuresShowTheirMessageCreateEverythingAndSkipTheLoop)
{
    struct Case { const char* what; rig::Options options; const char* message; } cases[] = {
        {"settings missing", {.profile = {}, .settings = false}, TStreamDati::kSettingsMissingText},
        {"protocol library missing", {.profile = {}, .protocolLibrary = false}, TStreamDati::kCommunicationMissingText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartupRig s(c.options);
        EXPECT_EQ(RunProgram({}, s.hooks()), 0);
        EXPECT_EQ(s.order, (std::vector<std::string>{"StreamDati", "FormMain", "FormConfig"}));
        EXPECT_FALSE(s.loopRan);
        // The data module's message last (the loader may have reported first);
        // the main window adds none: it is never shown.
        ASSERT_FALSE(s.rig.prompts.shown().empty());
        EXPECT_EQ(s.rig.prompts.shown().back().text, QString::fromUtf8(c.message));
        EXPECT_EQ(s.rig.prompts.shown().back().icon, plat::PromptIcon::Error);
        EXPECT_EQ(s.rig.prompts.texts().count(QString::fromUtf8(c.message)), 1);
        EXPECT_EQ(FormMain, nullptr);
        EXPECT_EQ(StreamDati, nullptr);
    }
}

TEST(Startup, AnExceptionDuringStartUpIsShownAndTheProgramEndsWithZero)
{
    StartupRig s;
    StartupHooks h = s.hooks();
    h.createConfigWindow = [](TFormMain*) -> QWidget* { throw std::runtime_error("configuration window failed"); };
    EXPECT_EQ(RunProgram({}, h), 0);
    EXPECT_FALSE(s.loopRan);
    ASSERT_EQ(s.rig.prompts.shown().size(), 1u);
    EXPECT_EQ(s.rig.prompts.shown()[0].text, QStringLiteral("configuration window failed"));
    EXPECT_EQ(FormMain, nullptr);
    EXPECT_EQ(StreamDati, nullptr);
}

// A protocol library whose headers are intact but whose dynamic section is
// zeroed, in the program folder: refused by its probe before the program
// maps it, so the start shows the boxes of a missing library and ends.
TEST(Startup, ADamagedProtocolLibraryIsRefusedWithItsBoxAndNoCrash)
{
    qunsetenv("PROTOVYX_SIM");
    StartupRig s;
    QTemporaryDir folder;
    QFile built(QStringLiteral(QZ_PROTOVYX_LIBRARY));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    QByteArray bytes = built.readAll();
    ASSERT_TRUE(rig::ZeroSection(bytes, ".dynamic"));
    const QString file = folder.filePath(QStringLiteral("libProtoVyx.so"));
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(bytes);
    damaged.close();
    ASSERT_TRUE(QFile::copy(QStringLiteral(QZ_LANGUAGES_LIBRARY), folder.filePath(QStringLiteral("libLanguages.so"))));
    plat::SetProgramFolder(folder.path());
    plat::QtLibraryLoader libraries;
    plat::testing::FakeLog log;
    plat::ScopedServices real({.libraries = &libraries, .log = &log});

    EXPECT_EQ(RunProgram({}, s.hooks()), 0);
    plat::SetProgramFolder({});
    EXPECT_FALSE(s.loopRan);
    EXPECT_EQ(s.rig.prompts.texts(), (QStringList{QString::fromLatin1(TVyxConnection::kLoadFailedText),
                                                  QString::fromUtf8(TStreamDati::kCommunicationMissingText)}));
    EXPECT_EQ(s.rig.prompts.shown()[0].caption, QString::fromLatin1(TVyxConnection::kLoadFailedCaption));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].startsWith(QStringLiteral("run-time library %1 refused: the probe ").arg(file)))
        << log.lines[0].toStdString();
}

TEST(Startup, OfflineOption)
{
    EXPECT_TRUE(ParseStartupOptions({QStringLiteral("quorin-zelkon"), QStringLiteral("--offline")}).offline);
    EXPECT_FALSE(ParseStartupOptions({QStringLiteral("quorin-zelkon")}).offline);
}

} // namespace
