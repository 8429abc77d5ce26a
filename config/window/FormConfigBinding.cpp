// The window's side of the bound controls: the builder that makes the pages
// from their binding tables, the commit on Enter through the item code, the
// list commit, the loading by code, the range hint and Enter on check boxes.
#include "FormConfig.h"
#include "FormConfigParts.h"
#include "PageWidgets.h"
#include "config/window/pages/PageCommutazione.h"
#include "config/window/pages/PageEmissioni.h"
#include "config/window/pages/PageSensori.h"

#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"
#include "config/rules/SwitchRules.h"
#include "config/tables/CorrectionGrid.h"
#include "config/tables/CorrectionGrids.h"
#include "config/tables_rules/TablesRules.h"
#include "datamodule/core/iodata.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

constexpr char16_t kEnter = 13;
// The system colour 3D-light.
const QColor kColour3DLight(227, 227, 227);

// Limits set in an order the editor takes (it refuses a maximum below its
// minimum and a minimum above its maximum).
void setLimits(TNumericEdit* e, double min, double max)
{
    if (min > e->MaxValue()) {
        e->SetMaxValue(max);
        e->SetMinValue(min);
    } else {
        e->SetMinValue(min);
        e->SetMaxValue(max);
    }
}

// An editor wide enough for eight digits, a sign and a separator.
void sizeEditor(QWidget* e)
{
    const QFontMetrics fm(e->font());
    e->setFixedWidth(fm.horizontalAdvance(QStringLiteral("-00000.00")) + 16);
}

// The rows of a frame lie this far apart.
constexpr int kRowSpacing = 6;

// Room between two rows of a frame for the range hint of an editor in
// either. It is taken only while the row below shows and the nearest row
// above it that shows (the page hides rows) holds an editor with a hint, or
// the row below does: the rows a page hides leave no gap behind.
class TRowGap : public QSpacerItem {
public:
    struct Row {
        QPointer<const QWidget> control;
        bool hinted;
    };
    TRowGap(std::vector<Row> above, Row below)
        : QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), above_(std::move(above)),
          below_(std::move(below))
    {}
    QSize sizeHint() const override { return taken() ? QSpacerItem::sizeHint() : QSize(0, 0); }
    QSize minimumSize() const override { return taken() ? QSpacerItem::minimumSize() : QSize(0, 0); }
    QSize maximumSize() const override
    {
        return taken() ? QSpacerItem::maximumSize() : QSize(QSpacerItem::maximumSize().width(), 0);
    }

private:
    // Hidden by the page (not merely not shown yet: a page not shown yet
    // lays its frames out already).
    static bool shows(const QWidget* w)
    {
        return w && !(w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide));
    }
    bool taken() const
    {
        if (!shows(below_.control))
            return false;
        for (auto it = above_.rbegin(); it != above_.rend(); ++it)
            if (shows(it->control))
                return it->hinted || below_.hinted;
        return false;
    }
    std::vector<Row> above_;
    Row below_;
};

// A control shown whole: its children, if any, are its own parts.
bool shownWhole(const QWidget* w)
{
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QLabel*>(w) || w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
}

// What the visible controls under w show, in root's coordinates (a label
// its text, any other control its whole face), leaving out `except`.
void collectShownAreas(const QWidget* root, const QWidget* w, const QWidget* except, std::vector<cfgwin::Rect>& out)
{
    for (const QObject* o : w->children()) {
        const auto* c = qobject_cast<const QWidget*>(o);
        if (!c || c == except || c->isWindow() || !c->isVisible())
            continue;
        if (!shownWhole(c)) {
            collectShownAreas(root, c, except, out);
            continue;
        }
        QRect face = c->rect();
        if (const auto* label = qobject_cast<const QLabel*>(c); label && !label->text().isEmpty()) {
            const QRect contents = label->contentsRect();
            const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            face = label->fontMetrics().boundingRect(contents, flags, label->text()) & contents;
        }
        const QPoint at = c->mapTo(root, face.topLeft());
        out.push_back({at.x(), at.y(), face.width(), face.height()});
    }
}

} // namespace

