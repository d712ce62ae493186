#pragma once
// A chart as data: its title, two axes with their ticks already labelled, series of
// points that carry their own pass/fail flag, an optional band and notes for the legend.
// The reports build it from result files; a front end only draws what it says, so that
// the window and the command-line tool show the same chart.

#include <optional>
#include <string>
#include <vector>

#include "platform/ole_date_time.h"

namespace veld {

struct ChartTick {
  double value = 0.0;
  std::string label;
};

struct ChartAxis {
  std::string title;
  double min = 0.0;
  double max = 1.0;
  std::vector<ChartTick> ticks;  // grid lines and their labels, ascending
};

// Whose data a series holds; the drawing gives each its colour.
enum class SeriesRole { AsFound, AsLeft, Limit };
enum class LineStyle { Solid, Dashed };
enum class MarkerShape { None, Circle, Square };

struct ChartPoint {
  double x = 0.0;
  double y = 0.0;
  bool failed = false;  // drawn in red
};

struct ChartSeries {
  std::string name;  // the legend entry
  SeriesRole role = SeriesRole::AsFound;
  LineStyle line = LineStyle::Solid;
  MarkerShape marker = MarkerShape::Circle;
  std::vector<ChartPoint> points;  // in drawing order
};

// A horizontal band from low to high across the whole x axis.
struct ChartBand {
  std::string name;
  double low = 0.0;
  double high = 0.0;
};

struct ChartData {
  std::string title;
  ChartAxis x;
  ChartAxis y;
  std::vector<ChartSeries> series;
  std::optional<ChartBand> band;
  // Legend entries without data: what the chart leaves out and why.
  std::vector<std::string> notes;

  bool HasFailedPoints() const;
};

// The files a chart can be written to, by the extension of their name (any letter case).
enum class ChartFileFormat { Png, Svg, Pdf };
std::optional<ChartFileFormat> ChartFileFormatOf(const std::string& path);
inline constexpr const char* kChartFileFormatMessage = "A chart is written as a .png, .svg or .pdf file.";

// The legend entry of the red markers.
inline constexpr const char* kFailedPointLegend = "Failed point";

// Ticks at round steps (1, 2 or 5 times a power of ten) from min to max, about
// target_count of them, labelled with as many decimals as the step needs. The range is
// widened to whole steps; a range of zero width is widened around its value first.
ChartAxis NumberAxis(std::string title, double min, double max, int target_count = 8);

// Ticks at whole days, weeks, months or years between two OLE dates, labelled as the
// certificate shows dates ("%02i/%02i/%04i": month, day, year).
ChartAxis DateAxis(std::string title, double first_date, double last_date, int target_count = 8);

// A date as the certificate shows the date it was tested: "%2.2d/%2.2d/%4.4d %02i:%02i"
// (month, day, year, hour, minute; -1 for each field of a date that is not valid).
std::string CertificateDateTimeText(const OleDateTime& date);
// A date as the certificate shows calibration dates: "%02i/%02i/%04i".
std::string CertificateDateText(const OleDateTime& date);

}  // namespace veld
