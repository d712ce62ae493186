#pragma once
// Lenient text-to-number and text-to-date parsing, used for settings values, the range
// code of smart part numbers and numbers typed into the profile dialogs.

#include <string>

#include "platform/ole_date_time.h"

namespace veld {

class TypeConverter {
 public:
  virtual ~TypeConverter() = default;

  // Every ">" removed, then the leading decimal digits; no sign, no overflow check
  // (wraps as 32-bit arithmetic would, without undefined behaviour).
  int AsInteger(std::string text) const;
  void ParseInteger(std::string text, int& value) const;
  // Every ">" removed; a leading "-" makes the result negative (every "-" is removed);
  // digits before the first "." weigh by their place, digits after it until the first
  // non-digit add tenths, hundredths, ...
  double AsDouble(std::string text) const;
  void ParseDouble(std::string text, double& value) const;
  // "MM/DD/YYYY[ hh:mm:ss]" (or day first); true when the result is a valid date.
  bool ParseDateTime(std::string text, OleDateTime& value, bool month_first) const;
  // 0 to 9 for a leading decimal digit, else -1.
  int DigitValue(const std::string& text) const;
  // x to the power n by repeated multiplication (n >= 0) or division (n < 0).
  double Power(int n, double x) const;
};

}  // namespace veld
