#include "complib/connection/VyxConnection.h"

#include "plat/ProgramFolder.h"
#include "plat/Services.h"
#include "plat/testing/Fakes.h"
#include "protovyx/Simulator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using plat::testing::FakeLibraryLoader;
using plat::testing::FakePrompts;

namespace {

// Whether the process still has the library file mapped.
bool libraryMapped(const QString& path)
{
    void* h = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!h)
        return false;
    dlclose(h);
    return true;
}

void expectLoadFailureBox(const FakePrompts& prompts)
{
    ASSERT_EQ(prompts.shown().size(), 1u);
    const auto& box = prompts.shown()[0];
    EXPECT_EQ(box.text, "ZID dll not found or out of date!");
    EXPECT_EQ(box.caption, "Connection");
    EXPECT_EQ(box.icon, plat::PromptIcon::Error);
    EXPECT_EQ(box.buttons, plat::PromptButtons::Ok);
}

class ProgramFolderGuard {
public:
    explicit ProgramFolderGuard(const QString& folder) { plat::SetProgramFolder(folder); }
    ~ProgramFolderGuard() { plat::SetProgramFolder({}); }
};

class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray& value) : name_(name) { qputenv(name, value); }
    ~EnvGuard() { qunsetenv(name_); }

private:
    const char* name_;
};

} // namespace

// --- Through the real loader, over the fixture libraries -----------------------------

struct FixtureCase {
    const char* folder;
    const char* dllName;
    bool loads;
};

void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.folder << " as " << c.dllName; }

class LoaderFixtures : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(LoaderFixtures, LoadsExactlyTheLibrariesThatPassEveryCheck)
{
    const FixtureCase& c = GetParam();
    qunsetenv("PROTOVYX_SIM");
    qunsetenv("PROTOVYX_SIM_DLLVERSION");
    const QString folder = QStringLiteral(VYX_FIXTURE_ROOT "/") + c.folder;
    ProgramFolderGuard where(folder);
    FakePrompts prompts;
    plat::ScopedServices guard({.prompts = &prompts});
    const QString file = QDir(folder).filePath(plat::LibraryFileName(c.dllName));

    {
        TVyxConnection connection;
        connection.SetDllName(c.dllName);
        EXPECT_EQ(connection.LoadDll(), c.loads);
        EXPECT_EQ(connection.LibraryLoaded(), c.loads);
        ASSERT_NE(connection.Protocol(), nullptr);
        EXPECT_EQ(connection.Protocol() == TVyxConnection::NullProtocol(), !c.loads);
        if (c.loads) {
            EXPECT_TRUE(prompts.shown().empty());
            EXPECT_TRUE(libraryMapped(file));
            // The object answers.
            EXPECT_TRUE(connection.Protocol()->DetectEcu(nullptr));
            EXPECT_TRUE(connection.Protocol()->IsConnected());
        } else {
            expectLoadFailureBox(prompts);
            EXPECT_FALSE(libraryMapped(file)) << "a failed load frees the library";
        }
    }
    EXPECT_FALSE(libraryMapped(file)) << "the component frees the library when destroyed";
}

INSTANTIATE_TEST_SUITE_P(Table, LoaderFixtures, ::testing::Values(
    FixtureCase{"good", "ProtoVyx.dll", true},
    FixtureCase{"no_create", "ProtoVyx.dll", false},
    FixtureCase{"no_destroy", "ProtoVyx.dll", false},
    FixtureCase{"no_version", "ProtoVyx.dll", false},
    FixtureCase{"version_false", "ProtoVyx.dll", false},
    FixtureCase{"major0", "ProtoVyx.dll", false},
    FixtureCase{"major1", "ProtoVyx.dll", true},
    FixtureCase{"create_null", "ProtoVyx.dll", false},
    FixtureCase{"servyx4", "SerVyxDL.dll", false},
    FixtureCase{"servyx5", "SerVyxDL.dll", true},
    // The newer major is required for exactly that name (case-sensitive).
    FixtureCase{"servyx4", "SerVyxDL.DLL", true},
    FixtureCase{"good", "NoSuchVyx.dll", false}));

