#pragma once
// An OLE Automation date with status, as the calibrator stores dates: a double counting
// days since 30 December 1899 (the fraction is the time of day) and a status. In files
// the 32-bit status comes first, then the 8-byte date: 12 bytes in all.
//
// Calendar conversions follow the OLE Automation rules: years 100 to 9999, times rounded
// to the nearest second, and for dates before 1899-12-30 the time of day is kept as a
// positive fraction (-1.25 is 29 December 1899, 06:00).

#include <cstdint>

namespace veld {

struct CalendarTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class OleDateTime {
 public:
  enum Status : int32_t { valid = 0, invalid = 1, null = 2 };

  OleDateTime() = default;
  explicit OleDateTime(double date, Status status = valid) : m_dt(date), m_status(status) {}
  // Built from calendar fields; invalid (value 0.0) when they do not form a date in range.
  OleDateTime(int year, int month, int day, int hour, int minute, int second);

  // Sets from calendar fields; false (and status invalid, value 0.0) when out of range.
  bool SetDateTime(int year, int month, int day, int hour, int minute, int second);

  // The calendar fields; false when the status is not valid or the value is out of range.
  bool GetCalendar(CalendarTime& out) const;

  // Each accessor gives -1 when the date is not valid, as the framework's date type does.
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;

  Status GetStatus() const { return m_status; }
  double Value() const { return m_dt; }

  // The local time now.
  static OleDateTime Now();

  double m_dt = 0.0;
  Status m_status = valid;
};

}  // namespace veld
