#include "FuzzLoad.h"

#include "datamodule/core/ItemCatalogue.h"
#include "datamodule/core/ItemLimits.h"
#include "datamodule/core/iodata.h"

#include "datamodule/files/SaveFile.h"

#include "plat/Services.h"
#include "plat/testing/Fakes.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace fuzzload {

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// Every box is answered No (the retry question after a refused file) and
// counted.
class CountingPrompts final : public plat::Prompts {
public:
    int ask(const plat::PromptRequest&) override
    {
        ++asked;
        return plat::IDNO;
    }
    int asked = 0;
};

} // namespace

struct ConfigurationLoader::State {
    plat::testing::FakeClock clock;
    CountingPrompts prompts;
    plat::testing::FakeSettingsStore settings;
    plat::testing::FakeLibraryLoader libraries;
    plat::testing::FakeWindows windows;
    plat::ScopedServices services{plat::Services{
        .clock = &clock, .prompts = &prompts, .libraries = &libraries, .settings = &settings, .windows = &windows}};
    TStreamDati dm;
    // The configuration file the load opens is the input, handed over as
    // the disk would.
    const QString file = QStringLiteral("fuzz.zc4");
    QByteArrayView input;
    std::vector<std::int32_t> before; // the image before a load
};

ConfigurationLoader::ConfigurationLoader() : s_(std::make_unique<State>())
{
    // No poll steps: there is no event loop and no ECU.
    s_->dm.TimerIO->stop();
    s_->dm.SetConfigurationFileSource([s = s_.get()](const QString& name) {
        qz::files::TReadResult r;
        if (name == s->file)
            r.data = QByteArray::fromRawData(s->input.data(), s->input.size());
        else
            r.error = qz::files::TReadError::CannotOpen;
        return r;
    });
}

ConfigurationLoader::~ConfigurationLoader() = default;

void ConfigurationLoader::Load(const std::uint8_t* data, std::size_t size)
{
    TStreamDati& dm = s_->dm;
    s_->input = QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const auto all = dm.Image.All();
    std::vector<std::int32_t>& before = s_->before;
    before.assign(all.begin(), all.end());
    s_->prompts.asked = 0;
    const bool loaded =
        dm.TransferData(TStreamDati::TRANSFER_LOAD, s_->file, 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0);
    check(!dm.IsContainerOpen());
    if (!loaded) {
        check(s_->prompts.asked == 1);
        check(std::equal(before.begin(), before.end(), dm.Image.All().begin()));
        forget();
        return;
    }
    check(s_->prompts.asked == 0);
    for (const dm::ItemDef& item : dm::ItemCatalogue()) {
        if (!item.inImage || item.fileKey[0] == '\0')
            continue;
        const std::int32_t* v = dm.Item(item.code);
        for (int e = 0; e < item.Elements(); ++e)
            check(dm::ElementCanHold(item.code, e % item.cols, v[e]));
    }
    check(dm.DamagedValueCount() == static_cast<int>(dm.DamagedValueKeys().size()));
    forget();
}

void ConfigurationLoader::forget()
{
    // An empty container opened and closed drops what the load counted, so
    // that a run frees what it took (libFuzzer's leak check looks for runs
    // that allocate more than they free).
    s_->dm.OpenFileContainer(false);
    s_->dm.DeleteTempFile();
}

} // namespace fuzzload
