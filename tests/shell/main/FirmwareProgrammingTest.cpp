// "Nuovo firmware" from the main window against the simulated ECU: the
// checks before the download, the attempts and their boxes, the reconnect and
// the configuration written back, with scripted prompts and file dialogs in
// virtual time.
#include "MainTestSupport.h"
#include "shell/main/MainQuorin.h"

#include "datamodule/files/EncryptedContainer.h"
#include "product/constants/BuildConstants.h"
#include "product/firmware/FirmwareMeta.h"
#include "shell/windows/Attesa.h"
#include "tests/support/rig/DataModuleRig.h"

#include "plat/PictureButton.h"
#include "plat/testing/DesktopFakes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace fw = qz::firmware;

namespace {

constexpr int kPoked = 0x36; // an item the image carries: default 255 in the simulated ECU

// Type 30, variants 0 to 4, version 31.2, for programs from 1.0 on.
fw::TImageSpec goodSpec(int type = 30)
{
    fw::TImageSpec spec;
    spec.meta = {.type = static_cast<std::uint8_t>(type), .variantMask = 0x1F, .version = 0x1F02,
                 .minProgramVersion = 0x0100, .salt = 0x41};
    spec.dataBytes = 512;
    return spec;
}

// Sees the progress the wait panel receives while the image goes down.
class ProgressWatch : public QObject {
public:
    ProgressWatch() { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }

    std::vector<int> percents;
    bool timerRanDuringDownload = false;
    std::function<void(int)> onPercent;

protected:
    bool eventFilter(QObject* receiver, QEvent* e) override
    {
        if (plat::MessageEvent::isMessage(e, plat::WM_WAITPROGRESS) && qobject_cast<TFormAttesa*>(receiver)) {
            const auto* m = static_cast<plat::MessageEvent*>(e);
            if (m->lParam() == 0) {
                percents.push_back(static_cast<int>(m->wParam()));
                timerRanDuringDownload = timerRanDuringDownload || StreamDati->TimerIO->isActive();
                if (onPercent)
                    onPercent(static_cast<int>(m->wParam()));
            }
        }
        return false;
    }
};

class Programming {
public:
    explicit Programming(const std::string& profile) : rig({.profile = profile})
    {
        qz::InitBuildConstants();
        window = std::make_unique<TFormMain>();
        window->DefaultSetLoader = [](int) { return true; };
    }
    ~Programming()
    {
        window.reset();
        QApplication::processEvents();
    }

    // Connects as the user would, with one value of the ECU changed so that
    // the image in memory differs from the defaults programming leaves.
    void connect()
    {
        const std::int32_t v = 100;
        rig.sim().PokeItem(kPoked, std::span(&v, 1));
        window->ActionConnettiExecute();
        QApplication::processEvents();
        ASSERT_TRUE(rig.sim().LinkOpen());
        rig.prompts.clear();
        rig.sim().ClearCalls();
    }

    QString file(const std::string& name, const std::string& text, bool encrypted = true)
    {
        const QByteArray plain(text.data(), static_cast<qsizetype>(text.size()));
        const QString path = dir.filePath(QString::fromStdString(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(encrypted ? qz::files::EncryptContainer(plain, 7) : plain);
        return path;
    }
    QString image(const fw::TImageSpec& spec, const char* extension = nullptr)
    {
        const std::string ext = extension ? extension : qz::FirmwareFileExtension(spec.meta.type);
        return file("firmware." + ext, fw::WriteFirmwareImage(spec));
    }

    // Chooses the file in the dialog and runs the action.
    void program(const QString& path)
    {
        dialogs.script(path);
        window->ActionProgrammaExecute();
        QApplication::processEvents(); // the link's events
    }

    int calls(const char* name) const { return static_cast<int>(rig.callsOf(name).size()); }
    std::int32_t item(int number)
    {
        std::vector<std::int32_t> v;
        if (!rig.sim().PeekItem(number, v) || v.empty())
            return -1;
        return v[0];
    }
    QStringList boxes() const { return rig.prompts.texts(); }
    bool waitPanelLeft() const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFormAttesa*>(w))
                return true;
        return false;
    }

    QTemporaryDir dir;
    plat::testing::FakeFileDialogs dialogs;
    plat::ScopedDesktop desktopGuard{{.fileDialogs = &dialogs}};
    rig::DataModuleRig rig;
    std::unique_ptr<TFormMain> window;
};

QString coded(const QString& body, const QString& code) { return body + QStringLiteral("\n(ERR.CODE: ") + code + ")"; }

} // namespace

