#include "units/pressure_units.h"

#include <gtest/gtest.h>

#include "support/temp_root.h"

namespace veld {
namespace {

using PressureUnits = test::TempRootTest;

TEST_F(PressureUnits, NamesMatchExactlyAndPascalsDivideByTheFactor) {
  EXPECT_DOUBLE_EQ(PressureUnitFactor("INH2O20C"), 248.642103);
  EXPECT_DOUBLE_EQ(PressureUnitFactor("Mpa"), 1000000.0);
  for (const char* unknown : {"inWC", "MPa", "bar ", ""}) EXPECT_EQ(PressureUnitFactor(unknown), -1.0) << unknown;
  EXPECT_DOUBLE_EQ(100000.0 / PressureUnitFactor("bar"), 1.0);
  EXPECT_NEAR(100000.0 / PressureUnitFactor("psi"), 14.50377, 0.5e-5);
}

}  // namespace
}  // namespace veld
