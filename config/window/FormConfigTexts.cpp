// The window's texts by string number: the caption table and LoadTexts.
#include "FormConfigParts.h"
#include "config/window/pages/PageCommutazione.h"
#include "config/window/pages/PageConfigurazione.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageSensori.h"
#include "config/window/pages/PageTemp.h"
#include "windowkit/WindowText.h"

#include "complib/editors/KeyComboBox.h"
#include "config/mapk/FormModificaMappa.h"
#include "config/rules/ConfigControls.h"
#include "config/rules/SwitchRules.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QStringList>
#include <QTabWidget>

namespace cfgwin {

const std::vector<Caption>& Captions()
{
    static const std::vector<Caption> table = {
        {"TabConfigurazione", "TabConfigurazione", 70},
        {"TabCommutazione", "TabCommutazione", 71},
        {"TabConfigurazione", "LabelCarburante", 106},
        {"TabConfigurazione", "LabelTipoIniettore", 107},
        {"TabConfigurazione", "LabelFullGroup", 102},
        {"TabConfigurazione", "LabelSegnaleGiri", 93},
        {"TabConfigurazione", "LabelCilindri", 96},
        {"TabConfigurazione", "LabelAccensione", 108},
        {"TabConfigurazione", "LabelNoteConfig", 373},
        {"TabConfigurazione", "LabelNota", 262},
        {"TabConfigurazione", "LabelNota1", 263},
        {"TabConfigurazione", "LabelReset", 703},
        {"PanelBarra", "LabelDiagnosi", 495},
        {"PanelBarra", "LabelCutoff", 173},
        {"PanelBarra", "LabelAdattaGas", 549},
        {"PanelBarra", "LabelGiri", 166},
        {"PanelBarra", "LabelInj", 167},
        {"PanelBarra", "LabelTemp", 172},
        {"PanelBarra", "LabelTempMot", 171},
        {"PanelBarra", "LabelPress", 192},
        {"PanelBarra", "LabelPressColl", 326},
        {"PanelBarra", "LabelInjBenz", 170},
        {"PanelBarra", "LabelLedExtraInj", 169},
        {"TabCommutazione", "LabelNoteSpruzzata", 525},
        {"TabCommutazione", "LabelSequenzaBenzina", 378},
        {"TabCommutazione", "LabelMinimoBenzina", 368},
        {"TabCommutazione", "LabelAltiGiriBenzina", 369},
        {"TabSensori", "TabSensori", 72},
        {"TabSensori", "LabelNota2", 264},
        {"TabSensori", "LabelLivello", 143},
        {"TabSensori", "LabelRifSensore", 137},
        {"TabMappa", "TabMappa", 75},
        {"TabMappa", "LabelTarget1", 397},
        {"TabMappa", "LabelTarget2", 398},
        {"TabMappa", "LabelMsTarget1", 399},
        {"TabMappa", "LabelMsTarget2", 399},
        {"TabMappa", "LabelGiriMappa", 401},
        {"TabMappa", "LabelTempiMappa", 402},
        {"TabMappa", "LabelArricchimento", 356},
        {"TabMappa", "LabelExtraInj", 357},
        {"TabMappa", "LabelCorrettori0", 541},
        {"TabMappa", "LabelCorrettori1", 542},
        {"TabMappa", "LabelSlow0", 543},
        {"TabMappa", "LabelSlow1", 543},
        {"TabMappa", "LabelFast0", 544},
        {"TabMappa", "LabelFast1", 544},
        {"TabCorrezioni", "TabCorrezioni", 76},
        {"TabCorrezioni", "LabelRientroCutoff", 578},
        {"TabCorrezioni", "LabelGiriTempoCutoff", 671},
        {"TabCorrezioni", "LabelRiferimentiRid", 196},
        {"TabCorrezioni", "LabelCorrRid", 196},
        {"TabCorrezioni", "LabelRiferimentiGas", 197},
        {"TabCorrezioni", "LabelCorrGas", 197},
        {"TabCorrezioni", "LabelDeboleRid", 523},
        {"TabCorrezioni", "LabelForteRid", 524},
        {"TabCorrezioni", "LabelDeboleGas", 523},
        {"TabCorrezioni", "LabelForteGas", 524},
        {"TabCorrezioni", "LabelCorrezioniPressione", 199},
        {"TabCorrezioni", "LabelDelayGasTemp", 676},
        {"TabCorrezioni", "LabelPressPassaggio", 677},
        {"TabCorrezioni", "LabelCorrPressAbs", 760},
        {"TabAdatta", "TabAdatta", 548},
        {"TabAdatta", "LabelTipoCorrettori", 565},
        {"TabAdatta", "LabelAdattaNota1", 571},
        {"TabAdatta", "LabelAdattaNota2", 572},
        {"TabAdatta", "LabelSensAdatta", 573},
        {"TabAdatta", "LabelCorrettoriGas", 574},
        {"TabAdatta", "LabelCorrMinimo", 575},
        {"TabAdatta", "LabelCorrFuoriMinimo", 576},
        {"TabEmissioni", "TabEmissioni", 74},
        {"TabEmissioni", "LabelNotaEmiss", 292},
        {"TabEmissioni", "LabelLivelloAnteriore", 385},
        {"TabEmissioni", "LabelLivelloPosteriore", 386},
        {"TabEmissioni", "LabelGiriEmissioni", 401},
        {"TabEmissioni", "LabelOxigen0", 545},
        {"TabEmissioni", "LabelOxigen1", 546},
        {"TabVariatore", "TabVariatore", 533},
        {"TabVariatore", "LabelVariatore", 532},
        {"TabPressione", "TabPressione", 73},
        {"TabPressione", "LabelMisuratorePressione", 206},
        {"TabPressione", "LabelTipoMap", 207},
        {"TabPressione", "LabelParametri", 210},
        {"TabPressione", "ButtonRicercaParametri", 213},
        {"TabTemp", "TabTemp", 194},
        {"TabTemp", "LabelParametriTemp", 231},
        {"TabTemp", "LabelCaratteristicaTemp", 232},
        {"TabTemp", "LabelInstr", 233},
        {"TabTemp", "ButtonNuoviParametri", 238},
        {"TabIniezione", "TabIniezione", 77},
        {"TabIniezione", "LabelTInjSup22", 400},
        {"TabIniezione", "LabelTempoMaxCorr", 145},
        {"TabIniezione", "LabelTempoInterSpegnimento", 147},
        {"TabIniezione", "LabelImpedenzaIniettori", 148},
        {"TabIniezione", "LabelCorrente", 150},
        {"TabIniezione", "LabelTAperturaInj", 152},
        {"TabIniezione", "LabelTMaxExtraInjBenz", 307},
        {"TabIniezione", "LabelTChiusuraInj", 153},
        {"TabIniezione", "LabelTempoMortoBenz", 200},
        {"TabIniezione", "LabelTempoMortoGas", 201},
        {"TabIniezione", "LabelExtraIniettate", 353},
        {"TabIniezione", "LabelExtraIniettate2", 354},
        {"TabTaratura", "TabTaratura", 79},
        {"TabTaratura", "CheckModificaSequenza", 387},
        {"TabTaratura", "LabelTempTaratura", 158},
        {"TabTaratura", "LabelGiriAutotaratura", 162},
        {"TabTaratura", "LabGiriAutotaratura", 89},
        {"TabTaratura", "LabelTInjDefault", 289},
        {"TabEsci", "TabEsci", 80},
        {"PopupMenuGrid", "MenuCopia", 83},
        {"PopupMenuGrid", "MenuIncolla", 84},
        {"TabFiltroBenzina", "TabFiltroBenzina", 293},
        {"TabSequenza", "LabelTInjBenzMaxPerCambio", 161},
        {"TabSequenza", "LabelValPercHoldingCurrent", 149},
        {"TabSequenza", "CheckTempoMaxCorrente", 154},
        {"TabSequenza", "LabelAperturaExtra", 306},
        {"TabSequenza", "LabelSafeDelay", 155},
        {"TabSequenza", "CheckIniezioneContinua", 316},
        {"TabSequenza", "LabelIniezioneContinua", 317},
        {"TabSequenza", "LabelSafetyTime", 151},
        {"TabSequenza", "LabelScartoMinFuoriMin", 159},
        {"TabSequenza", "LabelScartoMinAlMin", 160},
        {"TabTest", "LabelRiccoForzato", 225},
        {"TabTest", "LabelCorrezioniPressioneColl", 327},
        // Unit labels and the live bar's fuel label (the same numbers as the
        // message strings).
        {"TabEmissioni", "LabelS15", 87},
        {"TabSensori", "LabelV11", 85},
        {"PanelBarra", "LabelBenzina", 174},
    };
    return table;
}

} // namespace cfgwin

