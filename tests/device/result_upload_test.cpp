// The result upload lists the local folder once instead of looking up every device name
// on the disk; names it cannot decide that way must still end as the disk would decide.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "device_link_fixture.h"
#include "platform/file_error.h"

namespace veld::test {
namespace {

using Names = std::vector<std::string>;

class ResultUploadTest : public DeviceLinkTest {
 protected:
  void SetUp() override {
    MakeDesktopFolder("C:\\VELD\\PC\\TestResults");
    MakeDeviceFolder("Mounted_Volume/VELD/TestResults/DAT");
    ASSERT_TRUE(link_.Connect());
  }
  void PutResultOnDevice(const std::string& name, const std::string& bytes) const {
    PutOnDevice("Mounted_Volume/VELD/TestResults/DAT/" + name, bytes);
  }
  static std::string LocalResults() { return OnDesktop("C:\\VELD\\PC\\TestResults"); }
};

TEST_F(ResultUploadTest, TwoSpellingsOnTheDeviceGiveOneLocalFileTheFirstListed) {
  PutResultOnDevice("R1.DAT", "upper");
  PutResultOnDevice("r1.dat", "lower");
  link_.UploadTestResults();
  EXPECT_EQ(NamesIn(LocalResults()), Names{"R1.DAT"});
  EXPECT_EQ(ReadBytes(LocalResults() + "/R1.DAT"), "upper");
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(ResultUploadTest, AnyLocalEntryOfTheNameInAnySpellingIsKept) {
  std::filesystem::create_directory(LocalResults() + "/R2.DAT");
  PutOnDesktop("C:\\VELD\\PC\\TestResults\\r3.Dat", "desktop r3");
  for (const char* name : {"R2.DAT", "R3.DAT", "R4.DAT"}) PutResultOnDevice(name, std::string("device ") + name);
  link_.UploadTestResults();
  EXPECT_EQ(NamesIn(LocalResults()), (Names{"R2.DAT", "R4.DAT", "r3.Dat"}));
  EXPECT_TRUE(std::filesystem::is_directory(LocalResults() + "/R2.DAT"));
  EXPECT_EQ(ReadBytes(LocalResults() + "/r3.Dat"), "desktop r3");
  EXPECT_EQ(ReadBytes(LocalResults() + "/R4.DAT"), "device R4.DAT");
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(ResultUploadTest, MissingLocalFolderEndsTheUploadWithTheFileErrorOfTheFirstCopy) {
  std::filesystem::remove_all(LocalResults());
  PutResultOnDevice("R1.DAT", "r1");
  PutResultOnDevice("R2.DAT", "r2");
  try {
    link_.UploadTestResults();
    ADD_FAILURE() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), OnDesktop("C:\\VELD\\PC\\TestResults\\R1.DAT"));
  }
  EXPECT_FALSE(std::filesystem::exists(LocalResults()));
}

}  // namespace
}  // namespace veld::test
