#pragma once
// The part the numeric and the list editor share around their decorations:
// the frame or picture and the unit label (TEditorDecorations) follow the
// editor's moves, resizes, parent and visibility changes and the window's
// rescale, and the editor hands out their settings.
#include "EditorParts.h"

#include <QEvent>

namespace complib {

// Box is the editor's Qt class (QLineEdit, QComboBox).
template <class Box>
class TDecoratedEditor : public Box, public plat::Scalable {
public:
    TDecoratedEditor(QWidget* parent, Qt::Alignment unitLabelAlignment)
        : Box(parent), decorations_(this, unitLabelAlignment)
    {}

    TSkinStyle SkinStyle() const { return decorations_.SkinStyle(); }
    void SetSkinStyle(TSkinStyle style) { decorations_.SetSkinStyle(style); }
    TBackShape* BackShape() const { return decorations_.BackShape(); }
    TBackImage* BackImage() const { return decorations_.BackImage(); }
    bool UseUnitLabel() const { return decorations_.UseUnitLabel(); }
    void SetUseUnitLabel(bool use) { decorations_.SetUseUnitLabel(use); }
    TUnitLabel* UnitLabel() const { return decorations_.UnitLabel(); }

    // Also shows or hides the decorations.
    void setVisible(bool visible) override
    {
        Box::setVisible(visible);
        decorations_.BoxVisibilityChanged();
    }

    void changeScale(long long num, long long den) override { decorations_.BoxScaled(num, den); }

protected:
    void moveEvent(QMoveEvent* e) override
    {
        Box::moveEvent(e);
        decorations_.BoxGeometryChanged();
    }

    void resizeEvent(QResizeEvent* e) override
    {
        Box::resizeEvent(e);
        decorations_.BoxGeometryChanged();
    }

    bool event(QEvent* e) override
    {
        const bool result = Box::event(e);
        if (e->type() == QEvent::ParentChange)
            decorations_.BoxParentChanged();
        return result;
    }

private:
    TEditorDecorations decorations_;
};

} // namespace complib
