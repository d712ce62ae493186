#pragma once
// The reader of calibrator result files.

#include <string>

#include "records/test_results.h"

namespace veld {

class TestResultsTable {
 public:
  virtual ~TestResultsTable() = default;

  // Fills results from the result file at a host path. A file that does not open or is
  // shorter than 4 bytes changes nothing; a file cut short raises FileError(EndOfFile).
  void ReadFile(TestResults& results, const std::string& host_path);

  double PressureUnitFactor(const std::string& unit_name) const;

 private:
  double unit_factor_ = 0.0;
};

// The verdict of a result: every point passes and, with a leak test, the leak value is
// at least the UUT's MaxLeakRate.
bool OverallPass(const TestResults& results);

}  // namespace veld
