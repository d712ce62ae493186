#pragma once
// The drift history of a UUT: every result of it in the PC database's result folder, in
// the order of their test dates, each with its largest error, verdict and limits; as
// table rows and as a chart of the largest error against the test date with the UUT's
// accuracy and re-calibration accuracy drawn as limits.

#include <optional>
#include <string>
#include <vector>

#include "platform/ole_date_time.h"
#include "reports/chart_data.h"

namespace veld {

struct HistoryEntry {
  std::string file_name;
  OleDateTime tested;
  bool as_found = false;
  bool passed = false;  // the result's overall verdict
  // The largest absolute error in %FS among the points whose error is a finite number;
  // nothing when no point has one (no points, or a zero span).
  std::optional<double> largest_error;
  double accuracy = 0.0;
  // Nothing for a file of a form older than the UUT extension, which does not carry it.
  std::optional<double> recal_accuracy;
};

struct DriftHistory {
  std::string uut_id;
  // Results with a valid test date by that date (file order among equal dates), then
  // those without one, in file order.
  std::vector<HistoryEntry> entries;
};

// Reads the history of a UUT from "C:\VELD\PC\TestResults\": the files whose names begin
// with the UUT's result file prefix and whose content names exactly that UUT ID (a prefix
// such as "AB_" also begins the files of a UUT "AB_C"). A file that cannot be read raises
// its FileError and ends the reading.
DriftHistory ReadDriftHistory(const std::string& uut_id);

// One line of the history table: date and time tested, "As Found" or "As Left", the
// largest error ("%.4f", "N/A" when there is none), "Pass" or "Fail", the file name.
struct HistoryRow {
  std::string date_tested, kind, largest_error, verdict, file_name;
};
std::vector<HistoryRow> BuildHistoryRows(const DriftHistory& history);

ChartData BuildHistoryChart(const DriftHistory& history);

}  // namespace veld
