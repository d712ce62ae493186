#pragma once
// The texts that show one record: the UUT panel, the test profile panel and its point
// list. Both front ends show them alike.

#include <string>
#include <vector>

#include "records/test_profile.h"
#include "records/uut.h"
#include "units/pressure_units.h"

namespace veld {

// The UUT panel. Its input range is shown in the UUT's own pressure unit (see
// RangeInUnit); every other number is shown as held.
std::string BuildUUTPanel(const UUT& uut);
// The UUT's type as the panel and the setup dialog show it: "CURR" for either current
// output code ("CSOU", "CSIM").
std::string ShownOutputType(const UUT& uut);
std::string BuildProfilePanel(const TestProfile& profile);

// One row of the test profile point list: "TP #", "%FS", "Pressure", "Output".
struct ProfilePointRow {
  std::string number, percent_fs, pressure, output;
};

// The point list of a profile applied to a UUT, with the leak row ("  L") last when the
// profile has a leak test. Points that a short custom list lacks are left out.
std::vector<ProfilePointRow> BuildProfilePointRows(const TestProfile& profile, const UUT& uut);

inline constexpr const char* kMainWindowCaption = "Veldane Manager         Rev 3.04";

}  // namespace veld
