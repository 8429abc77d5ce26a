#pragma once
// The program's pictures and the picture button of the windows.
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace plat {

// Resource path of bitmap id: ":/bmp/<id>.png".
QString PictureResource(int id);
// A picture from the resources (a path such as ":/bmp/10005.png"). Pictures
// may be drawn at a multiple of their size; the "dpr" text of the image says
// which, and the pixmap carries it as its device pixel ratio, so its
// device-independent size is the size the layouts are made for. Null when the
// resource is missing.
QPixmap LoadPicture(const QString& path);
inline QPixmap LoadPicture(int id) { return LoadPicture(PictureResource(id)); }

// A picture that acts as a button: the released picture, the pressed one
// while a mouse button is held on it; click (left button pressed and
// released on it), double click, and the mouse moving over it. It takes no
// keyboard focus. The picture is drawn centred, fitted into the widget with
// its proportions kept, so it grows with the screen scaling. While disabled
// it shows its picture faded to grey, the same look in every window.
class PictureButton : public QWidget {
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent = nullptr);

    // Bitmap ids; 0 = none (a pressed id of 0 keeps the released picture).
    void setPictures(int releasedId, int pressedId = 0);
    // Shows one picture at once and makes it the released one.
    void setPicture(int id) { setPictures(id, pressedId_); }
    // A picture by resource path, without an id (the logo, the splash).
    void setPicturePath(const QString& path);
    int releasedId() const { return releasedId_; }
    int pressedId() const { return pressedId_; }
    // The id of the picture on show (0 for a picture given by path).
    int currentId() const { return currentId_; }
    const QPixmap& currentPicture() const { return current_; }
    bool isDown() const { return down_; }

    // The layouts number their controls; the windows use it to find them.
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // The picture's device-independent size.
    QSize sizeHint() const override;
    // Where the picture is drawn inside the widget.
    QRect pictureRect() const;
    // What the widget paints there: the picture fitted to its size, faded
    // to grey while the widget is disabled (null without a picture).
    QPixmap shownPicture() const;

signals:
    void clicked();
    void doubleClicked();
    // The mouse moved over the picture (button held or not).
    void hovered();
    void pressed(Qt::MouseButton button);
    void released(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void showPicture(int id);

    int releasedId_ = 0;
    int pressedId_ = 0;
    int currentId_ = 0;
    QPixmap current_;
    // The picture scaled to the widget once, not on every paint: a partial
    // repaint then draws the very pixels a whole one does.
    mutable QPixmap fitted_;
    mutable qint64 fittedKey_ = 0;
    mutable QSize fittedSize_;
    mutable bool fittedDisabled_ = false;
    bool down_ = false;
    bool leftDown_ = false;
    bool afterDoubleClick_ = false;
    int tag_ = 0;
};

} // namespace plat
