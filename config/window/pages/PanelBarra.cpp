// The live-data bar, moved onto whichever page is active, and the 20 ms live
// tick: the poll step, the frame's values on the bar, the status pictures and
// lamps, the operating point in the maps and tables of the active page and the
// live OBD values.
#include "PageAdatta.h"
#include "PageCorrezioni.h"
#include "PageEmissioni.h"
#include "PageMappa.h"
#include "PageSensori.h"
#include "PageTemp.h"
#include "config/window/FormConfigParts.h"
#include "config/window/PageWidgets.h"
#include "datamodule/core/ItemCodes.h"
#include "windowkit/LivePolling.h"

#include "complib/numbers/NumberText.h"
#include "complib/editors/NumericEdit.h"
#include "config/mapk/DrawGridK.h"
#include "config/rules/SensorRules.h"
#include "config/rules/SwitchRules.h"
#include "config/tables/CorrectionGrids.h"
#include "datamodule/core/LiveLamps.h"
#include "datamodule/core/iodata.h"
#include "live/diagnostics/FormDiagnosi.h"
#include "product/constants/BuildConstants.h"

#include "plat/Colors.h"
#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace {

constexpr std::uint32_t kValueFill = 0xFFFFFF;    // a reading on the bar
constexpr std::uint32_t kNotThereFill = 11119017; // the labels' own grey

// A reading's box: white, outlined, its text bold and centred, wide enough
// for `widest`. Its size is fixed, so that a new text on every tick repaints
// the box and lays nothing out again.
void styleValue(QLabel* l, const QString& widest)
{
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAutoFillBackground(true);
    const QFontMetrics fm(f);
    l->setFixedSize(fm.horizontalAdvance(widest) + 10, fm.height() + 2 * l->frameWidth() + 2);
}

void setColour(QWidget* w, QPalette::ColorRole role, std::uint32_t colour)
{
    const QColor c = plat::FromTColor(colour);
    if (w->palette().color(role) == c)
        return;
    QPalette pal = w->palette();
    pal.setColor(role, c);
    w->setPalette(pal);
}
void setFill(QWidget* w, std::uint32_t colour) { setColour(w, QPalette::Window, colour); }
void setInk(QWidget* w, std::uint32_t colour) { setColour(w, QPalette::WindowText, colour); }

void setText(QLabel* l, const QString& text)
{
    if (l && l->text() != text)
        l->setText(text);
}

void setPicture(plat::PictureButton* p, int id)
{
    if (p && p->currentId() != id)
        p->setPicture(id);
}

} // namespace

// ---------------------------------------------------------------------------
// The bar

