#pragma once
// How a unit under test is exercised: the points of its range, their order, and
// whether a leak test follows.

#include <cstdint>
#include <string>

#include "records/custom_profile.h"

namespace veld {

class UUT;

class TestProfile : public CCustomProfile {
 public:
  static constexpr int32_t kMinPoints = 2;
  static constexpr int32_t kMaxPoints = 101;

  std::string ID;
  std::string ProfileType = "Ascending";  // "Ascending", "Descending", "Both", "Custom"
  int32_t NumberOfPoints = 11;            // 2 to 101
  bool LeakTest = false;

  // The fraction of the range at point i (1-based) by the profile's type. A type that
  // is none of the four gives the "Ascending" fraction.
  double PointFraction(int i) const;
  // PointFraction(i) x InputSpan + InputOffset of the UUT.
  double PointPressure(int i, const UUT& uut) const;
  // Rebuilds CustomPoints: count 0 empties it; without fill the list is resized (new
  // entries 0.0); with fill it becomes count entries placed by the type's rule
  // ("Custom" and unknown types: all 0.0).
  void GeneratePoints(int count, bool fill, const std::string& type);
};

// The fraction of point i of n by a type's rule; "Custom" and unknown types give 0.0,
// and so does a count below 2, which has no spacing (never NaN or infinity).
double StandardPointFraction(const std::string& type, int i, int n);

}  // namespace veld
