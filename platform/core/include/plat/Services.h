#pragma once
#include "plat/Clock.h"
#include "plat/DynamicLibrary.h"
#include "plat/LibraryProbe.h"
#include "plat/Log.h"
#include "plat/Messages.h"
#include "plat/Prompts.h"
#include "plat/SettingsStore.h"

namespace plat {

// The platform services the system's code reaches. The program entry installs
// the real ones; tests install fakes with ScopedServices.
struct Services {
    Clock* clock = nullptr;
    Prompts* prompts = nullptr;
    LibraryLoader* libraries = nullptr;
    SettingsStore* settings = nullptr;
    WindowList* windows = nullptr;
    LibraryProbe* libraryProbe = nullptr;
    Log* log = nullptr;
};

// Current services; every pointer is set (defaults for a process without
// windows: system clock, console prompts, QLibrary, QSettings, no windows,
// the program itself as the library probe, stderr as the log).
Services& CurrentServices();

inline Clock& CurrentClock() { return *CurrentServices().clock; }
inline Prompts& CurrentPrompts() { return *CurrentServices().prompts; }

// Replaces the non-null members for its lifetime.
class ScopedServices {
public:
    explicit ScopedServices(const Services& replacement);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services saved_;
};

} // namespace plat
