#include "units/smart_part_configurator.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "records/uut.h"

namespace veld {
namespace {

// Positions of the codes in a smart part number; 0-2 model, 3 and 11-12 unused.
constexpr std::size_t kMinimumLength = 14;
constexpr std::size_t kRangePos = 4, kRangeLen = 3;
constexpr std::size_t kUnitsPos = 7;
constexpr std::size_t kDirectionPos = 8;
constexpr std::size_t kElectricalPos = 9, kElectricalLen = 2;
constexpr std::size_t kAccuracyPos = 13;

struct ElectricalOutput {
  std::string_view code;
  double offset;
  double span;
  std::string_view units;
  std::string_view type;
  double excitation;
};

// Codes are matched after the part number is turned into capitals, so only the capital
// forms are needed.
constexpr std::array<ElectricalOutput, 11> kElectricalOutputs{{
    {"11", 4.0, 16.0, "mA", "CSOU", 24.0},
    {"2D", 0.05, 5.0, "VDC", "3WIR", 24.0},
    {"27", 1.0, 4.0, "VDC", "3WIR", 24.0},
    {"28", 1.0, 5.0, "VDC", "3WIR", 24.0},
    {"2E", 0.05, 10.0, "VDC", "3WIR", 24.0},
    {"2B", 0.0, 5.0, "VDC", "3WIR", 24.0},
    {"AB", 0.0, 5.0, "VDC", "3WIR", 24.0},
    {"23", 0.2, 5.0, "VDC", "3WIR", 24.0},
    {"25", 0.5, 4.5, "VDC", "3WIR", 24.0},
    {"45", 0.5, 4.5, "VDC", "3WIR", 5.0},
    {"AC", 0.0, 10.0, "VDC", "3WIR", 24.0},
}};

struct AccuracyClass {
  char code;
  double percent_fs;
};

constexpr std::array<AccuracyClass, 7> kAccuracyClasses{{
    {'C', 1.0},
    {'G', 1.0},
    {'D', 0.5},
    {'H', 0.5},
    {'E', 0.4},
    {'F', 0.25},
    {'V', 0.15},
}};

bool IsRangeCharacter(char c) { return (c >= '0' && c <= '9') || c == 'R' || c == 'C' || c == 'K'; }

void MakeUpper(std::string& text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string Line(std::string_view label, const std::string& code) {
  std::string line(label);
  line += code;
  line += "\r\n";
  return line;
}

}  // namespace

bool SmartPartConfigurator::Configure(std::string& part_number, UUT& uut) {
  if (part_number.size() < kMinimumLength) {
    error_text_ += "Incomplete Korvo Smart Part Numer\r\n";
    return false;
  }
  MakeUpper(part_number);
  uut.ID = part_number;
  model_text_ = part_number.substr(0, 3);

  const std::string range_code = part_number.substr(kRangePos, kRangeLen);
  const std::string units_code = part_number.substr(kUnitsPos, 1);
  const std::string direction_code = part_number.substr(kDirectionPos, 1);
  const std::string electrical_code = part_number.substr(kElectricalPos, kElectricalLen);
  const std::string accuracy_code = part_number.substr(kAccuracyPos, 1);

  // Every step runs even after a failure, so that the good codes still take effect.
  bool ok = DecodeRange(range_code, direction_code, uut);
  ok = DecodeAccuracy(accuracy_code, uut) && ok;
  ok = DecodeElectrical(electrical_code, uut) && ok;
  ok = DecodeUnits(units_code, uut) && ok;
  ApplyFixedSettings(uut);
  return ok;
}

bool SmartPartConfigurator::DecodeRange(const std::string& range_code, const std::string& direction_code,
                                        UUT& uut) {
  if (!std::all_of(range_code.begin(), range_code.end(), IsRangeCharacter)) {
    error_text_ += Line("Unrecognized range code:  ", range_code);
    return false;
  }
  const double range = RangeValue(range_code);
  if (direction_code == "D") {
    uut.InputOffset = 0.0;
    uut.InputSpan = range;
  } else if (direction_code == "B") {
    uut.InputOffset = -range;
    uut.InputSpan = 2.0 * range;
  } else {
    error_text_ += Line("Unrecognized direction code:  ", direction_code);
    return false;
  }
  return true;
}

double SmartPartConfigurator::RangeValue(const std::string& range_code) const {
  // The letters scale the leading digits (C hundreds, K thousands) or mark the decimal
  // point (R), as in 01C = 100, 10K = 10000, 2R5 = 2.5.
  if (range_code.find('C') != std::string::npos) return converter_.AsInteger(range_code.substr(0, 2)) * 100.0;
  if (range_code.find('K') != std::string::npos)
    return converter_.AsInteger(range_code.substr(0, 2)) * 1000.0;
  if (range_code.find('R') != std::string::npos) {
    std::string decimal = range_code;
    std::replace(decimal.begin(), decimal.end(), 'R', '.');
    return converter_.AsDouble(decimal);
  }
  return converter_.AsInteger(range_code);
}

bool SmartPartConfigurator::DecodeAccuracy(const std::string& accuracy_code, UUT& uut) {
  for (const AccuracyClass& accuracy : kAccuracyClasses) {
    if (accuracy_code.size() == 1 && accuracy_code.front() == accuracy.code) {
      uut.Accuracy = accuracy.percent_fs;
      return true;
    }
  }
  error_text_ += Line("Unrecognized accuracy code:  ", accuracy_code);
  return false;
}

bool SmartPartConfigurator::DecodeElectrical(const std::string& electrical_code, UUT& uut) {
  for (const ElectricalOutput& output : kElectricalOutputs) {
    if (electrical_code == output.code) {
      uut.OutputOffset = output.offset;
      uut.OutputSpan = output.span;
      uut.SetOutputUnits(std::string(output.units));
      uut.Excitation = output.excitation;
      uut.SetOutputType(std::string(output.type));
      return true;
    }
  }
  error_text_ += Line("Unrecognized electrical code:  ", electrical_code);
  return false;
}

bool SmartPartConfigurator::DecodeUnits(const std::string& units_code, UUT& uut) {
  if (units_code == "W") {
    uut.InputUnits = "inWC";
  } else if (units_code == "L") {
    uut.InputUnits = "Pa";
  } else {
    error_text_ += Line("Unrecognized engineering units code:  ", units_code);
    return false;
  }
  return true;
}

void SmartPartConfigurator::ApplyFixedSettings(UUT& uut) {
  uut.ControlStability = 0.0003;
  uut.DefaultTestProfile = "3pointtest";
  uut.MaxLeakRate = 0.0001;
  uut.SettlingTime = 5000;
}

}  // namespace veld
