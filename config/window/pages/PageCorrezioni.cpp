#include "PageCorrezioni.h"

#include "PageColumns.h"
#include "SliderTrack.h"
#include "datamodule/core/ItemCodes.h"

#include "complib/numbers/NumberText.h"
#include "complib/editors/NumericEdit.h"
#include "config/live/LiveBar.h"
#include "config/rules/PresetRules.h"
#include "config/tables/CorrectionGrid.h"
#include "datamodule/core/Scaling.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>

using namespace cfgwin;

namespace {

constexpr char16_t kEnter = 13;
// The preset buttons' pictures, released and pressed.
constexpr int kPicturePlus = 10035, kPicturePlusDown = 10036;
constexpr int kPictureMinus = 10037, kPictureMinusDown = 10038;

// A slider of eleven positions shows one.
void showPreset(plat::PictureButton* dot, QLabel* value, int position)
{
    if (auto* track = dynamic_cast<TSliderTrack*>(dot->parentWidget()))
        track->SetFraction(position, cfgrules::kPresetPositions - 1);
    value->setText(QString::fromStdString(cfgrules::PresetLabel(position)));
}

// Whether the ECU type shows the petrol stabilisation injections.
bool showsStabilisation(int type)
{
    return type == qz::ECU_TYPE_53 || type == qz::ECU_TYPE_4CIL_OBD || type == qz::ECU_TYPE_8CIL_OBD ||
           type == qz::ECU_TYPE_MONOPLUG;
}

} // namespace

const TFormConfig::BindingTable& TPageCorrezioni::Rows()
{
    using F = TFormConfig;
    using Owner = TPageCorrezioni;
    constexpr unsigned kByCode = kCommit | kRangeHint | kLoadByCode;
    static const F::BindingTable rows = {
        {QZ_BOUND(EditIniettateBenzina), .code = dm::kPetrolStabilisationCode, .captionName = "LabelInettateBenzina",
         .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditSmagrRientroCutoff), .code = dm::kCutoffReturnLeaningCode,
         .captionName = "LabelSmagrRientroCutoff", .limits = kItemLimits, .flags = kByCode},
        {QZ_BOUND(EditNumeroIniettateSmagr), .code = dm::kCutoffReturnInjectionsCode,
         .captionName = "LabelNumeroIniettateSmagr", .limits = kItemLimits, .flags = kByCode},
        // The gas injections in cut-off through their own accessor.
        {QZ_BOUND(EditGiriCutoff), .index = 0, .caption = 672, .captionName = "LabelGiriCutoff",
         .limits = {0, 4000, 1}},
        {QZ_BOUND(EditTempoCutoff), .index = 1, .caption = 673, .captionName = "LabelTempoCutoff",
         .limits = {0, 6, 0.01}},
    };
    return rows;
}

