#include "platform/host_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "support/temp_root.h"

namespace veld {
namespace {

class HostPathTest : public test::TempRootTest {
 protected:
  std::string Root(const std::string& rest) const { return temp_.root() + "/" + rest; }
  void Touch(const std::string& rest) const { test::WriteBytes(Root(rest), "x"); }
};

TEST_F(HostPathTest, DriveCIsTheRootAndExistingNamesMatchWithoutRegardToCase) {
  EXPECT_EQ(HostPath("c:/VELD\\\\PC\\"), Root("VELD/PC"));
  Touch("veld/Pc/uut/UUTTable.DAT");
  Touch("a.dat");
  Touch("A.DAT");
  EXPECT_EQ(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"), Root("veld/Pc/uut/UUTTable.DAT"));
  EXPECT_EQ(HostPath("C:\\VELD\\New\\Sub\\File.Dat"), Root("veld/New/Sub/File.Dat"));  // new names as written
  EXPECT_EQ(HostPath("C:\\a.dat"), Root("a.dat"));  // an exact name wins over other case variants
  EXPECT_EQ(HostPath("C:\\A.DAT"), Root("A.DAT"));
  EXPECT_EQ(HostPath("C:\\A.dat"), Root("A.DAT"));  // else the lowest name in byte order, every time
}

TEST_F(HostPathTest, RootComesFromVeldRootThenHome) {
  EXPECT_EQ(VeldRoot(), temp_.root());
  const char* home = std::getenv("HOME");
  const std::string saved_home = home ? home : "";
  setenv("HOME", Root("home").c_str(), 1);
  unsetenv("VELD_ROOT");
  const std::string fallback = VeldRoot();
  setenv("VELD_ROOT", temp_.root().c_str(), 1);
  home ? setenv("HOME", saved_home.c_str(), 1) : unsetenv("HOME");
  EXPECT_EQ(fallback, Root("home"));
}

TEST_F(HostPathTest, FindFilesListsMatchingFilesSortedWithoutRegardToCase) {
  std::filesystem::create_directories(Root("veld/pc/testresults/sub.dat"));  // a folder is not listed
  for (const char* name : {"b.dat", "A.DAT", "c.txt", ".dat"}) Touch(std::string("veld/pc/testresults/") + name);
  EXPECT_EQ(FindFiles("C:\\VELD\\PC\\TestResults\\*.DAT"), (std::vector<std::string>{".dat", "A.DAT", "b.dat"}));
  EXPECT_TRUE(FindFiles("C:\\VELD\\PC\\Missing\\*.DAT").empty());
  for (const auto& [pattern, name, matches] :
       {std::tuple{"*.DAT", "x.dat.bak", false}, {"a?c", "ABC", true}, {"a?c", "ac", false}, {"*a*b", "xaYYb", true},
        {"*a*b", "xaYYbc", false}}) {
    EXPECT_EQ(WildcardMatch(pattern, name), matches) << pattern << " " << name;
  }
}

}  // namespace
}  // namespace veld