void TFormConfig::BuildPanelBarra()
{
    PanelBarra = new QFrame(TabConfigurazione);
    PanelBarra->setObjectName(QStringLiteral("PanelBarra"));
    PanelBarra->setFrameShape(QFrame::Box);
    PanelBarra->setAutoFillBackground(true);
    Builder b(this, PanelBarra);
    QGridLayout* g = b.Grid();
    g->setContentsMargins(6, 3, 6, 3);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(2);

    const auto caption = [&](const char* name, int col) {
        QLabel* l = b.Label(name, PanelBarra);
        l->setAlignment(Qt::AlignCenter);
        g->addWidget(l, 0, col, Qt::AlignHCenter | Qt::AlignBottom);
        return l;
    };
    const auto value = [&](const char* name, int row, int col, const QString& widest) {
        QLabel* l = b.Label(name, PanelBarra);
        styleValue(l, widest);
        setFill(l, kValueFill);
        g->addWidget(l, row, col);
        return l;
    };
    // A picture behind a reading (the same cell), shown and hidden with it.
    const auto behind = [&](const char* name, int row, int col) {
        plat::PictureButton* p = b.Picture(name, PanelBarra);
        g->addWidget(p, row, col);
        return p;
    };
    const QString time = QStringLiteral("00.00");
    const QString volts = QStringLiteral("0.00");

    // The fuel state: the switch picture, the fuel label and the level lamps.
    ImageCommutatore = b.Picture("ImageCommutatore", PanelBarra);
    g->addWidget(ImageCommutatore, 0, 0, 3, 1, Qt::AlignCenter);
    connect(ImageCommutatore, &plat::PictureButton::clicked, this, [this] { ImageCommutatoreClick(); });
    LabelBenzina = b.Label("LabelBenzina", PanelBarra);
    QFont bold = LabelBenzina->font();
    bold.setBold(true);
    LabelBenzina->setFont(bold);
    LabelBenzina->setAlignment(Qt::AlignCenter);
    LabelBenzina->setFixedSize(QFontMetrics(bold).horizontalAdvance(QStringLiteral("BENZINA")) + 6,
                               QFontMetrics(bold).height());
    cfgwin::KeepPlace(LabelBenzina);
    g->addWidget(LabelBenzina, 0, 1, Qt::AlignCenter);
    auto* lamps = new QHBoxLayout;
    lamps->setSpacing(3);
    const int lamp = QFontMetrics(font()).height() * 3 / 4;
    StatusLamps.MakeLevelLamps([&](const char* name, bool reserve) {
        plat::Shape* s = b.Shape(name, PanelBarra);
        s->setKind(plat::Shape::Kind::RoundRect);
        s->setBrush(plat::FromTColor(reserve ? cfglive::kRed : cfglive::kGreen));
        s->setFixedSize(lamp, lamp);
        cfgwin::KeepPlace(s);
        s->hide();
        lamps->addWidget(s);
        return s;
    });
    g->addLayout(lamps, 1, 1, Qt::AlignCenter);

    LabelGiri = caption("LabelGiri", 2);
    LabGiri = value("LabGiri", 1, 2, QStringLiteral("00000"));
    LabelInj = caption("LabelInj", 3);
    LabApMot = value("LabApMot", 1, 3, time);
    ImageApMot2 = behind("ImageApMot2", 2, 3);
    LabApMot2 = value("LabApMot2", 2, 3, time);
    LabelInjBenz = caption("LabelInjBenz", 4);
    LabApMotBenz = value("LabApMotBenz", 1, 4, time);
    ImageApMot2Benz = behind("ImageApMot2Benz", 2, 4);
    LabApMot2Benz = value("LabApMot2Benz", 2, 4, time);
    ImageLambda1 = b.Picture("ImageLambda1", PanelBarra);
    ImageLambda1->setPicturePath(QStringLiteral(":/bmp/lambda1.png"));
    g->addWidget(ImageLambda1, 0, 5, Qt::AlignHCenter | Qt::AlignBottom);
    ImageLambdaValue = behind("ImageLambdaValue", 1, 5);
    LabLambda = value("LabLambda", 1, 5, volts);
    ImageLambda2 = b.Picture("ImageLambda2", PanelBarra);
    ImageLambda2->setPicturePath(QStringLiteral(":/bmp/lambda2.png"));
    g->addWidget(ImageLambda2, 0, 6, Qt::AlignHCenter | Qt::AlignBottom);
    ImageLambda2Value = behind("ImageLambda2Value", 1, 6);
    LabLambda2 = value("LabLambda2", 1, 6, volts);
    LabelPress = caption("LabelPress", 7);
    LabPressione = value("LabPressione", 1, 7, volts);
    LabelPressColl = caption("LabelPressColl", 8);
    LabPressioneColl = value("LabPressioneColl", 1, 8, volts);
    // Each temperature under the caption that names it.
    LabelTemp = caption("LabelTemp", 9);
    LabTempMot = value("LabTempMot", 1, 9, QStringLiteral("-000"));
    LabelTempMot = caption("LabelTempMot", 10);
    LabTemp = value("LabTemp", 1, 10, QStringLiteral("-000"));
    LabelAdattaGas = caption("LabelAdattaGas", 11);
    ImageAdataGas = behind("ImageAdataGas", 1, 11);
    LabAdattaGas = value("LabAdattaGas", 1, 11, QStringLiteral("-000%"));

    LabelLedExtraInj = caption("LabelLedExtraInj", 12);
    ImageExtraInj = b.Picture("ImageExtraInj", PanelBarra);
    g->addWidget(ImageExtraInj, 1, 12, 2, 1, Qt::AlignHCenter | Qt::AlignTop);
    LabelCutoff = caption("LabelCutoff", 13);
    ImageCutoff = b.Picture("ImageCutoff", PanelBarra);
    g->addWidget(ImageCutoff, 1, 13, 2, 1, Qt::AlignHCenter | Qt::AlignTop);
    LabelDiagnosi = caption("LabelDiagnosi", 14);
    LabelDiagnosi->setCursor(Qt::PointingHandCursor);
    cfgwin::OnClick(LabelDiagnosi, [this] { LabelDiagnosiClick(); });
    for (plat::Shape** s : {&ImageDiagnosiOn, &ImageDiagnosiOff}) {
        const bool on = s == &ImageDiagnosiOn;
        *s = b.Shape(on ? "ImageDiagnosiOn" : "ImageDiagnosiOff", PanelBarra);
        (*s)->setKind(plat::Shape::Kind::RoundRect);
        (*s)->setBrush(plat::FromTColor(on ? cfglive::kRed : cfglive::kGrey));
        (*s)->setFixedSize(lamp * 3 / 2, lamp * 3 / 2);
        cfgwin::KeepPlace(*s);
        g->addWidget(*s, 1, 14, 2, 1, Qt::AlignHCenter | Qt::AlignTop);
    }
    ImageDiagnosiOn->hide();
    StatusLamps.SetDiagnosisLamp(ImageDiagnosiOn, ImageDiagnosiOff, dm::DiagnosisLampOn);
    g->setColumnStretch(15, 1);

    // The pictures' own sizes, scaled with the window's text.
    const QSize picture(lamp * 5 / 2, lamp * 5 / 2);
    for (plat::PictureButton* p : {ImageCommutatore, ImageExtraInj, ImageCutoff})
        p->setFixedSize(picture);
    for (plat::PictureButton* p : {ImageLambda1, ImageLambda2})
        p->setFixedSize(lamp * 3, lamp * 4 / 3);
    // The second probe keeps its place when the bank rules hide it; the
    // second bank's times show with two banks only (the bank rules).
    for (QWidget* w : std::initializer_list<QWidget*>{ImageLambda2, ImageLambda2Value, LabLambda2})
        cfgwin::KeepPlace(w);
    for (QWidget* w : std::initializer_list<QWidget*>{LabApMot2, ImageApMot2, LabApMot2Benz, ImageApMot2Benz})
        w->hide();
    // The bar is placed by hand: when the bank rules show or hide a row of
    // it, it takes its new height on its page.
    new cfgwin::TEventWatch(PanelBarra, {QEvent::LayoutRequest}, [this] {
        if (PanelBarra->parentWidget() == Page(ActivePage()))
            MovePanelBarra(ActivePage());
    });
}