QHBoxLayout* cfgwin::ButtonWithCaption(QWidget* button, QLabel* caption)
{
    auto* pair = new QHBoxLayout;
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    pair->setSpacing(button->style()->pixelMetric(
        radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing, nullptr, button));
    pair->addWidget(button, 0, Qt::AlignTop);
    pair->addWidget(caption, 1);
    return pair;
}

void cfgwin::FitGridWidget(TCorrectionGrid* grid, const GridFit& fit)
{
    grid->DefaultColWidth = std::max(1, fit.columnWidth);
    grid->DefaultRowHeight = std::max(1, fit.rowHeight);
    grid->setFixedSize(std::max(1, fit.clientWidth), std::max(1, fit.clientHeight));
}

// ---------------------------------------------------------------------------
// Builder

TFormConfig::Builder::Builder(TFormConfig* form, QWidget* page, const BindingTable* rows, QObject* owner)
    : form_(form), page_(page), rows_(rows), owner_(owner ? owner : form), grid_(new QGridLayout(page))
{
    grid_->setObjectName(page->objectName() + QStringLiteral("Layout"));
    // The live bar lies over the bottom of every page: MovePanelBarra keeps
    // its height free.
    grid_->setContentsMargins(8, 8, 8, 8);
    grid_->setHorizontalSpacing(10);
    grid_->setVerticalSpacing(8);
}

TFormConfig::Builder::Frame TFormConfig::Builder::FrameAt(int row, int column, const char* shapeName, int rowSpan,
                                                          int columnSpan)
{
    plat::Shape* box = Shape(shapeName ? shapeName : "", page_);
    Place(box, row, column, rowSpan, columnSpan, Qt::AlignTop);
    return Frame(this, box);
}

TFormConfig::Builder::Frame TFormConfig::Builder::PanelFrame(QFrame** panelOut, const char* name, int row, int column,
                                                             int rowSpan, int columnSpan)
{
    QFrame* p = Panel(name);
    cfgwin::WhitePanel(p);
    Place(p, row, column, rowSpan, columnSpan, Qt::AlignTop);
    *panelOut = p;
    return Frame(this, p);
}

void TFormConfig::Builder::Place(QWidget* w, int row, int column, int rowSpan, int columnSpan, Qt::Alignment align)
{
    if (w->parentWidget() != page_)
        w->setParent(page_);
    grid_->addWidget(w, row, column, rowSpan, columnSpan, align);
}

void TFormConfig::Builder::Finish(int rows, int columns)
{
    grid_->setRowStretch(rows, 1);
    grid_->setColumnStretch(columns, 1);
}

QLabel* TFormConfig::Builder::Label(const char* name, QWidget* parent) { return named<QLabel>(name, parent); }

QLabel* TFormConfig::Builder::Note(const char* name, QWidget* parent)
{
    QLabel* l = Label(name, parent);
    l->setWordWrap(true);
    return l;
}

plat::PictureButton* TFormConfig::Builder::Picture(const char* name, QWidget* parent)
{
    return named<plat::PictureButton>(name, parent);
}

plat::Shape* TFormConfig::Builder::Shape(const char* name, QWidget* parent)
{
    auto* s = named<plat::Shape>(name, parent);
    s->setKind(plat::Shape::Kind::Rectangle);
    s->setPen(QPen(cfgwin::kFrameInk, 1));
    s->setBrush(Qt::white);
    // A frame holds controls: they take the mouse.
    s->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    return s;
}

QFrame* TFormConfig::Builder::Panel(const char* name, QWidget* parent) { return named<QFrame>(name, parent); }

TNumericEdit* TFormConfig::Builder::Edit(const char* name, QWidget* parent)
{
    auto* e = named<TNumericEdit>(name, parent);
    sizeEditor(e);
    form_->numericEdits_.push_back(e);
    return e;
}

TKeyComboBox* TFormConfig::Builder::Combo(const char* name, QWidget* parent)
{
    auto* c = named<TKeyComboBox>(name, parent);
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return c;
}

