#include "SliderTrack.h"

#include "config/rules/PresetRules.h"

#include "plat/PictureButton.h"
#include "plat/Shape.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QSpacerItem>

namespace {

// The dot's picture and the bar's colour.
constexpr int kPictureDot = 10039;
const QColor kBar(0x99, 0xa8, 0xb8);

} // namespace

TSliderTrack::TSliderTrack(QWidget* parent, plat::Shape* bar, plat::PictureButton* dot)
    : QWidget(parent), bar_(bar), dot_(dot)
{
    dot_->setPicture(kPictureDot);
    bar_->setBrush(kBar);
    const int dotSize = fontMetrics().height() + 6;
    dot_->setFixedSize(dotSize, dotSize);
    bar_->setFixedHeight(std::max(4, dotSize / 3));
    bar_->setMinimumWidth(dotSize * 8);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    // The bar leaves half a dot free at either end, so that the dot stays in
    // the track at both ends.
    auto* barRow = new QHBoxLayout;
    barRow->setContentsMargins(dotSize / 2, 0, dotSize - dotSize / 2, 0);
    barRow->addWidget(bar_, 1, Qt::AlignVCenter);
    grid->addLayout(barRow, 0, 0);
    dotRow_ = new QHBoxLayout;
    dotRow_->setContentsMargins(0, 0, 0, 0);
    dotRow_->setSpacing(0);
    lead_ = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    dotRow_->addSpacerItem(lead_);
    dotRow_->addWidget(dot_, 0, Qt::AlignVCenter);
    dotRow_->addStretch(1);
    grid->addLayout(dotRow_, 0, 0);
    dot_->raise();
}

void TSliderTrack::SetFraction(int numerator, int denominator)
{
    numerator_ = numerator;
    denominator_ = denominator;
    place();
}

void TSliderTrack::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

void TSliderTrack::place()
{
    const int dotWidth = dot_->width();
    // The bar's place once laid out; before that, where its margins put it.
    const int barLeft = dotWidth / 2;
    const int barWidth = std::max(0, width() - dotWidth);
    const int left = cfgrules::SliderDotLeft(numerator_, denominator_, barWidth, barLeft, dotWidth);
    // A value beyond the ends keeps the dot inside the track.
    dotLeft_ = std::clamp(left, 0, std::max(0, width() - dotWidth));
    lead_->changeSize(dotLeft_, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    dotRow_->invalidate();
}