TEST(FirmwareProgramming, DownloadsReconnectsAndWritesTheConfigurationBack)
{
    Programming p("type=30;fw=30.4;customer=3");
    p.connect();
    ProgressWatch progress;
    p.program(p.image(goodSpec()));

    EXPECT_TRUE(p.boxes().isEmpty()) << p.boxes().join(" | ").toStdString();
    EXPECT_EQ(p.calls("ProgramFirmwareImage"), 1);
    EXPECT_TRUE(p.rig.sim().Violations().empty());

    // The bar moved while the library reported to the wait panel, with the
    // poll timer off.
    ASSERT_GE(progress.percents.size(), 3u);
    EXPECT_EQ(progress.percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.percents.begin(), progress.percents.end()));
    EXPECT_FALSE(progress.timerRanDuringDownload);

    // The ECU runs the new firmware, and has the configuration of memory back.
    EXPECT_TRUE(p.rig.sim().LinkOpen());
    EXPECT_EQ(StreamDati->EcuInfo.FirmwareMajor, 0x1F);
    EXPECT_EQ(StreamDati->EcuInfo.FirmwareMinor, 2);
    EXPECT_EQ(p.item(kPoked), 100);
    EXPECT_EQ(p.item(0x33), 3);  // personalisation restored
    EXPECT_EQ(p.item(0x40), 5);  // the model byte of the boot identity
    EXPECT_GT(p.calls("WriteRow"), 10);

    // The main window is the notify target again and shows the link.
    EXPECT_EQ(p.window->ImageConnected->currentId(), 10001);
    EXPECT_TRUE(StreamDati->TimerIO->isActive());
    EXPECT_FALSE(p.waitPanelLeft());
    p.rig.sim().LoseLink();
    QApplication::processEvents();
    EXPECT_EQ(p.window->ImageConnected->currentId(), 10002);
}

TEST(FirmwareProgramming, ChecksBeforeTheDownloadStopWithTheirCode)
{
    struct Case {
        const char* name;
        const char* profile;
        std::function<QString(Programming&)> file;
        QString box;
    };
    const QString t42 = QStringLiteral("T42");
    const QString t347 = QStringLiteral("T347");
    auto spec = [](auto change) {
        fw::TImageSpec s = goodSpec();
        change(s);
        return s;
    };
    const Case cases[] = {
        {"no boot identity", "present=0", [](Programming& p) { return p.image(goodSpec()); }, coded(t42, "P01")},
        {"file of another type", "",
         [](Programming& p) { return p.image(goodSpec(), qz::FirmwareFileExtension(31)); }, coded(t42, "P02")},
        {"model byte 4", "model=4", [](Programming& p) { return p.image(goodSpec()); }, coded(t42, "P02")},
        {"extension in other case", "",
         [](Programming& p) { return p.image(goodSpec(), "ZP4"); }, coded(t42, "P02")},
        {"missing file", "", [](Programming& p) { return p.dir.filePath(QStringLiteral("none.zp4")); },
         coded(t42, "P03")},
        {"plain S-records", "",
         [](Programming& p) { return p.file("plain.zp4", fw::WriteFirmwareImage(goodSpec()), false); },
         coded(t42, "P04")},
        {"truncated container", "",
         [](Programming& p) {
             const QString path = p.image(goodSpec());
             QFile f(path);
             f.open(QIODevice::ReadWrite);
             f.resize(100);
             return path;
         },
         coded(t42, "P04")},
        {"broken consistency", "",
         [&](Programming& p) { return p.image(spec([](auto& s) { s.breakConsistency = true; })); },
         coded(t347, "P13/1")},
        {"image for type 31", "",
         [&](Programming& p) { return p.image(spec([](auto& s) { s.meta.type = 31; }), "zp4"); },
         coded(t347, "P13/2")},
        {"variant not supported", "hw=5",
         [&](Programming& p) { return p.image(spec([](auto& s) { s.meta.variantMask = 0x1F; })); },
         coded(t347, "P13/3")},
        {"version too old for a personalised ECU", "customer=3",
         [&](Programming& p) { return p.image(spec([](auto& s) { s.meta.version = 0x1DFF; })); },
         coded(t347, "P13/4")},
        {"program too old", "",
         [&](Programming& p) { return p.image(spec([](auto& s) { s.meta.minProgramVersion = 0x6300; })); },
         coded(t347, "P13/5")},
        {"two S0 records", "",
         [&](Programming& p) { return p.image(spec([](auto& s) { s.s0Records = 2; })); }, coded(t347, "P13/7")},
        {"four S0 records in boot mode", "type=3;boottype=30",
         [&](Programming& p) { return p.image(spec([](auto& s) { s.s0Records = 4; })); }, coded(t347, "P13/6")},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Programming p(k.profile);
        const QString path = k.file(p);
        std::vector<std::int32_t> before;
        p.rig.sim().PeekItem(kPoked, before);
        p.rig.prompts.clear();
        p.rig.sim().ClearCalls();
        p.program(path);
        EXPECT_EQ(p.boxes(), QStringList{k.box});
        ASSERT_FALSE(p.rig.prompts.shown().empty());
        EXPECT_EQ(p.rig.prompts.shown()[0].icon, plat::PromptIcon::Error);
        EXPECT_EQ(p.calls("ProgramFirmwareImage"), 0);
        EXPECT_EQ(p.calls("Prepare"), 0);
        std::vector<std::int32_t> after;
        p.rig.sim().PeekItem(kPoked, after);
        EXPECT_EQ(after, before);
        EXPECT_FALSE(p.waitPanelLeft());
    }
}

