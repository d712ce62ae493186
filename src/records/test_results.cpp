#include "records/test_results.h"

#include <algorithm>

namespace veld {

void TestResults::ClearColumns() {
  for (auto* column : {&PointNumberText, &TargetPressureText, &ActualPressureText, &TargetOutputText,
                       &ActualOutputText, &ErrorText, &PassFailText}) {
    column->clear();
  }
  ActualPressure.clear();
  ActualOutput.clear();
  ErrorFS.clear();
}

size_t TestResults::RowCount() const {
  return std::min({PointNumberText.size(), TargetPressureText.size(), ActualPressureText.size(),
                   TargetOutputText.size(), ActualOutputText.size(), ErrorText.size(), PassFailText.size(),
                   ActualPressure.size(), ActualOutput.size(), ErrorFS.size()});
}

}  // namespace veld
