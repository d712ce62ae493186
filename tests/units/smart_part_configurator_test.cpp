#include "units/smart_part_configurator.h"

#include <gtest/gtest.h>

#include "platform/format.h"
#include "records/uut.h"
#include "support/temp_root.h"

namespace veld {
namespace {

// Input range and units | output range, units and type | excitation, accuracy | control
// stability, leak rate, settling time and default profile (set by every decode).
std::string Decoded(const UUT& u) {
  return Format("%g %g %s | %g %g %s %s | %g %g | %g %g %d %s", u.InputOffset, u.InputSpan, u.InputUnits.c_str(),
                u.OutputOffset, u.OutputSpan, u.OutputUnits.c_str(), u.OutputType.c_str(), u.Excitation, u.Accuracy,
                u.ControlStability, u.MaxLeakRate, u.SettlingTime, u.DefaultTestProfile.c_str());
}
constexpr const char* kFixed = " | 0.0003 0.0001 5000 3pointtest";

class SmartPartTest : public test::TempRootTest {
 protected:
  bool Configure(std::string part_number) { return configurator_.Configure(part_number, uut_); }

  SmartPartConfigurator configurator_;
  UUT uut_;
};

TEST_F(SmartPartTest, DecodesFullPartNumbersInCapitalsAndKeepsWhatItDoesNotDecode) {
  uut_.SettlingTime = 1;
  uut_.SerialNumber = "S1";
  EXPECT_TRUE(Configure("7395R25WB2DQ8C"));
  EXPECT_EQ(uut_.ID, "7395R25WB2DQ8C");
  EXPECT_EQ(Decoded(uut_), std::string("-0.25 0.5 inWC | 0.05 5 VDC 3WIR | 24 1") + kFixed);
  EXPECT_EQ(uut_.SerialNumber, "S1");
  EXPECT_EQ(configurator_.ModelText(), "739");

  std::string part_number = "73950r5wb2dq8c-extra";
  EXPECT_TRUE(configurator_.Configure(part_number, uut_));
  EXPECT_EQ(part_number, "73950R5WB2DQ8C-EXTRA");
  EXPECT_EQ(uut_.ID, part_number);
  EXPECT_EQ(Decoded(uut_), std::string("-0.5 1 inWC | 0.05 5 VDC 3WIR | 24 1") + kFixed);
  EXPECT_EQ(configurator_.ErrorText(), "");
}

TEST_F(SmartPartTest, EachFailureAddsItsLineAndTheGoodStepsStillApply) {
  std::string part_number = "7395r25wb2dq8";
  EXPECT_FALSE(configurator_.Configure(part_number, uut_));
  EXPECT_EQ(part_number, "7395r25wb2dq8");
  EXPECT_EQ(uut_.ID + Decoded(uut_), UUT().ID + Decoded(UUT()));  // untouched

  uut_.InputOffset = 7.0;
  uut_.InputSpan = 3.0;
  EXPECT_FALSE(Configure("7395R25WX11Q8F"));  // direction X: the input range stays
  EXPECT_EQ(Decoded(uut_), std::string("7 3 inWC | 4 16 mA CSOU | 24 0.25") + kFixed);
  EXPECT_FALSE(Configure("7395.25WB2DQ8C"));
  EXPECT_FALSE(Configure("7395-25LX2DQ8C"));  // a bad range skips the direction: no line for X
  EXPECT_EQ(Decoded(uut_), std::string("7 3 Pa | 0.05 5 VDC 3WIR | 24 1") + kFixed);
  EXPECT_FALSE(Configure("7395R25QBZZQ8Z"));
  EXPECT_EQ(Decoded(uut_), std::string("-0.25 0.5 Pa | 0.05 5 VDC 3WIR | 24 1") + kFixed);
  EXPECT_EQ(configurator_.ErrorText(),
            "Incomplete Korvo Smart Part Numer\r\nUnrecognized direction code:  X\r\n"
            "Unrecognized range code:  .25\r\nUnrecognized range code:  -25\r\n"
            "Unrecognized accuracy code:  Z\r\nUnrecognized electrical code:  ZZ\r\n"
            "Unrecognized engineering units code:  Q\r\n");
}

TEST_F(SmartPartTest, RangeElectricalAndAccuracyCodes) {
  for (const auto& [part_number, decoded] : {std::pair{"7395R25WD11Q8C", "0 0.25 inWC | 4 16 mA CSOU | 24 1"},
                                             {"73952R5LD45Q8H", "0 2.5 Pa | 0.5 4.5 VDC 3WIR | 5 0.5"},
                                             {"7395010WDaBQ8e", "0 10 inWC | 0 5 VDC 3WIR | 24 0.4"},
                                             {"739501CWDAcQ8V", "0 100 inWC | 0 10 VDC 3WIR | 24 0.15"},
                                             {"739510KWB2EQ8g", "-10000 20000 inWC | 0.05 10 VDC 3WIR | 24 1"},
                                             {"73951K5WD27Q8D", "0 1000 inWC | 1 4 VDC 3WIR | 24 0.5"}}) {
    EXPECT_TRUE(Configure(part_number)) << part_number;
    EXPECT_EQ(Decoded(uut_), decoded + std::string(kFixed)) << part_number;
  }
}

}  // namespace
}  // namespace veld
