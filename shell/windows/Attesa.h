#pragma once
// TFormAttesa: the busy panel of every long operation. While one exists every
// window of the application is disabled (the panel too), so nothing else can
// be started; it shows the busy animation, the operation's text and a
// vertical progress bar, and takes WM_WAITPROGRESS. It is not modal: the
// caller goes on with its operation on the same thread.
//
// Use: create it owned by the calling window, Begin(text) (or open and play
// the animation and set the label yourself), run the operation, delete it.
#include "WindowTexts.h"

#include "plat/Messages.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>

class QLabel;
class QProgressBar;
namespace plat {
class AnimationPlayer;
class Shape;
} // namespace plat

// Bar position for a percentage of the sub-range low..high: low + percent x
// (high - low) / 100, the product first, the quotient truncated toward zero.
long long WaitProgressPosition(int low, int high, long long percent);
// The bar's range: positions outside 0..100 are clipped to it.
int ClipWaitProgress(long long position);

class TFormAttesa : public QWidget {
    Q_OBJECT

public:
    static constexpr int kAnimationId = 10000;

    // Disables every top-level window of the application, this one included.
    explicit TFormAttesa(QWidget* owner = nullptr, TextSource texts = {});
    // Enables every top-level window again (also those that were disabled
    // before), restores minimised ones, then goes.
    ~TFormAttesa() override;

    // The part of the bar that 0..100 % of the current operation covers.
    int ProgressLow = 0;
    int ProgressHigh = 100;

    // isPercent: the bar goes to that percentage of ProgressLow..ProgressHigh;
    // otherwise value is added to the bar. The panel repaints at once.
    void SetProgress(std::uint8_t value, bool isPercent);
    // WM_WAITPROGRESS: LParam 0 = WParam is a percentage of the sub-range,
    // else a step. Then every window repaints, pending events are processed
    // (timers and the animation run meanwhile) and the panel comes to the front.
    void OnProgressMessage(const plat::MessageEvent& message);

    int Position() const;

    // Animation 10000 playing, the text on the label, the panel shown and
    // painted.
    void Begin(const QString& text);
    // The same with the text of a string number from the text source.
    void BeginText(int number) { Begin(Text(number)); }
    QString Text(int number) const;

    plat::Shape* ShapeAttesa = nullptr;
    QLabel* Label = nullptr;
    QProgressBar* ProgressBar = nullptr;
    plat::AnimationPlayer* Animate = nullptr;

protected:
    bool event(QEvent* e) override;

private:
    void setPosition(long long position);

    TextSource texts_;
};

// The panel a few callers keep while it exists (the firmware download reports
// to it); it goes back to null by itself when the panel is destroyed.
extern QPointer<TFormAttesa> FormAttesa;
