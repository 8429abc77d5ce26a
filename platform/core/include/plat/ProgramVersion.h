#pragma once
#include <QString>
#include <optional>

namespace plat {

// The program's own file version, "a.b.c.d" (the build's project version).
QString ProgramVersion();
// Tests replace the version; nullopt restores the build's. An empty text
// stands for a program file without version information.
void SetProgramVersionOverride(std::optional<QString> version);

} // namespace plat
