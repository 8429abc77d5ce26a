// TFormDiagnosi: the counters page, its running times and starts read
// from the data module, and their resets.
#include "FormDiagnosi.h"

#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/PictureButton.h"
#include "plat/Prompts.h"
#include "plat/Services.h"

#include <QLabel>
#include <QTimer>

namespace {

// One counter: its label, the code of its minutes and its element of the
// seconds (kSecondsCode).
struct CounterDef {
    QLabel* TFormDiagnosi::*label;
    std::int32_t code;
    int element;
};
constexpr std::int32_t kSecondsCode = 0x256;
constexpr std::int32_t kStartsCode = 0x4e;
const CounterDef kCounters[] = {
    {&TFormDiagnosi::LabAssolutoGas, TFormDiagnosi::kTotalGasTimeCode, 0},
    {&TFormDiagnosi::LabParzialeGas, TFormDiagnosi::kPartialGasTimeCode, 1},
    {&TFormDiagnosi::LabAssolutoBenzina, TFormDiagnosi::kTotalPetrolTimeCode, 2},
};

} // namespace

void TFormDiagnosi::refreshCounters()
{
    for (const auto& c : kCounters) {
        const long long minutes = static_cast<long long>(
            static_cast<long double>(static_cast<long long>(dm().GetValueByCode(c.code)))
            + dm().GetElementByCode(kSecondsCode, c.element));
        (this->*c.label)->setText(diagnosi::FormatCounterMinutes(minutes));
    }
    LabAvviamenti->setText(QString::number(static_cast<long long>(dm().GetValueByCode(kStartsCode))));
}

void TFormDiagnosi::ResetTempiClick(plat::PictureButton* picture)
{
    if (!picture)
        return;
    const int answer = plat::CurrentPrompts().ask({QString::fromUtf8(qz::ProductTitle()), confirmText_,
                                                   plat::PromptIcon::Warning, plat::PromptButtons::YesNo, 0});
    if (answer != plat::IDYES)
        return;
    Timer->stop();
    const QString zeroTime = QStringLiteral("0:00");
    switch (picture->tag()) {
    case 0:
        LabParzialeGas->setText(zeroTime);
        dm().SetValueByCode(kPartialGasTimeCode, 0.0);
        dm().SetElementByCode(kSecondsCode, 1, 0.0);
        break;
    case 1:
        LabAvviamenti->setText(QStringLiteral("0"));
        dm().SetValueByCode(kStartsCode, 0.0);
        break;
    case 2:
        LabAssolutoGas->setText(zeroTime);
        dm().SetValueByCode(kTotalGasTimeCode, 0.0);
        dm().SetElementByCode(kSecondsCode, 0, 0.0);
        break;
    case 3:
        LabAssolutoBenzina->setText(zeroTime);
        dm().SetValueByCode(kTotalPetrolTimeCode, 0.0);
        dm().SetElementByCode(kSecondsCode, 2, 0.0);
        break;
    default: break;
    }
    Timer->start();
}
