#include "KeyComboBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWheelEvent>

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isWindowOrPopup(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

TKeyComboBox::TKeyComboBox(QWidget* parent) : TDecoratedEditor(parent, Qt::AlignLeft | Qt::AlignVCenter)
{
    // Installed after the list's own filter, so it sees the keys first.
    view()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, &TKeyComboBox::userChoice);
}

TKeyComboBox::~TKeyComboBox() = default;

QWidget* TKeyComboBox::FindNextControl() const
{
    return complib::FindChainControl(this, true);
}

QWidget* TKeyComboBox::FindPrevControl() const
{
    return complib::FindChainControl(this, false);
}

bool TKeyComboBox::IsDroppedDown() const
{
    return view()->isVisible();
}

void TKeyComboBox::showPopup()
{
    listOpen_ = true;
    QComboBox::showPopup();
}

bool TKeyComboBox::inOwnList(const QWidget* w) const
{
    const QWidget* list = view()->window();
    return w && list != window() && (w == list || list->isAncestorOf(w));
}

int TKeyComboBox::viewRow() const
{
    const QModelIndex i = view()->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void TKeyComboBox::setViewRow(int row)
{
    view()->setCurrentIndex(model()->index(row, modelColumn(), rootModelIndex()));
}

// The box's handling of a typed character, in the list or in the closed box.
// passOn, when given, goes to the combo box's own handling afterwards.
void TKeyComboBox::character(QChar c, QKeyEvent* passOn)
{
    QPointer<TKeyComboBox> self(this);
    if (c == QChar(13)) {
        if (!listOpen_) {
            showPopup();
        } else {
            if (IsDroppedDown()) {
                // The position chosen in the list becomes the box's choice.
                const int row = viewRow();
                if (row >= 0 && row != currentIndex()) {
                    setCurrentIndex(row);
                    emit changed();
                    if (!self)
                        return;
                }
                hidePopup();
            }
            savedIndex_ = currentIndex();
        }
    }
    emit keyPressed(c);
    if (!self)
        return;
    if (passOn)
        QComboBox::keyPressEvent(passOn);
    if (!self)
        return;
    listOpen_ = IsDroppedDown();
}

void TKeyComboBox::userChoice()
{
    QPointer<TKeyComboBox> self(this);
    emit changed();
    if (!self)
        return;
    // A choice made with the list closed is committed at once.
    if (!IsDroppedDown()) {
        listOpen_ = true;
        character(QChar(13), nullptr);
    }
}

void TKeyComboBox::keyPressEvent(QKeyEvent* e)
{
    if (IsDroppedDown()) {
        if (!openListKey(e))
            QComboBox::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
        e->accept();
        return;
    case Qt::Key_Up:
        if (QWidget* prev = FindPrevControl())
            prev->setFocus(Qt::OtherFocusReason);
        e->accept();
        return;
    case Qt::Key_Down:
        if (QWidget* next = FindNextControl())
            next->setFocus(Qt::OtherFocusReason);
        e->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        e->accept();
        character(QChar(13), nullptr);
        return;
    default:
        break;
    }
    const QString t = e->text();
    if (t.size() == 1 && t.at(0).isPrint()) {
        e->accept();
        character(t.at(0), e); // then the box's own search by the typed letter
        return;
    }
    QComboBox::keyPressEvent(e);
}

// A key in the open list. True when the box has consumed it.
bool TKeyComboBox::openListKey(QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Escape) {
        hidePopup();
        listOpen_ = false;
        setCurrentIndex(savedIndex_);
        return true;
    }
    if (key == Qt::Key_Left || key == Qt::Key_Right)
        return true;
    if (key == Qt::Key_Up && viewRow() == 0 && count() > 0) {
        setViewRow(count() - 1);
        return true;
    }
    if (key == Qt::Key_Down && viewRow() == count() - 1 && count() > 0) {
        setViewRow(0);
        return true;
    }
    if (isEnter(key)) {
        character(QChar(13), nullptr);
        return true;
    }
    const QString t = e->text();
    if (t.size() == 1 && t.at(0).isPrint()) {
        QPointer<TKeyComboBox> self(this);
        emit keyPressed(t.at(0));
        if (!self)
            return true;
    }
    return false; // the list moves, pages and searches by itself
}

bool TKeyComboBox::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == view()) {
        switch (e->type()) {
        case QEvent::ShortcutOverride: {
            // The list would close itself on Enter and Esc before the key
            // arrives; claim them so that they come as key presses.
            auto* k = static_cast<QKeyEvent*>(e);
            if (isEnter(k->key()) || k->key() == Qt::Key_Escape) {
                k->accept();
                return true;
            }
            break;
        }
        case QEvent::KeyPress:
            if (openListKey(static_cast<QKeyEvent*>(e)))
                return true;
            break;
        case QEvent::FocusOut: {
            // The focus moved on while the list was open: the user left the box.
            auto* f = static_cast<QFocusEvent*>(e);
            QWidget* now = QApplication::focusWidget();
            if (!isWindowOrPopup(f->reason()) && IsDroppedDown() && now != this && !inOwnList(now))
                leave();
            break;
        }
        default:
            break;
        }
    }
    return QComboBox::eventFilter(watched, e);
}

void TKeyComboBox::wheelEvent(QWheelEvent* e)
{
    // Over a box without the focus the wheel would change, and so commit, a
    // choice that the user did not mean to touch.
    if (!hasFocus()) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

void TKeyComboBox::focusInEvent(QFocusEvent* e)
{
    QComboBox::focusInEvent(e);
    if (inside_)
        return; // back from the list, another window or a popup
    inside_ = true;
    listOpen_ = false;
    savedIndex_ = currentIndex();
    emit entered();
}

void TKeyComboBox::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    // The focus going into the box's own list is not leaving either.
    if (isWindowOrPopup(e->reason()) || IsDroppedDown() || inOwnList(QApplication::focusWidget()))
        return;
    leave();
}

void TKeyComboBox::leave()
{
    if (!inside_)
        return;
    inside_ = false;
    if (IsDroppedDown())
        hidePopup();
    emit exited();
}