namespace {

constexpr int kTextIniettori = 77; // " Iniettori "
constexpr int kTextDiagnosi = 492; // "Diagnosi"

// The message strings the handlers show later.
constexpr int kMessageNumbers[] = {85,  86,  87,  89,  90,  91,  174, 175, 177, 180, 181, 193, 258, 259, 260,
                                   344, 345, 31,  364, 388, 389, 390, 391, 392, 393};

constexpr auto setList = &cfgwin::SetList;

} // namespace

void cfgwin::SetList(TKeyComboBox* combo, const QStringList& items)
{
    if (!combo)
        return;
    const int index = combo->currentIndex();
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(index < combo->count() ? index : -1);
}

QStringList cfgwin::TextList(std::initializer_list<int> numbers)
{
    QStringList l;
    for (int n : numbers)
        l << wkit::Text(n);
    return l;
}

QString TFormConfig::Message(int number) const
{
    const auto it = messages_.find(number);
    return it == messages_.end() ? QString() : it->second;
}

void TFormConfig::LoadTexts()
{
    // Tab captions.
    for (const auto& c : cfgwin::Captions()) {
        if (qstrcmp(c.owner, c.name) != 0)
            continue;
        for (int p = 0; p < cfgwin::kPageCount; ++p)
            if (qstrcmp(cfgwin::PageName(p), c.name) == 0)
                PageControl->setTabText(p, wkit::Text(c.number));
    }
    PageControl->setTabText(cfgwin::PageSequenza, wkit::Text(kTextIniettori) + QLatin1Char('+'));
    PageControl->setTabText(cfgwin::PageDiagnosi, QLatin1Char(' ') + wkit::Text(kTextDiagnosi) + QLatin1Char(' '));
    TabEsciTag = 0;

    // Message strings, the pop-up menu and the captions.
    for (int n : kMessageNumbers)
        messages_[n] = wkit::Text(n);
    for (const auto& c : cfgwin::Captions()) {
        if (qstrcmp(c.owner, c.name) == 0)
            continue;
        const QString name = QString::fromLatin1(c.name);
        if (auto* action = findChild<QAction*>(name)) {
            action->setText(wkit::Text(c.number));
        } else if (auto* label = qobject_cast<QLabel*>(Control(name))) {
            label->setText(wkit::Text(c.number));
        } else if (auto* button = qobject_cast<QAbstractButton*>(Control(name))) {
            button->setText(wkit::Text(c.number));
        }
    }
    // The bound controls' captions and units.
    for (int p = 0; p < cfgwin::kPageCount; ++p) {
        for (const Binding& row : PageBindings(p)) {
            QWidget* control = Control(QString::fromLatin1(row.name));
            const int caption = row.CaptionText();
            const int unit = row.UnitText();
            if (caption && row.captionName) {
                if (auto* l = qobject_cast<QLabel*>(Control(QString::fromLatin1(row.captionName))))
                    l->setText(wkit::Text(caption));
            } else if (caption) {
                if (auto* button = qobject_cast<QAbstractButton*>(control))
                    button->setText(wkit::Text(caption));
            }
            if (unit && row.unitName)
                if (auto* l = qobject_cast<QLabel*>(Control(QString::fromLatin1(row.unitName))))
                    l->setText(wkit::Text(unit));
        }
    }
    Page<TPageEmissioni>().ShowOverlapCaption(DataModule().GetFlag(cfgrules::kGasOnlyOption) != 0);

    // The lists.
    const auto texts = &cfgwin::TextList;
    Page<TPageConfigurazione>().LoadListTexts();
    setList(Page<TPageCommutazione>().ComboCambio, texts({113, 114, 115}) << QStringLiteral("Monofuel"));
    fillLambdaTypes();
    const TPageSensori& sensori = Page<TPageSensori>();
    setList(sensori.ComboSonda1, texts({384, 385, 386}));
    setList(sensori.ComboSonda2, texts({384, 385, 386}));
    setList(sensori.ComboCommutatore, texts({361, 362}));
    setList(qobject_cast<TKeyComboBox*>(Control(QStringLiteral("ComboMisuratorePressione"))), texts({253, 254}));
    setList(qobject_cast<TKeyComboBox*>(Control(QStringLiteral("ComboPressioneMisurata"))), texts({256, 257}));
    setList(Page<TPageTemp>().ComboTempRiduttore, texts({528, 529}));

    // The cell-variation dialog.
    FormModificaMappa->LoadTexts();

    // The unit labels are in the caption table.
    PageControl->tabBar()->update();
}

void TFormConfig::fillLambdaTypes()
{
    const auto list = cfgwin::LambdaTypeTexts(DataModule().EcuInfo.EcuType);
    QStringList l;
    for (int n : list.numbers)
        l << wkit::Text(n);
    if (list.withUego)
        l << QStringLiteral("UEGO");
    setList(Page<TPageSensori>().ComboTipoLambda, l);
}
