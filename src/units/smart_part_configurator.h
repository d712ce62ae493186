#pragma once
// Decodes a smart part number (range, pressure units, direction, electrical output and
// accuracy in fixed positions) into the settings of a UUT.

#include <string>

#include "units/type_converter.h"

namespace veld {

class UUT;

class SmartPartConfigurator {
 public:
  virtual ~SmartPartConfigurator() = default;

  // Turns part_number into capitals in place and decodes it into uut; true when the
  // range with direction, accuracy, electrical and units codes were all recognised.
  // A text of fewer than 14 characters leaves uut untouched.
  bool Configure(std::string& part_number, UUT& uut);

  // One line per decoding failure, collected over every decode of this object.
  const std::string& ErrorText() const { return error_text_; }
  const std::string& ModelText() const { return model_text_; }

 private:
  // Each decode step appends its message on failure and reports whether it succeeded.
  bool DecodeRange(const std::string& range_code, const std::string& direction_code, UUT& uut);
  double RangeValue(const std::string& range_code) const;
  bool DecodeAccuracy(const std::string& accuracy_code, UUT& uut);
  bool DecodeElectrical(const std::string& electrical_code, UUT& uut);
  bool DecodeUnits(const std::string& units_code, UUT& uut);
  static void ApplyFixedSettings(UUT& uut);

  std::string error_text_;
  std::string model_text_;
  TypeConverter converter_;
};

}  // namespace veld
