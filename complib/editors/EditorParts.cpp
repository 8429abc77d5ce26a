#include "EditorParts.h"

#include "plat/Colors.h"

#include <QPen>
#include <QPalette>

#include <cmath>
#include <set>

namespace complib {

bool CanTakeFocus(const QWidget* w)
{
    return w && w->isVisible() && w->isEnabled();
}

QWidget* FindChainControl(const TFocusChainLink* start, bool forward)
{
    std::set<const void*> visited;
    if (auto* self = dynamic_cast<const QWidget*>(start))
        visited.insert(self);
    const TFocusChainLink* link = start;
    while (link) {
        QWidget* c = forward ? link->NextControl() : link->PrevControl();
        if (!c || !visited.insert(c).second)
            return nullptr;
        if (CanTakeFocus(c))
            return c;
        link = dynamic_cast<const TFocusChainLink*>(c);
    }
    return nullptr;
}

} // namespace complib

using complib::TEditorDecorations;

TBackShape::TBackShape(QWidget* parent) : plat::Shape(parent)
{
    setObjectName(QStringLiteral("BackShape"));
    setKind(Kind::RoundRect);
    const QColor c = plat::FromTColor(TEditorDecorations::kShapeColor);
    setPen(QPen(c, 1));
    setBrush(c);
}

TBackImage::TBackImage(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("BackImage"));
}

TUnitLabel::TUnitLabel(QWidget* parent, Qt::Alignment alignment) : QLabel(parent)
{
    setObjectName(QStringLiteral("UnitLabel"));
    setAlignment(alignment);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, plat::FromTColor(TEditorDecorations::kLabelColor));
    setPalette(pal);
    adjustSize();
}

void TUnitLabel::setText(const QString& text)
{
    QLabel::setText(text);
    adjustSize();
}

namespace complib {

TEditorDecorations::TEditorDecorations(QWidget* box, Qt::Alignment unitLabelAlignment)
    : box_(box), labelAlignment_(unitLabelAlignment)
{
}

TEditorDecorations::~TEditorDecorations()
{
    delete shape_.data();
    delete image_.data();
    delete label_.data();
}

QWidget* TEditorDecorations::background() const
{
    if (shape_)
        return shape_;
    return image_;
}

void TEditorDecorations::destroyBackground()
{
    delete shape_.data();
    delete image_.data();
}

void TEditorDecorations::SetSkinStyle(TSkinStyle style)
{
    style_ = style;
    destroyBackground();
    if (style == asNone)
        return;
    BoxGeometryChanged(); // bring the unit label up to date first
    QWidget* w = nullptr;
    if (style == asShape)
        w = shape_ = new TBackShape(box_->parentWidget());
    else
        w = image_ = new TBackImage(box_->parentWidget());
    placeBackground();
    restack();
    mirrorVisibility(w);
    w->update();
}

void TEditorDecorations::SetUseUnitLabel(bool use)
{
    useLabel_ = use;
    delete label_.data();
    if (!use)
        return;
    BoxGeometryChanged(); // bring the frame up to date first
    label_ = new TUnitLabel(box_->parentWidget(), labelAlignment_);
    placeLabel();
    restack();
    mirrorVisibility(label_);
}

void TEditorDecorations::placeBackground()
{
    QWidget* bg = background();
    if (!bg)
        return;
    const QRect b = box_->geometry();
    const int width = label_ ? b.width() + label_->width() + 24 : b.width() + 4;
    bg->setGeometry(b.x() - 2, b.y() - 2, width, b.height() + 4);
    settled_ = b;
}

void TEditorDecorations::placeLabel()
{
    if (!label_)
        return;
    const QRect b = box_->geometry();
    label_->move(b.x() + b.width() + 10, b.y() + (b.height() - label_->height()) / 2);
    settled_ = b;
}

void TEditorDecorations::centreLabel()
{
    if (!label_)
        return;
    const QRect b = box_->geometry();
    label_->move(label_->x(), b.y() + (b.height() - label_->height()) / 2);
}

void TEditorDecorations::BoxGeometryChanged()
{
    const QRect b = box_->geometry();
    if (b == settled_)
        return;
    FollowUp f;
    f.valid = true;
    f.boxBefore = settled_;
    f.boxAfter = b;
    if (QWidget* bg = background()) {
        f.backgroundBefore = bg->geometry();
        bg->setGeometry(b.x() - 2, b.y() - 2, bg->width() + b.width() - settled_.width(),
                        b.height() + 4);
        f.backgroundAfter = bg->geometry();
    }
    if (label_) {
        f.labelBefore = label_->pos();
        label_->move(b.x() + b.width() + 10, b.y() + (b.height() - label_->height()) / 2);
        f.labelAfter = label_->pos();
    }
    last_ = f;
    settled_ = b;
}

namespace {

// after is before scaled by num / den, give or take the rounding.
bool looksScaled(const QRect& before, const QRect& after, long long num, long long den)
{
    const double k = static_cast<double>(num) / static_cast<double>(den);
    auto near = [k](int b, int a) { return std::fabs(a - b * k) <= 1.5; };
    return near(before.x(), after.x()) && near(before.y(), after.y()) &&
           near(before.width(), after.width()) && near(before.height(), after.height());
}

} // namespace

void TEditorDecorations::BoxScaled(long long num, long long den)
{
    const QRect b = box_->geometry();
    // The rescale reaches the decorations before the box; when the box's
    // move then ran its follow-up, that moved the already scaled decorations
    // a second time.
    if (last_.valid && num != den && last_.boxAfter == b && looksScaled(last_.boxBefore, b, num, den)) {
        QWidget* bg = background();
        if (bg && bg->geometry() == last_.backgroundAfter)
            bg->setGeometry(last_.backgroundBefore);
        if (label_ && label_->pos() == last_.labelAfter)
            label_->move(last_.labelBefore);
    }
    last_ = FollowUp();
    if (QWidget* bg = background())
        bg->resize(bg->width(), b.height() + 4);
    centreLabel();
    settled_ = b;
}

void TEditorDecorations::BoxParentChanged()
{
    QWidget* parent = box_->parentWidget();
    for (QWidget* w : {static_cast<QWidget*>(shape_.data()), static_cast<QWidget*>(image_.data()),
                       static_cast<QWidget*>(label_.data())}) {
        if (!w)
            continue;
        w->setParent(parent);
        mirrorVisibility(w);
    }
    restack();
}

void TEditorDecorations::BoxVisibilityChanged()
{
    for (QWidget* w : {static_cast<QWidget*>(shape_.data()), static_cast<QWidget*>(image_.data()),
                       static_cast<QWidget*>(label_.data())})
        if (w)
            mirrorVisibility(w);
}

void TEditorDecorations::mirrorVisibility(QWidget* w) const
{
    // A decoration without a parent would become a window of its own.
    if (!w->parentWidget() || !box_->testAttribute(Qt::WA_WState_ExplicitShowHide))
        return;
    w->setVisible(!box_->isHidden());
}

void TEditorDecorations::restack()
{
    if (!box_->parentWidget())
        return;
    if (QWidget* bg = background())
        bg->stackUnder(box_);
    if (label_)
        label_->stackUnder(box_);
}

} // namespace complib
