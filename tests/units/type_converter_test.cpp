#include "units/type_converter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <tuple>
#include <vector>

#include "platform/format.h"
#include "support/temp_root.h"

namespace veld {
namespace {

class TypeConverterTest : public test::TempRootTest {
 protected:
  TypeConverter converter_;
};

TEST_F(TypeConverterTest, NumbersAreReadLeniently) {
  // Integers: the leading digits once ">" is removed; 2^32 + 1 and 2^31 wrap as 32-bit arithmetic does.
  for (const auto& [text, expected] : {std::pair{"1>2", 12}, {"12abc34", 12}, {"-5", 0}, {" 7", 0}, {"", 0},
                                       {"4294967297", 1}, {"2147483648", INT_MIN}}) {
    int filled = 99;
    converter_.ParseInteger(text, filled);
    EXPECT_EQ(filled, expected) << text;
  }
  // A non-digit before the point counts -1 in its place: 500 - 10 + 3 + 0.2 and -10 + 1 + 0.5.
  // Beyond 309 digits the sum is infinite, and leading zeros still add nothing (not 0 x inf).
  const std::string zeros(500, '0');
  for (const auto& [text, expected] : std::vector<std::pair<std::string, double>>{
           {"-1.5", -1.5}, {".5", 0.5}, {"2.5x7", 2.5}, {"-0.001", -0.001}, {"-", 0.0}, {">1>2.5", 12.5},
           {"1.2.3", 1.2}, {"5-3.2", 493.2}, {" 1.5", -8.5}, {"1" + zeros + ".5", INFINITY},
           {zeros + "1.5", 1.5}, {"0." + std::string(500, '3'), 1.0 / 3.0}}) {
    EXPECT_DOUBLE_EQ(converter_.AsDouble(text), expected) << text.substr(0, 20);
  }
  EXPECT_EQ(converter_.Power(INT_MAX, 10.0), INFINITY);
  EXPECT_EQ(converter_.Power(INT_MIN, 10.0), 0.0);
}

TEST_F(TypeConverterTest, DatesAreBuiltOnlyWhenValid) {
  // The time's fields may reach past either end of the text: only what exists counts.
  const std::tuple<std::string, bool, std::string> cases[] = {
      {"2/29/2009", true, "invalid"}, {"29/02/2008", false, "2008-2-29 0:0:0"}, {"1/5/2009", true, "2009-1-5 0:0:0"},
      {"1/5/2009", false, "2009-5-1 0:0:0"}, {"0105200", true, "invalid"}, {"01052009", true, "2009-1-5 0:0:0"},
      {"01/05/0099", true, "invalid"}, {"01/05/2009 13:45:10", true, "2009-1-5 13:45:10"},
      {"01/05/2009 25:00:00", true, "invalid"}, {"1:052009", true, "2009-1-5 1:5:9"},
      {"01052009:", true, "2009-1-5 9:0:0"}, {":1234567", true, "invalid"}, {"12/3////:", true, "invalid"}};
  for (const auto& [text, month_first, expected] : cases) {
    OleDateTime date(12345.0);
    EXPECT_EQ(converter_.ParseDateTime(text, date, month_first), expected != "invalid") << text;
    CalendarTime t;
    const bool valid = date.GetCalendar(t);
    EXPECT_EQ(valid ? Format("%d-%d-%d %d:%d:%d", t.year, t.month, t.day, t.hour, t.minute, t.second)
                    : date.GetStatus() == OleDateTime::invalid ? "invalid" : "no calendar",
              expected) << text;
  }
}

}  // namespace
}  // namespace veld
