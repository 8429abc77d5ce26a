#pragma once
// Shared by the window's source files: the binding rows of the pages, the
// builder that makes a page's controls and lays them out, and the table of
// the captions that are not a binding row's.
#include "FormConfig.h"
#include "config/window/pages/ConfigPage.h"
#include "datamodule/core/ParameterTable.h"

#include <QGridLayout>
#include <QStringList>
#include <QWidget>
#include <initializer_list>
#include <variant>
#include <vector>

class QFrame;
class QHBoxLayout;
class QLabel;
class QSpacerItem;

namespace cfgwin {

// A caption set by LoadTexts: the control (on its page or the live bar) and
// its string number. The captions of the bound controls are in their
// binding rows.
struct Caption {
    const char* owner; // page name, or "PanelBarra"
    const char* name;
    int number;
};
const std::vector<Caption>& Captions();

// What a bound control does besides showing its value.
enum BindFlag : unsigned {
    kCommit = 1u << 0,      // Enter writes it through DataCode / DataIndex (editors and lists)
    kRangeHint = 1u << 1,   // focus shows "[min;max]" beside the editor
    kEnterClicks = 1u << 2, // check box: Enter clicks it
    kLoadByCode = 1u << 3,  // the page shows it from DataCode / DataIndex
    kReadOnly = 1u << 4,    // shows a value and takes no typing
    kHidden = 1u << 5,      // a hidden holder (placed nowhere)
};

// An editor's limits: given (the page's own), or those of its parameter
// (dm::Parameter::range, taken again whenever the page loads, since times
// follow the time base).
struct Limits {
    double min = 0;
    double max = 0;
    double step = 0;
    bool fromItem = false;
};
inline constexpr Limits kItemLimits{0, 0, 0, true};

} // namespace cfgwin

// One bound control of a page: which member of its page it is, its name,
// the item it shows, its caption and unit, its limits and what it does.
struct TFormConfig::Binding {
    // The member on the object that holds it (its page): cfgwin::Slot.
    using EditMember = TNumericEdit*& (*)(QObject&);
    using ComboMember = TKeyComboBox*& (*)(QObject&);
    using CheckMember = QCheckBox*& (*)(QObject&);
    using RadioMember = QRadioButton*& (*)(QObject&);
    std::variant<EditMember, ComboMember, CheckMember, RadioMember> member;
    const char* name = nullptr; // the object name: the member's own (QZ_BOUND)
    // The parameter it shows (ParameterTable.h): DataCode and DataIndex;
    // code -1 unbound, index -1 a single value.
    int code = -1;
    int index = -1;
    // The caption: a label of that name beside the control, or, without a
    // name, the control's own text (check boxes, radio buttons). Its text
    // number (0 none) is the parameter's for a row with a code, else the
    // row's own.
    int caption = 0;
    const char* captionName = nullptr;
    // The unit label after the control: its text number as the caption's.
    int unit = 0;
    const char* unitName = nullptr;
    cfgwin::Limits limits{};
    unsigned flags = 0;

    // The description of the parameter; null without a code.
    const dm::Parameter* Parameter() const { return code < 0 ? nullptr : dm::FindParameter(code, index); }
    int CaptionText() const
    {
        const dm::Parameter* p = Parameter();
        return p ? p->caption : caption;
    }
    int UnitText() const
    {
        const dm::Parameter* p = Parameter();
        return p ? p->unit : unit;
    }
};

// The member of a binding row and its object name, the member's own name
// written once: {QZ_BOUND(EditRifLambda), .code = ...}, in a table whose
// function names its page `Owner`.
#define QZ_BOUND(m) .member = cfgwin::Slot<&Owner::m>, .name = #m

// Makes a page's controls and lays them out: the page is a grid of frames
// (groups of rows), each row a caption, a control and its unit. Everything
// a page shows is made here, named as the window's components are named.
class TFormConfig::Builder {
public:
    class Frame;

    // owner: the object holding the rows' members (the page; the window
    // when null).
    Builder(TFormConfig* form, QWidget* page, const BindingTable* rows = nullptr, QObject* owner = nullptr);

    QGridLayout* Grid() const { return grid_; }
    // A frame round a group of rows, at cell (row, column) of the page's
    // grid. A named frame is that shape of the window: hiding it hides the
    // group with it.
    Frame FrameAt(int row, int column, const char* shapeName = nullptr, int rowSpan = 1, int columnSpan = 1);
    // A panel of the window (a QFrame of that name) as a frame of the grid.
    Frame PanelFrame(QFrame** panel, const char* name, int row, int column, int rowSpan = 1, int columnSpan = 1);
    void Place(QWidget* w, int row, int column, int rowSpan = 1, int columnSpan = 1, Qt::Alignment align = {});
    // The page's last row and column take what is left, so that the groups
    // stay at the top left.
    void Finish(int rows, int columns);

