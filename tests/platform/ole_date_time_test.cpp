#include "platform/ole_date_time.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "platform/format.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using OleDateTimeTest = test::TempRootTest;

constexpr double kSecond = 1.0 / 86400.0;
constexpr const char* kNone = "-1/-1/-1 -1:-1:-1";

// The date's fields as its accessors give them (-1 each when there is no calendar date).
std::string Fields(const OleDateTime& d) {
  return Format("%d/%d/%d %d:%d:%d", d.GetYear(), d.GetMonth(), d.GetDay(), d.GetHour(), d.GetMinute(),
                d.GetSecond());
}

TEST_F(OleDateTimeTest, CountsDaysFromTheEpochAndKeepsTheTimeForwardBeforeIt) {
  for (const auto& [fields, value] : {std::pair{std::array{1899, 12, 30, 0, 0, 0}, 0.0},
                                      {{100, 1, 1, 12, 0, 0}, -657434.5},
                                      {{1899, 12, 29, 6, 0, 0}, -1.25},
                                      {{2009, 1, 5, 13, 45, 10}, 39818.0 + 49510 * kSecond},
                                      {{9999, 12, 31, 23, 59, 59}, 2958466.0 - kSecond}}) {
    const auto [y, mo, d, h, mi, s] = fields;
    EXPECT_NEAR(OleDateTime(y, mo, d, h, mi, s).Value(), value, 1e-9) << y;
    EXPECT_EQ(Fields(OleDateTime(value)), Format("%d/%d/%d %d:%d:%d", y, mo, d, h, mi, s));
  }
}

// Made while the program's static objects are initialised, in whatever order the files'
// initialisers run: the date must not depend on another file's having run first.
const OleDateTime kMadeAtStart(2009, 1, 5, 13, 45, 10);

TEST_F(OleDateTimeTest, ADateMadeDuringStaticInitialisationCountsFromTheEpoch) {
  EXPECT_NEAR(kMadeAtStart.Value(), 39818.0 + 49510 * kSecond, 1e-9);
  EXPECT_EQ(Fields(kMadeAtStart), "2009/1/5 13:45:10");
}

TEST_F(OleDateTimeTest, ValuesRoundToTheNearestSecondAndOnlyValidInRangeOnesHaveACalendar) {
  for (const auto& [date, fields] : {std::pair{OleDateTime(-0.75), "1899/12/30 18:0:0"},
                                     {OleDateTime(0.5 + 0.6 * kSecond), "1899/12/30 12:0:1"},
                                     {OleDateTime(1.0 - 0.4 * kSecond), "1899/12/31 0:0:0"},
                                     {OleDateTime(-(2.0 - 0.4 * kSecond)), "1899/12/30 0:0:0"},  // 29th, 23:59:59.6
                                     {OleDateTime(-(1.0 + 0.4 * kSecond)), "1899/12/29 0:0:0"},
                                     {OleDateTime(2958466.0 - 0.4 * kSecond), kNone},  // rounds out of the range
                                     {OleDateTime(36526.0, OleDateTime::null), kNone}, {OleDateTime(NAN), kNone},
                                     {OleDateTime(-INFINITY), kNone}, {OleDateTime(-657435.0), kNone}}) {
    EXPECT_EQ(Fields(date), fields) << date.Value();
  }
}

TEST_F(OleDateTimeTest, FieldsOutsideTheCalendarGiveAnInvalidZeroDate) {
  for (const auto& [y, mo, d, h] : {std::array{99, 12, 31, 0}, {10000, 1, 1, 0}, {1900, 2, 29, 0}, {2009, 4, 31, 0},
                                    {2009, 13, 1, 0}, {2009, 1, 1, 24}, {2009, 1, 1, -1}}) {
    OleDateTime date(123.0);
    EXPECT_FALSE(date.SetDateTime(y, mo, d, h, 0, 0)) << y << "-" << mo << "-" << d << " " << h;
    EXPECT_EQ(Format("%g %d ", date.Value(), date.GetStatus()) + Fields(date), std::string("0 1 ") + kNone);
  }
}

}  // namespace
}  // namespace veld