void TPageCorrezioni::Build()
{
    TFormConfig::Builder b(&Form(), Sheet(), &Rows(), this);
    // Two columns of groups at the top, each stacked on its own: a group the
    // ECU type hides leaves no hole, and the tables below come up to the
    // taller column.
    QVBoxLayout* left = PageColumn(b, 0);
    QVBoxLayout* right = PageColumn(b, 1);
    {
        auto f = ColumnGroup(b, left, "ShapeRientroCutoff");
        ShapeRientroCutoff = static_cast<plat::Shape*>(f.Widget());
        f.Title("LabelRientroCutoff");
        LabelInettateBenzina = f.Row(&TPageCorrezioni::EditIniettateBenzina).caption;
        f.Row(&TPageCorrezioni::EditSmagrRientroCutoff);
        f.Row(&TPageCorrezioni::EditNumeroIniettateSmagr);
        LabelGiriTempoCutoff = f.Title("LabelGiriTempoCutoff");
        LabelGiriCutoff = f.Row(&TPageCorrezioni::EditGiriCutoff).caption;
        LabelTempoCutoff = f.Row(&TPageCorrezioni::EditTempoCutoff).caption;
    }
    {
        // The absolute-pressure correction, a live value.
        auto f = ColumnGroup(b, left, "PanelCorrPressAbs");
        PanelCorrPressAbs = static_cast<plat::Shape*>(f.Widget());
        LabCorrPressAbs = b.Label("LabCorrPressAbs", f.Widget());
        LabCorrPressAbs->setText(QStringLiteral("-"));
        f.Row(b.Label("LabelCorrPressAbs", f.Widget()), LabCorrPressAbs);
    }
    // A temperature grid under its preset slider: title, minus, track, plus,
    // the ends' words and the value.
    struct Preset {
        const char* shape;
        const char* panel;
        const char* title;
        const char* bar;
        const char* dot;
        const char* minus;
        const char* plus;
        const char* weak;
        const char* value;
        const char* strong;
        const char* gridTitle;
        const char* grid;
    };
    const auto preset = [&](const Preset& p, QFrame*& panel, plat::Shape*& shape, plat::Shape*& bar,
                            plat::PictureButton*& dot, plat::PictureButton*& minus, plat::PictureButton*& plus,
                            QLabel*& value, QLabel*& gridTitle, TCorrectionGrid*& grid) {
        auto f = ColumnGroup(b, right, p.shape);
        shape = static_cast<plat::Shape*>(f.Widget());
        panel = b.Panel(p.panel, f.Widget());
        f.Line(panel);
        TFormConfig::Builder::Frame pf(&b, panel);
        pf.Grid()->setContentsMargins(0, 0, 0, 0);
        pf.Grid()->setColumnStretch(0, 0);
        pf.Grid()->setColumnStretch(1, 1);
        pf.Title(p.title);
        minus = b.Picture(p.minus, panel);
        plus = b.Picture(p.plus, panel);
        bar = b.Shape(p.bar);
        dot = b.Picture(p.dot);
        auto* track = new TSliderTrack(panel, bar, dot);
        QGridLayout* g = pf.Grid();
        const int at = pf.NextRow();
        g->addWidget(minus, at, 0, Qt::AlignCenter);
        g->addWidget(track, at, 1);
        g->addWidget(plus, at, 2, Qt::AlignCenter);
        g->addWidget(b.Label(p.weak, panel), at + 1, 0, Qt::AlignLeft);
        value = b.Label(p.value, panel);
        g->addWidget(value, at + 1, 1, Qt::AlignHCenter);
        g->addWidget(b.Label(p.strong, panel), at + 1, 2, Qt::AlignRight);
        gridTitle = f.Title(p.gridTitle);
        grid = b.Table(p.grid);
        f.Line(grid);
    };
    QLabel* gasTitle = nullptr;
    preset({"ShapeTempRid", "PanelCorrRid", "LabelCorrRid", "ImageBarraRid", "ImagePallinoRid", "ImageMinusRid",
            "ImagePlusRid", "LabelDeboleRid", "LabelValueRid", "LabelForteRid", "LabelRiferimentiRid",
            "DrawGridTempRid"},
           PanelCorrRid, ShapeTempRid, ImageBarraRid, ImagePallinoRid, ImageMinusRid, ImagePlusRid, LabelValueRid,
           LabelRiferimentiRid, DrawGridTempRid);
    preset({"ShapeTempGas", "PanelCorrGas", "LabelCorrGas", "ImageBarraGas", "ImagePallinoGas", "ImageMinusGas",
            "ImagePlusGas", "LabelDeboleGas", "LabelValueGas", "LabelForteGas", "LabelRiferimentiGas",
            "DrawGridTempGas"},
           PanelCorrGas, ShapeTempGas, ImageBarraGas, ImagePallinoGas, ImageMinusGas, ImagePlusGas, LabelValueGas,
           gasTitle, DrawGridTempGas);
    {
        auto f = b.FrameAt(1, 0, "ShapePressDiff", 1, 2);
        ShapePressDiff = static_cast<plat::Shape*>(f.Widget());
        LabelCorrezioniPressione = f.Title("LabelCorrezioniPressione");
        DrawGridPressDiff = b.Table("DrawGridPressDiff");
        f.Line(DrawGridPressDiff);
    }
    {
        auto f = b.FrameAt(2, 0, "ShapeDelayGasTemp", 1, 2);
        ShapeDelayGasTemp = static_cast<plat::Shape*>(f.Widget());
        LabelDelayGasTemp = f.Title("LabelDelayGasTemp");
        DrawDelayGasTemp = b.Table("DrawDelayGasTemp");
        f.Line(DrawDelayGasTemp);
        ShapeLineDown = b.Shape("ShapeLineDown", f.Widget());
        ShapeLineDown->setFixedHeight(1);
        f.Line(ShapeLineDown);
    }
    {
        auto f = b.FrameAt(3, 0, "ShapePresPassaggio", 1, 2);
        ShapePresPassaggio = static_cast<plat::Shape*>(f.Widget());
        LabelPressPassaggio = f.Title("LabelPressPassaggio");
        DrawPressPassaggio = b.Table("DrawPressPassaggio");
        f.Line(DrawPressPassaggio);
        ShapeLineUp = b.Shape("ShapeLineUp", f.Widget());
        ShapeLineUp->setFixedHeight(1);
        f.Line(ShapeLineUp);
    }
    b.RemainingRows();
    b.Finish(4, 2);

    connect(ImageMinusRid, &plat::PictureButton::clicked, this, [this] { ImageMinusRidClick(); });
    connect(ImagePlusRid, &plat::PictureButton::clicked, this, [this] { ImagePlusRidClick(); });
    connect(ImageMinusGas, &plat::PictureButton::clicked, this, [this] { ImageMinusGasClick(); });
    connect(ImagePlusGas, &plat::PictureButton::clicked, this, [this] { ImagePlusGasClick(); });
    for (TNumericEdit* e : {EditGiriCutoff, EditTempoCutoff})
        connect(e, &TNumericEdit::keyPressed, this, [this, e](QChar c) { EditGiriCutoffKeyPress(e, c); });
}

