#pragma once
// Calibration due dates: every UUT of a database with the due date that its record
// carries (the calibrator keeps it; the desktop only shows it), overdue ones first, then
// those due within a number of calendar days, then the rest, those without a date last.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ole_date_time.h"

namespace veld {

class CDataBaseX;

inline constexpr int kDefaultDueWithinDays = 30;
inline constexpr const char* kPcDatabaseName = "PC";
inline constexpr const char* kVeldDatabaseName = "VELD";
// The date text of a UUT whose due date is 0.0, not valid, or no calendar date.
inline constexpr const char* kDueDateNotSet = "not set";

enum class DueStatus { Overdue, DueSoon, Later, NotSet };

// One UUT record's due date, with the database it was read from ("PC" or "VELD").
struct DueDateEntry {
  std::string uut_id;
  std::string database;
  OleDateTime due;
};

struct DueDateRow {
  std::string uut_id;
  std::string database;
  DueStatus status = DueStatus::NotSet;
  std::optional<int64_t> days_left;  // calendar days from today to the due date; negative when overdue
  std::string due_date;              // "%02i/%02i/%04i" as the certificate shows dates, or "not set"
  std::string days_text;             // days_left as "%lld", empty when not set
  std::string status_text;           // "Overdue", "Due soon", or empty
};

// The entries of a database's UUT table. A table that is not there (the VELD database
// before its first upload) has none; any other failure to read it raises its FileError.
std::vector<DueDateEntry> ReadDueDates(CDataBaseX& database, const std::string& database_name);

// The rows in their order: overdue (due before today), due within within_days calendar
// days of today (today included), later, not set; by due date within each group, then by
// UUT ID without regard to letter case, then by database. Only the calendar date of the
// due date and of today count, not their times of day.
std::vector<DueDateRow> ListDueDates(const std::vector<DueDateEntry>& entries, const OleDateTime& today,
                                     int within_days = kDefaultDueWithinDays);

}  // namespace veld
