#pragma once
// One page of the configuration window: its sheet, the controls it makes
// from its binding table, its loader (Tab<Page>Show) and its handlers. The
// window keeps the frame (tabs, keys, the live bar, the timer) and what the
// pages share: the LoadingControls guard, the data module, the texts and the
// generic commits of the bound controls.
//
// A page is a child object of the window, made and built once when the
// window is made. Another page or the window asks it through its methods.
#include <QObject>

#include <cstdint>

class QWidget;
class TFormConfig;
class TStreamDati;

class TConfigPage : public QObject {
public:
    TConfigPage(TFormConfig& form, QWidget* sheet);
    ~TConfigPage() override;
    TConfigPage(const TConfigPage&) = delete;
    TConfigPage& operator=(const TConfigPage&) = delete;

    // Makes the page's controls on its sheet (once).
    virtual void Build() = 0;
    // The page's OnShow: loads its controls from the data module.
    virtual void Show() {}
    // Connects the handlers that act on controls of pages made after this
    // one (once every page is built).
    virtual void ConnectLater() {}

    QWidget* Sheet() const { return sheet_; }
    TFormConfig& Form() const { return form_; }

protected:
    TStreamDati& dm() const;

private:
    TFormConfig& form_;
    QWidget* sheet_;

protected:
    // The window's guard: set while controls are loaded, when their
    // handlers write nothing.
    std::uint8_t& LoadingControls;
};

// The slot of a bound control on the object that holds it (its page), for
// the binding rows: Slot<&TPageVariatore::CheckVariatore>.
namespace cfgwin {
template <auto Member>
struct SlotOf;
template <class Owner, class Widget, Widget* Owner::*Member>
struct SlotOf<Member> {
    static Widget*& Get(QObject& owner) { return static_cast<Owner&>(owner).*Member; }
};
template <auto Member>
inline constexpr auto Slot = &SlotOf<Member>::Get;
} // namespace cfgwin
