#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/file_error.h"
#include "records/fixed_string.h"

namespace veld {
namespace {

using namespace std::string_literals;

// Every prefix form: 8-bit count, 16-bit units with 8- and 16-bit counts, 16-, 32- and
// 64-bit counts, a unit above 255 (read as '?', not as the NUL of its low byte), a Latin-1
// unit and NULs inside a text. A count beyond the bytes (consumed 0 below) is an
// end-of-file error: up to 2^64 - 1, and 2^63 16-bit units, whose byte count would wrap to
// 0 when doubled. The scan to the first NUL and the scan of the bytes alone end where the
// full reader ends, and fail where it fails.
TEST(ReadArchiveString, DecodesEveryPrefixFormAndRefusesCountsBeyondTheBytes) {
  const std::string ff7(7, '\xFF');
  for (const auto& [bytes, text, consumed] : std::vector<std::tuple<std::string, std::string, size_t>>{
           {"\x03" "abc", "abc", 4}, {"\xFF\xFE\xFF\x02" "a\0b\0"s, "ab", 8},
           {"\xFF\xFE\xFF\xFF\x01\x00" "z\0"s, "z", 8}, {"\xFF\x02\x00" "ab"s, "ab", 5},
           {"\xFF\xFF\xFF\x02\x00\x00\x00" "ab"s, "ab", 9}, {ff7 + "\x01\0\0\0\0\0\0\0" "q"s, "q", 16},
           {"\xFF\xFE\xFF\x02\x00\x01" "B\0"s, "?B", 8}, {"\xFF\xFE\xFF\x01\xE9\x00"s, "\xE9", 6},
           {"\x04" "A\0BC"s, "A\0BC"s, 5}, {"\xFF\xFE\xFF\x03" "A\0\0\0C\0"s, "A\0C"s, 10},
           {"", "", 0}, {"\x04" "abc", "", 0}, {"\xFF\x02"s, "", 0}, {"\xFF\xFE\xFF"s, "", 0},
           {"\xFF\xFE\xFF\x02" "a\0b"s, "", 0}, {"\xFF\xFE\xFF\xFF\xFE\xFF"s, "", 0},
           {"\xFF\xFF\xFF\xFE\xFF\xFF\xFF" "ab"s, "", 0}, {ff7 + std::string(8, '\xFF') + "ab", "", 0},
           {"\xFF\xFE\xFF"s + ff7 + "\0\0\0\0\0\0\0\x80"s, "", 0}}) {
    const std::string input = consumed ? bytes + "tail" : bytes;
    ByteReader in(input, "t.dat"), to_nul(input, "t.dat"), bytes_only(input, "t.dat");
    try {
      EXPECT_EQ(ReadArchiveString(in), text);
      EXPECT_NE(consumed, 0u) << "no error for " << testing::PrintToString(bytes);
      EXPECT_EQ(in.Offset(), consumed) << testing::PrintToString(bytes);
      EXPECT_EQ(ReadArchiveStringToNul(to_nul), CutAtNul(text));
      ReadArchiveStringBytes(bytes_only);
      EXPECT_EQ(to_nul.Offset(), consumed);
      EXPECT_EQ(bytes_only.Offset(), consumed);
    } catch (const FileError& error) {
      EXPECT_EQ(consumed, 0u) << testing::PrintToString(bytes);
      EXPECT_EQ(error.cause(), FileError::Cause::EndOfFile);
      EXPECT_THROW(ReadArchiveStringBytes(bytes_only), FileError);
    }
  }
}

// A width of 255 was written as FF FE FF FF, which every reader takes for "a 16-bit count
// follows": the field read back as another text and misplaced what came after (found by
// fuzzing). Wider fields take the longer counts; a negative width writes an empty field.
TEST(WriteFixedString, EveryWidthReadsBackAsWrittenAndEndsWhereItShould) {
  for (const auto& [width, prefix] : std::vector<std::pair<int, std::string>>{
           {-3, "\xFF\xFE\xFF\x00"s}, {254, "\xFF\xFE\xFF\xFE"s}, {255, "\xFF\xFE\xFF\xFF\xFF\x00"s},
           {256, "\xFF\xFE\xFF\xFF\x00\x01"s}, {0xFFFE, "\xFF\xFE\xFF\xFF\xFE\xFF"s},
           {0xFFFF, "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00"s}}) {
    const std::string text(static_cast<size_t>(std::max(width, 0)), 'A');
    ByteWriter out;
    WriteFixedString(out, width < 0 ? "AB" : text, width);
    out.U8('Z');  // whatever follows the field must stay in place
    EXPECT_EQ(out.bytes().substr(0, prefix.size()), prefix) << width;
    ByteReader in(out.bytes(), "t.dat");
    EXPECT_EQ(ReadArchiveString(in), text) << width;
    EXPECT_EQ(in.U8(), 'Z') << width;
  }
}

}  // namespace
}  // namespace veld
