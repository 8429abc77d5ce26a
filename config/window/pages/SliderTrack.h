#pragma once
// The track of a step slider (the Correzioni page's presets, the Adattività
// page's sensitivity): a bar with the dot laid over it. The dot stands where
// a fraction of the bar's width puts it, numerator x W / denominator + L -
// w / 2 (W and L the bar's width and left, w the dot's width), and follows
// the bar when the window is resized. The dot moves inside the track's own
// layout.
#include <QWidget>

class QSpacerItem;
class QHBoxLayout;
namespace plat {
class PictureButton;
class Shape;
} // namespace plat

class TSliderTrack : public QWidget {
public:
    // Takes bar and dot (named by the caller) into the track and gives them
    // their looks.
    TSliderTrack(QWidget* parent, plat::Shape* bar, plat::PictureButton* dot);

    void SetFraction(int numerator, int denominator);
    // The dot's left edge in the track.
    int DotLeft() const { return dotLeft_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    plat::Shape* bar_;
    plat::PictureButton* dot_;
    QHBoxLayout* dotRow_;
    QSpacerItem* lead_;
    int numerator_ = 0;
    int denominator_ = 1;
    int dotLeft_ = 0;
};
