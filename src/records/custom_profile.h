#pragma once
// The point list of a "Custom" test profile: fractions of the UUT's pressure range.
// Point numbers start at 1; point i is element i-1.

#include <vector>

namespace veld {

// A value base of TestProfile, never deleted through a pointer to it: no virtual destructor,
// which would keep the records from moving.
class CCustomProfile {
 public:
  // Element i-1; throws std::invalid_argument for i below 1 or beyond the list.
  double GetCustomPoint(int i) const;
  // Grows the list to i entries (new ones 0.0) when needed; throws
  // std::invalid_argument for i below 1.
  void SetCustomPoint(int i, double value);

  std::vector<double> CustomPoints;
};

}  // namespace veld
