#pragma once
// The error chart of one result, or of an As Found and an As Left result of one UUT: the
// error of each point in %FS, as the result's rows compute it, against the point's
// nominal %FS (for dial gauges and pressure switches, whose rows hold pressures, against
// the pressure it was read at); the UUT's accuracy as a band around zero; failed points
// in red; the rising and the falling leg of a "Both" profile as series of their own.

#include <string>
#include <vector>

#include "records/test_results.h"
#include "reports/chart_data.h"

namespace veld {

inline constexpr const char* kChartNoSelectionMessage =
    "Please select a test result to chart, or an As Found and an As Left result of one UUT.";
inline constexpr const char* kChartTooManyMessage =
    "Too many test results selected for the chart.  Please select 1 or 2 test results only.";
// Followed by "As Found" or "As Left".
inline constexpr const char* kChartSameKindMessage = "Test Results selected for the chart are both ";
inline constexpr const char* kChartOtherUUTMessage = "Test Results selected for the chart are of different UUTs.";

// The results that one chart shows: either or both may be missing.
struct ChartPair {
  const TestResults* as_found = nullptr;
  const TestResults* as_left = nullptr;
};

// Sorts the selected results into the chart's As Found and As Left side. Returns the
// message that says why they cannot be charted together (one result, or an As Found and
// an As Left result of the same UUT ID and kind of reading, can), or an empty text.
std::string PairForChart(const std::vector<const TestResults*>& selected, ChartPair& pair);

// The chart of a pair that PairForChart accepted.
ChartData BuildErrorChart(const ChartPair& pair);

}  // namespace veld
