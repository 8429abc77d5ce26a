// TChartDrt: the graph window's chart, with its time and value axes, the
// legend beside the plot, and the mouse: the zoom rectangle, the legend's
// clicks and panning with the right button.
#include "FormGraficoDrt.h"

#include "complib/numbers/NumberText.h"

namespace {

constexpr int kLeftMinorTicks = 4;

// The time axis: "#,000.0" labels with the user's separators, at least
// grafico::kTimeLabelSpacing pixels apart, no minor ticks.
class TimeTicker final : public QCPAxisTicker {
public:
    void setPixels(int pixels) { pixels_ = pixels; }

protected:
    double getTickStep(const QCPRange& range) override { return grafico::TimeLabelStep(range.size(), pixels_); }
    int getSubTickCount(double) override { return 0; }
    QString getTickLabel(double tick, const QLocale&, QChar, int) override
    {
        return complib::FormatGroupedFixed(tick, 3, 1, complib::DecimalSeparator(), complib::ThousandSeparator());
    }

private:
    int pixels_ = 800;
};

// The value axis: four minor ticks between labels.
class ValueTicker final : public QCPAxisTicker {
protected:
    int getSubTickCount(double) override { return kLeftMinorTicks; }
};

} // namespace

// ---------------------------------------------------------------------------
// Chart

TChartDrt::TChartDrt(QWidget* parent) : QCustomPlot(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // Lines of width 2 as the graph has always drawn them, not smoothed,
    // joined the fast way.
    setNotAntialiasedElements(QCP::aeAll);
    setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
    setAutoAddPlottableToLegend(false);
    setSelectionRectMode(QCP::srmZoom);
    axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);
    xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new TimeTicker));
    yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new ValueTicker));
    axisRect()->insetLayout()->take(legend);
    legend->setSelectableParts(QCPLegend::spNone);
    SetLegendShown(true);
}

void TChartDrt::SetLegendShown(bool shown)
{
    // Shown, the legend stands beside the plot, on the right; hidden, it
    // leaves the layout, so that the plot takes its room.
    const bool inLayout = plotLayout()->hasElement(0, 1) && plotLayout()->element(0, 1) == legend;
    if (shown && !inLayout) {
        plotLayout()->addElement(0, 1, legend);
        plotLayout()->setColumnStretchFactor(1, 0.001);
    } else if (!shown && inLayout) {
        plotLayout()->take(legend);
        plotLayout()->simplify();
    }
    legend->setVisible(shown);
    // The plot area changed its width without a resize.
    updateLayout();
    plotAreaChanged();
}

QCPAbstractLegendItem* TChartDrt::LegendItem(int curve) const
{
    return curve >= 0 && curve < legend->itemCount() ? legend->item(curve) : nullptr;
}

int TChartDrt::curveAt(const QPointF& pos) const
{
    if (!legend->visible())
        return -1;
    for (int i = 0; i < legend->itemCount(); ++i)
        if (QRectF(legend->item(i)->rect()).contains(pos))
            return i;
    return -1;
}

void TChartDrt::mousePressEvent(QMouseEvent* event)
{
    // The zoom rectangle takes the left button everywhere else, so the
    // legend's clicks are seen here.
    if (event->button() == Qt::LeftButton && (pressedCurve_ = curveAt(event->position())) >= 0) {
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        emit panStarted();
        panning_ = true;
        panFrom_ = event->position();
        event->accept();
        return;
    }
    QCustomPlot::mousePressEvent(event);
}

void TChartDrt::mouseMoveEvent(QMouseEvent* event)
{
    if (panning_) {
        const QPointF at = event->position();
        xAxis->moveRange(xAxis->pixelToCoord(panFrom_.x()) - xAxis->pixelToCoord(at.x()));
        panFrom_ = at;
        replot(rpQueuedReplot);
        event->accept();
        return;
    }
    QCustomPlot::mouseMoveEvent(event);
}

void TChartDrt::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && pressedCurve_ >= 0) {
        const int curve = pressedCurve_;
        pressedCurve_ = -1;
        if (curveAt(event->position()) == curve)
            emit legendEntryClicked(curve);
        event->accept();
        return;
    }
    if (panning_ && event->button() == Qt::RightButton) {
        panning_ = false;
        event->accept();
        return;
    }
    QCustomPlot::mouseReleaseEvent(event);
}

void TChartDrt::resizeEvent(QResizeEvent* event)
{
    QCustomPlot::resizeEvent(event);
    // The resize replotted the chart, so the plot area has its new size.
    plotAreaChanged();
}

void TChartDrt::plotAreaChanged()
{
    const int width = axisRect()->width();
    if (auto* ticker = dynamic_cast<TimeTicker*>(xAxis->ticker().data()))
        ticker->setPixels(width);
    emit plotWidthChanged(width);
}
