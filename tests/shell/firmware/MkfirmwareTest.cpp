// The firmware tool end to end: what it writes passes (or fails) the
// program's checks and the simulated ECU as it should.
#include "shell/firmware/FirmwareImage.h"

#include "product/constants/BuildConstants.h"
#include "protovyx/Simulator.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

using namespace qz::firmware;

namespace {

int runTool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(MKFIRMWARE_PATH), args);
    if (!p.waitForFinished(30000))
        return -100;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -101;
}

// An ECU of the type, connected, on the given clock-free simulator.
struct Ecu {
    protovyx::Simulator sim;
    TBootInfo boot{};
    explicit Ecu(const std::string& profile) : sim(profile)
    {
        sim.SetTimeout(0);
        sim.SetRebootMs(0);
        EXPECT_TRUE(sim.DetectEcu(&boot));
    }
    int program(const QByteArray& image) { return sim.ProgramFirmwareImage(image.constData(), 2, 0, 1); }
};

} // namespace

TEST(Mkfirmware, DemoFilesCoverEveryExtensionAndProgramTheSimulatedEcu)
{
    qz::InitBuildConstants();
    QTemporaryDir dir;
    ASSERT_EQ(runTool({"--demo", dir.path()}), 0);
    const QStringList names = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_EQ(names.size(), 10);
    std::set<std::string> extensions;
    const QRegularExpression pattern(QStringLiteral("^Demo_T(\\d+)_V(\\d+)\\.(\\d+)\\.\\w+$"));
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const auto m = pattern.match(name);
        ASSERT_TRUE(m.hasMatch());
        const int type = m.captured(1).toInt();
        const int major = m.captured(2).toInt(), minor = m.captured(3).toInt();
        extensions.insert(FirmwareExtensionOf(name).toStdString());

        Ecu ecu("type=" + std::to_string(type) + ";customer=5");
        EXPECT_TRUE(FirmwareFileMatchesEcu(FirmwareExtensionOf(name), ecu.boot.BootId, ecu.boot.BootExtra));
        const TFirmwareLoad file = LoadFirmwareFile(QDir(dir.path()).filePath(name));
        ASSERT_TRUE(file.Ok());
        EXPECT_EQ(CheckFirmwareImage(5, file.image, ecu.boot.BootId, ecu.boot.BootExtra,
                                     [&] { return ReadHardwareVariant(&ecu.sim, 0); }, ProgramVersionNumber()),
                  0);
        const TWholeImageCheck whole = CheckWholeFirmwareImage(file.image, ecu.boot.BootId, ecu.boot.BootExtra);
        EXPECT_TRUE(whole.Ok()) << whole.Reason();
        ASSERT_EQ(ecu.program(file.image), 0);
        ASSERT_TRUE(ecu.sim.Connect());
        TEcuInfo info{};
        ASSERT_TRUE(ecu.sim.GetEcuInfo(&info));
        EXPECT_EQ(info.EcuType, type);
        EXPECT_EQ(info.FirmwareMajor, major);
        EXPECT_EQ(info.FirmwareMinor, minor);
        EXPECT_TRUE(ecu.sim.Violations().empty());
    }
    for (const auto& ext : qz::FirmwareExtensionTable())
        EXPECT_EQ(extensions.count("." + std::string(ext.data())), 1u) << ext.data();
}

TEST(Mkfirmware, EachBrokenKindFailsWhereItShould)
{
    struct Case {
        const char* kind;
        int check;   // CheckFirmwareImage on a personalised type-30 ECU; -1: the file is refused (P04)
        int program; // the ECU's result when the program lets it through
    };
    const Case cases[] = {
        {"s0-2", 7, -2},          {"s0-4", 7, -2},        {"consistency", 1, -2}, {"checksum", -1, -2},
        {"wrong-type", 2, -3},    {"wrong-variant", 3, -3}, {"old-version", 4, 0},  {"program-too-old", 5, 0},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const QString out = dir.filePath(QStringLiteral("%1.zp4").arg(QLatin1String(c.kind)));
        ASSERT_EQ(runTool({"--type", "30", "--broken", c.kind, out}), 0);
        const TFirmwareLoad file = LoadFirmwareFile(out);
        if (c.check < 0) {
            // A damaged record: never sent.
            EXPECT_STREQ(file.Code(), "P04");
            continue;
        }
        ASSERT_TRUE(file.Ok());
        Ecu ecu("type=30;hw=2;customer=5");
        EXPECT_EQ(CheckFirmwareImage(5, file.image, ecu.boot.BootId, ecu.boot.BootExtra,
                                     [&] { return ReadHardwareVariant(&ecu.sim, 0); }, 0x0100),
                  c.check);
        EXPECT_TRUE(CheckWholeFirmwareImage(file.image, ecu.boot.BootId, ecu.boot.BootExtra).Ok())
            << "only the metadata are broken";
        EXPECT_EQ(ecu.program(file.image), c.program);
    }
}

TEST(Mkfirmware, PlainImagesAndCommandLine)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.s19"));
    ASSERT_EQ(runTool({"--plain", "--type", "55", "--version", "7.9", "--variants", "0x08", plain}), 0);
    QFile f(plain);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.startsWith("S0"));
    EXPECT_EQ(LoadFirmwareFile(plain).Code(), std::string("P04")) << "no container";
    QByteArray image(4, '\0');
    for (int i = 0; i < 4; ++i)
        image[i] = static_cast<char>((text.size() >> (8 * i)) & 0xFF);
    image += text;
    Ecu ecu("type=55;hw=3");
    EXPECT_EQ(CheckFirmwareImage(1, image, ecu.boot.BootId, 0, [] { return 3; }, 0x100), 0);
    EXPECT_EQ(CheckFirmwareImage(1, image, ecu.boot.BootId, 0, [] { return 2; }, 0x100), 3);
    ASSERT_EQ(ecu.program(image), 0);

    EXPECT_EQ(runTool({}), 2);
    EXPECT_EQ(runTool({"--broken", "nonsense", dir.filePath("x")}), 2);
    EXPECT_EQ(runTool({"--version", "256.1", dir.filePath("x")}), 2);
    EXPECT_EQ(runTool({"--type", "30", dir.filePath("no/such/folder/x.zp4")}), 1);
}
