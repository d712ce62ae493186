#pragma once
// The windows that show what the Chart, History and Due dates buttons build: the desktop
// opens a window beside the main window for each, the tests record what they were given.
// They only show; every number, date and text comes ready from the reports.

#include <vector>

#include "app/due_dates_form.h"
#include "reports/chart_data.h"
#include "reports/drift_history.h"

namespace veld {

class ReportWindows {
 public:
  virtual ~ReportWindows() = default;
  virtual void ShowErrorChart(const ChartData& chart) = 0;
  virtual void ShowDriftHistory(const ChartData& chart, const std::vector<HistoryRow>& rows) = 0;
  // The window keeps the form: its "due within" days can be changed while it is open.
  virtual void ShowDueDates(DueDatesForm form) = 0;
};

}  // namespace veld
