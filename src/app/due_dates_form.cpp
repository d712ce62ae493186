#include "app/due_dates_form.h"

#include <algorithm>

#include "reports/chart_data.h"

namespace veld {

DueDatesForm::DueDatesForm(std::vector<DueDateEntry> entries, const OleDateTime& today)
    : entries_(std::move(entries)), today_(today) {
  rows_ = ListDueDates(entries_, today_, within_days_);
}

void DueDatesForm::SetWithinDays(int days) {
  within_days_ = std::max(0, days);
  rows_ = ListDueDates(entries_, today_, within_days_);
}

std::string DueDatesForm::TodayText() const { return "Today: " + CertificateDateText(today_); }

size_t DueDatesForm::OverdueCount() const {
  return static_cast<size_t>(std::count_if(rows_.begin(), rows_.end(),
                                           [](const DueDateRow& row) { return row.status == DueStatus::Overdue; }));
}

}  // namespace veld
