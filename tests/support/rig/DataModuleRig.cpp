#include "DataModuleRig.h"

#include "complib/language/LanguageLibrary.h"
#include "product/constants/BuildConstants.h"

#include <cstring>

namespace rig {
namespace {

extern "C" std::int32_t fakeMaxLanguages(std::int8_t* count)
{
    *count = 1;
    return 1;
}

extern "C" std::int32_t fakeMaxStrings(std::int32_t* count)
{
    *count = 1000;
    return 1;
}

extern "C" std::int32_t fakeLoadStringW(std::uint32_t id, char16_t* buffer, std::int32_t chars)
{
    if (chars < 1)
        return 0;
    const QString t = text(static_cast<int>(id));
    const int n = std::min<int>(static_cast<int>(t.size()), chars - 1);
    std::memcpy(buffer, t.utf16(), static_cast<std::size_t>(n) * sizeof(char16_t));
    buffer[n] = 0;
    return n;
}

} // namespace

QString text(int number) { return QStringLiteral("T%1").arg(number); }

DataModuleRig::DataModuleRig(const Options& options) : sim_(options.profile)
{
    sim_.SetClock(&simClock_);
    if (options.settings) {
        auto& key = settings.keys[QStringLiteral("\\Software\\") + QString::fromUtf8(qz::RegistrySubkey())];
        key[QStringLiteral("MainPath")] = QStringLiteral("/opt/qz");
        key[QStringLiteral("LanguageName")] = QStringLiteral("Italiano");
        key[QStringLiteral("ComPort")] = QString::number(sim_.CurrentProfile().port);
        key[QStringLiteral("Language")] = QStringLiteral("0");
    }
    if (options.protocolLibrary) {
        const auto e = protovyx::InProcessExportsOf(&sim_);
        libraries.add(QStringLiteral("ProtoVyx.dll"), {{kExportCreateClassInstance, e.createClassInstance},
                                                       {kExportDestroyClassInstance, e.destroyClassInstance},
                                                       {kExportGetDLLVersion, e.getDllVersion}});
    }
    if (options.languageLibrary) {
        libraries.add(QStringLiteral("Languages.dll"),
                      {{langlib::kMaxLanguagesExport, reinterpret_cast<void*>(&fakeMaxLanguages)},
                       {langlib::kMaxStringsExport, reinterpret_cast<void*>(&fakeMaxStrings)},
                       {langlib::kLoadStringWExport, reinterpret_cast<void*>(&fakeLoadStringW)}});
    }
    windows.windows.push_back(&mainWindow);
    services_ = std::make_unique<plat::ScopedServices>(plat::Services{
        .clock = &clock, .prompts = &prompts, .libraries = &libraries, .settings = &settings, .windows = &windows});
    dm_ = std::make_unique<TStreamDati>();
    dm_->SetMainWindow(&mainWindow);
}

DataModuleRig::~DataModuleRig()
{
    dm_.reset();
    // Deliberate refusals go through fault injection; a malformed call is a fault.
    for (const auto& v : sim_.Violations())
        ADD_FAILURE() << "simulated ECU: " << v;
    services_.reset();
    protovyx::InProcessExportsOf(nullptr);
}

void DataModuleRig::connectEcu()
{
    ASSERT_TRUE(sim_.Connect());
    sim_.ClearCalls();
}

std::vector<plat::testing::RecordedMessage> DataModuleRig::events()
{
    QCoreApplication::sendPostedEvents();
    std::vector<plat::testing::RecordedMessage> out;
    for (std::size_t i = eventsSeen_; i < mainWindow.messages.size(); ++i)
        if (mainWindow.messages[i].message == plat::WM_CONNECTIONEVENT)
            out.push_back(mainWindow.messages[i]);
    eventsSeen_ = mainWindow.messages.size();
    return out;
}

std::vector<std::string> DataModuleRig::callNames() const
{
    std::vector<std::string> names;
    for (const auto& c : sim_.Calls())
        names.push_back(c.name);
    return names;
}

std::vector<protovyx::CallRecord> DataModuleRig::callsOf(const std::string& name) const
{
    std::vector<protovyx::CallRecord> out;
    for (const auto& c : sim_.Calls())
        if (c.name == name)
            out.push_back(c);
    return out;
}

} // namespace rig
