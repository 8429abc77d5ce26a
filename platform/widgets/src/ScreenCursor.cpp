#include "plat/ScreenCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace plat {

namespace {

ScreenCursor current = ScreenCursor::Default;
bool pushed = false; // our one entry on Qt's override-cursor stack

Qt::CursorShape shapeOf(ScreenCursor c)
{
    return c == ScreenCursor::AppStart ? Qt::BusyCursor : Qt::WaitCursor;
}

} // namespace

void SetScreenCursor(ScreenCursor cursor)
{
    current = cursor;
    if (cursor == ScreenCursor::Default) {
        if (pushed)
            QGuiApplication::restoreOverrideCursor();
        pushed = false;
        return;
    }
    if (pushed) {
        QGuiApplication::changeOverrideCursor(QCursor(shapeOf(cursor)));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(shapeOf(cursor)));
        pushed = true;
    }
}

ScreenCursor CurrentScreenCursor() { return current; }

} // namespace plat
