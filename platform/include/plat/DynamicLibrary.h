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
    // null when it cannot be loaded.
    virtual std::unique_ptr<DynamicLibrary> load(const QString& logicalName) = 0;
};

// The file name of a logical library name on this system: "X.dll" is
// "libX.so" on Linux and stays "X.dll" on Windows.
QString libraryFileName(const QString& logicalName);

// Whether a file may be handed to the system's loader: on Linux, an ELF
// shared object of this machine (class, byte order and machine of the
// running program) whose program headers and loadable segments lie inside the
// file. A truncated library would otherwise be mapped past its end and crash
// the program on first touch. Elsewhere always true. why, when given, gets
// the reason for a refusal.
bool IsLoadableLibraryFile(const QString& fileName, QString* why = nullptr);

// QLibrary: the program folder first, then the folders of LD_LIBRARY_PATH,
// then the system's search path. A file found in a folder must pass
// IsLoadableLibraryFile; one that fails counts as a library that did not load.
class QtLibraryLoader final : public LibraryLoader {
public:
    std::unique_ptr<DynamicLibrary> load(const QString& logicalName) override;
};

} // namespace plat
