#include "PageTemp.h"

#include "config/window/FormConfigParts.h"
#include "windowkit/WindowText.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/numbers/NumberText.h"
#include "complib/editors/NumericEdit.h"
#include "config/mapk/DrawGridK.h"
#include "config/mapk/FormModificaMappa.h"
#include "config/rules/EngineSensorRules.h"
#include "config/tables/CorrectionGrid.h"
#include "datamodule/core/Scaling.h"
#include "datamodule/core/SensorTables.h"
#include "datamodule/core/iodata.h"
#include "product/constants/BuildConstants.h"

#include "plat/Colors.h"
#include "plat/Prompts.h"
#include "plat/ScreenCursor.h"
#include "plat/Services.h"
#include "plat/Shape.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

using namespace cfgwin;
using namespace cfgrules;

namespace {

constexpr int kTextEndPcSwitch = 193; // "Procedendo si terminerà la commutazione da PC. Continuare?"

constexpr char16_t kEnter = 13;
constexpr int kSpace = 32;
constexpr int kFlagTempRiduttore = 8;
constexpr int kFlagTempGas = 9;
constexpr int kFlagTempMotore = 10;
// Navy: the live reading in the learning row.
constexpr std::uint32_t kLiveFill = 8388608;
constexpr int kButtonStart = 238;
constexpr int kButtonEnd = 239;

// The stored pull-up resistance of the vehicle's sensor (parameters 0, 1).
int storedPullUp(const TStreamDati& d)
{
    return dm::VehiclePullUpOhm(d.GetParametriTempMotore(0), d.GetParametriTempMotore(1));
}

int editorValue(const TNumericEdit* e) { return dm::TruncToInt(e->GetAsFloat()); }

bool valueColumn(int col) { return col == kSensorColumnVolts || col == kSensorColumnOhm; }

} // namespace

const TFormConfig::BindingTable& TPageTemp::Rows()
{
    using F = TFormConfig;
    using Owner = TPageTemp;
    static const F::BindingTable rows = {
        {QZ_BOUND(ComboTempRiduttore), .caption = 227, .captionName = "LabelTempGas"},
        {QZ_BOUND(CheckTempRiduttore), .caption = 228, .flags = kEnterClicks},
        {QZ_BOUND(CheckTempGas), .caption = 229, .flags = kEnterClicks},
        {QZ_BOUND(CheckTempMotore), .caption = 230, .flags = kEnterClicks},
        // The sensor's parameters, typed in only while they are being
        // modified; their captions are the layout's own.
        {QZ_BOUND(EditRPullUp), .limits = {1, 5000, 1}, .flags = kReadOnly},
        {QZ_BOUND(EditDeltaT), .unit = 86, .unitName = "LabDeltaT", .limits = {1, 100, 1}, .flags = kReadOnly},
        {QZ_BOUND(EditTMin), .unit = 86, .unitName = "LabTMin", .limits = {-40, 120, 1}, .flags = kReadOnly},
        {QZ_BOUND(EditTMax), .unit = 86, .unitName = "LabTMax", .limits = {0, 180, 1}, .flags = kReadOnly},
    };
    return rows;
}

