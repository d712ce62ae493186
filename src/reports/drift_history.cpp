#include "reports/drift_history.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "database/database.h"
#include "database/results_index.h"
#include "platform/format.h"
#include "platform/host_path.h"
#include "records/test_results_table.h"

namespace veld {
namespace {

constexpr double kNotRead = std::numeric_limits<double>::quiet_NaN();

bool HasCalendarDate(const OleDateTime& date) {
  CalendarTime calendar;
  return date.GetCalendar(calendar);
}

std::optional<double> LargestFiniteError(const std::vector<double>& errors) {
  std::optional<double> largest;
  for (double error : errors) {
    if (std::isfinite(error)) largest = std::max(largest.value_or(0.0), std::fabs(error));
  }
  return largest;
}

// A limit drawn as steps: it holds from one result to the next that gives another value.
void AddStep(ChartSeries& limit, double x, double y) {
  if (!std::isfinite(y)) return;
  if (!limit.points.empty() && limit.points.back().y != y) limit.points.push_back({x, limit.points.back().y});
  limit.points.push_back({x, y});
}

// The steps run across the whole axis, so that a limit shows even beside a single result.
void ExtendAcross(ChartSeries& limit, const ChartAxis& axis) {
  if (limit.points.empty()) return;
  limit.points.insert(limit.points.begin(), ChartPoint{axis.min, limit.points.front().y});
  limit.points.push_back({axis.max, limit.points.back().y});
}

std::string ResultsNotCharted(int count, const char* why) {
  return Format("%d result%s not charted (%s)", count, count == 1 ? "" : "s", why);
}

}  // namespace

DriftHistory ReadDriftHistory(const std::string& uut_id) {
  DriftHistory history;
  history.uut_id = uut_id;
  const std::string prefix = ResultFilePrefix(uut_id);
  // Only the files of this UUT are listed in order and opened, as in the results list.
  const std::vector<std::string> names = FindFiles(
      ResultFilePath("*.DAT"),
      [&](const std::string& name) { return name.compare(0, prefix.size(), prefix) == 0; });
  const std::filesystem::path folder = HostPath(kResultFolder);
  TestResultsTable reader;
  for (const std::string& name : names) {
    TestResults record;
    record.Profile.NumberOfPoints = -1;  // a read always sets it: unchanged, the file was not read
    record.Uut.ReCalAccuracy = kNotRead;  // only the UUT extension section sets it
    reader.ReadFile(record, (folder / name).string(), TestResultsTable::Columns::VerdictsAndErrors);
    if (record.Profile.NumberOfPoints < 0 || record.Uut.ID != uut_id) continue;
    HistoryEntry entry;
    entry.file_name = name;
    entry.tested = record.DateTimeTested;
    entry.as_found = record.AsFound;
    entry.passed = OverallPass(record);
    entry.largest_error = LargestFiniteError(record.ErrorFS);
    entry.accuracy = record.Uut.Accuracy;
    if (!std::isnan(record.Uut.ReCalAccuracy)) entry.recal_accuracy = record.Uut.ReCalAccuracy;
    history.entries.push_back(std::move(entry));
  }
  std::stable_sort(history.entries.begin(), history.entries.end(), [](const HistoryEntry& a, const HistoryEntry& b) {
    const bool a_dated = HasCalendarDate(a.tested);
    const bool b_dated = HasCalendarDate(b.tested);
    if (a_dated != b_dated) return a_dated;
    return a_dated && a.tested.Value() < b.tested.Value();
  });
  return history;
}

std::vector<HistoryRow> BuildHistoryRows(const DriftHistory& history) {
  std::vector<HistoryRow> rows;
  rows.reserve(history.entries.size());
  for (const HistoryEntry& entry : history.entries) {
    rows.push_back({CertificateDateTimeText(entry.tested), entry.as_found ? "As Found" : "As Left",
                    entry.largest_error ? Format("%.4f", *entry.largest_error) : std::string("N/A"),
                    entry.passed ? "Pass" : "Fail", entry.file_name});
  }
  return rows;
}

ChartData BuildHistoryChart(const DriftHistory& history) {
  ChartData chart;
  chart.title = "Drift history of UUT " + history.uut_id;
  ChartSeries found{"As Found", SeriesRole::AsFound, LineStyle::Solid, MarkerShape::Circle, {}};
  ChartSeries left{"As Left", SeriesRole::AsLeft, LineStyle::Solid, MarkerShape::Square, {}};
  ChartSeries accuracy{"Accuracy", SeriesRole::Limit, LineStyle::Solid, MarkerShape::None, {}};
  ChartSeries recal{"Re-Cal Accuracy", SeriesRole::Limit, LineStyle::Dashed, MarkerShape::None, {}};
  int undated = 0;
  int without_error = 0;
  double first = std::numeric_limits<double>::infinity();
  double last = -first;
  double high = 0.0;
  for (const HistoryEntry& entry : history.entries) {
    if (!HasCalendarDate(entry.tested)) {
      ++undated;
      continue;
    }
    const double x = entry.tested.Value();
    first = std::min(first, x);
    last = std::max(last, x);
    AddStep(accuracy, x, entry.accuracy);
    if (entry.recal_accuracy) AddStep(recal, x, *entry.recal_accuracy);
    for (double limit : {entry.accuracy, entry.recal_accuracy.value_or(0.0)}) {
      if (std::isfinite(limit)) high = std::max(high, limit);
    }
    if (!entry.largest_error) {
      ++without_error;
      continue;
    }
    (entry.as_found ? found : left).points.push_back({x, *entry.largest_error, !entry.passed});
    high = std::max(high, *entry.largest_error);
  }

  chart.x = first <= last ? DateAxis("Date tested", first, last) : ChartAxis{"Date tested", 0.0, 1.0, {}};
  chart.y = NumberAxis("Largest error (%FS)", 0.0, high > 0.0 ? high * 1.05 : 1.0);
  ExtendAcross(accuracy, chart.x);
  ExtendAcross(recal, chart.x);
  for (ChartSeries* series : {&found, &left, &accuracy, &recal}) {
    if (!series->points.empty()) chart.series.push_back(std::move(*series));
  }
  if (history.entries.empty()) chart.notes.push_back("No test results of this UUT on the PC");
  if (undated > 0) chart.notes.push_back(ResultsNotCharted(undated, "date tested not valid"));
  if (without_error > 0) chart.notes.push_back(ResultsNotCharted(without_error, "no finite error"));
  return chart;
}

}  // namespace veld
