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
        ShapeRientroCutoff = static_cast<plat::Shape*>(f.widget());
        f.title("LabelRientroCutoff");
        LabelInettateBenzina = f.row(&TPageCorrezioni::EditIniettateBenzina).caption;
        f.row(&TPageCorrezioni::EditSmagrRientroCutoff);
        f.row(&TPageCorrezioni::EditNumeroIniettateSmagr);
        LabelGiriTempoCutoff = f.title("LabelGiriTempoCutoff");
        LabelGiriCutoff = f.row(&TPageCorrezioni::EditGiriCutoff).caption;
        LabelTempoCutoff = f.row(&TPageCorrezioni::EditTempoCutoff).caption;
    }
    {
        // The absolute-pressure correction, a live value.
        auto f = ColumnGroup(b, left, "PanelCorrPressAbs");
        PanelCorrPressAbs = static_cast<plat::Shape*>(f.widget());
        LabCorrPressAbs = b.label("LabCorrPressAbs", f.widget());
        LabCorrPressAbs->setText(QStringLiteral("-"));
        f.row(b.label("LabelCorrPressAbs", f.widget()), LabCorrPressAbs);
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
        shape = static_cast<plat::Shape*>(f.widget());
        panel = b.panel(p.panel, f.widget());
        f.line(panel);
        TFormConfig::Builder::Frame pf(&b, panel);
        pf.grid()->setContentsMargins(0, 0, 0, 0);
        pf.grid()->setColumnStretch(0, 0);
        pf.grid()->setColumnStretch(1, 1);
        pf.title(p.title);
        minus = b.picture(p.minus, panel);
        plus = b.picture(p.plus, panel);
        bar = b.shape(p.bar);
        dot = b.picture(p.dot);
        auto* track = new TSliderTrack(panel, bar, dot);
        QGridLayout* g = pf.grid();
        const int at = pf.nextRow();
        g->addWidget(minus, at, 0, Qt::AlignCenter);
        g->addWidget(track, at, 1);
        g->addWidget(plus, at, 2, Qt::AlignCenter);
        g->addWidget(b.label(p.weak, panel), at + 1, 0, Qt::AlignLeft);
        value = b.label(p.value, panel);
        g->addWidget(value, at + 1, 1, Qt::AlignHCenter);
        g->addWidget(b.label(p.strong, panel), at + 1, 2, Qt::AlignRight);
        gridTitle = f.title(p.gridTitle);
        grid = b.table(p.grid);
        f.line(grid);
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
        auto f = b.frame(1, 0, "ShapePressDiff", 1, 2);
        ShapePressDiff = static_cast<plat::Shape*>(f.widget());
        LabelCorrezioniPressione = f.title("LabelCorrezioniPressione");
        DrawGridPressDiff = b.table("DrawGridPressDiff");
        f.line(DrawGridPressDiff);
    }
    {
        auto f = b.frame(2, 0, "ShapeDelayGasTemp", 1, 2);
        ShapeDelayGasTemp = static_cast<plat::Shape*>(f.widget());
        LabelDelayGasTemp = f.title("LabelDelayGasTemp");
        DrawDelayGasTemp = b.table("DrawDelayGasTemp");
        f.line(DrawDelayGasTemp);
        ShapeLineDown = b.shape("ShapeLineDown", f.widget());
        ShapeLineDown->setFixedHeight(1);
        f.line(ShapeLineDown);
    }
    {
        auto f = b.frame(3, 0, "ShapePresPassaggio", 1, 2);
        ShapePresPassaggio = static_cast<plat::Shape*>(f.widget());
        LabelPressPassaggio = f.title("LabelPressPassaggio");
        DrawPressPassaggio = b.table("DrawPressPassaggio");
        f.line(DrawPressPassaggio);
        ShapeLineUp = b.shape("ShapeLineUp", f.widget());
        ShapeLineUp->setFixedHeight(1);
        f.line(ShapeLineUp);
    }
    b.remainingRows();
    b.finish(4, 2);

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
