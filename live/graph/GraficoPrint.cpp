#include "GraficoPrint.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <qcustomplot.h>

namespace grafico {

namespace {

class QtChartPrinter final : public ChartPrinter {
public:
    int ChooseCopies(QWidget* owner) override
    {
        if (!printer_)
            printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPrintDialog dialog(printer_.get(), owner);
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        // The window prints each copy itself.
        const int copies = printer_->copyCount();
        printer_->setCopyCount(1);
        return copies < 1 ? 1 : copies;
    }

    void PrintOnce(QWidget* chart) override
    {
        if (!printer_ || !chart)
            return;
        const QSize source = chart->size();
        if (source.isEmpty())
            return;
        const QRectF page = printer_->pageRect(QPrinter::DevicePixel);
        const QMarginsF m = kPrintMarginsPercent;
        const QRectF target(page.left() + page.width() * m.left() / 100, page.top() + page.height() * m.top() / 100,
                            page.width() * (100 - m.left() - m.right()) / 100,
                            page.height() * (100 - m.top() - m.bottom()) / 100);
        const double scale = std::min(target.width() / source.width(), target.height() / source.height());
        // The chart draws itself on the printer, lines and text as such;
        // any other widget as it shows on the screen.
        QCPPainter painter;
        if (!painter.begin(printer_.get()))
            return;
        painter.translate(target.topLeft());
        painter.scale(scale, scale);
        if (auto* plot = qobject_cast<QCustomPlot*>(chart))
            plot->toPainter(&painter, source.width(), source.height());
        else
            chart->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        painter.end();
    }

private:
    std::unique_ptr<QPrinter> printer_;
};

ChartPrinter*& current()
{
    static QtChartPrinter qt;
    static ChartPrinter* printer = &qt;
    return printer;
}

} // namespace

ChartPrinter& CurrentChartPrinter() { return *current(); }

ScopedChartPrinter::ScopedChartPrinter(ChartPrinter& replacement) : saved_(current()) { current() = &replacement; }

ScopedChartPrinter::~ScopedChartPrinter() { current() = saved_; }

} // namespace grafico
