#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/file_error.h"
#include "records/fixed_string.h"

namespace veld {
namespace {

using namespace std::string_literals;

// Every prefix form: 8-bit count, 16-bit units with 8- and 16-bit counts, 16-, 32- and
// 64-bit counts, a unit above 255 (read as '?') and a Latin-1 unit. A count beyond the
// bytes (consumed 0 below) is an end-of-file error: up to 2^64 - 1, and 2^63 16-bit units,
// whose byte count would wrap to 0 when doubled.
TEST(ReadArchiveString, DecodesEveryPrefixFormAndRefusesCountsBeyondTheBytes) {
  const std::string ff7(7, '\xFF');
  for (const auto& [bytes, text, consumed] : std::vector<std::tuple<std::string, std::string, size_t>>{
           {"\x03" "abc", "abc", 4}, {"\xFF\xFE\xFF\x02" "a\0b\0"s, "ab", 8},
           {"\xFF\xFE\xFF\xFF\x01\x00" "z\0"s, "z", 8}, {"\xFF\x02\x00" "ab"s, "ab", 5},
           {"\xFF\xFF\xFF\x02\x00\x00\x00" "ab"s, "ab", 9}, {ff7 + "\x01\0\0\0\0\0\0\0" "q"s, "q", 16},
           {"\xFF\xFE\xFF\x02\x41\x01" "B\0"s, "?B", 8}, {"\xFF\xFE\xFF\x01\xE9\x00"s, "\xE9", 6},
           {"", "", 0}, {"\x04" "abc", "", 0}, {"\xFF\x02"s, "", 0}, {"\xFF\xFE\xFF"s, "", 0},
           {"\xFF\xFE\xFF\x02" "a\0b"s, "", 0}, {"\xFF\xFE\xFF\xFF\xFE\xFF"s, "", 0},
           {"\xFF\xFF\xFF\xFE\xFF\xFF\xFF" "ab"s, "", 0}, {ff7 + std::string(8, '\xFF') + "ab", "", 0},
           {"\xFF\xFE\xFF"s + ff7 + "\0\0\0\0\0\0\0\x80"s, "", 0}}) {
    const std::string input = consumed ? bytes + "tail" : bytes;
    ByteReader in(input, "t.dat");
    try {
      EXPECT_EQ(ReadArchiveString(in), text);
      EXPECT_NE(consumed, 0u) << "no error for " << testing::PrintToString(bytes);
      EXPECT_EQ(in.Offset(), consumed) << testing::PrintToString(bytes);
    } catch (const FileError& error) {
      EXPECT_EQ(consumed, 0u) << testing::PrintToString(bytes);
      EXPECT_EQ(error.cause(), FileError::Cause::EndOfFile);
    }
  }
}

}  // namespace
}  // namespace veld