// --- The built stand-in library ------------------------------------------------------

namespace {

protovyx::ISimControl* controlOf(const QString& file, TEcuProtocol* object)
{
    void* h = dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!h)
        return nullptr;
    using Fn = protovyx::ISimControl* (*)(TEcuProtocol*);
    auto fn = reinterpret_cast<Fn>(dlsym(h, "_SimControl"));
    dlclose(h); // still loaded by the component
    return fn ? fn(object) : nullptr;
}

QStringList traceOps(const QString& traceFile)
{
    QFile f(traceFile);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList ops;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (!line.isEmpty())
            ops << QString::fromLatin1(line.split(' ').value(1));
    return ops;
}

} // namespace

TEST(ProtoVyxLibrary, LoadsCreatesAnswersAndUnloadsThroughTheConnection)
{
    for (bool connected : {true, false}) {
        QTemporaryDir tmp;
        const QString trace = tmp.filePath("trace.log");
        EnvGuard profile("PROTOVYX_SIM", "strict=1;latency=0;trace=" + QFile::encodeName(trace));
        ProgramFolderGuard where(QStringLiteral(PROTOVYX_LIBRARY_DIR));
        FakePrompts prompts;
        plat::ScopedServices guard({.prompts = &prompts});
        const QString file = QDir(QStringLiteral(PROTOVYX_LIBRARY_DIR)).filePath("libProtoVyx.so");
        {
            TVyxConnection connection;
            ASSERT_TRUE(connection.LoadDll());
            TEcuProtocol* ecu = connection.Protocol();
            protovyx::ISimControl* control = controlOf(file, ecu);
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(control->CurrentProfile().strict);

            ecu->SetComPort(0);
            ecu->SetTimeout(1200);
            TBootInfo boot{};
            ASSERT_TRUE(ecu->DetectEcu(&boot));
            EXPECT_EQ(boot.BootId, 0x1E05u);
            std::int32_t customer = 0;
            ASSERT_TRUE(ecu->ReadItem(0x233, &customer));
            EXPECT_EQ(customer, 1);
            EXPECT_EQ(control->Calls().back().name, "ReadItem");
            EXPECT_EQ(control->TimeoutMs(), 1200);
            if (!connected)
                ecu->Disconnect();
        }
        EXPECT_FALSE(libraryMapped(file));
        const QStringList ops = traceOps(trace);
        ASSERT_GE(ops.size(), 2);
        // The unload closes the link (or shuts the library down) before it
        // destroys the object: that call is the last one the object saw.
        EXPECT_EQ(ops.last(), connected ? "Disconnect" : "Shutdown") << ops.join(' ').toStdString();
        EXPECT_EQ(ops.at(ops.size() - 2), "IsConnected");
        EXPECT_TRUE(prompts.shown().empty());
    }
}

TEST(ProtoVyxLibrary, VersionOverrideDecidesTheLoad)
{
    ProgramFolderGuard where(QStringLiteral(PROTOVYX_LIBRARY_DIR));
    qunsetenv("PROTOVYX_SIM");
    for (auto [version, loads] : {std::pair{"0.9.0.0", false}, std::pair{"fail", false}, std::pair{"1.2.3.4", true}}) {
        EnvGuard env("PROTOVYX_SIM_DLLVERSION", version);
        FakePrompts prompts;
        plat::ScopedServices guard({.prompts = &prompts});
        TVyxConnection connection;
        EXPECT_EQ(connection.LoadDll(), loads) << version;
        EXPECT_EQ(prompts.shown().size(), loads ? 0u : 1u) << version;
    }
}

// --- The component's rules, on an in-process ECU -------------------------------------

