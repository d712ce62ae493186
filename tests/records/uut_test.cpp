#include "records/uut.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/temp_root.h"

namespace veld {
namespace {

using UutTest = test::TempRootTest;

TEST_F(UutTest, StartsWithTheDefaultTransmitter) {
  const UUT uut;
  EXPECT_EQ(uut.OutputType, "CSIM");
  EXPECT_EQ(uut.OutputUnits, "mA");
  EXPECT_EQ(uut.InputUnits, "in. WC");
  EXPECT_EQ(uut.Excitation, 5.0);
  EXPECT_EQ(uut.InputOffset, -0.25);
  EXPECT_EQ(uut.InputSpan, 0.5);
  EXPECT_EQ(uut.OutputOffset, 4.0);
  EXPECT_EQ(uut.OutputSpan, 16.0);
  EXPECT_EQ(uut.SettlingTime, 5000);
  EXPECT_EQ(uut.ControlStability, 0.0003);
  EXPECT_EQ(uut.MaxLeakRate, 0.0003);
  EXPECT_EQ(uut.Accuracy, 1.0);
  EXPECT_EQ(uut.ReCalAccuracy, 0.5);
  EXPECT_EQ(uut.SystemVolume, 64.0);
  EXPECT_EQ(uut.CalibrationDueDate.Value(), 0.0);
  EXPECT_EQ(uut.CalibrationDueDate.GetStatus(), OleDateTime::valid);
  for (const std::string* text : {&uut.ID, &uut.DefaultTestProfile, &uut.SerialNumber, &uut.PartNumber,
                                  &uut.Model, &uut.Manufacturer, &uut.LevelNames[0], &uut.LevelNames[4]}) {
    EXPECT_EQ(*text, "");
  }
}

class OutputTypeTest : public UutTest,
                       public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(OutputTypeTest, DerivesOutputUnits) {
  UUT uut;
  uut.SetOutputType(GetParam().first);
  EXPECT_EQ(uut.OutputType, GetParam().first);
  EXPECT_EQ(uut.OutputUnits, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Types, OutputTypeTest,
                         ::testing::Values(std::pair{"4WIR", "VDC"}, std::pair{"3WIR", "VDC"},
                                           std::pair{"DIALGAGE", ""}, std::pair{"P-SWITCH", "mA"},
                                           std::pair{"CSOU", "mA"}, std::pair{"CURR", "mA"},
                                           std::pair{"curr", ""}, std::pair{"", ""}));

TEST_F(UutTest, ErrorsAgainstTheIdealOutput) {
  UUT uut;
  EXPECT_DOUBLE_EQ(uut.OutputAt(0.0), 12.0);
  EXPECT_DOUBLE_EQ(uut.OutputAt(0.25), 20.0);
  EXPECT_NEAR(uut.ErrorPercentFS(0.0, 12.16), 1.0, 1e-12);
  EXPECT_NEAR(uut.ErrorPercentFS(-0.25, 3.92), -0.5, 1e-12);
  uut.SetOutputType("DIALGAGE");
  EXPECT_NEAR(uut.ErrorPercentFS(0.1, 0.105), 1.0, 1e-12);
  uut.SetOutputType("P-SWITCH");
  EXPECT_NEAR(uut.ErrorPercentFS(0.1, 0.105), 1.0, 1e-12);
  uut.SetOutputType("dialgage");  // not a pressure-reading type: the reading is an output
  EXPECT_NEAR(uut.ErrorPercentFS(0.0, 12.16), 1.0, 1e-12);
}

TEST_F(UutTest, ZeroSpansNeverPass) {
  UUT uut;
  uut.InputSpan = 0.0;
  EXPECT_FALSE(std::isfinite(uut.OutputAt(0.0)));
  EXPECT_FALSE(PointPasses(uut.ErrorPercentFS(-0.25, 4.0), 100.0));
  uut.SetOutputType("DIALGAGE");
  EXPECT_FALSE(std::isfinite(uut.ErrorPercentFS(0.1, 0.1)));  // 0 / 0
  EXPECT_FALSE(PointPasses(uut.ErrorPercentFS(0.1, 0.1), 100.0));

  UUT flat;
  flat.OutputSpan = 0.0;
  EXPECT_FALSE(std::isfinite(flat.ErrorPercentFS(0.0, 4.0)));
  EXPECT_FALSE(PointPasses(flat.ErrorPercentFS(0.0, 4.0), 100.0));
  EXPECT_FALSE(PointPasses(flat.ErrorPercentFS(0.0, 5.0), 100.0));
}

TEST_F(UutTest, PointPassesWithinAccuracyEitherSide) {
  EXPECT_TRUE(PointPasses(1.0, 1.0));
  EXPECT_TRUE(PointPasses(-1.0, 1.0));
  EXPECT_FALSE(PointPasses(1.01, 1.0));
  EXPECT_FALSE(PointPasses(-1.01, 1.0));
  EXPECT_FALSE(PointPasses(NAN, 1.0));
}

}  // namespace
}  // namespace veld
