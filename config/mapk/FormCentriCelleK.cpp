#include "FormCentriCelleK.h"
#include "FormModificaMappa.h"

#include "BuildConstants.h"
#include "MapKRules.h"
#include "editors/NumericEdit.h"
#include "Translator.h"
#include "iodata.h"

#include "plat/Prompts.h"
#include "plat/Services.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <cmath>

namespace {

QString text(int number) { return mapk::Text(number); }

TNumericEdit* editor(QWidget* parent, int index, double lo, double hi, double precision, int chars)
{
    auto* e = new TNumericEdit(parent);
    e->SetMinValue(lo);
    e->SetMaxValue(hi);
    e->SetPrecision(precision);
    e->setMaxLength(chars);
    e->SetValidation(false);
    e->setGeometry(36 + (index / 6) * 110, 24 + (index % 6) * 30, 70, 26);
    return e;
}

QLabel* label(QWidget* parent, int index)
{
    auto* l = new QLabel(mapk::FormatInt(index + 1), parent);
    l->setGeometry(8 + (index / 6) * 110, 24 + (index % 6) * 30, 24, 26);
    return l;
}

} // namespace

TFormCentriCelleK::TFormCentriCelleK(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FormCentriCelleK"));
    setWindowTitle(QStringLiteral("Centri celle mappa dei coefficienti k"));
    if (StreamDati) {
        columns_ = std::clamp(StreamDati->GetNumeroColonne(), 0, 12);
        rows_ = std::clamp(StreamDati->GetNumeroRighe(), 0, 12);
    }
    GroupRifGiri = new QGroupBox(this);
    GroupRifGiri->setGeometry(8, 8, 230, 210);
    GroupRifTempi = new QGroupBox(this);
    GroupRifTempi->setGeometry(246, 8, 230, 210);
    for (int i = 0; i < 12; ++i) {
        LabelGiri[static_cast<std::size_t>(i)] = label(GroupRifGiri, i);
        EditRifGiri[static_cast<std::size_t>(i)] = editor(GroupRifGiri, i, 200, 8000, 1, 4);
        label(GroupRifTempi, i);
        NumEditRifMap[static_cast<std::size_t>(i)] = editor(GroupRifTempi, i, 0, 30, 0.01, 5);
    }
    ButtonOk = new QPushButton(this);
    ButtonOk->setGeometry(150, 228, 90, 30);
    ButtonOk->setDefault(true);
    connect(ButtonOk, &QPushButton::clicked, this, &TFormCentriCelleK::ButtonOkClick);
    ButtonAnnulla = new QPushButton(this);
    ButtonAnnulla->setGeometry(248, 228, 90, 30);
    connect(ButtonAnnulla, &QPushButton::clicked, this, [this] { done(2); });
    setFixedSize(484, 268);

    // The editors' chain: rpm 1..12, the times, then OK.
    for (std::size_t i = 0; i < 12; ++i) {
        EditRifGiri[i]->SetNextControl(i < 11 ? static_cast<QWidget*>(EditRifGiri[i + 1]) : NumEditRifMap[0]);
        EditRifGiri[i]->SetPrevControl(i > 0 ? static_cast<QWidget*>(EditRifGiri[i - 1]) : ButtonAnnulla);
        NumEditRifMap[i]->SetNextControl(i < 11 ? static_cast<QWidget*>(NumEditRifMap[i + 1]) : ButtonOk);
        NumEditRifMap[i]->SetPrevControl(i > 0 ? static_cast<QWidget*>(NumEditRifMap[i - 1]) : EditRifGiri[5]);
    }

    if (columns_ < 12) {
        for (std::size_t i = 6; i < 12; ++i) {
            LabelGiri[i]->hide();
            EditRifGiri[i]->hide();
        }
    }
    if (StreamDati) {
        for (int i = 0; i < columns_; ++i)
            EditRifGiri[static_cast<std::size_t>(i)]->SetAsInteger(StreamDati->GetRifGiriK(i));
        for (int i = 0; i < rows_; ++i)
            NumEditRifMap[static_cast<std::size_t>(i)]->SetAsFloat(static_cast<double>(StreamDati->GetRifTempiK(i)));
    }
    setWindowTitle(text(66));
    GroupRifGiri->setTitle(text(63));
    GroupRifTempi->setTitle(text(68));
    ButtonOk->setText(text(64));
    ButtonAnnulla->setText(text(65));
    rpmMessage_ = text(62);
    timeMessage_ = text(67);
}

void TFormCentriCelleK::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFormCentriCelleK::FormShow() { EditRifGiri[0]->setFocus(); }

void TFormCentriCelleK::ButtonOkClick()
{
    const auto fail = [this](const QString& message, TNumericEdit* focus) {
        plat::prompts().ask({QString::fromUtf8(qz::ProductTitle()), message, plat::PromptIcon::Error,
                             plat::PromptButtons::Ok});
        focus->setFocus();
    };
    std::vector<double> rpm;
    for (int i = 0; i < columns_; ++i)
        rpm.push_back(std::trunc(EditRifGiri[static_cast<std::size_t>(i)]->GetAsFloat()));
    if (const int bad = mapk::FirstNotIncreasing(rpm); bad >= 0) {
        fail(rpmMessage_, EditRifGiri[static_cast<std::size_t>(bad)]);
        return;
    }
    for (int i = 0; i < columns_; ++i)
        StreamDati->SetRifGiriK(i, static_cast<std::int32_t>(rpm[static_cast<std::size_t>(i)]));

    std::vector<double> times;
    for (int i = 0; i < rows_; ++i)
        times.push_back(NumEditRifMap[static_cast<std::size_t>(i)]->GetAsFloat());
    if (const int bad = mapk::FirstNotIncreasing(times); bad >= 0) {
        fail(timeMessage_, NumEditRifMap[static_cast<std::size_t>(bad)]);
        return;
    }
    for (int i = 0; i < rows_; ++i)
        StreamDati->SetRifTempiK(i, times[static_cast<std::size_t>(i)]);
    done(1);
}
