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

}  // namespace
}  // namespace veld