void TPageCorrezioni::TabCorrezioniShow()
{
    showPresetSliders();
    // Items 136, 137 and 106 by their codes.
    Form().LoadByCode(cfgwin::PageCorrezioni);
    const int type = dm().EcuInfo.EcuType;
    LabelInettateBenzina->setVisible(showsStabilisation(type));
    EditIniettateBenzina->setVisible(showsStabilisation(type));
    EditIniettateBenzina->setEnabled(dm().GetModificaSequenza() == 0);
    Form().ShowLoadedInteger(EditGiriCutoff, dm::TruncToInt(dm().GetIniettateGasCutoff(0)));
    Form().ShowLoaded(EditTempoCutoff, static_cast<double>(dm().GetIniettateGasCutoff(1)));
    // The reducer's grid with its preset, or the absolute-pressure
    // correction.
    const bool monoplug = type == qz::ECU_TYPE_MONOPLUG;
    for (QWidget* w : std::initializer_list<QWidget*>{ImageMinusRid, ImagePlusRid, ShapeTempRid, DrawGridTempRid,
                                                      LabelRiferimentiRid, PanelCorrRid})
        w->setVisible(!monoplug);
    PanelCorrPressAbs->setVisible(monoplug);
    // The live correction keeps the room of its widest usual text, so that a
    // new value never widens the groups beside the grids.
    const QFontMetrics fm = LabCorrPressAbs->fontMetrics();
    LabCorrPressAbs->setMinimumWidth(
        std::max(fm.horizontalAdvance(complib::FormatFixed(-100, 3, 2, complib::DecimalSeparator()) + u'%'),
                 fm.horizontalAdvance(Form().Message(cfglive::kTextNotAvailable))));
    // What the type shows beside the grids changed: the grids follow.
    FitCorrezioniGrids();
}

void TPageCorrezioni::showPresetSliders()
{
    showPreset(ImagePallinoRid, LabelValueRid, cfgrules::PresetPositionOf(dm(), cfgrules::Preset::Reducer));
    showPreset(ImagePallinoGas, LabelValueGas, cfgrules::PresetPositionOf(dm(), cfgrules::Preset::Gas));
}

void TPageCorrezioni::ImageMinusRidClick()
{
    showPreset(ImagePallinoRid, LabelValueRid, cfgrules::StepPreset(dm(), cfgrules::Preset::Reducer, false));
    DrawGridTempRid->update();
}

void TPageCorrezioni::ImagePlusRidClick()
{
    showPreset(ImagePallinoRid, LabelValueRid, cfgrules::StepPreset(dm(), cfgrules::Preset::Reducer, true));
    DrawGridTempRid->update();
}

