#include "units/pressure_units.h"

#include <map>

#include <array>
#include <string_view>

namespace veld {
namespace {

struct PressureUnit {
  std::string_view name;
  double pascals;
};

// Names as the calibrator writes them into result files; "Mpa" really is spelt that way.
constexpr std::array<PressureUnit, 21> kPressureUnits{{
    {"INHG0C", 3386.38},
    {"INHG60F", 3376.85},
    {"kPa", 1000.0},
    {"bar", 100000.0},
    {"psi", 6894.757},
    {"cmH2O4C", 98.06378278},
    {"INH2O4C", 249.082008},
    {"INH2O20C", kPascalsPerInchWater},
    {"INWC", kPascalsPerInchWater},
    {"INH2O60F", 248.84},
    {"kgfcm2", 98066.5},
    {"mmHG0C", 133.322},
    {"cmHG0C", 1333.22},
    {"Pa", 1.0},
    {"hPa", 100.0},
    {"mbar", 100.0},
    {"atm", 101325.0},
    {"Mpa", 1000000.0},
    {"mTorr", 0.1333224},
    {"Torr", 133.3224},
    {"mmH2O0C", 9.80665},
}};

}  // namespace

double PressureUnitFactor(const std::string& unit_name) {
  for (const PressureUnit& unit : kPressureUnits) {
    if (unit.name == unit_name) return unit.pascals;
  }
  return -1.0;
}

double UnitDisplayFactor(const std::string& input_units) {
  static const std::map<std::string, double> kFactors = {
      {"inWC", 1.0},     {"INWC@20C", 1.0},  {"INWC@4C", 0.9982388185}, {"kPa", 0.2486491},
      {"mbar", 2.486491}, {"cmWC", 2.54},    {"mmWC", 25.4},            {"Pa", 248.6491},
  };
  const auto found = kFactors.find(input_units);
  return found == kFactors.end() ? 1.0 : found->second;
}

double RangeInUnit(double inches_of_water, const std::string& input_units) {
  const double pascals = PressureUnitFactor(input_units);
  return pascals > 0.0 ? inches_of_water * kPascalsPerInchWater / pascals : inches_of_water;
}

double RangeFromUnit(double in_unit, const std::string& input_units) {
  const double pascals = PressureUnitFactor(input_units);
  return pascals > 0.0 ? in_unit * pascals / kPascalsPerInchWater : in_unit;
}

}  // namespace veld
