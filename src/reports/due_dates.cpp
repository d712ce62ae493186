#include "reports/due_dates.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "database/database.h"
#include "platform/file_error.h"
#include "platform/format.h"
#include "platform/host_path.h"
#include "reports/chart_data.h"

namespace veld {
namespace {

// The calendar day of a date as a day count (the OLE value of its midnight); nothing for
// a date that is 0.0 (the record's "no date"), not valid, or outside the calendar.
std::optional<int64_t> CalendarDay(const OleDateTime& date) {
  CalendarTime calendar;
  if (date.GetStatus() != OleDateTime::valid || date.Value() == 0.0 || !date.GetCalendar(calendar)) {
    return std::nullopt;
  }
  const OleDateTime midnight(calendar.year, calendar.month, calendar.day, 0, 0, 0);
  return static_cast<int64_t>(std::llround(midnight.Value()));
}

DueStatus StatusOf(std::optional<int64_t> days_left, int within_days) {
  if (!days_left) return DueStatus::NotSet;
  if (*days_left < 0) return DueStatus::Overdue;
  if (*days_left <= within_days) return DueStatus::DueSoon;
  return DueStatus::Later;
}

const char* StatusText(DueStatus status) {
  switch (status) {
    case DueStatus::Overdue: return "Overdue";
    case DueStatus::DueSoon: return "Due soon";
    case DueStatus::Later:
    case DueStatus::NotSet: break;
  }
  return "";
}

}  // namespace

std::vector<DueDateEntry> ReadDueDates(CDataBaseX& database, const std::string& database_name) {
  std::vector<UUT> uuts;
  try {
    uuts = database.ReadAllUUTs();
  } catch (const FileError& error) {
    if (error.cause() != FileError::Cause::NotFound) throw;
  }
  std::vector<DueDateEntry> entries;
  entries.reserve(uuts.size());
  for (const UUT& uut : uuts) entries.push_back({uut.ID, database_name, uut.CalibrationDueDate});
  return entries;
}

std::vector<DueDateRow> ListDueDates(const std::vector<DueDateEntry>& entries, const OleDateTime& today,
                                     int within_days) {
  const std::optional<int64_t> today_day = CalendarDay(today);
  struct Keyed {
    int64_t due_day;  // 0 when not set
    DueDateRow row;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(entries.size());
  for (const DueDateEntry& entry : entries) {
    DueDateRow row;
    row.uut_id = entry.uut_id;
    row.database = entry.database;
    const std::optional<int64_t> due_day = CalendarDay(entry.due);
    if (due_day) {
      row.due_date = CertificateDateText(entry.due);
      if (today_day) row.days_left = *due_day - *today_day;
    } else {
      row.due_date = kDueDateNotSet;
    }
    // Without a today (the clock failed) a dated row can only be listed with the rest.
    row.status = due_day && !today_day ? DueStatus::Later : StatusOf(row.days_left, within_days);
    if (row.days_left) row.days_text = Format("%lld", static_cast<long long>(*row.days_left));
    row.status_text = StatusText(row.status);
    keyed.push_back({due_day.value_or(0), std::move(row)});
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (std::tie(a.row.status, a.due_day) != std::tie(b.row.status, b.due_day)) {
      return std::tie(a.row.status, a.due_day) < std::tie(b.row.status, b.due_day);
    }
    if (const int by_id = CompareIgnoreCase(a.row.uut_id, b.row.uut_id); by_id != 0) return by_id < 0;
    return a.row.database < b.row.database;
  });
  std::vector<DueDateRow> rows;
  rows.reserve(keyed.size());
  for (Keyed& one : keyed) rows.push_back(std::move(one.row));
  return rows;
}

}  // namespace veld
