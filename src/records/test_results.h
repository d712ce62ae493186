#pragma once
// One test result as read from a calibrator result file, with its own copies of the
// UUT and the test profile and the per-point rows that the certificate and the CSV
// export show. Reused between reads: fields of sections a file lacks keep their values.

#include <string>
#include <vector>

#include "platform/ole_date_time.h"
#include "records/operator.h"
#include "records/test_profile.h"
#include "records/uut.h"
#include "units/type_converter.h"

namespace veld {

class TestResults {
 public:
  UUT Uut;               // the UUT as tested
  TestProfile Profile;   // the profile as tested, with its custom points
  Operator Op;           // operator ID and password from the operator section
  TypeConverter Parser;

  // Text columns, one entry per point.
  std::vector<std::string> PointNumberText;     // "%i"
  std::vector<std::string> TargetPressureText;  // "%.4f"
  std::vector<std::string> ActualPressureText;  // "%.4f"
  std::vector<std::string> TargetOutputText;    // "%.4f"
  std::vector<std::string> ActualOutputText;    // "%.4f"
  std::vector<std::string> ErrorText;           // "%.4f"
  std::vector<std::string> PassFailText;        // "P" or "F"
  // Number columns, one entry per point.
  std::vector<double> ActualPressure;  // as stored in the file (a)
  std::vector<double> ActualOutput;    // b
  std::vector<double> ErrorFS;         // error in %FS

  OleDateTime DateTimeTested;
  bool AsFound = false;
  double LeakValue = 0.0;
  double UnitFactor = 0.0;
  int32_t ReferenceLocation = 0;
  std::string CalibratorSerialNumber;
  std::string ModuleSerialNumber;
  OleDateTime CalibratorCalDate;
  OleDateTime ModuleCalDate;
  std::string SpareText;

  // Empties the seven text columns and the three number columns.
  void ClearColumns();
  // The number of complete point rows held (the shortest column).
  size_t RowCount() const;
};

}  // namespace veld
