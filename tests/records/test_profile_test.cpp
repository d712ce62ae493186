#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "records/test_profile.h"
#include "records/uut.h"

namespace veld {
namespace {

TestProfile MakeProfile(const std::string& type, int points) {
  TestProfile profile;
  profile.ProfileType = type;
  profile.NumberOfPoints = points;
  return profile;
}

struct FractionCase {
  std::string type;
  int points;
  std::vector<double> expected;  // worked out by hand from the placement rules
};

class PointFractionTest : public ::testing::TestWithParam<FractionCase> {};

TEST_P(PointFractionTest, PlacesEveryPointByItsTypeRule) {
  const FractionCase& c = GetParam();
  const TestProfile profile = MakeProfile(c.type, c.points);
  ASSERT_EQ(c.expected.size(), static_cast<size_t>(c.points));
  for (int i = 1; i <= c.points; ++i) {
    EXPECT_NEAR(profile.PointFraction(i), c.expected[i - 1], 1e-12) << c.type << " point " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    StandardProfiles, PointFractionTest,
    ::testing::Values(
        FractionCase{"Ascending", 3, {0.0, 0.5, 1.0}},
        FractionCase{"Ascending", 5, {0.0, 0.25, 0.5, 0.75, 1.0}},
        FractionCase{"Ascending", 6, {0.0, 0.2, 0.4, 0.6, 0.8, 1.0}},
        FractionCase{"Ascending", 7, {0.0, 0.1666666666667, 0.3333333333333, 0.5, 0.6666666666667, 0.8333333333333, 1.0}},
        FractionCase{"Ascending", 11, {0.0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0}},
        FractionCase{"Ascending", 21, {0.0,  0.05, 0.1,  0.15, 0.2,  0.25, 0.3,  0.35, 0.4,  0.45, 0.5,
                                       0.55, 0.6,  0.65, 0.7,  0.75, 0.8,  0.85, 0.9,  0.95, 1.0}},
        FractionCase{"Descending", 11, {1.0, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1, 0.0}},
        FractionCase{"Descending", 2, {1.0, 0.0}},
        FractionCase{"Both", 5, {0.0, 0.5, 1.0, 0.5, 0.0}},
        FractionCase{"Both", 6, {0.0, 0.4, 0.8, 0.8, 0.4, 0.0}},
        FractionCase{"Both", 7, {0.0, 0.3333333333333, 0.6666666666667, 1.0, 0.6666666666667, 0.3333333333333, 0.0}},
        FractionCase{"Both", 2, {0.0, 0.0}},
        // Types the system never writes are placed as "Ascending"; case matters.
        FractionCase{"ascending", 3, {0.0, 0.5, 1.0}},
        FractionCase{"BOTH", 5, {0.0, 0.25, 0.5, 0.75, 1.0}}));

TEST(TestProfile, HundredAndOnePointsStepByOneHundredthAndEndExactlyAtOne) {
  const TestProfile profile = MakeProfile("Ascending", 101);
  EXPECT_EQ(profile.PointFraction(1), 0.0);
  EXPECT_EQ(profile.PointFraction(101), 1.0);
  for (int i = 2; i <= 101; ++i) {
    EXPECT_NEAR(profile.PointFraction(i) - profile.PointFraction(i - 1), 0.01, 1e-12) << i;
  }
  EXPECT_EQ(profile.PointFraction(51), 0.5);
}

TEST(TestProfile, BothWithAnEvenCountNeverReachesTheTop) {
  const TestProfile profile = MakeProfile("Both", 10);
  double highest = 0.0;
  for (int i = 1; i <= 10; ++i) highest = std::max(highest, profile.PointFraction(i));
  EXPECT_NEAR(highest, 8.0 / 9.0, 1e-12);
  EXPECT_EQ(profile.PointFraction(5), profile.PointFraction(6));
}

TEST(TestProfile, ACountBelowTwoGivesZeroInsteadOfNotANumber) {
  for (int points : {1, 0, -3}) {
    const TestProfile profile = MakeProfile("Ascending", points);
    EXPECT_EQ(profile.PointFraction(1), 0.0) << points;
    EXPECT_EQ(MakeProfile("Both", points).PointFraction(1), 0.0) << points;
  }
}

TEST(TestProfile, CustomProfileTakesItsOwnPoints) {
  TestProfile profile = MakeProfile("Custom", 3);
  profile.CustomPoints = {0.1, 0.9, 0.3};
  EXPECT_EQ(profile.PointFraction(1), 0.1);
  EXPECT_EQ(profile.PointFraction(2), 0.9);
  EXPECT_EQ(profile.PointFraction(3), 0.3);
  EXPECT_THROW(profile.PointFraction(4), std::invalid_argument);
}

TEST(TestProfile, PointPressureSpansTheUutRange) {
  UUT uut;
  uut.InputOffset = -2.5;
  uut.InputSpan = 10.0;
  const TestProfile ascending = MakeProfile("Ascending", 5);
  EXPECT_DOUBLE_EQ(ascending.PointPressure(1, uut), -2.5);
  EXPECT_DOUBLE_EQ(ascending.PointPressure(2, uut), 0.0);
  EXPECT_DOUBLE_EQ(ascending.PointPressure(5, uut), 7.5);
  const TestProfile descending = MakeProfile("Descending", 5);
  EXPECT_DOUBLE_EQ(descending.PointPressure(1, uut), 7.5);

  TestProfile custom = MakeProfile("Custom", 2);
  custom.CustomPoints = {0.75, 0.125};
  EXPECT_DOUBLE_EQ(custom.PointPressure(1, uut), 5.0);
  EXPECT_DOUBLE_EQ(custom.PointPressure(2, uut), -1.25);
}

TEST(TestProfile, GeneratePointsWithFillPlacesByTheGivenType) {
  TestProfile profile = MakeProfile("Ascending", 11);
  profile.CustomPoints = {9.0, 9.0, 9.0, 9.0, 9.0, 9.0, 9.0, 9.0};
  profile.GeneratePoints(6, true, "Both");
  const std::vector<double> both = {0.0, 0.4, 0.8, 0.8, 0.4, 0.0};
  ASSERT_EQ(profile.CustomPoints.size(), both.size());
  for (size_t k = 0; k < both.size(); ++k) EXPECT_NEAR(profile.CustomPoints[k], both[k], 1e-12) << k;

  profile.GeneratePoints(3, true, "Descending");
  EXPECT_EQ(profile.CustomPoints, (std::vector<double>{1.0, 0.5, 0.0}));

  for (const char* type : {"Custom", "Spiral"}) {
    profile.GeneratePoints(4, true, type);
    EXPECT_EQ(profile.CustomPoints, (std::vector<double>(4, 0.0))) << type;
  }
}

TEST(TestProfile, GeneratePointsWithoutFillKeepsTheFirstValues) {
  TestProfile profile = MakeProfile("Custom", 5);
  profile.CustomPoints = {0.0, 0.2, 0.9, 0.4, 1.0};
  profile.GeneratePoints(7, false, "Custom");
  EXPECT_EQ(profile.CustomPoints, (std::vector<double>{0.0, 0.2, 0.9, 0.4, 1.0, 0.0, 0.0}));
  profile.GeneratePoints(2, false, "Ascending");
  EXPECT_EQ(profile.CustomPoints, (std::vector<double>{0.0, 0.2}));
}

TEST(TestProfile, GeneratePointsWithCountZeroEmptiesTheList) {
  for (bool fill : {true, false}) {
    TestProfile profile;
    profile.CustomPoints = {0.5, 0.5};
    profile.GeneratePoints(0, fill, "Ascending");
    EXPECT_TRUE(profile.CustomPoints.empty()) << fill;
  }
}

TEST(CustomProfile, PointNumbersOutsideTheListAreInvalidArguments) {
  CCustomProfile custom;
  EXPECT_THROW(custom.GetCustomPoint(1), std::invalid_argument);
  custom.CustomPoints = {0.25, 0.5};
  EXPECT_EQ(custom.GetCustomPoint(2), 0.5);
  EXPECT_THROW(custom.GetCustomPoint(0), std::invalid_argument);
  EXPECT_THROW(custom.GetCustomPoint(-1), std::invalid_argument);
  EXPECT_THROW(custom.GetCustomPoint(3), std::invalid_argument);
  EXPECT_THROW(custom.SetCustomPoint(0, 1.0), std::invalid_argument);
  EXPECT_EQ(custom.CustomPoints, (std::vector<double>{0.25, 0.5}));
}

TEST(CustomProfile, SettingBeyondTheEndGrowsTheListWithZeros) {
  CCustomProfile custom;
  custom.CustomPoints = {0.25};
  custom.SetCustomPoint(4, 0.75);
  EXPECT_EQ(custom.CustomPoints, (std::vector<double>{0.25, 0.0, 0.0, 0.75}));
  custom.SetCustomPoint(1, 0.5);
  EXPECT_EQ(custom.GetCustomPoint(1), 0.5);
  EXPECT_EQ(custom.CustomPoints.size(), 4u);
}

}  // namespace
}  // namespace veld