void TFormConfig::LabelDiagnosiClick()
{
    TimerDati->stop();
    auto* diagnostics = new TFormDiagnosi(this);
    diagnostics->exec();
    delete diagnostics;
    wkit::LivePollingOn(DataModule());
    TimerDati->start();
}

void TFormConfig::ImageCommutatoreClick()
{
    ImageCommutatore->setEnabled(false);
    cfgrules::SwitchFuelFromPc(DataModule(), LiveStatusFlags);
    ImageCommutatore->setEnabled(true);
}

// ---------------------------------------------------------------------------
// The live tick

void TFormConfig::TimerDatiTimer()
{
    // The poll step with the timer stopped: the next tick comes 20 ms
    // after this one's read.
    TimerDati->stop();
    DataModule().TimerIOTimer(this);
    TimerDati->start();
    // The frame's values; the second bank only when it arrived.
    const dm::TLiveFrame frame = DataModule().DecodedLiveBlock();
    dm::DecodeLiveValues(frame, DataModule().GetTimeBase(), dm::CarriesSecondBank(frame), LiveValues);
    LiveRpm = LiveValues.Rpm;
    LiveStatusFlags = LiveValues.StatusFlags;
    showLiveBar();
    Page<TPageTemp>().ShowLiveReading();
    // What the status bits change: the fuel state, the cut-off and extra
    // injection pictures, the level lamps and the diagnosis lamp.
    cfglive::LevelInput level;
    level.level = LiveValues.Level;
    level.thresholds = cfgrules::StoredThresholds(DataModule());
    level.descending = DataModule().GetTipoSensoreBit7();
    bool& seen = hooks_.extraInjectionSeen ? *hooks_.extraInjectionSeen : ownExtraInjectionSeen_;
    showBarChanges(cfglive::StepBar(LiveBarState, LiveValues.StatusFlags, LiveValues.StatusLow, level, seen));
    if (LambdaRefreshPending) {
        DataModule().ApplyTipoDiLambdaDefaults();
        Page<TPageSensori>().ReloadLambdaReference();
        LambdaRefreshPending = false;
    }
    trackActivePage();
    showObdBlocks();
}

