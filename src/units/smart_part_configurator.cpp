#include "units/smart_part_configurator.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>


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

SmartPartSettings SmartPartConfigurator::Decode(std::string& part_number) {
  SmartPartSettings settings;
  if (part_number.size() < kMinimumLength) {
    error_text_ += "Incomplete Korvo Smart Part Numer\r\n";
    return settings;
  }
  MakeUpper(part_number);
  settings.id = part_number;
  model_text_ = part_number.substr(0, 3);

  const std::string range_code = part_number.substr(kRangePos, kRangeLen);
  const std::string units_code = part_number.substr(kUnitsPos, 1);
  const std::string direction_code = part_number.substr(kDirectionPos, 1);
  const std::string electrical_code = part_number.substr(kElectricalPos, kElectricalLen);
  const std::string accuracy_code = part_number.substr(kAccuracyPos, 1);

  // Every step runs even after a failure, so that the good codes still take effect.
  settings.input_range = DecodeRange(range_code, direction_code);
  settings.accuracy = DecodeAccuracy(accuracy_code);
  settings.output = DecodeElectrical(electrical_code);
  settings.input_units = DecodeUnits(units_code);
  return settings;
}

std::optional<SmartPartSettings::InputRange> SmartPartConfigurator::DecodeRange(const std::string& range_code,
                                                                                const std::string& direction_code) {
  if (!std::all_of(range_code.begin(), range_code.end(), IsRangeCharacter)) {
    error_text_ += Line("Unrecognized range code:  ", range_code);
    return std::nullopt;
  }
  const double range = RangeValue(range_code);
  if (direction_code == "D") return SmartPartSettings::InputRange{0.0, range};
  if (direction_code == "B") return SmartPartSettings::InputRange{-range, 2.0 * range};
  error_text_ += Line("Unrecognized direction code:  ", direction_code);
  return std::nullopt;
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

std::optional<double> SmartPartConfigurator::DecodeAccuracy(const std::string& accuracy_code) {
  for (const AccuracyClass& accuracy : kAccuracyClasses) {
    if (accuracy_code.size() == 1 && accuracy_code.front() == accuracy.code) return accuracy.percent_fs;
  }
  error_text_ += Line("Unrecognized accuracy code:  ", accuracy_code);
  return std::nullopt;
}

std::optional<SmartPartSettings::ElectricalOutput> SmartPartConfigurator::DecodeElectrical(
    const std::string& electrical_code) {
  for (const ElectricalOutput& output : kElectricalOutputs) {
    if (electrical_code == output.code) {
      return SmartPartSettings::ElectricalOutput{output.offset, output.span, std::string(output.units),
                                                 output.excitation, std::string(output.type)};
    }
  }
  error_text_ += Line("Unrecognized electrical code:  ", electrical_code);
  return std::nullopt;
}

std::optional<std::string> SmartPartConfigurator::DecodeUnits(const std::string& units_code) {
  if (units_code == "W") return "inWC";
  if (units_code == "L") return "Pa";
  error_text_ += Line("Unrecognized engineering units code:  ", units_code);
  return std::nullopt;
}

}  // namespace veld