void TPageTemp::Build()
{
    using Builder = TFormConfig::Builder;
    Builder b(&Form(), Sheet(), &Rows(), this);
    {
        auto f = b.FrameAt(0, 0);
        f.Row(&TPageTemp::ComboTempRiduttore);
        f.Row(&TPageTemp::CheckTempRiduttore);
        f.Row(&TPageTemp::CheckTempGas);
        f.Row(&TPageTemp::CheckTempMotore);
    }
    {
        auto f = b.FrameAt(1, 0, "ShapeParametriTemp");
        LabelParametriTemp = f.Title("LabelParametriTemp");
        const std::pair<TNumericEdit * TPageTemp::*, const char*> editors[] = {{&TPageTemp::EditRPullUp, "R pull-up"},
                                                                               {&TPageTemp::EditDeltaT, "Delta T"},
                                                                               {&TPageTemp::EditTMin, "T min"},
                                                                               {&TPageTemp::EditTMax, "T max"}};
        const char* captions[] = {"LabelRPullUp", "LabelDeltaT", "LabelTMin", "LabelTMax"};
        int tag = 0;
        for (auto [member, text] : editors) {
            const Builder::Made m = b.Bound(member, f.Widget());
            QLabel* caption = b.Label(captions[tag], f.Widget());
            caption->setText(QString::fromLatin1(text));
            QLabel* unit = m.unit;
            if (!unit) {
                unit = b.Label("LabRPullUp", f.Widget());
                unit->setText(QStringLiteral("ohm"));
            }
            f.Row(caption, m.control, unit);
            auto* e = this->*member;
            e->setProperty("Tag", tag++);
            connect(e, &TNumericEdit::entered, this, [this, e] { EditRPullUpEnter(e); });
            connect(e, &TNumericEdit::exited, this, [this, e] { EditRPullUpExit(e); });
        }
        ButtonNuoviParametri = new QPushButton(f.Widget());
        ButtonNuoviParametri->setObjectName(QStringLiteral("ButtonNuoviParametri"));
        f.Line(ButtonNuoviParametri);
        LabelInstr = b.Note("LabelInstr", f.Widget());
        f.Line(LabelInstr);
        LabelInstr->hide();
    }
    {
        auto f = b.FrameAt(0, 1, "ShapeCaratteristicaTemp", 4);
        LabelCaratteristicaTemp = f.Title("LabelCaratteristicaTemp");
        DrawGridTemp = new TCorrectionGrid(f.Widget());
        DrawGridTemp->setObjectName(QStringLiteral("DrawGridTemp"));
        DrawGridTemp->SetLayout(SensorRows(0), kSensorColumns, 1, 0);
        DrawGridTemp->SetCurrent(kSensorColumnVolts, 1);
        DrawGridTemp->OnDrawCell = [this](int c, int r, const QRect& rect, int state) {
            DrawGridTempDrawCell(c, r, rect, state);
        };
        DrawGridTemp->OnKeyPress = [this](int& key) { DrawGridTempKeyPress(key); };
        DrawGridTemp->OnDblClick = [this] { DrawGridTempDblClick(); };
        DrawGridTemp->OnKeyDown = [this](int key, Qt::KeyboardModifiers m) {
            return GridKeyDownLeaves(DrawGridTemp, key, m, DrawGridTemp->Row(), DrawGridTemp->FixedRows(),
                                     DrawGridTemp->RowCount());
        };
        f.Line(DrawGridTemp, Qt::AlignLeft | Qt::AlignTop);
    }
    b.RemainingRows();
    b.Finish(3, 2);

    connect(CheckTempRiduttore, &QCheckBox::clicked, this, [this] { CheckTempRiduttoreClick(); });
    connect(CheckTempGas, &QCheckBox::clicked, this, [this] { CheckTempGasClick(); });
    connect(CheckTempMotore, &QCheckBox::clicked, this, [this] { CheckTempMotoreClick(); });
    connect(ComboTempRiduttore, &TKeyComboBox::keyPressed, this, [this](QChar c) { ComboTempRiduttoreKeyPress(c); });
    connect(ButtonNuoviParametri, &QPushButton::clicked, this, [this] { ButtonNuoviParametriClick(); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old == DrawGridTemp && now != DrawGridTemp)
            DrawGridTempExit();
        if (now == DrawGridTemp && old != DrawGridTemp)
            DrawGridTempEnter();
    });
    // The sensor block hidden with its box.
    LoadingControls = 1;
    CheckTempMotoreClick();
    LoadingControls = 0;
}

void TPageTemp::TabTempShow()
{
    ShowSensorChoices();
    showSensorParameters();
}

void TPageTemp::ShowSensorChoices()
{
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    CheckTempRiduttore->setChecked(dm().GetFlag(kFlagTempRiduttore) != 0);
    CheckTempGas->setChecked(dm().GetFlag(kFlagTempGas) != 0);
    CheckTempMotore->setChecked(dm().GetFlag(kFlagTempMotore) != 0);
    // The sensor block follows the box (its click writes nothing now).
    CheckTempMotoreClick();
    LoadingControls = wasLoading;
    ComboTempRiduttore->setCurrentIndex(GasSensorComboItem(dm().GetTipoSensoreTemperaturaGas()));
}

