// Which names from the device may become local file names, and how wide names narrow.

#include <gtest/gtest.h>

#include <string>

#include "device/device_file_name.h"

namespace veld {
namespace {

struct NameCase {
  std::string name;
  bool safe;
};

class SafeFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(SafeFileName, AcceptsOnlyOneNameInsideTheFolder) { EXPECT_EQ(IsSafeFileName(GetParam().name), GetParam().safe); }

INSTANTIATE_TEST_SUITE_P(
    Names, SafeFileName,
    ::testing::Values(NameCase{"P1_Custom.DAT", true}, NameCase{"no extension", true},
                      NameCase{"caf\xE9.DAT", true},  // Latin-1 letters are ordinary characters
                      NameCase{"", false}, NameCase{".", false}, NameCase{"..", false}, NameCase{"a..b.DAT", false},
                      NameCase{"a/b.DAT", false}, NameCase{"a\\b.DAT", false}, NameCase{"C:x.DAT", false},
                      NameCase{"a*.DAT", false}, NameCase{"a?.DAT", false}, NameCase{"a<b>.DAT", false},
                      NameCase{"a|b.DAT", false}, NameCase{"a\"b.DAT", false}, NameCase{"tab\t.DAT", false},
                      NameCase{std::string("nul\0.DAT", 8), false}));

TEST(NarrowName, StopsAtTheTerminatorOrTheCapacity) {
  const char16_t terminated[] = u"R1.DAT\0junk";
  EXPECT_EQ(NarrowName(terminated, 12), "R1.DAT");
  const char16_t unterminated[] = {u'A', u'B', u'C', u'D'};
  EXPECT_EQ(NarrowName(unterminated, 3), "ABC");
}

TEST(NarrowName, KeepsLatin1AndRefusesWiderCharacters) {
  EXPECT_EQ(NarrowName(u"caf\u00E9", 8), "caf\xE9");
  EXPECT_EQ(NarrowName(u"\u20AC.DAT", 8), std::nullopt);
  EXPECT_EQ(PrintableName(u"\u20AC\u0001.DAT", 8), "??.DAT");
}

}  // namespace
}  // namespace veld
