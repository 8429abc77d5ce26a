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

// QLibrary: the program folder first, then the system's search path.
class QtLibraryLoader final : public LibraryLoader {
public:
    std::unique_ptr<DynamicLibrary> load(const QString& logicalName) override;
};

} // namespace plat