QCheckBox* TFormConfig::Builder::Check(const char* name, QWidget* parent) { return named<QCheckBox>(name, parent); }

QRadioButton* TFormConfig::Builder::Radio(const char* name, QWidget* parent)
{
    return named<QRadioButton>(name, parent);
}

TCorrectionGrid* TFormConfig::Builder::Table(const char* name)
{
    TCorrectionGrid* g = nullptr;
    for (const auto& spec : tables::GridTable())
        if (qstrcmp(spec.name, name) == 0)
            g = form_->CorrectionGrids->Grid(spec.id);
    Q_ASSERT(g);
    if (g->parentWidget() != page_)
        g->setParent(page_);
    return g;
}

QSpacerItem* TFormConfig::Builder::RowGap(const std::vector<const QWidget*>& above, const QWidget* below)
{
    std::vector<TRowGap::Row> rows;
    for (const QWidget* w : above)
        rows.push_back({w, Hinted(w)});
    auto* gap = new TRowGap(std::move(rows), {below, Hinted(below)});
    form_->rowGaps_.push_back(gap);
    return gap;
}

void TFormConfig::sizeRowGaps()
{
    // With the spacing beside it, the height of the hint (a line of the
    // window's text in its outline) and a pixel to spare.
    LabelLimite->ensurePolished();
    LabelLimite->setText(QStringLiteral("[0;0]"));
    const int height = std::max(0, LabelLimite->sizeHint().height() + 1 - kRowSpacing);
    for (QSpacerItem* gap : rowGaps_)
        gap->changeSize(0, height, QSizePolicy::Minimum, QSizePolicy::Fixed);
    for (QLayout* l : findChildren<QLayout*>())
        l->invalidate();
}

bool TFormConfig::Builder::Hinted(const QWidget* control) const
{
    const auto it = form_->bindingOf_.find(control);
    return it != form_->bindingOf_.end() && (it->second->flags & cfgwin::kRangeHint);
}

const TFormConfig::Binding& TFormConfig::Builder::missingRow() const
{
    static const Binding none{};
    Q_ASSERT_X(false, "TFormConfig::Builder", "a member without a binding row");
    return none;
}

TFormConfig::Builder::Made TFormConfig::Builder::Bound(const Binding& row, QWidget* parent)
{
    Made made;
    if (!row.name)
        return made;
    QWidget* owner = parent ? parent : page_;
    TFormConfig& f = *form_;
    if (const auto* m = std::get_if<Binding::EditMember>(&row.member)) {
        TNumericEdit* e = Edit(row.name, owner);
        e->SetDataCode(row.code);
        e->SetDataIndex(row.index);
        if (!row.limits.fromItem && (row.limits.min != 0 || row.limits.max != 0))
            setLimits(e, row.limits.min, row.limits.max);
        e->SetPrecision(row.limits.step);
        e->setReadOnly(row.flags & cfgwin::kReadOnly);
        if (row.flags & cfgwin::kCommit)
            connect(e, &TNumericEdit::keyPressed, form_, [form = form_, e](QChar c) { form->EditRifLambdaKeyPress(e, c); });
        if (row.flags & cfgwin::kRangeHint) {
            connect(e, &TNumericEdit::entered, form_, [form = form_, e] { form->EditEnter(e); });
            connect(e, &TNumericEdit::exited, form_, [form = form_, e] { form->EditExit(e); });
        }
        (*m)(*owner_) = e;
        made.control = e;
    } else if (const auto* m = std::get_if<Binding::ComboMember>(&row.member)) {
        TKeyComboBox* c = Combo(row.name, owner);
        c->SetDataCode(row.code);
        c->SetDataIndex(row.index);
        if (row.flags & cfgwin::kCommit)
            connect(c, &TKeyComboBox::keyPressed, form_, [form = form_, c](QChar k) { form->ComboTipoLambdaKeyPress(c, k); });
        (*m)(*owner_) = c;
        made.control = c;
    } else if (const auto* m = std::get_if<Binding::CheckMember>(&row.member)) {
        QCheckBox* c = Check(row.name, owner);
        if (row.flags & cfgwin::kEnterClicks)
            f.enterChecks_.push_back(c);
        (*m)(*owner_) = c;
        made.control = c;
    } else if (const auto* m = std::get_if<Binding::RadioMember>(&row.member)) {
        QRadioButton* r = Radio(row.name, owner);
        (*m)(*owner_) = r;
        made.control = r;
    }
    if (row.captionName)
        made.caption = Note(row.captionName, owner);
    if (row.unitName)
        made.unit = Label(row.unitName, owner);
    if (row.flags & cfgwin::kHidden)
        made.control->hide();
    f.bindingOf_[made.control] = &row;
    made_.push_back(&row);
    return made;
}

