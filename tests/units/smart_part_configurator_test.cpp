#include "units/smart_part_configurator.h"

#include <gtest/gtest.h>

#include <string>

#include "records/uut.h"
#include "support/temp_root.h"

namespace veld {
namespace {

class SmartPartTest : public test::TempRootTest {
 protected:
  bool Configure(std::string part_number) { return configurator_.Configure(part_number, uut_); }

  SmartPartConfigurator configurator_;
  UUT uut_;
};

void ExpectFixedSettings(const UUT& uut) {
  EXPECT_DOUBLE_EQ(uut.ControlStability, 0.0003);
  EXPECT_DOUBLE_EQ(uut.MaxLeakRate, 0.0001);
  EXPECT_EQ(uut.SettlingTime, 5000);
  EXPECT_EQ(uut.DefaultTestProfile, "3pointtest");
}

TEST_F(SmartPartTest, DecodesAFullPartNumber) {
  uut_.SettlingTime = 1;
  uut_.ControlStability = 1.0;
  uut_.SerialNumber = "S1";
  uut_.ReCalAccuracy = 0.1;
  EXPECT_TRUE(Configure("7395R25WB2DQ8C"));
  EXPECT_EQ(uut_.ID, "7395R25WB2DQ8C");
  EXPECT_DOUBLE_EQ(uut_.InputOffset, -0.25);
  EXPECT_DOUBLE_EQ(uut_.InputSpan, 0.5);
  EXPECT_EQ(uut_.InputUnits, "inWC");
  EXPECT_DOUBLE_EQ(uut_.OutputOffset, 0.05);
  EXPECT_DOUBLE_EQ(uut_.OutputSpan, 5.0);
  EXPECT_EQ(uut_.OutputUnits, "VDC");
  EXPECT_EQ(uut_.OutputType, "3WIR");
  EXPECT_DOUBLE_EQ(uut_.Excitation, 24.0);
  EXPECT_DOUBLE_EQ(uut_.Accuracy, 1.0);
  ExpectFixedSettings(uut_);
  EXPECT_EQ(uut_.SerialNumber, "S1");
  EXPECT_DOUBLE_EQ(uut_.ReCalAccuracy, 0.1);
  EXPECT_EQ(configurator_.ModelText(), "739");
  EXPECT_EQ(configurator_.ErrorText(), "");
}

TEST_F(SmartPartTest, SmallLettersAreTurnedIntoCapitalsInPlace) {
  std::string part_number = "73950r5wb2dq8c-extra";
  EXPECT_TRUE(configurator_.Configure(part_number, uut_));
  EXPECT_EQ(part_number, "73950R5WB2DQ8C-EXTRA");
  EXPECT_EQ(uut_.ID, "73950R5WB2DQ8C-EXTRA");
  EXPECT_DOUBLE_EQ(uut_.InputOffset, -0.5);
  EXPECT_DOUBLE_EQ(uut_.InputSpan, 1.0);
  EXPECT_EQ(uut_.OutputType, "3WIR");
}

TEST_F(SmartPartTest, ShortTextLeavesTheUutUntouched) {
  std::string part_number = "7395r25wb2dq8";
  EXPECT_FALSE(configurator_.Configure(part_number, uut_));
  EXPECT_EQ(part_number, "7395r25wb2dq8");
  EXPECT_EQ(configurator_.ErrorText(), "Incomplete Korvo Smart Part Numer\r\n");
  const UUT fresh;
  EXPECT_EQ(uut_.ID, fresh.ID);
  EXPECT_EQ(uut_.InputSpan, fresh.InputSpan);
  EXPECT_EQ(uut_.OutputType, fresh.OutputType);
  EXPECT_EQ(uut_.MaxLeakRate, fresh.MaxLeakRate);
  EXPECT_EQ(uut_.DefaultTestProfile, fresh.DefaultTestProfile);
}

TEST_F(SmartPartTest, BadDirectionKeepsTheRangeButAppliesTheRest) {
  uut_.InputOffset = 7.0;
  uut_.InputSpan = 3.0;
  EXPECT_FALSE(Configure("7395R25WX11Q8F"));
  EXPECT_EQ(configurator_.ErrorText(), "Unrecognized direction code:  X\r\n");
  EXPECT_EQ(uut_.InputOffset, 7.0);
  EXPECT_EQ(uut_.InputSpan, 3.0);
  EXPECT_DOUBLE_EQ(uut_.Accuracy, 0.25);
  EXPECT_EQ(uut_.OutputType, "CSOU");
  EXPECT_EQ(uut_.InputUnits, "inWC");
  ExpectFixedSettings(uut_);
}

TEST_F(SmartPartTest, BadRangeCodeSkipsTheDirection) {
  EXPECT_FALSE(Configure("7395.25WB2DQ8C"));
  EXPECT_FALSE(Configure("7395-25LX2DQ8C"));
  EXPECT_EQ(configurator_.ErrorText(), "Unrecognized range code:  .25\r\nUnrecognized range code:  -25\r\n");
  EXPECT_EQ(uut_.InputSpan, UUT().InputSpan);
  EXPECT_EQ(uut_.InputUnits, "Pa");
}

TEST_F(SmartPartTest, FailuresAccumulateInOrder) {
  uut_.InputUnits = "psi";
  EXPECT_FALSE(Configure("123"));
  EXPECT_FALSE(Configure("7395R25QBZZQ8Z"));
  EXPECT_EQ(configurator_.ErrorText(),
            "Incomplete Korvo Smart Part Numer\r\n"
            "Unrecognized accuracy code:  Z\r\n"
            "Unrecognized electrical code:  ZZ\r\n"
            "Unrecognized engineering units code:  Q\r\n");
  EXPECT_EQ(uut_.InputUnits, "psi");
  EXPECT_DOUBLE_EQ(uut_.InputSpan, 0.5);
}

struct RangeCase {
  std::string code;
  double range;
};

class RangeCodeTest : public SmartPartTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(RangeCodeTest, DirectionDRunsFromZero) {
  EXPECT_TRUE(Configure("7395" + GetParam().code + "WD11Q8C"));
  EXPECT_EQ(uut_.InputOffset, 0.0);
  EXPECT_DOUBLE_EQ(uut_.InputSpan, GetParam().range);
}

INSTANTIATE_TEST_SUITE_P(Codes, RangeCodeTest,
                         ::testing::Values(RangeCase{"R25", 0.25}, RangeCase{"0R5", 0.5},
                                           RangeCase{"2R5", 2.5}, RangeCase{"001", 1.0},
                                           RangeCase{"010", 10.0}, RangeCase{"01C", 100.0},
                                           RangeCase{"10K", 10000.0}, RangeCase{"1K5", 1000.0},
                                           RangeCase{"r25", 0.25}, RangeCase{"05k", 5000.0}));

struct ElectricalCase {
  std::string code;
  double offset, span, excitation;
  std::string type, units;
};

class ElectricalCodeTest : public SmartPartTest, public ::testing::WithParamInterface<ElectricalCase> {};

TEST_P(ElectricalCodeTest, SetsTheOutput) {
  const ElectricalCase& c = GetParam();
  EXPECT_TRUE(Configure("7395R25WB" + c.code + "Q8C"));
  EXPECT_DOUBLE_EQ(uut_.OutputOffset, c.offset);
  EXPECT_DOUBLE_EQ(uut_.OutputSpan, c.span);
  EXPECT_DOUBLE_EQ(uut_.Excitation, c.excitation);
  EXPECT_EQ(uut_.OutputType, c.type);
  EXPECT_EQ(uut_.OutputUnits, c.units);
}

// The current output, the one 5 V excitation and mixed-case letter codes.
INSTANTIATE_TEST_SUITE_P(Codes, ElectricalCodeTest,
                         ::testing::Values(ElectricalCase{"11", 4.0, 16.0, 24.0, "CSOU", "mA"},
                                           ElectricalCase{"2d", 0.05, 5.0, 24.0, "3WIR", "VDC"},
                                           ElectricalCase{"aB", 0.0, 5.0, 24.0, "3WIR", "VDC"},
                                           ElectricalCase{"45", 0.5, 4.5, 5.0, "3WIR", "VDC"},
                                           ElectricalCase{"Ac", 0.0, 10.0, 24.0, "3WIR", "VDC"}));

struct AccuracyCase {
  char code;
  double accuracy;
};

class AccuracyCodeTest : public SmartPartTest, public ::testing::WithParamInterface<AccuracyCase> {};

TEST_P(AccuracyCodeTest, SetsTheAccuracy) {
  EXPECT_TRUE(Configure(std::string("7395R25WB2DQ8") + GetParam().code));
  EXPECT_DOUBLE_EQ(uut_.Accuracy, GetParam().accuracy);
}

INSTANTIATE_TEST_SUITE_P(Codes, AccuracyCodeTest,
                         ::testing::Values(AccuracyCase{'g', 1.0}, AccuracyCase{'H', 0.5},
                                           AccuracyCase{'e', 0.4}, AccuracyCase{'V', 0.15}));

}  // namespace
}  // namespace veld
