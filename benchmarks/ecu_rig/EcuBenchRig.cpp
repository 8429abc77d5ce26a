#include "EcuBenchRig.h"

#include "product/constants/BuildConstants.h"

namespace bench {

EcuRig::EcuRig(std::string_view profile, bool realClock) : sim(profile)
{
    if (!realClock)
        sim.SetClock(&simClock_);
    auto& key = settings.keys[QStringLiteral("\\Software\\") + QString::fromUtf8(qz::RegistrySubkey())];
    key[QStringLiteral("MainPath")] = QStringLiteral("x");
    key[QStringLiteral("LanguageName")] = QStringLiteral("x");
    key[QStringLiteral("ComPort")] = QString::number(sim.CurrentProfile().port);
    key[QStringLiteral("Language")] = QStringLiteral("0");
    const auto e = protovyx::InProcessExportsOf(&sim);
    libraries.add(QStringLiteral("ProtoVyx.dll"), {{kExportCreateClassInstance, e.createClassInstance},
                                                   {kExportDestroyClassInstance, e.destroyClassInstance},
                                                   {kExportGetDLLVersion, e.getDllVersion}});
    services_ = std::make_unique<plat::ScopedServices>(plat::Services{.clock = realClock ? nullptr : &clock,
                                                                      .prompts = &prompts,
                                                                      .libraries = &libraries,
                                                                      .settings = &settings,
                                                                      .windows = &windows});
    dm = std::make_unique<TStreamDati>();
    dm->TimerIO->stop();
}

EcuRig::~EcuRig()
{
    dm.reset();
    services_.reset();
    protovyx::InProcessExportsOf(nullptr);
}

void EcuRig::trim()
{
    if (++calls_ % 1024 == 0)
        sim.ClearCalls();
}

} // namespace bench
