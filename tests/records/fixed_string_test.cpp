#include <gtest/gtest.h>

#include <string>

#include "platform/byte_stream.h"
#include "platform/file_error.h"
#include "records/fixed_string.h"

namespace veld {
namespace {

using namespace std::string_literals;

std::string Written(const std::string& text, int width) {
  ByteWriter out;
  WriteFixedString(out, text, width);
  return out.Take();
}

TEST(WriteFixedString, WritesMarkerWidthAndPaddedUnits) {
  const std::string expected = "\xFF\xFE\xFF\x08"s + "A\0B\0"s + std::string(12, '\0');
  EXPECT_EQ(Written("AB", 8), expected);
}

TEST(WriteFixedString, WritesHighCharactersAsLowByteOfAUnit) {
  EXPECT_EQ(Written("\xE9", 8).substr(4, 4), "\xE9\0\0\0"s);
}

TEST(WriteFixedString, CutsLongTextToItsWidth) {
  const std::string bytes = Written("ABCDEFGHIJ", 8);
  ASSERT_EQ(bytes.size(), 20u);
  EXPECT_EQ(bytes.substr(18), "H\0"s);
}

TEST(WriteFixedString, EmptyTextIsAllPadding) {
  EXPECT_EQ(Written("", 32), "\xFF\xFE\xFF\x20"s + std::string(64, '\0'));
}

struct PrefixCase {
  const char* name;
  std::string bytes;
  std::string text;
  size_t consumed;
};

class ReadArchiveStringForms : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(ReadArchiveStringForms, DecodesTextAndStopsAfterIt) {
  const std::string input = GetParam().bytes + "tail";
  ByteReader in(input, "t.dat");
  EXPECT_EQ(ReadArchiveString(in), GetParam().text);
  EXPECT_EQ(in.Offset(), GetParam().consumed);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPrefix, ReadArchiveStringForms,
    ::testing::Values(
        PrefixCase{"ByteCount", "\x03" "abc", "abc", 4},
        PrefixCase{"EmptyByteCount", "\x00"s, "", 1},
        PrefixCase{"WideByteCount", "\xFF\xFE\xFF\x02" "a\0b\0"s, "ab", 8},
        PrefixCase{"WordCount", "\xFF\x02\x00" "ab"s, "ab", 5},
        PrefixCase{"WideWordCount", "\xFF\xFE\xFF\xFF\x01\x00" "z\0"s, "z", 8},
        PrefixCase{"DwordCount", "\xFF\xFF\xFF\x02\x00\x00\x00" "ab"s, "ab", 9},
        PrefixCase{"QwordCount", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x01\0\0\0\0\0\0\0" "q"s, "q", 16},
        PrefixCase{"WideAbove255BecomesQuestionMark", "\xFF\xFE\xFF\x02\x41\x01" "B\0"s, "?B", 8},
        PrefixCase{"WideLatin1Kept", "\xFF\xFE\xFF\x01\xE9\x00"s, "\xE9", 6}),
    [](const auto& info) { return std::string(info.param.name); });

class ReadArchiveStringHugeCounts : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(ReadArchiveStringHugeCounts, RaiseEndOfFile) {
  ByteReader in(GetParam().bytes, "t.dat");
  try {
    ReadArchiveString(in);
    FAIL() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), FileError::Cause::EndOfFile);
    EXPECT_EQ(error.path(), "t.dat");
  }
}

INSTANTIATE_TEST_SUITE_P(
    BeyondTheBytes, ReadArchiveStringHugeCounts,
    ::testing::Values(
        PrefixCase{"Empty", "", "", 0},
        PrefixCase{"ByteCountOneTooMany", "\x04" "abc", "", 0},
        PrefixCase{"CutInsideWordCount", "\xFF\x02"s, "", 0},
        PrefixCase{"CutAfterWideMarker", "\xFF\xFE\xFF"s, "", 0},
        PrefixCase{"WideOddByte", "\xFF\xFE\xFF\x02" "a\0b"s, "", 0},
        PrefixCase{"WideWordCount", "\xFF\xFE\xFF\xFF\xFE\xFF"s, "", 0},
        PrefixCase{"DwordMax", "\xFF\xFF\xFF\xFE\xFF\xFF\xFF" "ab"s, "", 0},
        PrefixCase{"QwordMax", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF" + std::string(8, '\xFF') + "ab", "", 0},
        // 2^63 16-bit units: doubling the count would wrap to 0 bytes.
        PrefixCase{"WideQwordWrapsWhenDoubled",
                   "\xFF\xFE\xFF"s + std::string(7, '\xFF') + "\0\0\0\0\0\0\0\x80"s, "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrimString, StopsAtNulOrNonAscii) {
  EXPECT_EQ(TrimString("ABC\0DEF"s), "ABC");
  EXPECT_EQ(TrimString("AB\x80" "C"), "AB");
  EXPECT_EQ(TrimString("\xFF"), "");
  EXPECT_EQ(TrimString("a\x7F" "b"), "a\x7F" "b");
  EXPECT_EQ(TrimString(""), "");
}

TEST(CutAtNul, KeepsHighCharacters) {
  EXPECT_EQ(CutAtNul("AB\0C"s), "AB");
  EXPECT_EQ(CutAtNul("A\xE9" "B"), "A\xE9" "B");
}

}  // namespace
}  // namespace veld
