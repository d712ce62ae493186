// The result file reader over an arbitrary file, through every section. A file read in
// full gives one row per counted point in every column; a file that fails leaves no rows.
// The verdict and the dates are then used as the listing and the certificate use them.
// The listings' read (verdicts only) must fail and judge exactly as the full read does.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "records/test_results_table.h"

namespace veld::fuzz {
namespace {

const std::string& ResultPath() {
  static const std::string path = ProcessRoot().root() + "/VELD/PC/TestResults/fuzz.DAT";
  return path;
}

bool ColumnsHold(const TestResults& results, size_t rows) {
  for (const auto* column : {&results.PointNumberText, &results.TargetPressureText, &results.ActualPressureText,
                             &results.TargetOutputText, &results.ActualOutputText, &results.ErrorText,
                             &results.PassFailText}) {
    if (column->size() != rows) return false;
  }
  return results.ActualPressure.size() == rows && results.ActualOutput.size() == rows &&
         results.ErrorFS.size() == rows;
}

void UseDates(const TestResults& results) {
  for (const OleDateTime* date : {&results.DateTimeTested, &results.CalibratorCalDate, &results.ModuleCalDate,
                                  &results.Uut.CalibrationDueDate}) {
    CalendarTime time;
    if (date->GetCalendar(time)) {
      Require(time.year >= 100 && time.year <= 9999 && time.month >= 1 && time.month <= 12 && time.day >= 1 &&
                  time.day <= 31 && time.hour < 24 && time.minute < 60 && time.second < 60,
              "a valid date has calendar fields in range");
    }
  }
}

}  // namespace
}  // namespace veld::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace veld;
  using namespace veld::fuzz;
  WriteFile(ResultPath(), AsBytes(data, size));

  TestResults results;
  TestResultsTable table;
  const bool read = Attempt([&] { table.ReadFile(results, ResultPath()); });
  TestResults verdicts;
  const bool read_verdicts =
      Attempt([&] { table.ReadFile(verdicts, ResultPath(), TestResultsTable::Columns::VerdictsOnly); });
  Require(read == read_verdicts, "the listings' read fails where the full read fails");
  if (!read) {
    Require(ColumnsHold(results, 0), "a file that fails leaves no rows");
    return 0;
  }
  Require(verdicts.PassFailText == results.PassFailText && verdicts.Uut.ID == results.Uut.ID &&
              verdicts.Profile.NumberOfPoints == results.Profile.NumberOfPoints &&
              OverallPass(verdicts) == OverallPass(results),
          "the listings' read gives the full read's verdicts");
  if (size < 4) {
    Require(ColumnsHold(results, 0), "a file too short for a header gives no rows");
    return 0;
  }
  const int points = results.Profile.NumberOfPoints;
  Require(points >= 0, "a read file counts no negative number of points");
  Require(ColumnsHold(results, static_cast<size_t>(points)), "every column holds one row per point");
  if (results.Profile.ProfileType == "Custom") {
    for (int i = 1; i <= points; ++i) results.Profile.PointFraction(i);
  }
  OverallPass(results);
  UseDates(results);
  return 0;
}