void TFormConfig::Builder::RemainingRows()
{
    if (!rows_)
        return;
    for (const Binding& r : *rows_) {
        if (std::find(made_.begin(), made_.end(), &r) != made_.end())
            continue;
        const Made m = Bound(r);
        for (QWidget* w : {m.control, static_cast<QWidget*>(m.caption), static_cast<QWidget*>(m.unit)})
            if (w)
                w->hide();
    }
}

TFormConfig::Builder::Frame::Frame(Builder* builder, QWidget* box)
    : builder_(builder), box_(box), grid_(new QGridLayout(box))
{
    grid_->setContentsMargins(10, 8, 10, 8);
    grid_->setHorizontalSpacing(8);
    grid_->setVerticalSpacing(kRowSpacing);
    grid_->setColumnStretch(0, 1);
}

TFormConfig::Builder::Made TFormConfig::Builder::Frame::Row(const Binding& binding)
{
    const Made m = builder_->Bound(binding, box_);
    const bool button = std::holds_alternative<Binding::CheckMember>(binding.member) ||
                        std::holds_alternative<Binding::RadioMember>(binding.member);
    if (!button) {
        Row(m.caption, m.control, m.unit);
        return m;
    }
    roomAbove(m.control);
    if (m.caption) {
        grid_->addLayout(cfgwin::ButtonWithCaption(m.control, m.caption), next_, 0, 1, 3);
    } else {
        grid_->addWidget(m.control, next_, 0, 1, 3);
    }
    ++next_;
    return m;
}

void TFormConfig::Builder::Frame::Row(QWidget* caption, QWidget* control, QWidget* unit)
{
    for (QWidget* w : {caption, control, unit})
        if (w && w->parentWidget() != box_)
            w->setParent(box_);
    // Two controls one above the other: room between them for the hint of
    // either.
    if (control)
        roomAbove(control);
    if (caption)
        grid_->addWidget(caption, next_, 0, Qt::AlignVCenter);
    if (control)
        grid_->addWidget(control, next_, 1, Qt::AlignLeft | Qt::AlignVCenter);
    if (unit)
        grid_->addWidget(unit, next_, 2, Qt::AlignLeft | Qt::AlignVCenter);
    ++next_;
}

void TFormConfig::Builder::Frame::roomAbove(const QWidget* control)
{
    if (!controlsAbove_.empty())
        grid_->addItem(builder_->RowGap(controlsAbove_, control), next_++, 0, 1, 3);
    controlsAbove_.push_back(control);
}

void TFormConfig::Builder::Frame::Line(QWidget* w, Qt::Alignment align)
{
    if (w->parentWidget() != box_)
        w->setParent(box_);
    grid_->addWidget(w, next_++, 0, 1, 3, align);
    controlsAbove_.clear();
}

QLabel* TFormConfig::Builder::Frame::Title(const char* name)
{
    QLabel* l = builder_->Note(name, box_);
    cfgwin::Bold(l);
    Line(l);
    return l;
}

TFormConfig::Builder::Frame TFormConfig::Builder::Frame::InnerFrame(const char* shapeName)
{
    plat::Shape* inner = builder_->Shape(shapeName ? shapeName : "", box_);
    Line(inner);
    return Frame(builder_, inner);
}

// ---------------------------------------------------------------------------
// Loading

