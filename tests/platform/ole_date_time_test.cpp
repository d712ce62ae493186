#include "platform/ole_date_time.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/temp_root.h"

namespace veld {
namespace {

using OleDateTimeTest = test::TempRootTest;

constexpr double kSecond = 1.0 / 86400.0;

void ExpectCalendar(const OleDateTime& date, CalendarTime want) {
  EXPECT_EQ(date.GetYear(), want.year);
  EXPECT_EQ(date.GetMonth(), want.month);
  EXPECT_EQ(date.GetDay(), want.day);
  EXPECT_EQ(date.GetHour(), want.hour);
  EXPECT_EQ(date.GetMinute(), want.minute);
  EXPECT_EQ(date.GetSecond(), want.second);
}

void ExpectNoCalendar(const OleDateTime& date) { ExpectCalendar(date, {-1, -1, -1, -1, -1, -1}); }

TEST_F(OleDateTimeTest, CountsDaysFromTheEpoch) {
  EXPECT_EQ(OleDateTime(1899, 12, 30, 0, 0, 0).Value(), 0.0);
  EXPECT_EQ(OleDateTime(2000, 1, 1, 0, 0, 0).Value(), 36526.0);
  EXPECT_EQ(OleDateTime(100, 1, 1, 0, 0, 0).Value(), -657434.0);
  EXPECT_EQ(OleDateTime(9999, 12, 31, 0, 0, 0).Value(), 2958465.0);
  const OleDateTime date(2009, 1, 5, 13, 45, 10);
  EXPECT_NEAR(date.Value(), 39818.0 + (13 * 3600 + 45 * 60 + 10) * kSecond, 1e-9);
  ExpectCalendar(date, {2009, 1, 5, 13, 45, 10});
  ExpectCalendar(OleDateTime(2008, 2, 29, 23, 59, 59), {2008, 2, 29, 23, 59, 59});
  ExpectCalendar(OleDateTime(9999, 12, 31, 23, 59, 59), {9999, 12, 31, 23, 59, 59});
  ExpectCalendar(OleDateTime(100, 1, 1, 0, 0, 0), {100, 1, 1, 0, 0, 0});
}

TEST_F(OleDateTimeTest, TimeOfDayCountsForwardBeforeTheEpoch) {
  EXPECT_EQ(OleDateTime(1899, 12, 29, 6, 0, 0).Value(), -1.25);
  ExpectCalendar(OleDateTime(-1.25), {1899, 12, 29, 6, 0, 0});
  ExpectCalendar(OleDateTime(-0.75), {1899, 12, 30, 18, 0, 0});
  ExpectCalendar(OleDateTime(100, 1, 1, 12, 0, 0), {100, 1, 1, 12, 0, 0});
  EXPECT_EQ(OleDateTime(100, 1, 1, 12, 0, 0).Value(), -657434.5);
}

TEST_F(OleDateTimeTest, RoundsToTheNearestSecond) {
  ExpectCalendar(OleDateTime(0.5 + 0.4 * kSecond), {1899, 12, 30, 12, 0, 0});
  ExpectCalendar(OleDateTime(0.5 + 0.6 * kSecond), {1899, 12, 30, 12, 0, 1});
  ExpectCalendar(OleDateTime(1.0 - 0.4 * kSecond), {1899, 12, 31, 0, 0, 0});
  ExpectCalendar(OleDateTime(-(2.0 - 0.4 * kSecond)), {1899, 12, 30, 0, 0, 0});  // 29 Dec 23:59:59.6
  ExpectCalendar(OleDateTime(-(1.0 + 0.4 * kSecond)), {1899, 12, 29, 0, 0, 0});
  // The last instant of the range rounds out of it.
  ExpectNoCalendar(OleDateTime(2958466.0 - 0.4 * kSecond));
}

TEST_F(OleDateTimeTest, RejectsFieldsOutsideTheCalendar) {
  const int bad[][6] = {{99, 12, 31, 0, 0, 0},  {10000, 1, 1, 0, 0, 0}, {2009, 2, 29, 0, 0, 0},
                        {1900, 2, 29, 0, 0, 0}, {2009, 13, 1, 0, 0, 0}, {2009, 0, 1, 0, 0, 0},
                        {2009, 4, 31, 0, 0, 0}, {2009, 1, 0, 0, 0, 0},  {2009, 1, 1, 24, 0, 0},
                        {2009, 1, 1, 0, 60, 0}, {2009, 1, 1, 0, 0, 60}, {2009, 1, 1, -1, 0, 0}};
  for (const auto& f : bad) {
    OleDateTime date(123.0);
    EXPECT_FALSE(date.SetDateTime(f[0], f[1], f[2], f[3], f[4], f[5])) << f[0] << "-" << f[1] << "-" << f[2];
    EXPECT_EQ(date.GetStatus(), OleDateTime::invalid);
    EXPECT_EQ(date.Value(), 0.0);
    ExpectNoCalendar(date);
  }
  OleDateTime date;
  EXPECT_TRUE(date.SetDateTime(2000, 2, 29, 0, 0, 0));
  EXPECT_EQ(date.GetStatus(), OleDateTime::valid);
}

TEST_F(OleDateTimeTest, OnlyValidFiniteInRangeValuesHaveACalendar) {
  ExpectNoCalendar(OleDateTime(36526.0, OleDateTime::null));
  ExpectNoCalendar(OleDateTime(36526.0, OleDateTime::invalid));
  ExpectNoCalendar(OleDateTime(NAN));
  ExpectNoCalendar(OleDateTime(INFINITY));
  ExpectNoCalendar(OleDateTime(-INFINITY));
  ExpectNoCalendar(OleDateTime(1e300));
  ExpectNoCalendar(OleDateTime(-657435.0));
  ExpectNoCalendar(OleDateTime(2958466.0));
  CalendarTime out;
  EXPECT_FALSE(OleDateTime(NAN).GetCalendar(out));
  EXPECT_TRUE(OleDateTime(-657434.99).GetCalendar(out));
}

TEST_F(OleDateTimeTest, NowIsAValidDate) {
  const OleDateTime now = OleDateTime::Now();
  EXPECT_EQ(now.GetStatus(), OleDateTime::valid);
  EXPECT_GE(now.GetYear(), 2024);
}

}  // namespace
}  // namespace veld
