#pragma once
// Pascals per unit of a named pressure unit (names compared exactly, case-sensitive).

#include <string>

namespace veld {

// Pascals in one inch of water column: the scale of the UUT table's pressure fields.
inline constexpr double kPascalsPerInchWater = 248.642103;

// The size in Pa of one unit of the named pressure unit, -1.0 for an unknown name.
double PressureUnitFactor(const std::string& unit_name);

// A UUT's range is held in inches of water column but shown, and typed, in the UUT's own
// pressure unit: converted by the unit table above when it knows the unit, as held when it
// does not.
double RangeInUnit(double inches_of_water, const std::string& input_units);
double RangeFromUnit(double in_unit, const std::string& input_units);

// The number of a UUT's pressure units in one inch of water column, as the test profile
// dialogs show their points (1.0 for a unit their table does not know).
double UnitDisplayFactor(const std::string& input_units);

}  // namespace veld