void TFormConfig::ShowLoaded(TNumericEdit* edit, double value)
{
    edit->SetAsFloat(value);
    loadedText_[edit] = edit->text();
}

void TFormConfig::ShowLoadedInteger(TNumericEdit* edit, int value)
{
    edit->SetAsInteger(value);
    loadedText_[edit] = edit->text();
}

bool TFormConfig::Touched(const TNumericEdit* edit) const
{
    const auto it = loadedText_.find(edit);
    return it != loadedText_.end() && it->second != edit->text();
}

void TFormConfig::MarkLoaded(const TNumericEdit* edit) { loadedText_[edit] = edit->text(); }

bool TFormConfig::Loaded(const TNumericEdit* edit) const { return loadedText_.count(edit) != 0; }

void TFormConfig::RememberLists()
{
    for (TKeyComboBox* c : findChildren<TKeyComboBox*>())
        loadedIndex_[c] = c->currentIndex();
}

bool TFormConfig::ListTouched(const TKeyComboBox* combo) const
{
    // A list no page has shown yet has no selection, which commits nothing
    // by itself.
    const auto it = loadedIndex_.find(combo);
    return it == loadedIndex_.end() || it->second != combo->currentIndex();
}

bool TFormConfig::ListCommits(const TKeyComboBox* combo, QChar key) const
{
    return combo && key.unicode() == kEnter && !combo->IsDroppedDown() && combo->currentIndex() >= 0 &&
           ListTouched(combo);
}

void TFormConfig::LoadByCode(int page)
{
    const std::uint8_t wasLoading = LoadingControls;
    LoadingControls = 1;
    for (const Binding& row : PageBindings(page)) {
        if (!(row.flags & cfgwin::kLoadByCode) || row.code < 0)
            continue;
        auto* w = Control(QString::fromLatin1(row.name));
        if (auto* e = qobject_cast<TNumericEdit*>(w)) {
            const dm::Parameter* parameter = row.Parameter();
            if (row.limits.fromItem && parameter)
                if (const auto range = parameter->Range(DataModule().GetTimeBase())) {
                    setLimits(e, range->min, range->max);
                    e->SetPrecision(range->step);
                }
            const long double v = row.index < 0 ? DataModule().GetValueByCode(row.code)
                                                : DataModule().GetElementByCode(row.code, row.index);
            ShowLoaded(e, static_cast<double>(v));
        } else if (auto* c = qobject_cast<TKeyComboBox*>(w)) {
            const long double v = row.index < 0 ? DataModule().GetValueByCode(row.code)
                                                : DataModule().GetElementByCode(row.code, row.index);
            const int item = static_cast<int>(v);
            c->setCurrentIndex(item >= 0 && item < c->count() ? item : -1);
        }
    }
    LoadingControls = wasLoading;
}

// ---------------------------------------------------------------------------
// Commits

void TFormConfig::EditRifLambdaKeyPress(TNumericEdit* edit, QChar key)
{
    if (!edit || key.unicode() != kEnter || edit->DataCode() < 0)
        return;
    // An editor that was never loaded, or whose text is still the text of
    // the value it was loaded with, writes nothing: the value shown is
    // rounded to the editor's step and would not be the one the ECU holds.
    const bool single = edit->DataIndex() < 0;
    const auto held = [&] {
        return static_cast<double>(single ? DataModule().GetValueByCode(edit->DataCode())
                                          : DataModule().GetElementByCode(edit->DataCode(), edit->DataIndex()));
    };
    if (!Touched(edit)) {
        if (loadedText_.count(edit))
            ShowLoaded(edit, held());
        return;
    }
    const double v = edit->GetAsFloat();
    if (single)
        DataModule().SetValueByCode(edit->DataCode(), v);
    else
        DataModule().SetElementByCode(edit->DataCode(), edit->DataIndex(), v);
    ShowLoaded(edit, held());
}

