// The loadable stand-in protocol library: a simulated ECU per created object.
// Built several times from this file: the program's library and, with the
// PROTOVYX_FIXTURE_* definitions, the loader's test fixtures.
#include "protovyx/Simulator.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>

#define PROTOVYX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Users get a forgiving ECU with a visible latency; tests pass strict=1.
constexpr const char* kUserDefaults = "strict=0;latency=2;perbyte=50;programms=4000;counters=1;";

[[maybe_unused]] std::string libraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&libraryFolder), &info) && info.dli_fname) {
        std::string path = info.dli_fname;
        const auto slash = path.rfind('/');
        return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    }
    return {};
}

// PROTOVYX_SIM_DLLVERSION: "a.b.c.d" or "fail".
[[maybe_unused]] bool versionOverride(TDllVersion* v, bool& ok)
{
    const char* text = std::getenv("PROTOVYX_SIM_DLLVERSION");
    if (!text || !*text)
        return false;
    if (std::strcmp(text, "fail") == 0) {
        ok = false;
        return true;
    }
    std::uint32_t parts[4] = {0, 0, 0, 0};
    const char* p = text;
    const char* end = text + std::strlen(text);
    for (int i = 0; i < 4 && p < end; ++i) {
        auto r = std::from_chars(p, end, parts[i]);
        p = r.ptr;
        if (p < end && *p == '.')
            ++p;
    }
    *v = {parts[0], parts[1], parts[2], parts[3]};
    ok = true;
    return true;
}

} // namespace

#ifndef PROTOVYX_FIXTURE_NO_CREATE
PROTOVYX_EXPORT TEcuProtocol* _CreateClassInstance()
{
#ifdef PROTOVYX_FIXTURE_CREATE_NULL
    return nullptr;
#else
    auto* sim = new protovyx::Simulator(std::string(kUserDefaults) + protovyx::ProfileTextFromEnvironment(libraryFolder()));
    return sim;
#endif
}
#endif

#ifndef PROTOVYX_FIXTURE_NO_DESTROY
PROTOVYX_EXPORT void _DestroyClassInstance(TEcuProtocol* object)
{
    delete static_cast<protovyx::Simulator*>(object);
}
#endif

#ifndef PROTOVYX_FIXTURE_NO_VERSION
PROTOVYX_EXPORT bool _GetDLLVersion(TDllVersion* version)
{
    if (!version)
        return false;
#if defined(PROTOVYX_FIXTURE_VERSION_FAILS)
    *version = {99, 0, 0, 0}; // a high version that must not count
    return false;
#elif defined(PROTOVYX_FIXTURE_MAJOR)
    *version = {PROTOVYX_FIXTURE_MAJOR, 0, 0, 0};
    return true;
#else
    bool ok = true;
    if (versionOverride(version, ok))
        return ok;
    *version = {1, 0, 0, 0};
    return true;
#endif
}
#endif

// The test control of an object this library created; the program never
// looks it up.
PROTOVYX_EXPORT protovyx::ISimControl* _SimControl(TEcuProtocol* object)
{
    return object ? static_cast<protovyx::Simulator*>(object)->Control() : nullptr;
}