TEST(FirmwareProgramming, ADamagedImageIsNeverSent)
{
    const std::string text = fw::WriteFirmwareImage(goodSpec());
    // The lines of the image and where one starts.
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\n')
            starts.push_back(i + 1);
    const std::size_t middle = starts[3 + (starts.size() - 5) / 2]; // a data record
    const std::size_t countRecord = starts[starts.size() - 2];      // the S5 record
    const std::size_t lineEnd = text.find('\n', middle);
    // One bit of the container flipped: the same bit of the text (a stream
    // cipher), or one digit of the text changed before it was enciphered.
    struct Case {
        const char* name;
        std::size_t at;
        int bit;        // flipped in the container; -1: the digit is changed instead
    };
    const Case cases[] = {
        {"a data digit, flipped bit", middle + 12, 0x01},
        {"a data digit changed", middle + 14, -1},
        {"the checksum", lineEnd - 2, 0x04},
        {"the title record", 6, 0x02},
        {"a line end", lineEnd, 0x01},
        {"the count record's kind", countRecord + 1, 0x01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Programming p("");
        p.connect();
        std::string edited = text;
        if (c.bit < 0)
            edited[c.at] = edited[c.at] == '0' ? '1' : '0';
        const QString path = p.file("firmware.zp4", edited);
        if (c.bit >= 0) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            QByteArray bytes = f.readAll();
            const qsizetype k = qz::files::kContainerBodyOffset + static_cast<qsizetype>(c.at);
            bytes[k] = static_cast<char>(bytes[k] ^ c.bit);
            ASSERT_TRUE(f.seek(0));
            f.write(bytes);
        }
        p.program(path);
        EXPECT_EQ(p.boxes(), QStringList{coded(QStringLiteral("T42"), "P04")});
        EXPECT_EQ(p.calls("ProgramFirmwareImage"), 0);
        EXPECT_EQ(p.calls("Prepare"), 0);
        EXPECT_EQ(p.item(kPoked), 100);
    }
}

TEST(FirmwareProgramming, AnImageThatIsNotWholeIsRefusedBeforeAnyByteIsSent)
{
    // The image's lines: three S0 records, 16 data records (lines 4 to 19),
    // the count and the end record.
    std::vector<std::string> lines;
    const std::string text = fw::WriteFirmwareImage(goodSpec());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto end = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    auto join = [](const std::vector<std::string>& l, const char* eol) {
        std::string out;
        for (const auto& one : l)
            out += one + eol;
        return out;
    };
    std::vector<std::string> moved = lines;
    const std::vector<std::uint8_t> data(32, 0x5A);
    moved[8] = fw::FormatSRecord('2', 0x3FE0, data);
    const std::vector<std::string> half(lines.begin(), lines.begin() + 11);
    struct Case {
        const char* name;
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"a data record below 0x4000", join(moved, "\r\n"),
         "line 9 (record 9): data from 0x3FE0 to 0x3FFF outside 0x4000-0x3FFFF"},
        {"half the records", join(half, "\r\n"), "no end record, up to line 11 (the file ends there)"},
        {"CR-only line ends", join(lines, "\r"), "line 1 ends in a CR without LF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Programming p("type=30");
        p.connect();
        const QString path = p.file("firmware.zp4", c.text);
        testing::internal::CaptureStderr();
        p.program(path);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(p.boxes(), QStringList{coded(QStringLiteral("T42"), "P04")});
        EXPECT_EQ(p.calls("ProgramFirmwareImage"), 0);
        EXPECT_EQ(p.calls("Prepare"), 0);
        EXPECT_TRUE(p.rig.sim().IsApplicationRunning());
        EXPECT_EQ(p.item(kPoked), 100);
        EXPECT_FALSE(p.waitPanelLeft());
        EXPECT_NE(log.find("firmware file \"" + QDir::toNativeSeparators(path).toStdString() +
                           "\" refused: " + c.reason + "\n"),
                  std::string::npos)
            << log;
    }
}

