#include "units/pressure_units.h"

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

}  // namespace veld
