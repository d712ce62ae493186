#pragma once
// The part of a unit under test that describes its transfer function: ID, input and
// output ranges with their units, and the calibration due date.

#include <string>

#include "platform/ole_date_time.h"

namespace veld {

// A value base of UUT, never deleted through a pointer to it: no virtual destructor,
// which would keep the records from moving.
class Unit {
 public:
  OleDateTime CalibrationDueDate;  // carried unchanged between table file and record
  std::string ID;
  std::string OutputUnits = "mA";
  std::string InputUnits = "in. WC";
  double OutputSpan = 16.0;    // output at +FS minus output at -FS
  double OutputOffset = 4.0;   // output at -FS
  double InputSpan = 0.5;      // pressure at +FS minus pressure at -FS
  double InputOffset = -0.25;  // pressure at -FS
};

}  // namespace veld
