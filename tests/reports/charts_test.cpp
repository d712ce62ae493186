// The error chart and the drift history, built from result files as the calibrator writes
// them: which points, bands, limits and markers a chart holds, not how it is drawn.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/format.h"
#include "platform/host_path.h"
#include "records/test_results_table.h"
#include "reports/drift_history.h"
#include "reports/error_chart.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using test::ResultFileDescription;
using test::ResultFileForm;

// A result of the default UUT (-250 to +250 Pa giving 4 to 20 mA, accuracy 0.25 %FS) whose
// point k reads off the ideal by errors[k] %FS: of the output, or for dial gauges and
// switches (whose reading is a pressure) of the pressure range.
ResultFileDescription Measured(const std::string& profile_type, const std::vector<double>& errors,
                               std::vector<double> fractions = {}) {
  ResultFileDescription desc = test::DefaultResultFileDescription();
  desc.profile_type = profile_type;
  if (fractions.empty()) {
    for (size_t k = 1; k <= errors.size(); ++k) {
      fractions.push_back(StandardPointFraction(profile_type, static_cast<int>(k), static_cast<int>(errors.size())));
    }
  }
  desc.points.clear();
  const UUT& uut = desc.uut;
  for (size_t k = 0; k < errors.size(); ++k) {
    const double applied = fractions[k] * uut.InputSpan + uut.InputOffset;
    const double reading = uut.ReadsPressure() ? applied + errors[k] / 100.0 * uut.InputSpan
                                               : uut.OutputAt(applied) + errors[k] / 100.0 * uut.OutputSpan;
    desc.points.push_back({applied, reading, fractions[k]});
  }
  return desc;
}

void ExpectPoints(const ChartSeries& series, const std::vector<ChartPoint>& expected) {
  SCOPED_TRACE(series.name);
  const std::vector<ChartPoint>& points = series.points;
  ASSERT_EQ(points.size(), expected.size());
  for (size_t i = 0; i < points.size(); ++i) {
    EXPECT_NEAR(points[i].x, expected[i].x, 1e-9) << i;
    EXPECT_NEAR(points[i].y, expected[i].y, 1e-9) << i;
    EXPECT_EQ(points[i].failed, expected[i].failed) << i;
  }
}

std::vector<std::string> Names(const ChartData& chart) {
  std::vector<std::string> names;
  for (const ChartSeries& series : chart.series) names.push_back(series.name);
  return names;
}

std::vector<std::string> Labels(const ChartAxis& axis) {
  std::vector<std::string> labels;
  for (const ChartTick& tick : axis.ticks) labels.push_back(tick.label);
  return labels;
}

class ChartTest : public test::TempRootTest {
 protected:
  TestResults Read(const ResultFileDescription& desc) {
    const std::string path = temp_.root() + "/R" + std::to_string(++files_) + ".DAT";
    test::WriteResultFile(path, desc);
    TestResults result;
    TestResultsTable().ReadFile(result, path);
    return result;
  }
  // A result file in the PC database's result folder.
  void PutResult(const std::string& name, const ResultFileDescription& desc) {
    test::WriteResultFile(HostPath(std::string("C:\\VELD\\PC\\TestResults\\") + name), desc);
  }

 private:
  int files_ = 0;
};

// --- Error chart ---------------------------------------------------------------------

TEST_F(ChartTest, PairShowsEachPointsErrorAgainstItsNominalWithTheLegsOfBothApartAndFailuresMarked) {
  ResultFileDescription found_desc = Measured("Both", {0.1, -0.2, 0.2, 0.4, 0.05});  // 0, 50, 100, 50, 0 %FS
  found_desc.date_tested = OleDateTime(2024, 6, 14, 8, 0, 0);
  ResultFileDescription left_desc = Measured("Ascending", {0.01, 0.02, -0.03, 0.04, 0.0});
  left_desc.as_found = false;
  left_desc.date_tested = OleDateTime(2024, 6, 14, 9, 30, 0);
  const TestResults as_found = Read(found_desc);
  const TestResults as_left = Read(left_desc);

  const ChartData chart = BuildErrorChart({&as_found, &as_left});
  EXPECT_EQ(chart.title, "UUT PT-1001 | As Found 06/14/2024 08:00: Fail | As Left 06/14/2024 09:30: Pass");
  ASSERT_EQ(Names(chart), (std::vector<std::string>{"As Found (ascending)", "As Found (descending)", "As Left"}));
  ExpectPoints(chart.series[0], {{0, 0.1, false}, {50, -0.2, false}});
  ExpectPoints(chart.series[1], {{100, 0.2, false}, {50, 0.4, true}, {0, 0.05, false}});
  ExpectPoints(chart.series[2], {{0, 0.01, false}, {25, 0.02, false}, {50, -0.03, false}, {75, 0.04, false}, {100, 0, false}});
  // The points are the rows' own errors, not a second computation of them.
  EXPECT_EQ(chart.series[1].points[1].y, as_found.ErrorFS[3]);
  EXPECT_NE(chart.series[0].line, chart.series[1].line);
  EXPECT_NE(chart.series[0].marker, chart.series[1].marker);
  EXPECT_EQ(chart.series[2].role, SeriesRole::AsLeft);

  ASSERT_TRUE(chart.band);
  EXPECT_EQ(std::tuple(chart.band->name, chart.band->low, chart.band->high),
            std::tuple("Accuracy \xb1" "0.25 %FS", -0.25, 0.25));
  EXPECT_TRUE(chart.HasFailedPoints());
  EXPECT_TRUE(chart.notes.empty());
  EXPECT_EQ(chart.x.title, "Nominal (%FS)");
  EXPECT_EQ(Labels(chart.x), (std::vector<std::string>{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}));
  EXPECT_LE(chart.y.min, -0.25);
  EXPECT_GE(chart.y.max, 0.4);
}