namespace {

std::vector<std::string> g_log;
protovyx::Simulator* g_sim = nullptr;
bool g_versionOk = true;
std::uint32_t g_major = 1;

extern "C" TEcuProtocol* fakeCreate()
{
    g_log.push_back("create");
    return g_sim;
}
extern "C" void fakeDestroy(TEcuProtocol* p)
{
    // What the object saw last, at the moment it is destroyed.
    const auto calls = g_sim->Calls();
    g_log.push_back("destroy after " + (calls.empty() ? std::string("nothing") : calls.back().name));
    EXPECT_EQ(p, g_sim);
}
extern "C" bool fakeVersion(TDllVersion* v)
{
    *v = {g_major, 0, 0, 0};
    return g_versionOk;
}

struct InProcess : ::testing::Test {
    protovyx::Simulator sim;
    FakeLibraryLoader loader;
    FakePrompts prompts;
    plat::ScopedServices guard{{.prompts = &prompts, .libraries = &loader}};

    InProcess()
    {
        g_log.clear();
        g_sim = &sim;
        g_versionOk = true;
        g_major = 1;
        loader.add("ProtoVyx.dll", {{"_CreateClassInstance", reinterpret_cast<void*>(&fakeCreate)},
                                    {"_DestroyClassInstance", reinterpret_cast<void*>(&fakeDestroy)},
                                    {"_GetDLLVersion", reinterpret_cast<void*>(&fakeVersion)}});
        loader.add("Other.dll", {});
    }
    ~InProcess() override { g_sim = nullptr; }
};

} // namespace

TEST_F(InProcess, SecondLoadReturnsTrueAndLoadsNothing)
{
    TVyxConnection connection;
    ASSERT_TRUE(connection.LoadDll());
    ASSERT_TRUE(connection.LoadDll());
    EXPECT_EQ(loader.loaded, QStringList{"ProtoVyx.dll"});
    EXPECT_EQ(g_log, std::vector<std::string>{"create"});
    EXPECT_EQ(connection.Protocol(), static_cast<TEcuProtocol*>(&sim));
}

TEST_F(InProcess, DllNameChangesOnlyWhileUnloaded)
{
    TVyxConnection connection;
    EXPECT_EQ(connection.DllName(), "ProtoVyx.dll");
    connection.SetDllName("Other.dll");
    EXPECT_EQ(connection.DllName(), "Other.dll");
    connection.SetDllName("ProtoVyx.dll");
    ASSERT_TRUE(connection.LoadDll());
    connection.SetDllName("Other.dll");
    EXPECT_EQ(connection.DllName(), "ProtoVyx.dll");
    EXPECT_EQ(connection.property("DllName").toString(), "ProtoVyx.dll");
}

TEST_F(InProcess, UnloadClosesTheLinkBeforeTheObjectIsDestroyed)
{
    {
        TVyxConnection connection;
        ASSERT_TRUE(connection.LoadDll());
        ASSERT_TRUE(sim.DetectEcu(nullptr));
    }
    {
        TVyxConnection connection;
        ASSERT_TRUE(connection.LoadDll());
    }
    EXPECT_EQ(g_log, (std::vector<std::string>{"create", "destroy after Disconnect", "create",
                                               "destroy after Shutdown"}));
    EXPECT_EQ(loader.unloaded, (QStringList{"ProtoVyx.dll", "ProtoVyx.dll"}));
}

TEST_F(InProcess, FailedLoadCallsNothingInTheLibraryAndFreesIt)
{
    g_major = 0;
    {
        TVyxConnection connection;
        EXPECT_FALSE(connection.LoadDll());
        connection.UnloadDll(); // nothing loaded: nothing happens
    }
    EXPECT_TRUE(g_log.empty());
    EXPECT_TRUE(sim.Calls().empty());
    EXPECT_EQ(loader.unloaded, QStringList{"ProtoVyx.dll"});
    expectLoadFailureBox(prompts);
}

