#include "records/uut_limits.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace veld {

std::string PlainNumber(double value) {
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("?");
}

bool WithinLimit(const NumberLimit& limit, double value) {
  // Written so that NaN is never within.
  if (!(value >= limit.min && value <= limit.max)) return false;
  return !limit.integer || value == static_cast<double>(static_cast<long long>(value));
}

std::string LimitMessage(const NumberLimit& limit) {
  return std::string(limit.integer ? "Please enter an integer between " : "Please enter a number between ") +
         PlainNumber(limit.min) + " and " + PlainNumber(limit.max) + ".";
}

const std::vector<std::string>& UUTTypeChoices() {
  static const std::vector<std::string> types = {"CURR", "3WIR", "4WIR", "DIALGAGE", "P-SWITCH"};
  return types;
}

const std::vector<ExcitationChoice>& ExcitationChoices() {
  static const std::vector<ExcitationChoice> choices = {{"24VDC", 24.0}, {"18VDC", 18.0}, {"15VDC", 15.0},
                                                        {"12VDC", 12.0}, {"9VDC", 9.0},   {"5VDC", 5.0},
                                                        {"EXTERNAL", -1.0}};
  return choices;
}

double ExcitationValue(const std::string& text) {
  if (text == "EXTERNAL") return -1.0;
  for (const ExcitationChoice& choice : ExcitationChoices()) {
    if (choice.volts > 0 && text.find(choice.text) != std::string::npos) return choice.volts;
  }
  return 0.0;
}

std::string ExcitationText(double volts) {
  for (const ExcitationChoice& choice : ExcitationChoices()) {
    if (choice.volts == volts) return choice.text;
  }
  return {};
}

std::string StoredOutputType(const std::string& chosen_type, double excitation) {
  if (chosen_type != "CURR") return chosen_type;
  return excitation == -1.0 ? "CSIM" : "CSOU";
}

bool IsStoredOutputType(const std::string& type) {
  static const char* const kCodes[] = {"CSOU", "CSIM", "3WIR", "4WIR", "DIALGAGE", "P-SWITCH"};
  return std::any_of(std::begin(kCodes), std::end(kCodes), [&](const char* code) { return type == code; });
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

namespace {

// A leading "+" is a sign a typed number may hold; from_chars takes only "-". One sign
// only: "+-5" is not a number.
std::string_view WithoutPlus(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
  return text;
}

}  // namespace

std::optional<double> ParseNumber(const std::string& text) {
  const std::string_view view = WithoutPlus(Trimmed(text));
  double value = 0.0;
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  if (view.empty() || error != std::errc() || end != view.data() + view.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> ParseInteger(const std::string& text) {
  const std::string_view view = WithoutPlus(Trimmed(text));
  int value = 0;
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  if (view.empty() || error != std::errc() || end != view.data() + view.size()) return std::nullopt;
  return value;
}

}  // namespace veld