TEST_F(ChartTest, GaugesAndSwitchesChartTheirErrorAgainstThePressureTheyWereReadAt) {
  for (const char* type : {"DIALGAGE", "P-SWITCH"}) {
    SCOPED_TRACE(type);
    ResultFileDescription desc = Measured("Ascending", {0.5, -1.5, 0.25});
    desc.uut.SetOutputType(type);
    desc.uut.InputUnits = "kPa";  // the rows show pressures times 1000
    desc.uut.Accuracy = 1.0;
    const TestResults result = Read(desc);
    const ChartData chart = BuildErrorChart({&result, nullptr});
    ASSERT_EQ(chart.series.size(), 1u);
    ASSERT_EQ(result.RowCount(), 3u);
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(Format("%.4f", chart.series[0].points[i].x), result.ActualPressureText[i]);
      EXPECT_EQ(chart.series[0].points[i].y, result.ErrorFS[i]);
      EXPECT_EQ(chart.series[0].points[i].failed, result.PassFailText[i] == "F");
    }
    EXPECT_EQ(chart.x.title, "Applied pressure (kPa)");
    EXPECT_LE(chart.x.min, -250000.0);
    EXPECT_GE(chart.x.max, 250000.0);
  }
}

TEST_F(ChartTest, CustomPointsStandAtTheirOwnFractionsAndPointsWithoutAFiniteErrorAreLeftOutWithANote) {
  ResultFileDescription custom = Measured("Custom", {0.1, 0.2, 0.3, 0.1}, {0.0, 0.25, 0.75, 1.0});
  custom.as_found = false;
  ResultFileDescription zero_span = Measured("Ascending", {0.0, 0.0, 0.0});
  zero_span.uut.OutputSpan = 0.0;
  const TestResults as_left = Read(custom);
  const TestResults as_found = Read(zero_span);

  const ChartData chart = BuildErrorChart({&as_found, &as_left});
  ASSERT_EQ(Names(chart), (std::vector<std::string>{"As Found", "As Left"}));
  EXPECT_TRUE(chart.series[0].points.empty());
  EXPECT_EQ(as_found.PassFailText, (std::vector<std::string>{"F", "F", "F"}));  // never a pass
  ExpectPoints(chart.series[1], {{0, 0.1, false}, {25, 0.2, false}, {75, 0.3, true}, {100, 0.1, false}});
  EXPECT_EQ(chart.notes, std::vector<std::string>{"As Found: 3 of 3 points not charted (error not a finite number)"});
  EXPECT_TRUE(std::isfinite(chart.y.min) && std::isfinite(chart.y.max));
}