TEST_F(InProcess, CreateReturningNullIsAFailedLoad)
{
    g_sim = nullptr;
    TVyxConnection connection;
    EXPECT_FALSE(connection.LoadDll());
    EXPECT_FALSE(connection.LibraryLoaded());
    EXPECT_EQ(connection.Protocol(), TVyxConnection::NullProtocol());
    EXPECT_EQ(loader.unloaded, QStringList{"ProtoVyx.dll"});
    expectLoadFailureBox(prompts);
    g_sim = &sim;
}

TEST(NullProtocol, EveryOperationFailsAndLeavesBuffersAlone)
{
    TVyxConnection connection; // never loaded
    TEcuProtocol* p = connection.Protocol();
    ASSERT_EQ(p, TVyxConnection::NullProtocol());
    std::int32_t v[4] = {5, 5, 5, 5};
    std::uint8_t bytes[4] = {5, 5, 5, 5};
    std::int32_t len = 4;
    TEcuInfo info{};
    info.EcuType = 77;
    TBootInfo boot{};
    boot.BootId = 77;
    EXPECT_FALSE(p->IsConnected());
    EXPECT_FALSE(p->Connect());
    EXPECT_FALSE(p->DetectEcu(&boot));
    EXPECT_FALSE(p->GetEcuInfo(&info));
    EXPECT_FALSE(p->IsApplicationRunning());
    EXPECT_FALSE(p->ReadItem(0x233, v));
    EXPECT_FALSE(p->ReadRow(0xc154, v, 0));
    EXPECT_FALSE(p->ReadBlock(1, bytes, &len));
    EXPECT_FALSE(p->SendCommand(0x04, bytes, &len, 4));
    EXPECT_FALSE(p->WriteItem(0x2303, v));
    EXPECT_FALSE(p->WriteValue(0x24, 1));
    EXPECT_FALSE(p->WriteElement(0x1d, 0, 0));
    EXPECT_FALSE(p->WriteCell(0x54, 0, 0, 1));
    EXPECT_FALSE(p->WriteRow(0xc154, v, 0));
    EXPECT_FALSE(p->IsWirelessAdapterPresent());
    EXPECT_LT(p->GetItemFormat(0x7c, 1), 1);
    EXPECT_NE(p->ProgramFirmwareFile("x", 2, 0, 1), 0);
    EXPECT_NE(p->ProgramFirmwareImage(bytes, 2, 0, 1), 0);
    // A link failure, never "no such item" (which callers tolerate).
    EXPECT_NE(p->GetLastStatus(), 0);
    EXPECT_EQ(p->GetLastStatus() & ~ECU_STATUS_NO_ITEM, p->GetLastStatus());
    p->SetComPort(3);
    p->SetNotifyWindow(nullptr);
    p->Disconnect();
    p->Shutdown();
    EXPECT_EQ(v[0], 5);
    EXPECT_EQ(bytes[0], 5);
    EXPECT_EQ(len, 4);
    EXPECT_EQ(info.EcuType, 77);
    EXPECT_EQ(boot.BootId, 77u);
}

TEST(InProcessExports, PutAnInProcessEcuBehindTheConnection)
{
    protovyx::Simulator sim;
    const auto ex = protovyx::InProcessExportsOf(&sim);
    FakeLibraryLoader loader;
    loader.add("ProtoVyx.dll", {{"_CreateClassInstance", ex.createClassInstance},
                                {"_DestroyClassInstance", ex.destroyClassInstance},
                                {"_GetDLLVersion", ex.getDllVersion}});
    FakePrompts prompts;
    plat::ScopedServices guard({.prompts = &prompts, .libraries = &loader});
    {
        TVyxConnection connection;
        ASSERT_TRUE(connection.LoadDll());
        EXPECT_EQ(connection.Protocol(), static_cast<TEcuProtocol*>(&sim));
        EXPECT_TRUE(connection.Protocol()->DetectEcu(nullptr));
    }
    // The simulator outlives the connection; the unload closed its link.
    EXPECT_FALSE(sim.LinkOpen());
    EXPECT_EQ(sim.Calls().back().name, "Disconnect");
    protovyx::InProcessExportsOf(nullptr);
}