    QLabel* Label(const char* name, QWidget* parent = nullptr);
    // A label that breaks its text over lines.
    QLabel* Note(const char* name, QWidget* parent = nullptr);
    plat::PictureButton* Picture(const char* name, QWidget* parent = nullptr);
    plat::Shape* Shape(const char* name, QWidget* parent = nullptr);
    QFrame* Panel(const char* name, QWidget* parent = nullptr);
    TNumericEdit* Edit(const char* name, QWidget* parent = nullptr);
    TKeyComboBox* Combo(const char* name, QWidget* parent = nullptr);
    QCheckBox* Check(const char* name, QWidget* parent = nullptr);
    QRadioButton* Radio(const char* name, QWidget* parent = nullptr);
    // The window's correction-table grid of that name, on this page.
    TCorrectionGrid* Table(const char* name);
    // Room between two rows of a frame for the range hint of an editor in
    // either (the hint goes above or below its editor when it would hide the
    // caption beside it): `above` the controls of the rows above, nearest
    // last. It takes room while the nearest of them that shows, or `below`,
    // has a hint; sized to the window's text once the window is scaled
    // (sizeRowGaps).
    QSpacerItem* RowGap(const std::vector<const QWidget*>& above, const QWidget* below);
    // Whether the control shows a range hint when it has the focus.
    bool Hinted(const QWidget* control) const;

    // The control of a binding row (by its member): made, named, bound and
    // limited, with its caption and unit labels (null when it has none).
    struct Made {
        QWidget* control = nullptr;
        QLabel* caption = nullptr;
        QLabel* unit = nullptr;
    };
    Made Bound(const Binding& row, QWidget* parent = nullptr);
    template <class M>
    Made Bound(M member, QWidget* parent = nullptr)
    {
        return Bound(RowOf(member), parent);
    }
    template <class Owner, class W>
    const Binding& RowOf(W* Owner::*member) const
    {
        W*& wanted = static_cast<Owner&>(*owner_).*member;
        for (const Binding& r : *rows_)
            if (const auto* slot = std::get_if<W*& (*)(QObject&)>(&r.member); slot && &(*slot)(*owner_) == &wanted)
                return r;
        return missingRow();
    }
    // Every row not made yet: the hidden holders and whatever the page keeps
    // out of sight.
    void RemainingRows();

    TFormConfig* Form() const { return form_; }
    QWidget* Page() const { return page_; }

private:
    const Binding& missingRow() const;
    // A widget of that name on parent (the page when null).
    template <class W>
    W* named(const char* name, QWidget* parent)
    {
        auto* w = new W(parent ? parent : page_);
        w->setObjectName(QString::fromLatin1(name));
        return w;
    }

    TFormConfig* form_;
    QWidget* page_;
    const BindingTable* rows_;
    QObject* owner_;
    QGridLayout* grid_;
    std::vector<const Binding*> made_;
};

// A group of rows inside a frame: caption | control | unit.
class TFormConfig::Builder::Frame {
public:
    Frame(Builder* builder, QWidget* box);

    QWidget* Widget() const { return box_; }
    QGridLayout* Grid() const { return grid_; }
    // The binding row's control with its caption and unit on the next line.
    template <class M>
    Made Row(M member)
    {
        return Row(builder_->RowOf(member));
    }
    Made Row(const Binding& binding);
    // A caption, a control and a unit of the page's own on the next line.
    void Row(QWidget* caption, QWidget* control, QWidget* unit = nullptr);
    // One widget across the frame.
    void Line(QWidget* w, Qt::Alignment align = {});
    // A title over the group.
    QLabel* Title(const char* name);
    // A frame inside this one, on the next line.
    Frame InnerFrame(const char* shapeName = nullptr);
    int NextRow() const { return next_; }

private:
    Builder* builder_;
    QWidget* box_;
    QGridLayout* grid_;
    int next_ = 0;
    // Before the row of a control: the room for the range hints between it
    // and the rows above.
    void roomAbove(const QWidget* control);
    // The controls of the rows since the last line across the frame.
    std::vector<const QWidget*> controlsAbove_;
};

namespace cfgwin {
// A check box or radio button with the caption of its own beside it, as far
// from it as the style keeps a button's text.
QHBoxLayout* ButtonWithCaption(QWidget* button, QLabel* caption);
// A grid widget sized to its cells (FitGrid, FitColumns).
void FitGridWidget(TCorrectionGrid* grid, const GridFit& fit);
// A list's items replaced, the list kept at its item while it has one.
void SetList(TKeyComboBox* combo, const QStringList& items);
// The texts of those string numbers.
QStringList TextList(std::initializer_list<int> numbers);
} // namespace cfgwin
