#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <utility>

#include "records/test_profile.h"
#include "records/uut.h"

namespace veld {
namespace {

TestProfile MakeProfile(const std::string& type, int points, std::vector<double> custom = {}) {
  TestProfile profile;
  profile.ProfileType = type;
  profile.NumberOfPoints = points;
  profile.CustomPoints = std::move(custom);
  return profile;
}

TEST(TestProfile, PointFractionsOfEveryStandardProfileAndType) {
  const double t = 1.0 / 3.0;
  // Worked out by hand from the placement rules; the number of values is the count.
  // Types the system never writes are placed as "Ascending"; letter case matters.
  for (const auto& [type, expected] : std::vector<std::pair<std::string, std::vector<double>>>{
           {"Ascending", {0.0, 0.5, 1.0}}, {"Ascending", {0.0, 0.25, 0.5, 0.75, 1.0}},
           {"Ascending", {0.0, 0.2, 0.4, 0.6, 0.8, 1.0}}, {"Ascending", {0.0, t / 2, t, 0.5, 2 * t, 5 * t / 2, 1.0}},
           {"Ascending", {0.0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0}},
           {"Ascending", {0.0, 0.05, 0.1, 0.15, 0.2, 0.25, 0.3, 0.35, 0.4, 0.45, 0.5,
                          0.55, 0.6, 0.65, 0.7, 0.75, 0.8, 0.85, 0.9, 0.95, 1.0}},
           {"Descending", {1.0, 0.75, 0.5, 0.25, 0.0}}, {"Both", {0.0, 0.5, 1.0, 0.5, 0.0}},
           {"Both", {0.0, 0.4, 0.8, 0.8, 0.4, 0.0}}, {"Both", {0.0, t, 2 * t, 1.0, 2 * t, t, 0.0}},
           {"Both", {0.0, 0.0}}, {"BOTH", {0.0, 0.25, 0.5, 0.75, 1.0}}}) {
    const TestProfile profile = MakeProfile(type, static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_NEAR(profile.PointFraction(static_cast<int>(i) + 1), expected[i], 1e-12) << type << expected.size();
    }
  }
}

TEST(TestProfile, HundredAndOnePointsStepByOneHundredthAndACountBelowTwoGivesZero) {
  const TestProfile profile = MakeProfile("Ascending", 101);
  for (int i = 1; i <= 101; ++i) EXPECT_NEAR(profile.PointFraction(i), (i - 1) / 100.0, 1e-12) << i;
  for (int points : {1, 0}) EXPECT_EQ(MakeProfile("Both", points).PointFraction(1), 0.0) << points;  // not NaN
}

TEST(TestProfile, PointPressureSpansTheUutRangeAndCustomPointsAreCheckedByNumber) {
  UUT uut;  // -0.25 to 0.25
  EXPECT_DOUBLE_EQ(MakeProfile("Descending", 5).PointPressure(2, uut), 0.125);
  TestProfile custom = MakeProfile("Custom", 2, {0.75, 0.125});
  EXPECT_DOUBLE_EQ(custom.PointPressure(1, uut), 0.125);
  EXPECT_DOUBLE_EQ(custom.PointPressure(2, uut), -0.1875);
  EXPECT_THROW(custom.PointFraction(3), std::invalid_argument);
  for (int bad : {0, -1, 3}) EXPECT_THROW(custom.GetCustomPoint(bad), std::invalid_argument) << bad;
  EXPECT_THROW(custom.SetCustomPoint(0, 1.0), std::invalid_argument);
  custom.SetCustomPoint(4, 0.5);  // beyond the end: the list grows with zeros
  EXPECT_EQ(custom.CustomPoints, (std::vector<double>{0.75, 0.125, 0.0, 0.5}));
}

TEST(TestProfile, GeneratePointsKeepsTheFirstValuesOrFillsByTheTypeRule) {
  TestProfile profile = MakeProfile("Ascending", 11, {0.1, 0.2, 0.9, 0.4, 1.0});
  // {fill, type, the list after}; the count is the number of values.
  for (const auto& [fill, type, expected] : std::vector<std::tuple<bool, std::string, std::vector<double>>>{
           {false, "Custom", {0.1, 0.2, 0.9, 0.4, 1.0, 0.0, 0.0}}, {false, "Ascending", {0.1, 0.2}},
           {true, "Both", {0.0, 0.5, 1.0, 0.5, 0.0}}, {true, "Descending", {1.0, 0.5, 0.0}},
           {true, "Custom", {0.0, 0.0, 0.0, 0.0}}, {true, "Ascending", {}}}) {
    profile.GeneratePoints(static_cast<int>(expected.size()), fill, type);
    EXPECT_EQ(profile.CustomPoints, expected) << type;
  }
}

}  // namespace
}  // namespace veld
