#include "app/panels.h"

#include <gtest/gtest.h>

#include <tuple>

namespace veld {
namespace {

// Both current types show as "CURR" (a substring test); dial gauges and pressure switches
// read a pressure and have neither an output range nor an excitation line.
TEST(UUTPanel, TypeLineAndOutputLinesFollowTheType) {
  for (const auto& [type, shown, has_output] :
       {std::tuple{"CSIM", "CURR", true}, {"CSOU", "CURR", true}, {"XCSX", "CURR", true}, {"4WIR", "4WIR", true},
        {"DIALGAGE", "DIALGAGE", false}, {"P-SWITCH", "P-SWITCH", false}, {"dialgage", "dialgage", true}}) {
    UUT uut;
    uut.SetOutputType(type);
    const std::string panel = BuildUUTPanel(uut);
    EXPECT_NE(panel.find(std::string("\r\nUUT Type:\t\t") + shown + "\r\nAccuracy:"), std::string::npos) << type;
    EXPECT_EQ(panel.find("\r\nOutputRange:\t\t4.000 to 20.000 (") != std::string::npos, has_output) << type;
    EXPECT_EQ(panel.find("\r\nExcitation:\t\t5.0 (VDC)\r\n") != std::string::npos, has_output) << type;
  }
}

// The input range in the unit printed beside it; stability as held, whatever the unit.
TEST(UUTPanel, RangeInTheUUTsUnitAndAnExternalExcitation) {
  for (const auto& [units, excitation, range, other] :
       {std::tuple{"Pa", 24.0, "InputRange:\t\t-62.161 to 62.161 (Pa)\r\n", "Stability:\t0.0003 (Pa)\r\n"},
        {"inWC", 24.0, "InputRange:\t\t-0.250 to 0.250 (inWC)\r\n", "Excitation:\t\t24.0 (VDC)\r\n"},
        {"in. WC", -1.0, "InputRange:\t\t-0.250 to 0.250 (in. WC)\r\n", "Excitation:\t\tEXTERNAL\r\n"}}) {
    UUT uut;
    uut.SetOutputType("CSOU");
    uut.InputUnits = units;
    uut.Excitation = excitation;
    const std::string panel = BuildUUTPanel(uut);
    EXPECT_NE(panel.find(range), std::string::npos) << panel;
    EXPECT_NE(panel.find(other), std::string::npos) << panel;
  }
}

}  // namespace
}  // namespace veld
