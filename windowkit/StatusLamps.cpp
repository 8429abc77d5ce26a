#include "StatusLamps.h"

#include "datamodule/core/LiveLamps.h"
#include "datamodule/core/iodata.h"
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
    ShowLevelLamps(dm::LevelLamps(statusFlags, level, dm::StoredLevelThresholds(data), data.GetTipoSensoreBit7()));
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
