#pragma once
// TFormSplash: the program's picture that fades in over the screen while the
// program starts. The main window creates it (it is visible at once, fully
// transparent), fades it in when it is first shown, holds it and closes it.
#include <QWidget>

namespace plat {
class PictureButton;
}

class TFormSplash : public QWidget {
    Q_OBJECT

public:
    // Shown at once, centred on the screen, always on top, opacity 0.
    explicit TFormSplash(QWidget* owner = nullptr);

    // The window's alpha-blend value, 0 (transparent) .. 255 (opaque).
    int AlphaBlendValue() const { return alpha_; }
    void SetAlphaBlendValue(int value);

    // Focuses the splash, raises its alpha 127 times by 2 with a 10 ms sleep
    // after each step, sets it to 255, sleeps 2000 ms and closes the window
    // (the owner deletes it). The sleeps are the platform clock's, so tests
    // run it in virtual time. Only the splash's own painting is let through
    // meanwhile; timers and input wait.
    void FadeIn();

    plat::PictureButton* SplashImage = nullptr;

private:
    void letPaint();

    int alpha_ = 0;
};
