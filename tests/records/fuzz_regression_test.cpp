// Inputs that the fuzz targets (fuzz/) found to break a promise of the records module, kept
// as unit tests with their bytes inline.

#include <gtest/gtest.h>

#include <string>

#include "platform/byte_stream.h"
#include "records/fixed_string.h"

namespace veld {
namespace {

using namespace std::string_literals;

// A field of width 255 was written as FF FE FF FF, which every reader takes for "a 16-bit
// count follows": the field read back as a different text and misplaced what came after.
// Found by reading an 8-bit text of 255 characters (prefix FF FF 00) and writing it back.
class WideFixedField : public ::testing::TestWithParam<int> {};

TEST_P(WideFixedField, ReadsBackAsWrittenAndEndsWhereItShould) {
  const int width = GetParam();
  const std::string text(static_cast<size_t>(width), 'A');
  ByteWriter out;
  WriteFixedString(out, text, width);
  out.U8('Z');  // whatever follows the field must stay in place
  ByteReader in(out.bytes(), "t.dat");
  EXPECT_EQ(ReadArchiveString(in), text);
  EXPECT_EQ(in.U8(), 'Z');
}

INSTANTIATE_TEST_SUITE_P(AroundTheOneByteLimit, WideFixedField, ::testing::Values(254, 255, 256, 0xFFFE, 0xFFFF));

TEST(WideFixedField, FuzzReproducerRoundTrips) {
  const std::string input = "\xFF\xFF\x00"s + std::string(255, 'A');
  ByteReader in(input, "crash.dat");
  const std::string text = ReadArchiveString(in);
  ASSERT_EQ(text.size(), 255u);
  ByteWriter out;
  WriteFixedString(out, text, 255);
  EXPECT_EQ(out.bytes().substr(0, 6), "\xFF\xFE\xFF\xFF\xFF\x00"s);
  ByteReader back(out.bytes(), "t.dat");
  EXPECT_EQ(ReadArchiveString(back), text);
}

TEST(WideFixedField, NegativeWidthWritesAnEmptyField) {
  ByteWriter out;
  WriteFixedString(out, "AB", -3);
  EXPECT_EQ(out.bytes(), "\xFF\xFE\xFF\x00"s);
}

}  // namespace
}  // namespace veld