void TFormConfig::ComboTipoLambdaKeyPress(TKeyComboBox* combo, QChar key)
{
    if (!ListCommits(combo, key) || combo->DataCode() < 0)
        return;
    const int index = combo->currentIndex();
    const int before = static_cast<int>(DataModule().GetValueByCode(combo->DataCode()));
    const bool written = DataModule().SetValueByCode(combo->DataCode(), index) == 1;
    const TPageSensori& sensori = Page<TPageSensori>();
    if (combo != sensori.ComboTipoLambda)
        return;
    // The probe's defaults follow a type that really changed.
    if (!written || before == index)
        return;
    LambdaRefreshPending = true;
    const TPageEmissioni& emissioni = Page<TPageEmissioni>();
    for (TNumericEdit* e : {sensori.EditRifLambda, emissioni.EditLivEmulAlto, emissioni.EditLivEmulBasso}) {
        if (!e)
            continue;
        QPalette pal = e->palette();
        pal.setColor(QPalette::Base, kColour3DLight);
        e->setPalette(pal);
    }
    DataModule().ApplyTipoDiLambdaEmulazione();
}

void TFormConfig::CommitOwnEditor(TNumericEdit* edit, QChar key, bool whole,
                                  const std::function<double(double)>& commit, const std::function<double()>& held)
{
    if (!edit || key.unicode() != kEnter || !loadedText_.count(edit))
        return;
    const double shown =
        Touched(edit) ? commit(whole ? dm::TruncToInt(edit->GetAsFloat()) : edit->GetAsFloat()) : held();
    if (whole)
        ShowLoadedInteger(edit, dm::TruncToInt(shown));
    else
        ShowLoaded(edit, shown);
}

void TFormConfig::EditEnter(TNumericEdit* edit)
{
    // The hint stands on the editor's page, so that it may reach past the
    // editor's frame into the room around it.
    QWidget* page = edit->parentWidget();
    for (QWidget* w = page; w; w = w->parentWidget())
        if (std::find(sheets_.begin(), sheets_.end(), w) != sheets_.end())
            page = w;
    LabelLimite->hide();
    if (LabelLimite->parentWidget() != page)
        LabelLimite->setParent(page);
    const QChar point = QLocale().decimalPoint().at(0);
    LabelLimite->setText(QString::fromStdString(
        cfgwin::RangeHintText(edit->MinValue(), edit->MaxValue(), point.toLatin1() ? point.toLatin1() : '.')));
    LabelLimite->adjustSize();
    placeRangeHint(edit);
    LabelLimite->show();
    LabelLimite->raise();
    // A page still being laid out (it was just shown, a row came or went)
    // moves the editor or its frames: the hint follows.
    delete rangeHintFollower_;
    rangeHintFollower_ = new cfgwin::TEventWatch(edit, {QEvent::Move, QEvent::Resize}, [this, edit] {
        if (LabelLimite->isVisible())
            placeRangeHint(edit);
    });
    for (QWidget* w = edit->parentWidget(); w && w != page; w = w->parentWidget())
        w->installEventFilter(rangeHintFollower_);
}

void TFormConfig::placeRangeHint(TNumericEdit* edit)
{
    QWidget* page = LabelLimite->parentWidget();
    const bool shown = LabelLimite->isVisible();
    LabelLimite->hide();
    std::vector<cfgwin::Rect> taken;
    collectShownAreas(page, page, edit, taken);
    const QPoint editAt = edit->mapTo(page, QPoint(0, 0));
    const auto at =
        cfgwin::PlaceRangeHint({editAt.x(), editAt.y(), edit->width(), edit->height()}, LabelLimite->width(),
                               LabelLimite->height(), {0, 0, page->width(), page->height()}, taken);
    LabelLimite->move(std::max(0, at.x), at.y);
    LabelLimite->setVisible(shown);
}

void TFormConfig::EditExit(TNumericEdit*)
{
    delete rangeHintFollower_;
    rangeHintFollower_ = nullptr;
    LabelLimite->hide();
}

void TFormConfig::CheckTpsBlocKeyPress(QCheckBox* check, int key)
{
    // Enter acts as a click of the mouse: it toggles and runs the click.
    if (check && (key == Qt::Key_Return || key == Qt::Key_Enter))
        check->click();
}
