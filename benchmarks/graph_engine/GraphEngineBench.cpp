// Which chart draws the graph's redraw faster: Qt Charts or QCustomPlot, both
// fed with the same decimated time span of the sample store (eleven curves,
// about two points per pixel column), on a 1280 x 900 widget offscreen. One
// iteration is a whole redraw: hand the points to the chart and paint it.
//   running/N: the last 30 s of N samples per curve (what a tick redraws)
//   whole/N:   all N samples per curve at once (a loaded recording)
#include "benchmarks/live_support/GraphBenchData.h"
#include "live/graph_rules/GraficoStore.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <memory>

namespace {

constexpr QSize kSize(1280, 900);
constexpr double kWindowSeconds = 30;

const grafico::TSampleStore& storeOf(std::size_t rows)
{
    static std::size_t filled = 0;
    static grafico::TSampleStore store;
    if (filled != rows) {
        store.Clear();
        store.Reserve(rows);
        for (std::size_t i = 0; i < rows; ++i)
            store.Append(i * bench::kSampleSeconds, bench::CurvesAt(i), grafico::kSeriesCount);
        filled = rows;
    }
    return store;
}

QCPRange spanOf(std::size_t rows, bool whole)
{
    const double end = (rows - 1) * bench::kSampleSeconds;
    return whole ? QCPRange(0, end) : QCPRange(std::max(0.0, end - kWindowSeconds), end);
}

void qtCharts(benchmark::State& state, bool whole)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    const grafico::TSampleStore& store = storeOf(rows);
    auto* chart = new QChart;
    QChartView view(chart);
    view.resize(kSize);
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    std::array<QLineSeries*, grafico::kSeriesCount> series{};
    for (int i = 0; i < grafico::kSeriesCount; ++i) {
        series[i] = new QLineSeries;
        series[i]->setPen(QPen(QColor::fromRgb(grafico::kSeries[i].Colour), 2));
        chart->addSeries(series[i]);
        series[i]->attachAxis(x);
        series[i]->attachAxis(y);
    }
    const QCPRange span = spanOf(rows, whole);
    x->setRange(span.lower, span.upper);
    y->setRange(0, 15);
    view.show();
    QApplication::processEvents();

    std::vector<QPointF> points;
    std::int64_t drawn = 0;
    for (auto _ : state) {
        const int columns = static_cast<int>(chart->plotArea().width());
        for (int i = 0; i < grafico::kSeriesCount; ++i) {
            store.Decimate(i, span.lower, span.upper, columns, points);
            series[i]->replace(QList<QPointF>(points.begin(), points.end()));
            drawn += static_cast<std::int64_t>(points.size());
        }
        view.viewport()->repaint();
    }
    state.counters["points"] = benchmark::Counter(static_cast<double>(drawn), benchmark::Counter::kAvgIterations);
}

void qcustomplot(benchmark::State& state, bool whole)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    const grafico::TSampleStore& store = storeOf(rows);
    QCustomPlot plot;
    plot.resize(kSize);
    // Lines as the graph draws them: not smoothed, joined the fast way.
    plot.setNotAntialiasedElements(QCP::aeAll);
    plot.setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
    plot.legend->setVisible(true);
    std::array<QCPGraph*, grafico::kSeriesCount> graphs{};
    for (int i = 0; i < grafico::kSeriesCount; ++i) {
        graphs[i] = plot.addGraph();
        graphs[i]->setPen(QPen(QColor::fromRgb(grafico::kSeries[i].Colour), 2));
    }
    const QCPRange span = spanOf(rows, whole);
    plot.xAxis->setRange(span);
    plot.yAxis->setRange(0, 15);
    plot.show();
    QApplication::processEvents();

    std::vector<QPointF> points;
    QVector<QCPGraphData> data;
    std::int64_t drawn = 0;
    for (auto _ : state) {
        const int columns = plot.axisRect()->width();
        for (int i = 0; i < grafico::kSeriesCount; ++i) {
            store.Decimate(i, span.lower, span.upper, columns, points);
            data.resize(static_cast<qsizetype>(points.size()));
            for (std::size_t k = 0; k < points.size(); ++k)
                data[static_cast<qsizetype>(k)] = QCPGraphData(points[k].x(), points[k].y());
            graphs[i]->data()->set(data, true);
            drawn += static_cast<std::int64_t>(points.size());
        }
        plot.replot(QCustomPlot::rpImmediateRefresh);
    }
    state.counters["points"] = benchmark::Counter(static_cast<double>(drawn), benchmark::Counter::kAvgIterations);
}

void BM_QtCharts_Running(benchmark::State& s) { qtCharts(s, false); }
void BM_QtCharts_Whole(benchmark::State& s) { qtCharts(s, true); }
void BM_QCustomPlot_Running(benchmark::State& s) { qcustomplot(s, false); }
void BM_QCustomPlot_Whole(benchmark::State& s) { qcustomplot(s, true); }

BENCHMARK(BM_QtCharts_Running)->Arg(180000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QCustomPlot_Running)->Arg(180000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtCharts_Whole)->Arg(180000)->Arg(1500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QCustomPlot_Whole)->Arg(180000)->Arg(1500000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return bench::RunWindowBenchmarks(argc, argv); }
