#include "platform/ole_date_time.h"

#include <cmath>
#include <ctime>

namespace veld {
namespace {

// Bounds of the OLE Automation date range: 1 January 100 and 31 December 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0;  // exclusive: the start of 1 January 10000
constexpr int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const int64_t kOleEpoch = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
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
  const double days = static_cast<double>(DaysFromCivil(year, month, day) - kOleEpoch);
  const double fraction = (hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay;
  // Before the epoch the time of day still counts forward, away from zero.
  m_dt = days < 0 ? days - fraction : days + fraction;
  m_status = valid;
  return true;
}

bool OleDateTime::GetCalendar(CalendarTime& out) const {
  if (m_status != valid || !std::isfinite(m_dt)) return false;
  const double whole = std::trunc(m_dt);
  if (whole < kMinDate || m_dt >= kMaxDate) return false;
  int64_t days = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(m_dt - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {  // rounded up to the next midnight
    seconds -= kSecondsPerDay;
    days += 1;
  }
  CivilFromDays(days + kOleEpoch, out.year, out.month, out.day);
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