void TFormConfig::showLiveBar()
{
    cfglive::BarInput in;
    in.live = LiveValues;
    in.twoBanks = DataModule().HasSecondaSonda();
    in.probeTypesPresent = DataModule().TipiLambdaPresent != 0;
    for (int p = 1; p <= 2; ++p)
        in.probes[static_cast<std::size_t>(p - 1)] = {DataModule().GetTipiLambdaEnabled(p) != 0,
                                                      DataModule().GetTipiLambda(p)};
    in.reference = static_cast<double>(DataModule().GetValueByCode(dm::kLambdaReferenceCode));
    in.inverted = DataModule().GetTipoDiLambdaBit0() != 0;
    in.connected = Connected();
    in.separator = complib::DecimalSeparator();
    in.notAvailable = Message(cfglive::kTextNotAvailable);
    const cfglive::BarTexts t = cfglive::PresentBar(in);

    setText(LabGiri, t.giri);
    setText(LabApMot, t.apMot);
    setText(LabApMotBenz, t.apMotBenz);
    if (t.apMot2)
        setText(LabApMot2, *t.apMot2);
    if (t.apMot2Benz)
        setText(LabApMot2Benz, *t.apMot2Benz);
    Page<TPageSensori>().ShowLiveLevel(t.livello);
    QLabel* lambdas[] = {LabLambda, LabLambda2};
    for (std::size_t p = 0; p < 2; ++p) {
        setText(lambdas[p], t.lambda[p].text);
        setFill(lambdas[p], t.lambda[p].colour);
        if (lambdas[p]->isEnabled() != t.lambda[p].enabled)
            lambdas[p]->setEnabled(t.lambda[p].enabled);
    }
    setText(LabPressione, t.pressione);
    setText(LabPressioneColl, t.pressioneColl);
    setFill(LabPressioneColl, t.pressioneCollGrey ? kNotThereFill : kValueFill);
    setText(LabTemp, t.temp);
    setText(LabTempMot, t.tempMot);
    setFill(LabTempMot, t.tempMotGrey ? kNotThereFill : kValueFill);
    setText(LabAdattaGas, t.adattaGas);
}

void TFormConfig::showBarChanges(const cfglive::BarChanges& c)
{
    if (c.fuel) {
        setPicture(ImageCommutatore, c.fuel->commutatore);
        Page<TPageMappa>().ShowFuelDot(c.fuel->pallino);
        Page<TPageEmissioni>().ShowFuelDot(c.fuel->emissioni);
        setText(LabelBenzina, Message(c.fuel->text));
        setInk(LabelBenzina, c.fuel->colour);
    }
    if (c.bar2)
        Page<TPageMappa>().ShowEnrichmentBar(*c.bar2);
    if (LabelBenzina->isHidden() == c.benzinaVisible) {
        LabelBenzina->setVisible(c.benzinaVisible);
        if (c.benzinaVisible)
            LabelBenzina->repaint();
    }
    if (c.cutoff)
        setPicture(ImageCutoff, *c.cutoff);
    if (c.extraInjection)
        setPicture(ImageExtraInj, *c.extraInjection);
    StatusLamps.ShowLevelLamps(c.levelLamps);
    if (c.lampDue)
        StatusLamps.ShowDiagnosis(DataModule());
}

// ---------------------------------------------------------------------------
// The operating point

