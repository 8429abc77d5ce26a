// The Adattività OBD page: the OBD adaptivity and the live OBD correctors.
#include "../FormConfigParts.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QCheckBox>
#include <QLabel>

using namespace cfgwin;

const TFormConfig::BindingTable& cfgwin::AdattaRows()
{
    using F = TFormConfig;
    static const F::BindingTable rows = {
        {.member = &F::CheckAdattativita, .name = "CheckAdattativita", .caption = 564, .flags = kEnterClicks},
    };
    return rows;
}

void TFormConfig::BuildAdatta()
{
    Builder b(this, TabAdatta, &AdattaRows());
    {
        auto f = b.frame(0, 0);
        f.row(&TFormConfig::CheckAdattativita);
        ImageMinusAdatta = b.picture("ImageMinusAdatta", f.widget());
        ImagePlusAdatta = b.picture("ImagePlusAdatta", f.widget());
        f.row(ImageMinusAdatta, ImagePlusAdatta);
    }
    b.remainingRows();
    b.unplacedCaptions("TabAdatta");
    b.finish(1, 1);
}

void TFormConfig::TabAdattaShow() {}
