#pragma once
// The reader of calibrator result files.

#include <string>

#include "records/test_results.h"

namespace veld {

class TestResultsTable {
 public:
  virtual ~TestResultsTable() = default;

  // Fills results from the result file at a host path; fields of sections the file lacks
  // keep their values. The point columns are emptied first in every case. A file that
  // does not open or is shorter than 4 bytes changes nothing else and answers false
  // (nothing read); a file cut short (or claiming more points than it holds) raises
  // FileError(EndOfFile) and leaves every other field as it was.
  bool ReadFile(TestResults& results, const std::string& host_path);

  // What a read fills of the per-point columns: all of them, only the verdicts
  // (PassFailText), which is all that the listings need of each file, or the verdicts and
  // the errors in %FS (PassFailText and ErrorFS), which is all that a drift history needs.
  // Every other field, and every error, is the same as a full read gives.
  enum class Columns { All, VerdictsOnly, VerdictsAndErrors };
  bool ReadFile(TestResults& results, const std::string& host_path, Columns columns);

  // Pa per unit of a pressure unit name, -1.0 for an unknown name.
  double PressureUnitFactor(const std::string& unit_name) const;
};

// The verdict of a result: every point passes and, with a leak test, the leak value is
// at least the UUT's MaxLeakRate.
bool OverallPass(const TestResults& results);

}  // namespace veld
