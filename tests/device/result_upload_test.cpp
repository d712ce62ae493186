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

// A device name held on the desktop only under another letter case is another file (or
// another test): it is not copied, and the user is told which local file is in the way.
TEST_F(ResultUploadTest, TwoSpellingsOnTheDeviceGiveOneLocalFileTheFirstListedAndTheOtherIsReported) {
  PutResultOnDevice("R1.DAT", "upper");
  PutResultOnDevice("r1.dat", "lower");
  link_.UploadTestResults();
  EXPECT_EQ(NamesIn(LocalResults()), Names{"R1.DAT"});
  EXPECT_EQ(ReadBytes(LocalResults() + "/R1.DAT"), "upper");
  EXPECT_EQ(prompter_.Texts(), Names{"\"r1.dat\" in Mounted_Volume\\VELD\\TestResults\\DAT\\ was not copied: "
                                     "C:\\VELD\\PC\\TestResults\\R1.DAT differs from it only in letter case."});
  EXPECT_EQ(link_.FailedCopies(), 1u);
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
  EXPECT_EQ(prompter_.Texts(), Names{"\"R3.DAT\" in Mounted_Volume\\VELD\\TestResults\\DAT\\ was not copied: "
                                     "C:\\VELD\\PC\\TestResults\\r3.Dat differs from it only in letter case."});
}

// Copies go through a short temporary name that no device file can have: a local file
// named like "<target>.part" survives, and names of 254 and 255 bytes need no room for a
// suffix. A name that no longer fits the local path is skipped and the rest go on.
TEST_F(ResultUploadTest, TemporaryNamesNeitherDestroyFilesNorLimitTheNames) {
  const std::string name254 = std::string(250, 'M') + ".DAT", name255 = std::string(251, 'L') + ".DAT";
  PutOnDesktop("C:\\VELD\\PC\\TestResults\\NOTE.DAT.part", "uploaded earlier");
  for (const std::string& name : {std::string("NOTE.DAT"), name254, name255, std::string("Z.DAT")}) {
    PutResultOnDevice(name, name.substr(0, 4));
  }
  link_.UploadTestResults();
  EXPECT_EQ(NamesIn(LocalResults()), (Names{name255, name254, "NOTE.DAT", "NOTE.DAT.part", "Z.DAT"}));
  EXPECT_EQ(ReadBytes(LocalResults() + "/NOTE.DAT.part"), "uploaded earlier");
  EXPECT_EQ(ReadBytes(LocalResults() + "/" + name255), "LLLL");
  EXPECT_TRUE(prompter_.entries.empty());

  // A root so deep that the folder's path leaves less than 255 bytes before the system's limit.
  std::string deep = temp_.root();
  while (deep.size() < 3800) deep += "/" + std::string(200, 'd');
  ScopedVariable root("VELD_ROOT", deep);
  MakeDesktopFolder("C:\\VELD\\PC\\TestResults");
  link_.UploadTestResults();
  EXPECT_EQ(NamesIn(LocalResults()), (Names{"NOTE.DAT", "Z.DAT"}));
  const std::string tail = "\" in Mounted_Volume\\VELD\\TestResults\\DAT\\ was not copied: the name cannot be used "
                           "as a file name.";
  EXPECT_EQ(prompter_.Texts(), (Names{"\"" + name255 + tail, "\"" + name254 + tail}));
  EXPECT_EQ(link_.FailedCopies(), 2u);
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
