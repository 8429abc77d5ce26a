#pragma once
// What the numeric and the list editor share: the keyboard chain along
// NextControl / PrevControl, and the decorations (a background frame or
// picture and a unit label) that sit on the editor's parent and follow the
// editor's box.
#include "plat/ScreenScale.h"
#include "plat/Shape.h"

#include <QLabel>
#include <QPointer>
#include <QRect>
#include <QWidget>

enum TSkinStyle { asNone, asShape, asImage };

// Implemented by the editors whose chain a walk may pass through.
class TFocusChainLink {
public:
    virtual QWidget* NextControl() const = 0;
    virtual QWidget* PrevControl() const = 0;

protected:
    ~TFocusChainLink() = default;
};

namespace complib {

// Visible (with all its parents), enabled, on a shown window.
bool CanTakeFocus(const QWidget* w);

// The walk from start along NextControl (forward) or PrevControl: the first
// linked control that can take the focus. A control that cannot is passed
// through only when it is one of the editors (its own link is followed); any
// other kind ends the walk, and so does coming back to a control already
// visited. Null when the walk finds nothing.
QWidget* FindChainControl(const TFocusChainLink* start, bool forward);

} // namespace complib

// The decorations.
class TBackShape : public plat::Shape {
    Q_OBJECT
public:
    // A rounded rectangle, brush and pen in the editors' frame colour, pen
    // width 1.
    explicit TBackShape(QWidget* parent);
};

class TBackImage : public QLabel {
    Q_OBJECT
public:
    explicit TBackImage(QWidget* parent);
};

// A label that sizes itself to its text, as a unit caption does.
class TUnitLabel : public QLabel {
    Q_OBJECT
public:
    TUnitLabel(QWidget* parent, Qt::Alignment alignment);
    // Sets the text and fits the label's size to it (QLabel::setText, called
    // through a QLabel pointer, leaves the size as it was).
    void setText(const QString& text);
};

namespace complib {

// The decorations of one editor ("box"). The editor forwards its moves,
// resizes, parent and visibility changes and its rescale here.
//
// The decorations are kept directly under the box in the parent's stacking
// order (frame, then label, then box), so that the frame does not cover the
// box and the window's rescale reaches them before the box.
class TEditorDecorations {
public:
    TEditorDecorations(QWidget* box, Qt::Alignment unitLabelAlignment);
    // Destroys the decorations.
    ~TEditorDecorations();
    TEditorDecorations(const TEditorDecorations&) = delete;
    TEditorDecorations& operator=(const TEditorDecorations&) = delete;

    TSkinStyle SkinStyle() const { return style_; }
    void SetSkinStyle(TSkinStyle style);
    TBackShape* BackShape() const { return shape_; }
    TBackImage* BackImage() const { return image_; }

    bool UseUnitLabel() const { return useLabel_; }
    void SetUseUnitLabel(bool use);
    TUnitLabel* UnitLabel() const { return label_; }

    // The box was moved or resized.
    void BoxGeometryChanged();
    // The window's rescale by num / den has scaled the box and the
    // decorations. The follow-up of the box's move does not apply to a
    // rescale: when it ran during the rescale it is undone; then the label
    // is centred on the new height and the frame is the box's height + 4.
    void BoxScaled(long long num, long long den);
    void BoxParentChanged();
    void BoxVisibilityChanged();

    static constexpr int kShapeColor = 2498529; // 0x00BBGGRR: red 225, green 31, blue 38
    static constexpr int kLabelColor = 16777215; // white

private:
    QWidget* background() const;
    void destroyBackground();
    void placeBackground();
    void placeLabel();
    void centreLabel();
    void restack();
    void mirrorVisibility(QWidget* w) const;

    QWidget* box_;
    Qt::Alignment labelAlignment_;
    TSkinStyle style_ = asNone;
    bool useLabel_ = false;
    QPointer<TBackShape> shape_;
    QPointer<TBackImage> image_;
    QPointer<TUnitLabel> label_;
    // What the last follow-up changed, so that a rescale can undo it.
    struct FollowUp {
        bool valid = false;
        QRect boxBefore, boxAfter;
        QRect backgroundBefore, backgroundAfter;
        QPoint labelBefore, labelAfter;
    };

    QRect settled_; // the box geometry the decorations were last fitted to
    FollowUp last_;
};

} // namespace complib
