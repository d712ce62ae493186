#include "app/data_exchange.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "database/results_index.h"
#include "platform/format.h"
#include "platform/host_path.h"

namespace veld {

std::string NumberText(double value) { return Format("%.15g", value); }

std::string IntegerText(int value) { return Format("%i", value); }

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
