#include "plat/ProgramVersion.h"

#include "ProgramVersion.h"

namespace plat {

namespace {
std::optional<QString>& overrideSlot()
{
    static std::optional<QString> v;
    return v;
}
} // namespace

QString ProgramVersion()
{
    if (overrideSlot())
        return *overrideSlot();
    return QStringLiteral(QZ_PROGRAM_VERSION);
}

void SetProgramVersionOverride(std::optional<QString> version)
{
    overrideSlot() = std::move(version);
}

} // namespace plat