TEST_F(ChartTest, OnlyOneResultOrAnAsFoundAndAnAsLeftResultOfOneUUTAreChartedTogether) {
  ResultFileDescription desc = test::DefaultResultFileDescription();
  const TestResults found = Read(desc);
  desc.as_found = false;
  const TestResults left = Read(desc);
  desc.uut.ID = "PT-2";
  const TestResults other_left = Read(desc);
  desc.uut.ID = "PT-1001";
  desc.uut.SetOutputType("DIALGAGE");
  const TestResults gauge_left = Read(desc);

  struct Case {
    std::vector<const TestResults*> selected;
    std::string message;
    const TestResults* as_found;
    const TestResults* as_left;
  };
  for (const Case& c : std::vector<Case>{
           {{}, kChartNoSelectionMessage, nullptr, nullptr},
           {{&found, &left, &left}, kChartTooManyMessage, nullptr, nullptr},
           {{&left, &left}, "Test Results selected for the chart are both As Left", nullptr, nullptr},
           {{&found, &other_left}, kChartOtherUUTMessage, nullptr, nullptr},
           {{&found, &gauge_left}, kChartOtherUUTMessage, nullptr, nullptr},
           {{&left}, "", nullptr, &left},
           {{&left, &found}, "", &found, &left},
       }) {
    ChartPair pair{&found, &found};
    EXPECT_EQ(PairForChart(c.selected, pair), c.message);
    EXPECT_EQ(pair.as_found, c.as_found) << c.message;
    EXPECT_EQ(pair.as_left, c.as_left) << c.message;
  }
}

// --- Axes ------------------------------------------------------------------------------

struct AxisCase {
  double min, max;
  int count;
  std::vector<std::string> labels;
};

class NumberAxisTest : public ::testing::TestWithParam<AxisCase> {};