void TPageTemp::showSensorParameters()
{
    const int points = dm().GetParametriTempMotore(4);
    Form().ShowLoadedInteger(EditRPullUp, storedPullUp(dm()));
    Form().ShowLoadedInteger(EditDeltaT, dm().GetParametriTempMotore(2));
    Form().ShowLoadedInteger(EditTMin, dm().GetParametriTempMotore(3));
    Form().ShowLoadedInteger(EditTMax, HighestTemperature(points, editorValue(EditDeltaT), editorValue(EditTMin)));
    const int rows = SensorRows(points);
    if (DrawGridTemp->RowCount() != rows) {
        const int col = DrawGridTemp->Col(), row = DrawGridTemp->Row();
        DrawGridTemp->SetLayout(rows, kSensorColumns, 1, 0);
        DrawGridTemp->SetCurrent(col, row);
        FitTempGrid();
    }
    DrawGridTemp->update();
}

int TPageTemp::liveSensorCount() const { return dm().DecodedLiveBlock().ReducerTemp; }

// ---------------------------------------------------------------------------
// Check boxes and the gas sensor

void TPageTemp::CheckTempRiduttoreClick()
{
    if (!LoadingControls)
        dm().SetFlag(kFlagTempRiduttore, CheckTempRiduttore->isChecked());
}

void TPageTemp::CheckTempGasClick()
{
    if (!LoadingControls)
        dm().SetFlag(kFlagTempGas, CheckTempGas->isChecked());
}

void TPageTemp::CheckTempMotoreClick()
{
    const bool on = CheckTempMotore->isChecked();
    if (!LoadingControls)
        dm().SetFlag(kFlagTempMotore, on);
    Form().ApplyControlRules(cfgrules::EngineSensorParameterVisibility(on));
}

void TPageTemp::ComboTempRiduttoreKeyPress(QChar key)
{
    if (key.unicode() != kEnter || ComboTempRiduttore->IsDroppedDown())
        return;
    // No selection, no write; the type already stored is not written again
    // (the write rebuilds the gas sensor's table and writes the gas
    // temperature thresholds back through it).
    const int item = ComboTempRiduttore->currentIndex();
    if (item < 0)
        return;
    const int type = GasSensorTypeOfItem(item);
    if (type != dm().GetTipoSensoreTemperaturaGas())
        dm().SetTipoSensoreTemperaturaGas(type);
    ComboTempRiduttore->setCurrentIndex(GasSensorComboItem(dm().GetTipoSensoreTemperaturaGas()));
}

// ---------------------------------------------------------------------------
// The sensor parameters

void TPageTemp::ButtonNuoviParametriClick()
{
    TNumericEdit* const editors[] = {EditRPullUp, EditDeltaT, EditTMin, EditTMax};
    if (!SensorEditing) {
        ButtonNuoviParametri->setText(wkit::Text(kButtonEnd));
        for (TNumericEdit* e : editors)
            e->setReadOnly(false);
        SensorEditing = true;
        DrawGridTemp->SetCurrent(kSensorColumnVolts, 1);
        LearningRow = 1;
        DrawGridTemp->update();
        EditRPullUp->setFocus();
        return;
    }
    // The parameter being typed counts before the editing ends.
    for (TNumericEdit* e : editors)
        if (e->hasFocus())
            EditRPullUpExit(e);
    ButtonNuoviParametri->setText(wkit::Text(kButtonStart));
    for (TNumericEdit* e : editors)
        e->setReadOnly(true);
    // The vehicle's sensor in use: the data module rebuilds its table.
    dm().SetFlag(kFlagTempMotore, true);
    SensorEditing = false;
    if (dm().GetFlag(kFlagTempMotore) && !CheckTempMotore->isChecked()) {
        const std::uint8_t wasLoading = LoadingControls;
        LoadingControls = 1;
        CheckTempMotore->setChecked(true);
        CheckTempMotoreClick();
        LoadingControls = wasLoading;
    }
    DrawGridTemp->update();
}

