#pragma once
// Mapping a library file, shared by the loader and the probe.
#include "plat/DynamicLibrary.h"

#include <memory>

namespace plat {

// Maps `fileName` with every symbol resolved at once, unchecked and unprobed;
// null with the system loader's reason in `why` when it cannot.
std::unique_ptr<DynamicLibrary> MapLibraryFile(const QString& fileName, QString* why);

} // namespace plat
