#include "app/data_exchange.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "database/results_index.h"
#include "platform/format.h"
#include "platform/host_path.h"

namespace veld {
namespace {

std::string_view Trimmed(const std::string& text) {
  std::string_view view(text);
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!view.empty() && blank(view.front())) view.remove_prefix(1);
  while (!view.empty() && blank(view.back())) view.remove_suffix(1);
  return view;
}

// A leading "+" is a sign the edit may hold; from_chars takes only "-".
std::string_view WithoutPlus(std::string_view view) {
  if (view.size() > 1 && view.front() == '+' && view[1] != '-' && view[1] != '+') view.remove_prefix(1);
  return view;
}

}  // namespace

std::string NumberText(double value) { return Format("%.15g", value); }

std::string IntegerText(int value) { return Format("%i", value); }

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

std::optional<std::string> CheckNumberText(const std::string& text, const NumberLimit* limit) {
  const bool integer = limit != nullptr && limit->integer;
  const std::optional<double> value = integer ? std::optional<double>(ParseInteger(text)) : ParseNumber(text);
  if (!value) return integer ? kEnterIntegerMessage : kEnterNumberMessage;
  if (limit == nullptr || WithinLimit(*limit, *value)) return std::nullopt;
  return LimitMessage(*limit);
}

void ComboChoice::Fill(std::vector<std::string> texts) {
  SortLikeComboBox(texts);
  items = std::move(texts);
  selected = -1;
}

void ComboChoice::SelectText(const std::string& text) {
  const auto found = std::find_if(items.begin(), items.end(),
                                  [&](const std::string& item) { return CompareIgnoreCase(item, text) == 0; });
  if (found != items.end()) {
    selected = static_cast<int>(found - items.begin());
  } else {
    selected = items.empty() ? -1 : 0;
  }
}

std::string ComboChoice::Value() const {
  return selected >= 0 && static_cast<size_t>(selected) < items.size() ? items[static_cast<size_t>(selected)]
                                                                       : std::string();
}

}  // namespace veld
