#include "reports/error_chart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/format.h"
#include "records/test_results_table.h"

namespace veld {
namespace {

const char* KindText(bool as_found) { return as_found ? "As Found" : "As Left"; }

// Where point i (1-based) of a result stands on the x axis: its nominal %FS, or for
// readings that are pressures, the pressure as the rows show it. NaN when unknown.
double PointPosition(const TestResults& result, size_t i, bool reads_pressure) {
  if (reads_pressure) return result.ActualPressure[i - 1] * result.UnitFactor;
  const TestProfile& profile = result.Profile;
  if (profile.ProfileType == "Custom") {
    if (i > profile.CustomPoints.size()) return std::numeric_limits<double>::quiet_NaN();
    return profile.CustomPoints[i - 1] * 100.0;
  }
  return profile.PointFraction(static_cast<int>(i)) * 100.0;
}

// A "Both" profile rises to the top of the range and falls back: the points that take the
// rising branch of the profile's rule, and the rest.
bool OnRisingLeg(const TestProfile& profile, size_t i) {
  const int n = profile.NumberOfPoints;
  return n >= TestProfile::kMinPoints && static_cast<double>(i - 1) / (n - 1) < 0.5;
}

struct SideSeries {
  std::vector<ChartSeries> series;
  int not_charted = 0;
  int points = 0;
};

SideSeries SeriesOf(const TestResults& result, bool reads_pressure) {
  const SeriesRole role = result.AsFound ? SeriesRole::AsFound : SeriesRole::AsLeft;
  const std::string kind = KindText(result.AsFound);
  const bool both = result.Profile.ProfileType == "Both";
  SideSeries side;
  if (both) {
    side.series.push_back({kind + " (ascending)", role, LineStyle::Solid, MarkerShape::Circle, {}});
    side.series.push_back({kind + " (descending)", role, LineStyle::Dashed, MarkerShape::Square, {}});
  } else {
    side.series.push_back({kind, role, LineStyle::Solid, MarkerShape::Circle, {}});
  }
  const size_t rows = std::min({result.ErrorFS.size(), result.PassFailText.size(), result.ActualPressure.size()});
  side.points = static_cast<int>(rows);
  for (size_t i = 1; i <= rows; ++i) {
    const double x = PointPosition(result, i, reads_pressure);
    const double y = result.ErrorFS[i - 1];
    if (!std::isfinite(x) || !std::isfinite(y)) {
      ++side.not_charted;
      continue;
    }
    ChartSeries& leg = both && !OnRisingLeg(result.Profile, i) ? side.series[1] : side.series[0];
    leg.points.push_back({x, y, result.PassFailText[i - 1] == "F"});
  }
  return side;
}

std::string SideTitle(const TestResults& result) {
  return Format("%s %s: %s", KindText(result.AsFound), CertificateDateTimeText(result.DateTimeTested).c_str(),
                OverallPass(result) ? "Pass" : "Fail");
}

std::string AccuracyText(double accuracy) { return Format("\xb1%g %%FS", accuracy); }

}  // namespace

std::string PairForChart(const std::vector<const TestResults*>& selected, ChartPair& pair) {
  pair = ChartPair();
  if (selected.empty()) return kChartNoSelectionMessage;
  if (selected.size() > 2) return kChartTooManyMessage;
  const TestResults& first = *selected.front();
  if (selected.size() == 2) {
    const TestResults& second = *selected.back();
    if (first.AsFound == second.AsFound) return std::string(kChartSameKindMessage) + KindText(first.AsFound);
    // One chart has one x axis: the readings must be of the same kind.
    if (first.Uut.ID != second.Uut.ID || first.Uut.ReadsPressure() != second.Uut.ReadsPressure()) {
      return kChartOtherUUTMessage;
    }
  }
  for (const TestResults* result : selected) (result->AsFound ? pair.as_found : pair.as_left) = result;
  return {};
}

ChartData BuildErrorChart(const ChartPair& pair) {
  ChartData chart;
  const TestResults* first = pair.as_found != nullptr ? pair.as_found : pair.as_left;
  if (first == nullptr) return chart;
  const UUT& uut = first->Uut;
  const bool reads_pressure = uut.ReadsPressure();

  chart.title = "UUT " + uut.ID;
  double low = 0.0, high = 0.0, x_low = std::numeric_limits<double>::infinity(), x_high = -x_low;
  for (const TestResults* result : {pair.as_found, pair.as_left}) {
    if (result == nullptr) continue;
    chart.title += " | " + SideTitle(*result);
    SideSeries side = SeriesOf(*result, reads_pressure);
    for (ChartSeries& series : side.series) {
      for (const ChartPoint& point : series.points) {
        low = std::min(low, point.y);
        high = std::max(high, point.y);
        x_low = std::min(x_low, point.x);
        x_high = std::max(x_high, point.x);
      }
      chart.series.push_back(std::move(series));
    }
    if (side.not_charted > 0) {
      chart.notes.push_back(Format("%s: %d of %d points not charted (error not a finite number)",
                                   KindText(result->AsFound), side.not_charted, side.points));
    }
  }

  const double accuracy = std::fabs(uut.Accuracy);
  if (std::isfinite(accuracy)) {
    chart.band = ChartBand{"Accuracy " + AccuracyText(accuracy), -accuracy, accuracy};
    low = std::min(low, -accuracy);
    high = std::max(high, accuracy);
  }
  if (pair.as_found != nullptr && pair.as_left != nullptr && pair.as_left->Uut.Accuracy != uut.Accuracy) {
    chart.notes.push_back("As Left accuracy " + AccuracyText(pair.as_left->Uut.Accuracy));
  }

  const double margin = (high - low) * 0.05;
  chart.y = NumberAxis("Error (%FS)", low - margin, high + margin);
  if (reads_pressure) {
    if (x_low > x_high) x_low = x_high = 0.0;  // nothing charted
    chart.x = NumberAxis(Format("Applied pressure (%s)", uut.InputUnits.c_str()), x_low, x_high);
  } else {
    // Custom points may lie outside the range; the axis still shows all of it.
    chart.x = NumberAxis("Nominal (%FS)", std::min(0.0, x_low), std::max(100.0, x_high), 10);
  }
  return chart;
}

}  // namespace veld
