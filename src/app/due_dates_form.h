#pragma once
// The due dates window without its widgets: the UUTs of both databases with their
// calibration due dates as of one day, listed again whenever the "due within" days change.

#include <string>
#include <vector>

#include "platform/ole_date_time.h"
#include "reports/due_dates.h"

namespace veld {

class DueDatesForm {
 public:
  DueDatesForm(std::vector<DueDateEntry> entries, const OleDateTime& today);

  // Days below 0 count as 0.
  void SetWithinDays(int days);
  int within_days() const { return within_days_; }
  const std::vector<DueDateRow>& rows() const { return rows_; }
  // "Today: " and the date as the certificate shows dates.
  std::string TodayText() const;
  size_t OverdueCount() const;

 private:
  std::vector<DueDateEntry> entries_;
  OleDateTime today_;
  int within_days_ = kDefaultDueWithinDays;
  std::vector<DueDateRow> rows_;
};

}  // namespace veld
