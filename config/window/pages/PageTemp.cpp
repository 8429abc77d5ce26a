// The Temperatura page: the temperature sensors.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"

#include <QCheckBox>
#include <QLabel>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::TempRows()
{
    using F = TFormConfig;
    static const F::BindingTable rows = {
        {.member = &F::ComboTempRiduttore, .name = "ComboTempRiduttore", .caption = 227, .captionName = "LabelTempGas"},
        {.member = &F::CheckTempRiduttore, .name = "CheckTempRiduttore", .caption = 228, .flags = kEnterClicks},
        {.member = &F::CheckTempGas, .name = "CheckTempGas", .caption = 229, .flags = kEnterClicks},
        {.member = &F::CheckTempMotore, .name = "CheckTempMotore", .caption = 230, .flags = kEnterClicks},
    };
    return rows;
}

void TFormConfig::BuildTemp()
{
    Builder b(this, TabTemp, &TempRows());
    {
        auto f = b.frame(0, 0);
        f.row(&TFormConfig::ComboTempRiduttore);
        f.row(&TFormConfig::CheckTempRiduttore);
        f.row(&TFormConfig::CheckTempGas);
        f.row(&TFormConfig::CheckTempMotore);
    }
    b.remainingRows();
    b.unplacedCaptions("TabTemp");
    b.finish(1, 1);
}

void TFormConfig::TabTempShow() {}

// Starts and ends the sensor-parameter editing; applying the parameters
// comes with this page's own change.
void TFormConfig::ButtonNuoviParametriClick() { SensorEditing = !SensorEditing; }
