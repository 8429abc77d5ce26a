#pragma once
#include <QString>
#include <memory>

namespace plat {

// A library loaded at run time. Destroying it frees the library.
class DynamicLibrary {
public:
    virtual ~DynamicLibrary() = default;
    // The address of an export by its exact name; null when absent.
    virtual void* resolve(const char* exportName) = 0;
};

class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    // Loads a library by the logical name the program uses ("ProtoVyx.dll");
    // null when it cannot be loaded. probeKind, when not empty, names the
    // calls the probe makes on the file before the program maps it
    // (plat/LibraryProbe.h).
    virtual std::unique_ptr<DynamicLibrary> load(const QString& logicalName, const QString& probeKind) = 0;
    // A library that is mapped without a probe.
    std::unique_ptr<DynamicLibrary> load(const QString& logicalName) { return load(logicalName, QString()); }
    // Announces to the probe the file a later load would take, so that the
    // libraries loaded one after another are probed together.
    virtual void prepare(const QString& logicalName, const QString& probeKind)
    {
        (void)logicalName;
        (void)probeKind;
    }
};

// The file name of a logical library name on this system: "X.dll" is
// "libX.so" on Linux and stays "X.dll" on Windows.
QString LibraryFileName(const QString& logicalName);

// Whether a file may be handed to the system's loader: on Linux, an ELF
// shared object of this machine (class, byte order and machine of the
// running program) whose program headers and loadable segments lie inside the
// file. A truncated library would otherwise be mapped past its end and crash
// the program on first touch. Elsewhere always true. why, when given, gets
// the reason for a refusal.
bool IsLoadableLibraryFile(const QString& fileName, QString* why = nullptr);

// Writes to the log that the library file (or logical name) was refused, and
// why.
void LogRefusedLibrary(const QString& file, const QString& why);

// QLibrary: the program folder first, then the folders of LD_LIBRARY_PATH,
// then the system's search path; the first file found is the one loaded or
// refused. A file found in a folder must pass IsLoadableLibraryFile, and with
// a probe kind every file must pass the probe service (plat::CurrentServices()); one
// that fails counts as a library that did not load, and the file and the
// reason go to the log.
class QtLibraryLoader final : public LibraryLoader {
public:
    using LibraryLoader::load;
    std::unique_ptr<DynamicLibrary> load(const QString& logicalName, const QString& probeKind) override;
    void prepare(const QString& logicalName, const QString& probeKind) override;
};

} // namespace plat
