#pragma once
// Printing the chart: the print dialog and the printer, behind a seam that
// tests replace (they never see a real print dialog).
#include <QMarginsF>

class QWidget;

namespace grafico {

// Print margins in percent of the page: left, top, right, bottom.
inline constexpr QMarginsF kPrintMarginsPercent(15, 23, 15, 23);

class ChartPrinter {
public:
    virtual ~ChartPrinter() = default;
    // Runs the print dialog; the number of copies chosen, 0 when cancelled.
    virtual int ChooseCopies(QWidget* owner) = 0;
    // Prints chart once on the printer chosen last, inside the margins.
    virtual void PrintOnce(QWidget* chart) = 0;
};

// The printer the window uses (the Qt one unless a test replaced it).
ChartPrinter& CurrentChartPrinter();

class ScopedChartPrinter {
public:
    explicit ScopedChartPrinter(ChartPrinter& replacement);
    ~ScopedChartPrinter();
    ScopedChartPrinter(const ScopedChartPrinter&) = delete;
    ScopedChartPrinter& operator=(const ScopedChartPrinter&) = delete;

private:
    ChartPrinter* saved_;
};

} // namespace grafico
