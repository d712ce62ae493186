#pragma once
// The texts that show one record: the UUT panel, the test profile panel and its point
// list, and the About box's revision history. Both front ends show them alike.

#include <string>
#include <vector>

#include "records/test_profile.h"
#include "records/uut.h"

namespace veld {

// The UUT panel. Its input range is shown in the UUT's own pressure unit (see
// RangeInUnit); every other number is shown as held.
std::string BuildUUTPanel(const UUT& uut);
std::string BuildProfilePanel(const TestProfile& profile);

// The number of the UUT's pressure units in one inch of water column (1.0 for a unit
// the point list does not know).
double UnitDisplayFactor(const std::string& input_units);

// A UUT's range is held in inches of water column but shown, and typed, beside the UUT's
// own pressure unit: converted by the pressure unit table when it knows the unit, as held
// when it does not.
double RangeInUnit(double inches_of_water, const std::string& input_units);
double RangeFromUnit(double in_unit, const std::string& input_units);

// One row of the test profile point list: "TP #", "%FS", "Pressure", "Output".
struct ProfilePointRow {
  std::string number, percent_fs, pressure, output;
};

// The point list of a profile applied to a UUT, with the leak row ("  L") last when the
// profile has a leak test. Points that a short custom list lacks are left out.
std::vector<ProfilePointRow> BuildProfilePointRows(const TestProfile& profile, const UUT& uut);

// The revision history of the About box.
std::string AboutRevisionText();

inline constexpr const char* kMainWindowCaption = "Veldane Manager         Rev 3.04";
inline constexpr const char* kAboutCaption = "About Veldane Manager    Rev 3.04";

}  // namespace veld
