#pragma once
// Pascals per unit of a named pressure unit (names compared exactly, case-sensitive).

#include <string>

namespace veld {

// Pascals in one inch of water column: the scale of the UUT table's pressure fields.
inline constexpr double kPascalsPerInchWater = 248.642103;

// The size in Pa of one unit of the named pressure unit, -1.0 for an unknown name.
double PressureUnitFactor(const std::string& unit_name);

}  // namespace veld
