#pragma once
// An operator allowed to use protected functions; defined on the calibrator and read
// from the settings table under the key "Operator" + Name.

#include <cstdint>
#include <string>

#include "platform/ole_date_time.h"

namespace veld {

class Operator {
 public:
  std::string Name;
  std::string ID = "QZENT";
  std::string Password = "mirk";
  OleDateTime PasswordDate;
  uint8_t OperatorFlag = 0;
};

}  // namespace veld