void TPageCorrezioni::ImageMinusGasClick()
{
    showPreset(ImagePallinoGas, LabelValueGas, cfgrules::StepPreset(dm(), cfgrules::Preset::Gas, false));
    DrawGridTempGas->update();
}

void TPageCorrezioni::ImagePlusGasClick()
{
    showPreset(ImagePallinoGas, LabelValueGas, cfgrules::StepPreset(dm(), cfgrules::Preset::Gas, true));
    DrawGridTempGas->update();
}

void TPageCorrezioni::EditGiriCutoffKeyPress(TNumericEdit* edit, QChar key)
{
    if (!edit || key.unicode() != kEnter)
        return;
    const int index = edit->DataIndex();
    // What the user did not change is not written.
    if (Form().Touched(edit))
        dm().SetIniettateGasCutoff(index, edit->GetAsFloat());
    const long double held = dm().GetIniettateGasCutoff(index);
    if (index == 0)
        Form().ShowLoadedInteger(edit, dm::TruncToInt(held));
    else
        Form().ShowLoaded(edit, static_cast<double>(held));
}

void TPageCorrezioni::FitCorrezioniGrids()
{
    if (!DrawGridTempRid || !DrawGridPressDiff || !Sheet()->layout())
        return;
    // The temperature grids take the width beside the groups of the first
    // column; the other tables reach across the page. No grid asks for
    // more than the page has, so that the page never grows with its grids.
    const int rowHeight = DrawGridTempRid->fontMetrics().height() + 8;
    const int room = Form().PageRoomWidth(Sheet());
    const auto fit = [&](int beside, int across) {
        for (TCorrectionGrid* g : {DrawGridTempRid, DrawGridTempGas})
            FitGridWidget(g, FitColumns(beside, (rowHeight + 1) * 2, g->ColCount(), rowHeight));
        for (TCorrectionGrid* g : {DrawGridPressDiff, DrawDelayGasTemp, DrawPressPassaggio})
            FitGridWidget(g, FitColumns(across, (rowHeight + 1) * g->RowCount(), g->ColCount(), rowHeight));
    };
    const int beside = TFormConfig::FramedGridWidth(Sheet(), true, room);
    const int across = std::min(ScaleWidth(room, 0.97), TFormConfig::FramedGridWidth(Sheet(), false, room));
    fit(beside, across);
    // What the frames around the grids and the groups beside them really
    // take can differ from the estimate (a caption wrapped anew, a frame's
    // own margins): what the page still asks beyond its room comes off the
    // grids of the row that asks it. Measured on the frames themselves,
    // whose layouts know at once what a grid or a caption changed.
    const auto least = [](std::initializer_list<QWidget*> frames, bool withHint) {
        int width = 0;
        for (QWidget* f : frames)
            if (!f->isHidden())
                width = std::max({width, f->minimumSizeHint().width(), withHint ? f->sizeHint().width() : 0});
        return width;
    };
    auto* layout = static_cast<QGridLayout*>(Sheet()->layout());
    const QMargins margins = layout->contentsMargins();
    const int free = room - margins.left() - margins.right();
    const int top = least({ShapeRientroCutoff, PanelCorrPressAbs}, true) + layout->horizontalSpacing() +
                    least({ShapeTempRid, ShapeTempGas}, false);
    const int below = least({ShapePressDiff, ShapeDelayGasTemp, ShapePresPassaggio}, false);
    if (top > free || below > free)
        fit(beside - std::max(0, top - free), across - std::max(0, below - free));
}

void TPageCorrezioni::LoadPictures()
{
    for (plat::PictureButton* plus : {ImagePlusRid, ImagePlusGas})
        plus->setPictures(kPicturePlus, kPicturePlusDown);
    for (plat::PictureButton* minus : {ImageMinusRid, ImageMinusGas})
        minus->setPictures(kPictureMinus, kPictureMinusDown);
}

void TPageCorrezioni::ShowPressureCorrection(const QString& text)
{
    // Written only when it changes: an unchanged reading repaints nothing.
    if (LabCorrPressAbs->text() != text)
        LabCorrPressAbs->setText(text);
}
