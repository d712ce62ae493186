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
  std::string error_text_;
  std::string model_text_;
  TypeConverter converter_;
};

}  // namespace veld
