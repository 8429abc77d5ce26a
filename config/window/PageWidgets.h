#pragma once
// Small helpers the pages share: watches that run a function when a widget
// receives one of a few events (a label that opens something on a click or a
// double click, a frame that lays its children out again when it, or what it
// is measured against, moves or is resized), and the looks of panels and
// readings.
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QObject>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <vector>

namespace cfgwin {

class TEventWatch : public QObject {
public:
    // take: the event goes no further (the function handled it).
    TEventWatch(QWidget* watched, std::initializer_list<QEvent::Type> types, std::function<void()> run,
                bool take = false)
        : QObject(watched), types_(types), run_(std::move(run)), take_(take)
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        for (QEvent::Type t : types_) {
            if (event->type() != t)
                continue;
            // Clicks count with the left button only.
            if (auto* mouse = dynamic_cast<QMouseEvent*>(event); mouse && mouse->button() != Qt::LeftButton)
                break;
            run_();
            return take_;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::vector<QEvent::Type> types_;
    std::function<void()> run_;
    bool take_;
};

// The usual watches.
inline void OnClick(QWidget* w, std::function<void()> run)
{
    new TEventWatch(w, {QEvent::MouseButtonRelease}, std::move(run), true);
}
inline void OnDoubleClick(QWidget* w, std::function<void()> run)
{
    new TEventWatch(w, {QEvent::MouseButtonDblClick}, std::move(run), true);
}
inline void OnGeometry(QWidget* w, std::function<void()> run)
{
    new TEventWatch(w, {QEvent::Resize, QEvent::Move}, std::move(run));
}

// Hidden or shown without moving what stands around it.
inline void KeepPlace(QWidget* w)
{
    QSizePolicy sp = w->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    w->setSizePolicy(sp);
}

// The outline of the pages' groups (and of the range hint).
inline const QColor kFrameInk(0x33, 0x55, 0x77);

// Paints a widget's face white under what it draws itself. Its palette
// stays as it is, so that the controls on it look as on any other group.
class TWhiteFace : public QObject {
public:
    explicit TWhiteFace(QWidget* watched) : QObject(watched) { watched->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            auto* w = static_cast<QWidget*>(watched);
            QPainter painter(w);
            painter.fillRect(static_cast<QPaintEvent*>(event)->rect(), Qt::white);
        }
        return QObject::eventFilter(watched, event);
    }
};

// A framed white panel, as the pages' groups are.
inline void WhitePanel(QFrame* f)
{
    f->setFrameShape(QFrame::Box);
    new TWhiteFace(f);
}

inline void Bold(QLabel* l)
{
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
}

} // namespace cfgwin
