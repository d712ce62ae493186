#include "records/test_profile.h"

#include <stdexcept>

#include "records/uut.h"

namespace veld {

double CCustomProfile::GetCustomPoint(int i) const {
  if (i < 1 || static_cast<size_t>(i) > CustomPoints.size()) {
    throw std::invalid_argument("custom point number out of range");
  }
  return CustomPoints[static_cast<size_t>(i) - 1];
}

void CCustomProfile::SetCustomPoint(int i, double value) {
  if (i < 1) throw std::invalid_argument("custom point number out of range");
  if (static_cast<size_t>(i) > CustomPoints.size()) CustomPoints.resize(static_cast<size_t>(i), 0.0);
  CustomPoints[static_cast<size_t>(i) - 1] = value;
}

double StandardPointFraction(const std::string& type, int i, int n) {
  // A count read from a damaged record may be below 2; dividing by n-1 would then
  // give infinities or NaN that end up on a certificate.
  if (n < TestProfile::kMinPoints) return 0.0;
  const double steps = static_cast<double>(n - 1);
  if (type == "Descending") return (n - i) / steps;
  if (type == "Both") {
    const double f = (i - 1) / steps;
    return f < 0.5 ? 2.0 * (i - 1) / steps : 2.0 * (n - i) / steps;
  }
  if (type == "Ascending") return (i - 1) / steps;
  return 0.0;
}

double TestProfile::PointFraction(int i) const {
  if (ProfileType == "Custom") return GetCustomPoint(i);
  if (ProfileType == "Descending" || ProfileType == "Both") return StandardPointFraction(ProfileType, i, NumberOfPoints);
  return StandardPointFraction("Ascending", i, NumberOfPoints);
}

double TestProfile::PointPressure(int i, const UUT& uut) const {
  return PointFraction(i) * uut.InputSpan + uut.InputOffset;
}

void TestProfile::GeneratePoints(int count, bool fill, const std::string& type) {
  if (count <= 0) {
    CustomPoints.clear();
    return;
  }
  if (!fill) {
    CustomPoints.resize(static_cast<size_t>(count), 0.0);
    return;
  }
  CustomPoints.assign(static_cast<size_t>(count), 0.0);
  for (int k = 0; k < count; ++k) CustomPoints[static_cast<size_t>(k)] = StandardPointFraction(type, k + 1, count);
}

}  // namespace veld
