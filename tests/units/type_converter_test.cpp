#include "units/type_converter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <string>

#include "support/temp_root.h"

namespace veld {
namespace {

class TypeConverterTest : public test::TempRootTest {
 protected:
  TypeConverter converter_;
};

struct IntegerCase {
  std::string text;
  int expected;
};

class ParseIntegerTest : public TypeConverterTest, public ::testing::WithParamInterface<IntegerCase> {};

TEST_P(ParseIntegerTest, TakesLeadingDigitsOnly) {
  EXPECT_EQ(converter_.AsInteger(GetParam().text), GetParam().expected);
  int filled = 99;
  converter_.ParseInteger(GetParam().text, filled);
  EXPECT_EQ(filled, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseIntegerTest,
                         ::testing::Values(IntegerCase{"12", 12}, IntegerCase{">12", 12},
                                           IntegerCase{"1>2", 12}, IntegerCase{"-5", 0},
                                           IntegerCase{"12abc34", 12}, IntegerCase{"", 0},
                                           IntegerCase{" 7", 0}, IntegerCase{"007", 7},
                                           // 2^32 + 1 and 2^31 wrap as 32-bit arithmetic does.
                                           IntegerCase{"4294967297", 1}, IntegerCase{"2147483648", INT_MIN}));

struct DoubleCase {
  std::string text;
  double expected;
};

class ParseDoubleTest : public TypeConverterTest, public ::testing::WithParamInterface<DoubleCase> {};

TEST_P(ParseDoubleTest, WeighsDigitsByPlace) {
  EXPECT_DOUBLE_EQ(converter_.AsDouble(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseDoubleTest,
    ::testing::Values(
        DoubleCase{"0.25", 0.25}, DoubleCase{"-1.5", -1.5}, DoubleCase{"-20", -20.0}, DoubleCase{".5", 0.5},
        DoubleCase{"3.", 3.0}, DoubleCase{"2.5x7", 2.5}, DoubleCase{"-0.001", -0.001}, DoubleCase{"-7", -7.0},
        DoubleCase{"", 0.0}, DoubleCase{">1>2.5", 12.5}, DoubleCase{"1.2.3", 1.2}, DoubleCase{"-", 0.0},
        DoubleCase{"12-3", 12.0},
        // A non-digit before the point counts -1 in its place: 500 - 10 + 3 + 0.2 and -10 + 1 + 0.5.
        DoubleCase{"5-3.2", 493.2}, DoubleCase{" 1.5", -8.5}));

TEST_F(TypeConverterTest, DigitValueAndPower) {
  EXPECT_EQ(converter_.DigitValue("7x"), 7);
  EXPECT_EQ(converter_.DigitValue("x7"), -1);
  EXPECT_EQ(converter_.DigitValue(""), -1);
  EXPECT_EQ(converter_.Power(0, 5.0), 1.0);
  EXPECT_EQ(converter_.Power(3, 2.0), 8.0);
  EXPECT_EQ(converter_.Power(5, -2.0), -32.0);
  EXPECT_EQ(converter_.Power(-2, 2.0), 0.25);
  EXPECT_EQ(converter_.Power(22, 10.0), 1e22);
  EXPECT_EQ(converter_.Power(400, 10.0), INFINITY);
  EXPECT_EQ(converter_.Power(INT_MAX, 10.0), INFINITY);
  EXPECT_EQ(converter_.Power(INT_MIN, 10.0), 0.0);
}

TEST_F(TypeConverterTest, HugeTextsParseQuickly) {
  const auto start = std::chrono::steady_clock::now();
  const std::string million_zeros(1000000, '0');
  EXPECT_EQ(converter_.AsDouble("1" + million_zeros + ".5"), INFINITY);
  // Leading zeros add nothing, however many there are.
  EXPECT_DOUBLE_EQ(converter_.AsDouble(million_zeros + "1.5"), 1.5);
  EXPECT_NEAR(converter_.AsDouble("0." + std::string(1000000, '3')), 1.0 / 3.0, 1e-14);
  EXPECT_EQ(converter_.AsDouble(std::string(1000000, 'x') + ".0"), -INFINITY);
  (void)converter_.AsInteger(std::string(1000000, '9'));
  OleDateTime date;
  EXPECT_FALSE(converter_.ParseDateTime(std::string(1000000, '/') + std::string(1000000, ':'), date, true));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

struct DateCase {
  std::string text;
  bool month_first;
  bool valid;
  CalendarTime expected;  // checked only when valid
};

class ParseDateTimeTest : public TypeConverterTest, public ::testing::WithParamInterface<DateCase> {};

TEST_P(ParseDateTimeTest, BuildsValidDatesOnly) {
  const DateCase& c = GetParam();
  OleDateTime date(12345.0);
  EXPECT_EQ(converter_.ParseDateTime(c.text, date, c.month_first), c.valid);
  if (!c.valid) {
    EXPECT_EQ(date.GetStatus(), OleDateTime::invalid);
    return;
  }
  CalendarTime got;
  ASSERT_TRUE(date.GetCalendar(got));
  EXPECT_EQ(got.year, c.expected.year);
  EXPECT_EQ(got.month, c.expected.month);
  EXPECT_EQ(got.day, c.expected.day);
  EXPECT_EQ(got.hour, c.expected.hour);
  EXPECT_EQ(got.minute, c.expected.minute);
  EXPECT_EQ(got.second, c.expected.second);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseDateTimeTest,
    ::testing::Values(DateCase{"2/29/2009", true, false, {}},
                      DateCase{"29/02/2008", false, true, {2008, 2, 29, 0, 0, 0}},
                      DateCase{"1/5/2009", true, true, {2009, 1, 5, 0, 0, 0}},
                      DateCase{"1/5/2009", false, true, {2009, 5, 1, 0, 0, 0}},
                      DateCase{"0105200", true, false, {}},
                      DateCase{"01052009", true, true, {2009, 1, 5, 0, 0, 0}},
                      DateCase{">0105200>", true, false, {}}, DateCase{"01/05/0099", true, false, {}},
                      DateCase{"01/05/2009 13:45:10", true, true, {2009, 1, 5, 13, 45, 10}},
                      DateCase{"01/05/2009 25:00:00", true, false, {}},
                      // The time's fields reach past either end of the text: only what exists counts.
                      DateCase{"1:052009", true, true, {2009, 1, 5, 1, 5, 9}},
                      DateCase{"01052009:", true, true, {2009, 1, 5, 9, 0, 0}},
                      DateCase{":1234567", true, false, {}}, DateCase{"////////", true, false, {}},
                      DateCase{"////////:", false, false, {}}, DateCase{"12/3////:", true, false, {}}));

}  // namespace
}  // namespace veld