TEST(FirmwareProgramming, FailedAttemptsAreReportedAndTheLastEndsDisconnected)
{
    struct Case {
        std::vector<int> results;
        QStringList boxes;
        int attempts;
    };
    const QString t52 = QStringLiteral("T52");
    const QString retry = QStringLiteral("T45\nT46");
    const QString t42 = QStringLiteral("T42");
    auto same = [](int n, const QString& s) {
        QStringList l;
        for (int i = 0; i < n; ++i)
            l << s;
        return l;
    };
    std::vector<Case> cases = {
        {{1, 1, 1, 1, 1}, same(4, coded(t52, "P05")) << coded(t42, "P05"), 5},
        {{1, 1, 1, 1, -1002}, same(4, coded(t52, "P05")) << coded(t42, "P1002"), 5},
    };
    const std::pair<int, const char*> codes[] = {{2, "P06"},  {-1, "P07"}, {-2, "P08"},    {-3, "P09"},
                                                 {-4, "P10"}, {-5, "P11"}, {-1999, "P1999"}, {3, "P12"}};
    for (const auto& [r, code] : codes)
        cases.push_back({{r, r, r, r, r}, same(4, coded(retry, code)) << coded(t42, code), 5});
    for (const Case& k : cases) {
        SCOPED_TRACE(k.boxes.last().toStdString());
        Programming p("type=30");
        p.connect();
        p.rig.sim().SetProgramResults(k.results);
        p.program(p.image(goodSpec()));
        EXPECT_EQ(p.boxes(), k.boxes);
        EXPECT_EQ(p.calls("ProgramFirmwareImage"), k.attempts);
        EXPECT_FALSE(p.rig.sim().LinkOpen());
        EXPECT_EQ(p.calls("WriteRow"), 0);
        EXPECT_FALSE(p.waitPanelLeft());
        EXPECT_TRUE(StreamDati->TimerIO->isActive());
        EXPECT_EQ(p.window->ImageConnected->currentId(), 10002);
    }
}

TEST(FirmwareProgramming, ALaterAttemptThatSucceedsEndsTheRetries)
{
    Programming p("type=30");
    p.connect();
    p.rig.sim().SetProgramResults({1, 2, 0});
    p.program(p.image(goodSpec()));
    EXPECT_EQ(p.boxes(), (QStringList{coded("T52", "P05"), coded("T45\nT46", "P06")}));
    EXPECT_EQ(p.calls("ProgramFirmwareImage"), 3);
    EXPECT_TRUE(p.rig.sim().LinkOpen());
    EXPECT_EQ(p.item(kPoked), 100);
}

TEST(FirmwareProgramming, AnEcuThatDoesNotComeBackCanBeAskedAgainOrGivenUp)
{
    for (const bool retry : {true, false}) {
        SCOPED_TRACE(retry ? "retry" : "give up");
        Programming p("type=30");
        p.connect();
        const long double inMemory = StreamDati->GetValueByCode(kPoked);
        ProgressWatch progress;
        progress.onPercent = [&](int percent) {
            if (percent == 100)
                p.rig.sim().SetPresent(false);
        };
        int asked = 0;
        p.rig.prompts.onAsk([&](const plat::PromptRequest& r) {
            if (r.text.endsWith(QStringLiteral("(ERR.CODE: C01)")) && ++asked == 2)
                p.rig.sim().SetPresent(true);
        });
        p.rig.prompts.script(retry ? std::initializer_list<int>{plat::IDYES, plat::IDYES}
                                   : std::initializer_list<int>{plat::IDNO});
        p.program(p.image(goodSpec()));

        const QString c01 = coded("T242", "C01");
        EXPECT_EQ(p.boxes(), retry ? (QStringList{c01, c01}) : QStringList{c01});
        EXPECT_EQ(p.rig.prompts.shown()[0].buttons, plat::PromptButtons::YesNo);
        EXPECT_EQ(p.rig.sim().LinkOpen(), retry);
        // Given up: nothing written, the image still in memory.
        EXPECT_EQ(p.item(kPoked), retry ? 100 : 255);
        EXPECT_EQ(StreamDati->GetValueByCode(kPoked), inMemory);
        EXPECT_FALSE(p.waitPanelLeft());
    }
}