void TPageTemp::EditRPullUpEnter(TNumericEdit* edit)
{
    if (!SensorEditing)
        return;
    const QString hint = QLatin1Char('(') + complib::FormatGeneral(edit->MinValue()) + QLatin1Char(';') +
                         complib::FormatGeneral(edit->MaxValue()) + QLatin1Char(')');
    edit->setToolTip(hint);
    QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), hint, edit);
}

void TPageTemp::EditRPullUpExit(TNumericEdit* edit)
{
    if (!SensorEditing)
        return;
    if (Form().Touched(edit)) {
        SensorEditors e{editorValue(EditRPullUp), editorValue(EditDeltaT), editorValue(EditTMin),
                        editorValue(EditTMax)};
        for (auto [index, value] : SensorParameterWrites(edit->property("Tag").toInt(), e))
            dm().SetParametriTempMotore(index, value);
    }
    showSensorParameters();
    DrawGridTemp->SetCurrent(kSensorColumnVolts, 1);
    LearningRow = 1;
    DrawGridTemp->update();
}

// ---------------------------------------------------------------------------
// The table

void TPageTemp::DrawGridTempDrawCell(int col, int row, const QRect& rect, int)
{
    QPainter* p = DrawGridTemp->Canvas();
    if (!p)
        return;
    if (row == 0) {
        p->setPen(Qt::black);
        p->drawText(rect, Qt::AlignCenter, wkit::Text(kSensorHeaderTexts[static_cast<std::size_t>(col)]));
        return;
    }
    QColor fill = DrawGridTemp->Color;
    QColor ink = DrawGridTemp->palette().color(QPalette::WindowText);
    QString s;
    const int pullUp = storedPullUp(dm());
    const bool live = row == LearningRow && SensorEditing && DrawGridTemp->hasFocus();
    const int count = live ? liveSensorCount() : dm().GetEcuTempMotore(row - 1);
    switch (col) {
    case kSensorColumnIndex: s = QString::number(row); break;
    case kSensorColumnTemperature:
        s = QString::number(RowTemperature(row, editorValue(EditDeltaT), editorValue(EditTMin)));
        break;
    case kSensorColumnVolts: s = complib::FormatFixed(CountVolts(count), 5, 3, complib::DecimalSeparator()); break;
    default: s = QString::number(CountOhm(count, pullUp)); break;
    }
    if (live && valueColumn(col)) {
        fill = plat::FromTColor(kLiveFill);
        ink = Qt::white;
    }
    p->fillRect(rect, fill);
    p->setPen(ink);
    p->drawText(rect, Qt::AlignCenter, s);
}

namespace {

// The next point to learn: its row becomes the table's current row, or,
// past the last point, the parameters' button takes the focus.
void advanceLearning(TCorrectionGrid* grid, int& learningRow, QWidget* button)
{
    ++learningRow;
    if (learningRow < grid->RowCount())
        grid->SetCurrent(grid->Col(), learningRow);
    else
        button->setFocus();
    grid->update();
}

} // namespace

void TPageTemp::DrawGridTempKeyPress(int& key)
{
    if (!SensorEditing || (key != kSpace && key != kEnter))
        return;
    const int rows = DrawGridTemp->RowCount();
    // Past the last point: the parameters' button is next.
    if (LearningRow >= rows) {
        ButtonNuoviParametri->setFocus();
        return;
    }
    if (key == kSpace) {
        dm().SetEcuTempMotore(LearningRow - 1, liveSensorCount());
    } else {
        if (!valueColumn(DrawGridTemp->Col()) || DrawGridTemp->Row() != LearningRow)
            return;
        EditGridTempCells();
    }
    advanceLearning(DrawGridTemp, LearningRow, ButtonNuoviParametri);
}

