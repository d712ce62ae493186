#pragma once
// Charts drawn with Qt Charts from the reports' chart data: on screen in a chart view, or
// into a PNG, SVG or PDF file (which works headless, on the offscreen platform). Nothing
// here decides what a chart shows; it draws what the data says.

#include <string>

#include "reports/chart_data.h"

class QChart;

namespace veld {

// A new chart of the data; the caller (or the chart view it is given to) owns it.
QChart* BuildQtChart(const ChartData& data);

// Writes the chart into a file at a host path, in the given format, all at once (as the
// certificate is). Needs a QApplication. Throws FileError when the file cannot be written.
void WriteChartFile(const ChartData& data, const std::string& host_path, ChartFileFormat format);

}  // namespace veld