TEST_P(NumberAxisTest, TicksAtRoundStepsCoverTheRange) {
  const AxisCase& c = GetParam();
  const ChartAxis axis = NumberAxis("t", c.min, c.max, c.count);
  EXPECT_EQ(Labels(axis), c.labels);
  EXPECT_EQ(axis.min, axis.ticks.front().value);
  EXPECT_EQ(axis.max, axis.ticks.back().value);
  if (std::isfinite(c.min) && c.min < c.max) {
    EXPECT_TRUE(axis.min <= c.min && axis.max >= c.max);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, NumberAxisTest,
    ::testing::Values(AxisCase{-0.3, 0.45, 8, {"-0.3", "-0.2", "-0.1", "0.0", "0.1", "0.2", "0.3", "0.4", "0.5"}},
                      AxisCase{0.0, 0.014, 4, {"0.000", "0.005", "0.010", "0.015"}},
                      AxisCase{-2500.0, 1200.0, 4, {"-3000", "-2000", "-1000", "0", "1000", "2000"}},
                      AxisCase{5.0, 5.0, 8, {"4.4", "4.6", "4.8", "5.0", "5.2", "5.4", "5.6"}},  // widened
                      AxisCase{NAN, 1.0, 2, {"0.0", "0.5", "1.0"}}));

TEST(DateAxisTest, TicksFallOnWholeMonthsOrDaysAndReadAsTheCertificateShowsDates) {
  const ChartAxis years =
      DateAxis("d", OleDateTime(2021, 3, 15, 10, 0, 0).Value(), OleDateTime(2024, 8, 1, 16, 0, 0).Value());
  EXPECT_EQ(Labels(years), (std::vector<std::string>{"07/01/2021", "01/01/2022", "07/01/2022", "01/01/2023",
                                                     "07/01/2023", "01/01/2024", "07/01/2024"}));
  const ChartAxis days =
      DateAxis("d", OleDateTime(2024, 2, 28, 9, 0, 0).Value(), OleDateTime(2024, 3, 1, 15, 0, 0).Value());
  EXPECT_EQ(Labels(days), (std::vector<std::string>{"02/28/2024", "02/29/2024", "03/01/2024", "03/02/2024"}));
  EXPECT_LT(days.min, OleDateTime(2024, 2, 28, 9, 0, 0).Value());
  EXPECT_GT(days.max, OleDateTime(2024, 3, 1, 15, 0, 0).Value());
}

// --- Drift history -------------------------------------------------------------------

TEST_F(ChartTest, HistoryTakesEveryResultOfTheUUTInDateOrderWithItsLargestErrorAndLimits) {
  const OleDateTime d2021(2021, 3, 15, 8, 0, 0), d2021_left(2021, 3, 15, 9, 0, 0), d2023(2023, 11, 2, 14, 30, 0),
      d2024(2024, 8, 1, 16, 0, 0);
  const auto tested = [](const char* type, std::vector<double> errors, OleDateTime date, double accuracy, double recal) {
    ResultFileDescription desc = Measured(type, errors);
    desc.date_tested = date;
    desc.uut.Accuracy = accuracy;
    desc.uut.ReCalAccuracy = recal;
    return desc;
  };
  // File names in another order than the dates; the oldest form carries no re-cal accuracy.
  const ResultFileDescription found_2021 = tested("Ascending", {0.1, -0.3, 0.2}, d2021, 0.5, 0.25);
  ResultFileDescription left_2021 = tested("Ascending", {0.05, -0.02, 0.01}, d2021_left, 0.5, 0.25);
  left_2021.as_found = false;
  ResultFileDescription found_2023 = tested("Both", {0.2, 0.6, -0.1}, d2023, 0.5, 0.5);  // 0.6 fails 0.5
  found_2023.form = ResultFileForm::Trailer;
  ResultFileDescription zero_span_2024 = tested("Ascending", {0.0, 0.0}, d2024, 0.4, 0.2);
  zero_span_2024.uut.OutputSpan = 0.0;
  PutResult("PT-1001_0004.DAT", found_2021);
  PutResult("PT-1001_0001.DAT", found_2023);
  PutResult("PT-1001_0009.DAT", tested("Ascending", {0.1, 0.1}, OleDateTime(45000.0, OleDateTime::invalid), 0.25, 0.5));
  PutResult("PT-1001_0003.DAT", left_2021);
  PutResult("PT-1001_0002.DAT", zero_span_2024);
  // Files that the prefix finds but that are not this UUT's, and one it does not find.
  ResultFileDescription other = found_2021;
  other.uut.ID = "PT-1001_B";
  PutResult("PT-1001_B_0001.DAT", other);
  other.uut.ID = "PT-2";
  PutResult("PT-1001_0005.DAT", other);
  PutResult("PT-2_0001.DAT", other);
  test::WriteBytes(HostPath("C:\\VELD\\PC\\TestResults\\PT-1001_0006.DAT"), "ab");  // too short to read

  const DriftHistory history = ReadDriftHistory("PT-1001");
  std::vector<std::vector<std::string>> rows;
  for (const HistoryRow& row : BuildHistoryRows(history)) {
    rows.push_back({row.date_tested, row.kind, row.largest_error, row.verdict, row.file_name});
  }
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                      {"03/15/2021 08:00", "As Found", "0.3000", "Pass", "PT-1001_0004.DAT"},
                      {"03/15/2021 09:00", "As Left", "0.0500", "Pass", "PT-1001_0003.DAT"},
                      {"11/02/2023 14:30", "As Found", "0.6000", "Fail", "PT-1001_0001.DAT"},
                      {"08/01/2024 16:00", "As Found", "N/A", "Fail", "PT-1001_0002.DAT"},
                      {"-01/-01/-0001 -1:-1", "As Found", "0.1000", "Pass", "PT-1001_0009.DAT"}}));
  EXPECT_FALSE(history.entries[2].recal_accuracy);
  EXPECT_EQ(history.entries[3].recal_accuracy, 0.2);

  const ChartData chart = BuildHistoryChart(history);
  EXPECT_EQ(chart.title, "Drift history of UUT PT-1001");
  ASSERT_EQ(Names(chart), (std::vector<std::string>{"As Found", "As Left", "Accuracy", "Re-Cal Accuracy"}));
  ExpectPoints(chart.series[0], {{d2021.Value(), 0.3, false}, {d2023.Value(), 0.6, true}});
  ExpectPoints(chart.series[1], {{d2021_left.Value(), 0.05, false}});
  // The limits step where a result gives another value and run across the whole axis.
  ExpectPoints(chart.series[2], {{chart.x.min, 0.5}, {d2021.Value(), 0.5}, {d2021_left.Value(), 0.5},
                                 {d2023.Value(), 0.5}, {d2024.Value(), 0.5}, {d2024.Value(), 0.4}, {chart.x.max, 0.4}});
  ExpectPoints(chart.series[3], {{chart.x.min, 0.25}, {d2021.Value(), 0.25}, {d2021_left.Value(), 0.25},
                                 {d2024.Value(), 0.25}, {d2024.Value(), 0.2}, {chart.x.max, 0.2}});
  EXPECT_EQ(chart.series[3].line, LineStyle::Dashed);
  EXPECT_EQ(chart.notes, (std::vector<std::string>{"1 result not charted (date tested not valid)",
                                                   "1 result not charted (no finite error)"}));
  EXPECT_EQ(Labels(chart.x).front(), "07/01/2021");
  EXPECT_GE(chart.y.max, 0.6);

  const ChartData none = BuildHistoryChart(ReadDriftHistory("NONE"));
  EXPECT_TRUE(none.series.empty());
  EXPECT_EQ(none.notes, std::vector<std::string>{"No test results of this UUT on the PC"});
  // A file too short to read names no UUT, not even the empty UUT ID whose files it begins.
  test::WriteBytes(HostPath("C:\\VELD\\PC\\TestResults\\_0001.DAT"), "ab");
  EXPECT_TRUE(ReadDriftHistory("").entries.empty());
}

}  // namespace
}  // namespace veld
