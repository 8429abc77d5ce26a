// The Pressione page: the gas-pressure sensor and the external MAP sensor.
#include "../FormConfigParts.h"

#include "editors/KeyComboBox.h"
#include "editors/NumericEdit.h"
#include "iodata.h"

#include "plat/Shape.h"

#include <QLabel>
#include <QRadioButton>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::PressioneRows()
{
    using F = TFormConfig;
    static const F::BindingTable rows = {
        {.member = &F::EditOffsetDiff, .name = "EditOffsetDiff", .caption = 211, .captionName = "LabelOffsetDiff",
         .limits = {-2000, 2000, 1}, .flags = kRangeHint},
        {.member = &F::EditPendenzaDiff, .name = "EditPendenzaDiff", .caption = 212, .captionName = "LabelPendenzaDiff",
         .limits = {0, 3000, 1}, .flags = kRangeHint},
        {.member = &F::EditOffset, .name = "EditOffset", .caption = 211, .captionName = "LabelOffset",
         .limits = {-2000, 2000, 1}, .flags = kRangeHint},
        {.member = &F::EditPendenza, .name = "EditPendenza", .caption = 212, .captionName = "LabelPendenza",
         .limits = {0, 2000, 1}, .flags = kRangeHint},
        // Kept in step with the data module, never shown.
        {.member = &F::RadioMapInterno, .name = "RadioMapInterno", .caption = 208, .flags = kHidden},
        {.member = &F::RadioMapEsterno, .name = "RadioMapEsterno", .caption = 209, .flags = kHidden},
        {.member = &F::ComboMisuratorePressione, .name = "ComboMisuratorePressione", .flags = kHidden},
        {.member = &F::ComboPressioneMisurata, .name = "ComboPressioneMisurata", .flags = kHidden},
    };
    return rows;
}

void TFormConfig::BuildPressione()
{
    Builder b(this, TabPressione, &PressioneRows());
    {
        auto f = b.frame(0, 0);
        f.title("LabelMisuratorePressione");
        f.row(&TFormConfig::EditOffsetDiff);
        f.row(&TFormConfig::EditPendenzaDiff);
    }
    {
        auto f = b.frame(1, 0);
        f.title("LabelParametri");
        f.row(&TFormConfig::EditOffset);
        f.row(&TFormConfig::EditPendenza);
    }
    b.remainingRows();
    b.unplacedCaptions("TabPressione");
    b.finish(2, 1);
    const std::pair<TNumericEdit*, int> tags[] = {{EditOffset, 2}, {EditPendenza, 3}, {EditOffsetDiff, 4},
                                                  {EditPendenzaDiff, 5}};
    for (auto [e, tag] : tags) {
        e->setProperty("Tag", tag);
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditOffsetKeyPress(e, c); });
    }
}

void TFormConfig::TabPressioneShow()
{
    for (TNumericEdit* e : {EditOffset, EditPendenza, EditOffsetDiff, EditPendenzaDiff})
        ShowLoadedInteger(e, dm().GetOffsetPendenza(e->property("Tag").toInt()));
}
