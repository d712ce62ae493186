#pragma once
// Decodes a smart part number (range, pressure units, direction, electrical output and
// accuracy in fixed positions) into the settings of a UUT. The decoder only reads the
// number: it gives the settings as a value, and the UUT record applies them
// (ApplySmartPartSettings in records/uut.h), so that units stays below records.

#include <cstdint>
#include <optional>
#include <string>

#include "units/type_converter.h"

namespace veld {

// What one decode found. A group is present only when its codes were recognised, so that
// the good codes of a part number take effect and the bad ones change nothing.
struct SmartPartSettings {
  struct InputRange {
    double offset = 0.0;
    double span = 0.0;
  };
  struct ElectricalOutput {
    double offset = 0.0;
    double span = 0.0;
    std::string units;
    double excitation = 0.0;
    std::string type;  // set last: the type derives the output units
  };

  // The part number in capitals. Absent when it was too short to decode: then nothing
  // applies, not even the fixed settings.
  std::optional<std::string> id;
  std::optional<InputRange> input_range;  // range and direction both recognised
  std::optional<double> accuracy;         // %FS
  std::optional<ElectricalOutput> output;
  std::optional<std::string> input_units;
  // Set by every decode of a part number long enough.
  double control_stability = 0.0003;
  std::string default_test_profile = "3pointtest";
  double max_leak_rate = 0.0001;
  int32_t settling_time = 5000;
  // True when every code was recognised.
  bool complete() const { return input_range && accuracy && output && input_units; }
};

class SmartPartConfigurator {
 public:
  virtual ~SmartPartConfigurator() = default;

  // Turns part_number into capitals in place (when it is long enough to decode) and
  // decodes it. A text of fewer than 14 characters decodes to nothing.
  SmartPartSettings Decode(std::string& part_number);

  // Decodes part_number into uut; true when the range with direction, accuracy,
  // electrical and units codes were all recognised. A text of fewer than 14 characters
  // leaves uut untouched. The record applies the settings itself, through the
  // ApplySmartPartSettings found beside its type.
  template <typename Record>
  bool Configure(std::string& part_number, Record& uut) {
    const SmartPartSettings settings = Decode(part_number);
    ApplySmartPartSettings(settings, uut);
    return settings.complete();
  }

  // One line per decoding failure, collected over every decode of this object.
  const std::string& ErrorText() const { return error_text_; }
  const std::string& ModelText() const { return model_text_; }

 private:
  // Each decode step appends its message on failure and answers nothing.
  std::optional<SmartPartSettings::InputRange> DecodeRange(const std::string& range_code,
                                                           const std::string& direction_code);
  double RangeValue(const std::string& range_code) const;
  std::optional<double> DecodeAccuracy(const std::string& accuracy_code);
  std::optional<SmartPartSettings::ElectricalOutput> DecodeElectrical(const std::string& electrical_code);
  std::optional<std::string> DecodeUnits(const std::string& units_code);

  std::string error_text_;
  std::string model_text_;
  TypeConverter converter_;
};

}  // namespace veld