void TPageTemp::DrawGridTempDblClick()
{
    if (!SensorEditing)
        return;
    int col = -1, row = -1;
    DrawGridTemp->MouseToCell(DrawGridTemp->LastMouse(), col, row);
    // The header row and the space outside the cells hold no point.
    if (row < 1 || col < 0)
        return;
    LearningRow = row;
    if (valueColumn(col)) {
        EditGridTempCells();
        advanceLearning(DrawGridTemp, LearningRow, ButtonNuoviParametri);
        return;
    }
    DrawGridTemp->update();
}

void TPageTemp::DrawGridTempEnter()
{
    if (SensorEditing)
        LabelInstr->show();
}

void TPageTemp::DrawGridTempExit()
{
    DrawGridTemp->update();
    LabelInstr->hide();
}

void TPageTemp::EditGridTempCells()
{
    const int column = DrawGridTemp->Col() == kSensorColumnOhm ? kSensorColumnOhm : kSensorColumnVolts;
    const int pullUp = storedPullUp(dm());
    // The live reading.
    double value = CountValue(column, liveSensorCount(), pullUp);
    int mode = 0;
    TFormModificaMappa* dialog = Form().FormModificaMappa;
    dialog->EditReal(&value, &mode);
    if (dialog->ModalResult() != 1)
        return;
    plat::ScopedScreenCursor busy;
    QTimer* timer = Form().TimerDati;
    const bool ticking = timer->isActive();
    timer->stop();
    Form().repaint();
    const int point = LearningRow - 1;
    dm().SetEcuTempMotore(point, EnteredCount(column, mode, value, dm().GetEcuTempMotore(point), pullUp));
    DrawGridTemp->update();
    if (ticking)
        timer->start();
}

void TPageTemp::FitTempGrid()
{
    QWidget* sheet = Sheet();
    if (!DrawGridTemp || !sheet->layout())
        return;
    // Beside the groups of the left column, at most 0.6 of the page; the rows
    // share the page's height below the table's title.
    const QMargins page = sheet->layout()->contentsMargins();
    const int room = Form().PageRoomWidth(sheet);
    const int width = std::min(ScaleWidth(room, 0.6), TFormConfig::FramedGridWidth(sheet, true, room));
    // The page's height, never more than the screen leaves it below the tabs
    // (the page may not have its final size yet).
    const int screenHeight = Form().WindowScreenHeight();
    const int pageHeight = std::min(sheet->height(), screenHeight - TabHeight(screenHeight) - 8);
    // Below the table: the live bar (the page's margin once the bar is on it).
    const int bottom = std::max(page.bottom(), Form().PanelBarra->sizeHint().height() + 8);
    // Above it: the frame's margins and outline, the title and its spacing.
    const int above = 2 * 8 + 2 + LabelCaratteristicaTemp->sizeHint().height() + 6 + 4;
    const int height = pageHeight - page.top() - bottom - above;
    const int rows = DrawGridTemp->RowCount();
    const int comfortable = DrawGridTemp->fontMetrics().height() + 8;
    const int rowHeight = std::clamp(height / rows - 1, DrawGridTemp->fontMetrics().height(), comfortable);
    FitGridWidget(DrawGridTemp,
                  FitColumns(std::max(width, kSensorColumns * 40), (rowHeight + 1) * rows, kSensorColumns, rowHeight));
}

// ---------------------------------------------------------------------------
// Leaving the page; the live tick

void TPageTemp::EndSensorEditing()
{
    if (SensorEditing)
        ButtonNuoviParametriClick();
}

bool TPageTemp::AskLeaveTemperatura()
{
    if (!(Form().ActivePage() == cfgwin::PageTemp && SensorEditing))
        return true;
    const int answer =
        plat::CurrentPrompts().ask({QString::fromUtf8(qz::ProductTitle()), Form().Message(kTextEndPcSwitch),
                                    plat::PromptIcon::Question, plat::PromptButtons::YesNo, 0});
    if (answer != plat::IDYES)
        return false;
    ButtonNuoviParametriClick();
    return true;
}

void TPageTemp::ShowLiveReading()
{
    if (SensorEditing && DrawGridTemp && QApplication::focusWidget() == DrawGridTemp)
        DrawGridTemp->update();
}
