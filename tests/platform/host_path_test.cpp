#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host_path.h"
#include "support/temp_root.h"

namespace veld {
namespace {

namespace fs = std::filesystem;

class HostPathTest : public test::TempRootTest {
 protected:
  std::string Root(const std::string& rest) const { return temp_.root() + "/" + rest; }
  void Touch(const std::string& rest) const { test::WriteBytes(Root(rest), "x"); }
};

TEST_F(HostPathTest, DriveCStandsForTheRootAndBackslashesBecomeSlashes) {
  EXPECT_EQ(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"), Root("VELD/PC/UUT/UUTTable.dat"));
  EXPECT_EQ(HostPath("c:/VELD/PC"), Root("VELD/PC"));
  EXPECT_EQ(HostPath("C:\\VELD\\\\PC\\"), Root("VELD/PC"));
}

TEST_F(HostPathTest, ExistingComponentsResolveWithoutRegardToCase) {
  fs::create_directories(Root("veld/Pc/uut"));
  Touch("veld/Pc/uut/UUTTable.DAT");
  EXPECT_EQ(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"), Root("veld/Pc/uut/UUTTable.DAT"));
}

TEST_F(HostPathTest, NewNamesKeepTheirCaseAsWritten) {
  fs::create_directories(Root("veld"));
  EXPECT_EQ(HostPath("C:\\VELD\\New\\Sub\\File.Dat"), Root("veld/New/Sub/File.Dat"));
}

TEST_F(HostPathTest, AnExactNameIsPreferredOverOtherCaseVariants) {
  Touch("a.dat");
  Touch("A.DAT");
  EXPECT_EQ(HostPath("C:\\a.dat"), Root("a.dat"));
  EXPECT_EQ(HostPath("C:\\A.DAT"), Root("A.DAT"));
  // With no exact match the choice is stable: the lowest name in byte order.
  EXPECT_EQ(HostPath("C:\\A.dat"), Root("A.DAT"));
}

TEST_F(HostPathTest, RootComesFromVeldRootThenHome) {
  EXPECT_EQ(VeldRoot(), temp_.root());
  const char* home = std::getenv("HOME");
  const std::string saved_home = home ? home : "";
  setenv("HOME", Root("home").c_str(), 1);
  unsetenv("VELD_ROOT");
  const std::string fallback = VeldRoot();
  setenv("VELD_ROOT", temp_.root().c_str(), 1);
  if (home) {
    setenv("HOME", saved_home.c_str(), 1);
  } else {
    unsetenv("HOME");
  }
  EXPECT_EQ(fallback, Root("home"));
}

TEST_F(HostPathTest, FindFilesMatchesWithoutRegardToCaseAndSorts) {
  fs::create_directories(Root("veld/pc/testresults/sub.dat"));  // a folder is not listed
  Touch("veld/pc/testresults/b.dat");
  Touch("veld/pc/testresults/A.DAT");
  Touch("veld/pc/testresults/c.txt");
  Touch("veld/pc/testresults/.dat");
  EXPECT_EQ(FindFiles("C:\\VELD\\PC\\TestResults\\*.DAT"), (std::vector<std::string>{".dat", "A.DAT", "b.dat"}));
  EXPECT_TRUE(FindFiles("C:\\VELD\\PC\\Missing\\*.DAT").empty());
}

struct WildcardCase {
  const char* pattern;
  const char* name;
  bool matches;
};

class WildcardMatchTest : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardMatchTest, MatchesTheWholeName) {
  EXPECT_EQ(WildcardMatch(GetParam().pattern, GetParam().name), GetParam().matches)
      << GetParam().pattern << " vs " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Cases, WildcardMatchTest,
                         ::testing::Values(WildcardCase{"*.DAT", ".dat", true},
                                           WildcardCase{"*.DAT", "x.Dat", true},
                                           WildcardCase{"*.DAT", "x.dat.bak", false},
                                           WildcardCase{"*.DAT", "xdat", false},
                                           WildcardCase{"a?c", "ABC", true},
                                           WildcardCase{"a?c", "ac", false},
                                           WildcardCase{"?", "", false},
                                           WildcardCase{"*", "", true},
                                           WildcardCase{"", "", true},
                                           WildcardCase{"", "a", false},
                                           WildcardCase{"*ab", "aab", true},
                                           WildcardCase{"*a*b", "xaYYb", true},
                                           WildcardCase{"*a*b", "xaYYbc", false},
                                           WildcardCase{"**", "x", true},
                                           WildcardCase{"*a", "*ba", true},
                                           WildcardCase{"a*", "b", false}));

TEST(EqualsIgnoreCase, ComparesAsciiLetters) {
  EXPECT_TRUE(EqualsIgnoreCase("UUTTable.DAT", "uuttable.dat"));
  EXPECT_FALSE(EqualsIgnoreCase("a", "ab"));
  EXPECT_LT(CompareIgnoreCase("a", "B"), 0);
  EXPECT_GT(CompareIgnoreCase("ab", "A"), 0);
  EXPECT_EQ(CompareIgnoreCase("Ab", "aB"), 0);
}

}  // namespace
}  // namespace veld