QWidget* TFormConfig::trackedGrid(cfglive::Grid grid) const
{
    using G = cfglive::Grid;
    switch (grid) {
    case G::MapK: return Page<TPageMappa>().DrawGridK;
    case G::PressPassaggio: return CorrectionGrids->DrawPressPassaggio;
    case G::Emissioni: return CorrectionGrids->DrawGridEmissioni;
    case G::Anticipo: return CorrectionGrids->DrawGridAnticipo;
    case G::Filtro: return DrawGridFiltro;
    case G::Sgancio: return DrawGridSgancio;
    case G::TempGas: return CorrectionGrids->DrawGridTempGas;
    case G::TempRid: return CorrectionGrids->DrawGridTempRid;
    case G::PressDiff: return CorrectionGrids->DrawGridPressDiff;
    case G::PressColl: return nullptr; // the Dati di test sheet shows no pressure grid
    case G::Variatore: return CorrectionGrids->DrawGridVariatore;
    }
    return nullptr;
}

void TFormConfig::repaintDirty(const cfglive::Repaint& dirty)
{
    for (const cfglive::Dirty& d : dirty) {
        QWidget* w = trackedGrid(d.grid);
        if (!w)
            continue;
        if (!d.IsCell())
            w->update(d.area);
        else if (auto* k = qobject_cast<DrawGridK*>(w))
            w->update(k->CellRect(d.col, d.row));
        else if (auto* g = qobject_cast<TCorrectionGrid*>(w))
            w->update(g->CellRect(d.col, d.row));
        else
            w->update();
    }
}

void TFormConfig::trackActivePage()
{
    using namespace cfglive;
    const int page = ActivePage();
    TStreamDati& d = DataModule();
    Repaint dirty;
    const auto add = [&dirty](Repaint r) { dirty.insert(dirty.end(), r.begin(), r.end()); };
    const Breakpoint rpmK = [&d](int i) { return static_cast<double>(d.GetRifGiriK(i)); };
    tables::TrackedCells& tracked = CorrectionGrids->Tracked;

    if (page == cfgwin::PageMappa || page == cfgwin::PageCorrezioni) {
        add(Page<TPageMappa>().TrackOperatingPoint(MapKTracking, LiveValues));
        tracked.MapKRow = MapKTracking.row;
    }
    if (page == cfgwin::PageFiltroBenzina) {
        FilterTracking.columnBounds = MapKTracking.columnBounds;
        const QSize cell = DrawGridFiltro->size() / 13;
        add(TrackFilterPoint(FilterTracking, LiveValues.Rpm, LiveValues.MapPressure,
                             {cell.width() - 1, cell.height() - 1}, rpmK,
                             [&d](int i) { return static_cast<double>(d.GetRifFiltro(i)); }));
    }
    if (page == cfgwin::PageCorrezioni) {
        add(TrackTempGasColumn(
            TempGasTracking, LiveValues.GasTempRaw,
            [](std::int32_t raw) { return static_cast<double>(dm::TemperaturaGasFromRaw(raw)); },
            [&d](int i) { return static_cast<double>(d.GetRifMot(i)); }));
        add(TrackTempRidColumn(
            TempRidTracking, LiveValues.ReducerTempRaw,
            [](std::int32_t raw) { return static_cast<double>(dm::TempMotoreFromRaw(raw)); },
            [&d](int i) { return static_cast<double>(d.GetRifTemperatura(i)); }));
        add(TrackPressDiffColumn(PressDiffTracking, LiveValues.GasPressure));
        tracked.TempGasColumn = TempGasTracking.column;
        tracked.TempRidColumn = TempRidTracking.column;
        tracked.PressDiffColumn = PressDiffTracking.column;
        if (d.EcuInfo.EcuType == qz::ECU_TYPE_MONOPLUG)
            Page<TPageCorrezioni>().ShowPressureCorrection(AbsolutePressureCorrection(
                (LiveValues.StatusFlags & dm::LIVE_ON_GAS) != 0, static_cast<double>(d.GetRifPressDiff(10)),
                LiveValues.GasPressure, complib::DecimalSeparator(), Message(kTextNotAvailable)));
    }
    if (page == cfgwin::PageVariatore) {
        add(TrackVariatorPoint(
            VariatorTracking, LiveValues.Rpm, LiveValues.MapPressure, d.RifMapVariatorePresent != 0,
            [&d](int i) { return static_cast<double>(d.GetRifGiriVariatore(i)); },
            [&d](int i) { return static_cast<double>(d.GetRifMapVariatore(i)); }));
        tracked.VariatorColumn = VariatorTracking.column;
        tracked.VariatorRow = VariatorTracking.row;
    }
    if (page == cfgwin::PageTest)
        add(TrackPressCollColumn(PressCollTracking, LiveValues.MapPressure));
    if (page == cfgwin::PageEmissioni) {
        add(Page<TPageEmissioni>().TrackOperatingPoint(EmissionTracking, LiveValues.Rpm, LiveValues.MapPressure));
        tracked.OperatingPointX = EmissionTracking.dot.x();
        tracked.OperatingPointY = EmissionTracking.dot.y();
    }
    repaintDirty(dirty);
}

