#include "platform/ole_date_time.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace veld {
namespace {

using std::chrono::day;
using std::chrono::days;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

// Bounds of the OLE Automation date range: 1 January 100 and 31 December 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0;  // exclusive: the start of 1 January 10000
constexpr int64_t kSecondsPerDay = 86400;

// Day 0 of the OLE Automation date. A constant, so that a date made during another
// file's static initialisation already counts from it.
constexpr sys_days kOleEpoch = year_month_day{year{1899}, month{12}, day{30}};

// For fields already checked to lie in range.
sys_days DateOf(int y, int m, int d) {
  return year_month_day{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
}

int DaysInMonth(int y, int m) {
  const std::chrono::year_month_day_last last{year{y}, std::chrono::month_day_last{month{static_cast<unsigned>(m)}}};
  return static_cast<int>(static_cast<unsigned>(last.day()));
}

}  // namespace

OleDateTime::OleDateTime(int year, int month, int day, int hour, int minute, int second) {
  SetDateTime(year, month, day, hour, minute, second);
}

bool OleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
  const bool in_range = year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
                        day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 &&
                        minute <= 59 && second >= 0 && second <= 59;
  if (!in_range) {
    m_dt = 0.0;
    m_status = invalid;
    return false;
  }
  const double whole_days = static_cast<double>((DateOf(year, month, day) - kOleEpoch).count());
  const double fraction = (hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay;
  // Before the epoch the time of day still counts forward, away from zero.
  m_dt = whole_days < 0 ? whole_days - fraction : whole_days + fraction;
  m_status = valid;
  return true;
}

bool OleDateTime::GetCalendar(CalendarTime& out) const {
  if (m_status != valid || !std::isfinite(m_dt)) return false;
  const double whole = std::trunc(m_dt);
  if (whole < kMinDate || m_dt >= kMaxDate) return false;
  int64_t whole_days = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(m_dt - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {  // rounded up to the next midnight
    seconds -= kSecondsPerDay;
    whole_days += 1;
  }
  const year_month_day date{kOleEpoch + days{whole_days}};
  out.year = static_cast<int>(date.year());
  out.month = static_cast<int>(static_cast<unsigned>(date.month()));
  out.day = static_cast<int>(static_cast<unsigned>(date.day()));
  if (out.year > 9999) return false;
  out.hour = static_cast<int>(seconds / 3600);
  out.minute = static_cast<int>(seconds / 60 % 60);
  out.second = static_cast<int>(seconds % 60);
  return true;
}

#define VELD_CALENDAR_FIELD(Name, field)   \
  int OleDateTime::Get##Name() const {     \
    CalendarTime t;                        \
    return GetCalendar(t) ? t.field : -1;  \
  }
VELD_CALENDAR_FIELD(Year, year)
VELD_CALENDAR_FIELD(Month, month)
VELD_CALENDAR_FIELD(Day, day)
VELD_CALENDAR_FIELD(Hour, hour)
VELD_CALENDAR_FIELD(Minute, minute)
VELD_CALENDAR_FIELD(Second, second)
#undef VELD_CALENDAR_FIELD

OleDateTime OleDateTime::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &now) != 0) return OleDateTime(0.0, invalid);
#else
  if (localtime_r(&now, &local) == nullptr) return OleDateTime(0.0, invalid);
#endif
  return OleDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                     local.tm_sec);
}

}  // namespace veld