TEST(FirmwareProgramming, AnUnreadableIdentityAfterTheDownloadIsC02)
{
    Programming p("type=30");
    p.connect();
    ProgressWatch progress;
    progress.onPercent = [&](int percent) {
        if (percent == 100)
            p.rig.sim().AddFault({.op = protovyx::Op::GetEcuInfo, .times = -1});
    };
    p.program(p.image(goodSpec()));
    EXPECT_EQ(p.boxes(), QStringList{coded("T18", "C02")});
    EXPECT_FALSE(p.rig.sim().LinkOpen());
    EXPECT_EQ(p.calls("WriteRow"), 0);
    EXPECT_FALSE(p.waitPanelLeft());
}

TEST(FirmwareProgramming, PersonalisationIsGivenBackAsTheEcuHadIt)
{
    struct Case {
        const char* profile;
        std::int32_t after; // item 0x233 after the write-back; -1: the ECU has none
    };
    for (const Case& k : {Case{"customer=3", 3}, Case{"customer=0", 1}, Case{"customer=absent", -1}}) {
        SCOPED_TRACE(k.profile);
        Programming p(std::string("type=30;") + k.profile);
        p.connect();
        p.program(p.image(goodSpec()));
        EXPECT_TRUE(p.boxes().isEmpty()) << p.boxes().join(" | ").toStdString();
        EXPECT_EQ(p.item(0x33), k.after);
        for (const auto& c : p.rig.callsOf("WriteValue"))
            EXPECT_TRUE(k.after >= 0 || (c.code & 0xFF) != 0x33);
    }
}

TEST(FirmwareProgramming, TheFileDialogOffersTheFilesOfTheEcu)
{
    Programming p("type=30");
    const QString ext30 = QString::fromLatin1(qz::FirmwareFileExtension(30));
    auto e = [](int t) { return QString::fromLatin1(qz::FirmwareFileExtension(static_cast<unsigned>(t))); };
    struct Case {
        int type;
        bool connected;
        QString filter;
        int index;
    };
    const QString offline = "T243|*." + e(30) + ";*." + e(54) + ";*." + e(55) + "|T244|*." + e(31) + ";*." + e(53) +
                            ";*." + e(56);
    const Case cases[] = {
        {31, true, "T244|*." + e(31), 1}, {56, true, "T244|*." + e(56), 1}, {55, true, "T243|*." + e(55), 1},
        {79, true, "T243|*." + e(79), 1}, {37, true, "T243|*." + e(30), 1}, {30, false, offline, 1},
        {53, false, offline, 2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.type);
        StreamDati->EcuInfo.EcuType = static_cast<std::uint8_t>(k.type);
        const plat::FileDialogRequest r = p.window->FirmwareDialogRequest(k.connected);
        EXPECT_EQ(r.filter, k.filter);
        EXPECT_EQ(r.filterIndex, k.index);
        EXPECT_TRUE(r.defaultExt.isEmpty());
        EXPECT_EQ(QDir::cleanPath(r.initialDir), QDir::cleanPath(QDir::current().filePath("Firmware")));
    }
    // Cancelled: nothing asked of the ECU.
    p.rig.sim().ClearCalls();
    p.window->ActionProgrammaExecute();
    EXPECT_EQ(p.dialogs.shown.size(), 1u);
    EXPECT_EQ(p.calls("DetectEcu"), 0);
    EXPECT_TRUE(p.boxes().isEmpty());
}

TEST(FirmwareProgramming, AnEcuWithoutApplicationIsOfferedProgrammingByTheConnect)
{
    Programming p("type=3;boottype=30");
    p.dialogs.script(p.image(goodSpec()));
    p.window->ActionConnettiExecute();
    QApplication::processEvents();
    ASSERT_FALSE(p.boxes().isEmpty());
    EXPECT_TRUE(p.boxes()[0].endsWith(QStringLiteral("(ERR.CODE: C05)")));
    EXPECT_EQ(p.boxes().size(), 1) << p.boxes().join(" | ").toStdString();
    EXPECT_EQ(p.calls("ProgramFirmwareImage"), 1);
    // The ECU runs its application again and has the image of memory.
    EXPECT_TRUE(p.rig.sim().LinkOpen());
    EXPECT_EQ(StreamDati->EcuInfo.FirmwareMajor, 0x1F);
    EXPECT_GT(p.calls("WriteRow"), 10);
}