// ---------------------------------------------------------------------------
// The live OBD values

void TFormConfig::showObdBlocks()
{
    const int page = ActivePage();
    if (page != cfgwin::PageMappa && page != cfgwin::PageEmissioni && page != cfgwin::PageAdatta)
        return;
    const auto block = cfglive::ReadWholeBlock<cfglive::kObdBlockSize>(*DataModule().Protocol(), cfglive::kObdBlock);
    ObdBlock = block.bytes;
    ObdBlockLength = block.received;
    const cfglive::ObdView v = cfglive::DecodeObdBlock(ObdBlock, complib::DecimalSeparator());
    // The correctors on the Mappa page; the rear probes' oxygen on the
    // Emissioni page.
    Page<TPageMappa>().ShowCorrectors(v);
    for (int i = 0; i < 2; ++i) {
        const cfglive::ObdBank& b = v.banks[static_cast<std::size_t>(i)];
        Page<TPageEmissioni>().ShowOxygen(i, b.oxygen, b.oxygenVisible);
    }
    if (page != cfgwin::PageAdatta)
        return;
    const auto idle =
        cfglive::ReadWholeBlock<cfglive::kObdIdleBlockSize>(*DataModule().Protocol(), cfglive::kObdIdleBlock);
    Page<TPageAdatta>().ShowIdleCorrectors(cfglive::DecodeObdIdleBlock(idle.bytes));
}

// ---------------------------------------------------------------------------
// The cell bounds

void TFormConfig::BuildMapKCellBounds()
{
    TStreamDati& d = DataModule();
    MapKTracking.columnBounds =
        cfglive::RpmCellBounds(d.GetNumeroColonne(), [&d](int i) { return static_cast<double>(d.GetRifGiriK(i)); });
    MapKTracking.rowBounds = cfglive::RealCellBounds(
        d.GetNumeroRighe(), [&d](int i) { return static_cast<double>(d.GetRifTempiK(i)); }, 2.5);
}

void TFormConfig::BuildEmissionCellBounds()
{
    TStreamDati& d = DataModule();
    EmissionTracking.columnBounds =
        cfglive::RpmCellBounds(12, [&d](int i) { return static_cast<double>(d.GetRifGiri(i)); });
    EmissionTracking.rowBounds = cfglive::RealCellBounds(
        4, [&d](int i) { return static_cast<double>(d.GetRifMapEmissioni(i)); }, 0.5);
}

void TFormConfig::BuildFilterCellBounds()
{
    TStreamDati& d = DataModule();
    FilterTracking.columnBounds = MapKTracking.columnBounds;
    FilterTracking.rowBounds = cfglive::RealCellBounds(
        12, [&d](int i) { return static_cast<double>(d.GetRifFiltro(i)); }, 0.5);
}

void TFormConfig::BuildPressDiffCellBounds()
{
    TStreamDati& d = DataModule();
    PressDiffTracking.bounds =
        cfglive::Midpoints(15, [&d](int i) { return static_cast<double>(d.GetRifPressDiff(i)); });
}

void TFormConfig::BuildPressCollCellBounds()
{
    TStreamDati& d = DataModule();
    PressCollTracking.bounds =
        cfglive::Midpoints(15, [&d](int i) { return static_cast<double>(d.GetRifPressColl(i)); });
}

void TFormConfig::BuildAllCellBounds()
{
    BuildMapKCellBounds();
    BuildEmissionCellBounds();
    BuildFilterCellBounds();
    BuildPressDiffCellBounds();
    BuildPressCollCellBounds();
}
