#include "windowkit/StatusLamps.h"

#include "LiveLamps.h"
#include "iodata.h"
#include "plat/Shape.h"

#include <utility>

namespace wkit {
namespace {

void setShown(QWidget* w, bool shown)
{
    if (w && w->isHidden() == shown)
        w->setVisible(shown);
}

} // namespace

std::array<std::int32_t, 4> LevelThresholds(const TStreamDati& data)
{
    std::array<std::int32_t, 4> thresholds{};
    for (int i = 0; i < 4; ++i)
        thresholds[static_cast<std::size_t>(i)] = data.GetRifSensore(i);
    return thresholds;
}

void StatusLamps::MakeLevelLamps(const std::function<plat::Shape*(const char* name, bool reserve)>& make)
{
    for (std::size_t i = 0; i < level_.size(); ++i) {
        level_[i] = make(kLevelNames[i], i == 0);
        level_[i]->hide();
    }
}

void StatusLamps::SetDiagnosisLamp(QWidget* on, QWidget* off, DiagnosisRule rule)
{
    diagnosisOn_ = on;
    diagnosisOff_ = off;
    rule_ = std::move(rule);
}

void StatusLamps::ShowLevel(const TStreamDati& data, std::int32_t statusFlags, std::int32_t level)
{
    ShowLevelLamps(dm::LevelLamps(statusFlags, level, LevelThresholds(data), data.GetTipoSensoreBit7()));
}

void StatusLamps::ShowLevelLamps(const std::array<bool, 5>& lamps)
{
    for (std::size_t i = 0; i < lamps.size(); ++i)
        setShown(level_[i], lamps[i]);
}

bool StatusLamps::ShowDiagnosis(TStreamDati& data)
{
    const bool on = rule_ && rule_(data);
    setShown(diagnosisOn_, on);
    setShown(diagnosisOff_, !on);
    return on;
}

} // namespace wkit
