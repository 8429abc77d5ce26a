#include "Attesa.h"

#include "plat/AnimationPlayer.h"
#include "plat/Colors.h"
#include "plat/Shape.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

QPointer<TFormAttesa> FormAttesa;

long long WaitProgressPosition(int low, int high, long long percent)
{
    return low + percent * (static_cast<long long>(high) - low) / 100;
}

int ClipWaitProgress(long long position)
{
    return static_cast<int>(std::clamp<long long>(position, 0, 100));
}

namespace {

constexpr std::uint32_t kFill = 14671839; // light grey
constexpr std::uint32_t kInk = 9396256;   // dark blue

QList<QPointer<QWidget>> topLevels()
{
    QList<QPointer<QWidget>> list;
    for (QWidget* w : QApplication::topLevelWidgets())
        list.append(w);
    return list;
}

} // namespace

TFormAttesa::TFormAttesa(QWidget* owner, TextSource texts)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), texts_(std::move(texts))
{
    setObjectName(QStringLiteral("FormAttesa"));
    setFixedSize(649, 121);

    ShapeAttesa = new plat::Shape(this);
    ShapeAttesa->setObjectName(QStringLiteral("ShapeAttesa"));
    ShapeAttesa->setGeometry(0, 0, 649, 121);
    ShapeAttesa->setBrush(plat::FromTColor(kFill));
    ShapeAttesa->setPen(QPen(plat::FromTColor(kInk), 2));

    Label = new QLabel(this);
    Label->setObjectName(QStringLiteral("Label"));
    Label->setGeometry(192, 32, 449, 81);
    Label->setWordWrap(true);
    Label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font;
    font.setFamilies({QStringLiteral("AvantGarde Bk BT"), QStringLiteral("URW Gothic"),
                      QStringLiteral("URW Gothic L"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(27);
    font.setBold(true);
    Label->setFont(font);
    QPalette pal = Label->palette();
    pal.setColor(QPalette::WindowText, plat::FromTColor(kInk));
    Label->setPalette(pal);
    Label->setText(QStringLiteral("CARICAMENTO IN CORSO..."));

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(22, 10, 17, 100);
    ProgressBar->setOrientation(Qt::Vertical);
    ProgressBar->setTextVisible(false);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);

    Animate = new plat::AnimationPlayer(this);
    Animate->setObjectName(QStringLiteral("Animate"));
    Animate->setGeometry(40, 10, 130, 100);
    Animate->setLastFrame(6);

    // Centred on the screen of the owner (or the primary one).
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect r = rect();
        r.moveCenter(screen->geometry().center());
        move(r.topLeft());
    }

    // The panel is disabled with the others (it takes no input) but must not
    // look it: its disabled colours are its normal ones.
    QPalette look = palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        look.setColor(QPalette::Disabled, r, look.color(QPalette::Active, r));
    }
    setPalette(look);
    pal = Label->palette();
    pal.setColor(QPalette::Disabled, QPalette::WindowText, plat::FromTColor(kInk));
    Label->setPalette(pal);

    for (const QPointer<QWidget>& w : topLevels())
        if (w)
            w->setEnabled(false);
    setEnabled(false);
}

TFormAttesa::~TFormAttesa()
{
    for (const QPointer<QWidget>& w : topLevels()) {
        if (!w || w == this)
            continue;
        w->setEnabled(true);
        if (w->isVisible() && (w->windowState() & Qt::WindowMinimized))
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    }
}

int TFormAttesa::Position() const
{
    return ProgressBar->value();
}

void TFormAttesa::setPosition(long long position)
{
    ProgressBar->setValue(ClipWaitProgress(position));
}

void TFormAttesa::SetProgress(std::uint8_t value, bool isPercent)
{
    if (isPercent)
        setPosition(WaitProgressPosition(ProgressLow, ProgressHigh, value));
    else
        setPosition(static_cast<long long>(Position()) + value);
    repaint();
}

void TFormAttesa::OnProgressMessage(const plat::MessageEvent& m)
{
    // WParam arrives as an unsigned word; a "negative" step is taken as such.
    const auto w = static_cast<long long>(static_cast<std::intptr_t>(m.wParam()));
    if (m.lParam() != 0)
        setPosition(Position() + w);
    else
        setPosition(WaitProgressPosition(ProgressLow, ProgressHigh, w));

    for (const QPointer<QWidget>& tw : topLevels())
        if (tw && tw->isVisible())
            tw->repaint();
    QPointer<TFormAttesa> self(this);
    QCoreApplication::processEvents();
    if (self)
        raise();
}

bool TFormAttesa::event(QEvent* e)
{
    if (plat::MessageEvent::isMessage(e, plat::WM_WAITPROGRESS)) {
        OnProgressMessage(*static_cast<plat::MessageEvent*>(e));
        return true;
    }
    return QWidget::event(e);
}

QString TFormAttesa::Text(int number) const
{
    return texts_ ? texts_(number) : ItalianWaitText(number);
}

void TFormAttesa::Begin(const QString& text)
{
    Animate->open(kAnimationId);
    Animate->setLastFrame(6);
    Animate->play();
    Label->setText(text);
    show();
    repaint();
}
