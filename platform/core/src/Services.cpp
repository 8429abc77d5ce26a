#include "plat/Services.h"

namespace plat {

namespace {

Services makeDefaults()
{
    static SystemClock clock;
    static ConsolePrompts prompts;
    static QtLibraryLoader libraries;
    static QtSettingsStore settings;
    static NoWindows windows;
    static ProcessLibraryProbe libraryProbe;
    static StderrLog log;
    return Services{&clock, &prompts, &libraries, &settings, &windows, &libraryProbe, &log};
}

} // namespace

Services& CurrentServices()
{
    static Services s = makeDefaults();
    return s;
}

ScopedServices::ScopedServices(const Services& r) : saved_(CurrentServices())
{
    Services& s = CurrentServices();
    if (r.clock)
        s.clock = r.clock;
    if (r.prompts)
        s.prompts = r.prompts;
    if (r.libraries)
        s.libraries = r.libraries;
    if (r.settings)
        s.settings = r.settings;
    if (r.windows)
        s.windows = r.windows;
    if (r.libraryProbe)
        s.libraryProbe = r.libraryProbe;
    if (r.log)
        s.log = r.log;
}

ScopedServices::~ScopedServices() { CurrentServices() = saved_; }

} // namespace plat
