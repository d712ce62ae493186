#include "units/type_converter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace veld {
namespace {

// Exponents up to this size are worked out by the plain loop. Beyond it std::pow gives
// the same value for base 10 (the loop has long since reached infinity or zero by 309
// multiplications or 324 divisions) without costing a loop per digit: a text of a
// million digits would otherwise take minutes to parse.
constexpr int kLoopedExponentLimit = 400;

void RemoveAll(std::string& text, char unwanted) {
  text.erase(std::remove(text.begin(), text.end(), unwanted), text.end());
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitOf(char c) { return IsDigit(c) ? c - '0' : -1; }

// The characters of [first, first + count) that exist in text: a window reaching past
// either end gives what lies inside, as the framework's Mid does, instead of throwing.
std::string Mid(const std::string& text, std::ptrdiff_t first, std::ptrdiff_t count) {
  const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(text.size());
  const std::ptrdiff_t begin = std::clamp<std::ptrdiff_t>(first, 0, size);
  const std::ptrdiff_t end = std::clamp<std::ptrdiff_t>(first + count, begin, size);
  return text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}

}  // namespace

int TypeConverter::AsInteger(std::string text) const {
  int value = 0;
  ParseInteger(std::move(text), value);
  return value;
}

void TypeConverter::ParseInteger(std::string text, int& value) const {
  RemoveAll(text, '>');
  // Unsigned arithmetic wraps where a 32-bit int would overflow; the conversion back is
  // modular, so a long run of digits wraps instead of being undefined.
  std::uint32_t result = 0;
  for (const char c : text) {
    if (!IsDigit(c)) break;
    result = result * 10u + static_cast<std::uint32_t>(c - '0');
  }
  value = static_cast<int>(result);
}

double TypeConverter::AsDouble(std::string text) const {
  double value = 0.0;
  ParseDouble(std::move(text), value);
  return value;
}

void TypeConverter::ParseDouble(std::string text, double& value) const {
  RemoveAll(text, '>');
  if (text.empty()) {
    value = 0.0;
    return;
  }
  const bool negative = text.front() == '-';
  if (negative) RemoveAll(text, '-');

  const std::size_t point = text.find('.');
  if (point == std::string::npos) {
    // Negated in 64 bits so that the most negative int cannot overflow.
    const std::int64_t whole = AsInteger(text);
    value = static_cast<double>(negative ? -whole : whole);
    return;
  }

  double result = 0.0;
  const int places = static_cast<int>(std::min<std::size_t>(point, INT32_MAX));
  for (int i = 0; i < places; ++i) {
    const int digit = DigitOf(text[static_cast<std::size_t>(i)]);
    // A zero adds nothing at any place; skipping it keeps a long run of leading zeros
    // from turning into 0 x infinity = NaN.
    if (digit != 0) result += digit * Power(places - 1 - i, 10.0);
  }
  int exponent = -1;
  for (std::size_t i = point + 1; i < text.size() && exponent > INT32_MIN; ++i, --exponent) {
    const int digit = DigitOf(text[i]);
    if (digit < 0) break;
    if (digit != 0) result += digit * Power(exponent, 10.0);
  }
  if (negative) result *= -1.0;
  value = result;
}

bool TypeConverter::ParseDateTime(std::string text, OleDateTime& value, bool month_first) const {
  value.SetDateTime(0, 0, 0, 0, 0, 0);  // invalid until a date is built
  RemoveAll(text, '>');
  if (text.size() < 8) return false;

  if (text.find('/') != std::string::npos) {
    // Pad one-digit fields: 1/5/2009 becomes 01/05/2009.
    if (text.find('/') == 1) text.insert(0, "0");
    if (text.find('/', 3) == 4) text.insert(3, "0");
    RemoveAll(text, '/');
  }

  const int year = AsInteger(Mid(text, 4, 4));
  const int first = AsInteger(Mid(text, 0, 2));
  const int second_field = AsInteger(Mid(text, 2, 2));
  const int month = month_first ? first : second_field;
  const int day = month_first ? second_field : first;
  value.SetDateTime(year, month, day, 0, 0, 0);

  const std::size_t colon = text.find(':');
  if (colon != std::string::npos) {
    const auto k = static_cast<std::ptrdiff_t>(colon);
    const int hour = AsInteger(Mid(text, k - 2, 2));
    const int minute = AsInteger(Mid(text, k + 1, 2));
    const int second = AsInteger(Mid(text, k + 4, 3));
    value.SetDateTime(year, month, day, hour, minute, second);
  }
  return value.GetStatus() == OleDateTime::valid;
}

int TypeConverter::DigitValue(const std::string& text) const {
  return text.empty() ? -1 : DigitOf(text.front());
}

double TypeConverter::Power(int n, double x) const {
  if (n > kLoopedExponentLimit || n < -kLoopedExponentLimit) return std::pow(x, n);
  double result = 1.0;
  for (int i = 0; i < n; ++i) result *= x;
  for (int i = 0; i > n; --i) result /= x;
  return result;
}

}  // namespace veld
