#include "units/pressure_units.h"

#include <gtest/gtest.h>

#include "support/temp_root.h"

namespace veld {
namespace {

using PressureUnits = test::TempRootTest;

TEST_F(PressureUnits, NamesMatchExactlyAndCaseSensitively) {
  EXPECT_DOUBLE_EQ(PressureUnitFactor("INWC"), 248.642103);
  EXPECT_DOUBLE_EQ(PressureUnitFactor("INH2O20C"), 248.642103);
  EXPECT_DOUBLE_EQ(PressureUnitFactor("Mpa"), 1000000.0);
  EXPECT_DOUBLE_EQ(PressureUnitFactor("mmH2O0C"), 9.80665);
  EXPECT_EQ(PressureUnitFactor("inWC"), -1.0);
  EXPECT_EQ(PressureUnitFactor("MPa"), -1.0);
  EXPECT_EQ(PressureUnitFactor("bar "), -1.0);
  EXPECT_EQ(PressureUnitFactor(""), -1.0);
}

TEST_F(PressureUnits, ConvertsPascalsByDividingByTheFactor) {
  const double pascals = 100000.0;
  EXPECT_DOUBLE_EQ(pascals / PressureUnitFactor("bar"), 1.0);
  EXPECT_NEAR(pascals / PressureUnitFactor("psi"), 14.50377, 0.5e-5);
  EXPECT_NEAR(pascals / PressureUnitFactor("INH2O20C"), 402.18, 0.005);
  EXPECT_DOUBLE_EQ(pascals / PressureUnitFactor("mbar"), 1000.0);
  EXPECT_DOUBLE_EQ(pascals / PressureUnitFactor("kPa"), 100.0);
}

}  // namespace
}  // namespace veld
