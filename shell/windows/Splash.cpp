#include "Splash.h"

#include "plat/PictureButton.h"
#include "plat/Services.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

TFormSplash::TFormSplash(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormSplash"));
    setFixedSize(745, 237);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    SplashImage = new plat::PictureButton(this);
    SplashImage->setObjectName(QStringLiteral("SplashImage"));
    SplashImage->setPicturePath(QStringLiteral(":/bmp/splash.png"));
    SplashImage->setGeometry(40, 24, 662, 184);
    SplashImage->setVisible(true);

    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect r = rect();
        r.moveCenter(screen->geometry().center());
        move(r.topLeft());
    }
    SetAlphaBlendValue(0);
    show();
}

void TFormSplash::SetAlphaBlendValue(int value)
{
    alpha_ = std::clamp(value, 0, 255);
    // Qt keeps the opacity in 1/255 steps and truncates; half a step up
    // lands exactly on the value.
    setWindowOpacity((alpha_ + 0.5) / 255.0);
}

void TFormSplash::letPaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers |
                                    QEventLoop::X11ExcludeTimers);
}

void TFormSplash::FadeIn()
{
    activateWindow();
    setFocus();
    for (int i = 0; i < 127; ++i) {
        SetAlphaBlendValue(alpha_ + 2);
        letPaint();
        plat::CurrentClock().sleep(10);
    }
    SetAlphaBlendValue(255);
    letPaint();
    plat::CurrentClock().sleep(2000);
    close();
}
