#include "database/profile_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "database/database.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld {
namespace {
namespace fs = std::filesystem;

// Records what the commands ask of the window, in order.
class RecordingHooks : public ProfileCommandHooks {
 public:
  void RefillUUTList(DatabaseSide side) override { calls.push_back(Name("refill UUT", side)); }
  void RefillProfileList(DatabaseSide side) override { calls.push_back(Name("refill profile", side)); }
  void DownloadUUTTable() override { calls.push_back("download UUT"); }
  void DownloadTestProfileTable() override { calls.push_back("download profile"); }
  std::vector<std::string> calls;

 private:
  static std::string Name(const char* what, DatabaseSide side) {
    return std::string(what) + (side == DatabaseSide::VELD ? " VELD" : " PC");
  }
};

class ProfileCommandsTest : public test::TempRootTest {
 protected:
  void SetUp() override {
    // Both databases opened, so that the VELD side has tables as after an upload.
    for (auto* database : {&pc_, &veld_}) {
      database->SetDevice(database == &veld_ ? 1 : 0);
      database->Open();
    }
  }
  std::vector<std::string> Ids(CDataBaseX& database) {
    VectorListTarget combo;
    database.FillCombo(combo, "TestProfile");
    return combo.items;
  }

  test::RecordingPrompter prompter_;
  CDataBaseX pc_{prompter_};
  CDataBaseX veld_{prompter_};
  RecordingHooks hooks_;
};

TEST_F(ProfileCommandsTest, DeleteAnsweredNoChangesNothing) {
  prompter_.answer_yes = false;
  TestProfile current;
  EXPECT_FALSE(DeleteTestProfiles(veld_, DatabaseSide::VELD, {"3pointtest"}, current, prompter_, hooks_));
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"You are about to delete a test profile from the VELD "
                                                        "database.  Are you sure you want to do this?"});
  EXPECT_EQ(Ids(veld_).size(), 6u);
  EXPECT_TRUE(hooks_.calls.empty());
}

TEST_F(ProfileCommandsTest, DeleteOnTheVeldSideRefillsThenDownloadsEvenForNoSelection) {
  UUT current;
  EXPECT_TRUE(DeleteUUTs(veld_, DatabaseSide::VELD, {}, current, prompter_, hooks_));
  EXPECT_EQ(hooks_.calls, (std::vector<std::string>{"refill UUT VELD", "download UUT"}));
}

TEST_F(ProfileCommandsTest, DeletingACustomProfileRemovesItsFileWhateverTheCurrentProfileIs) {
  TestProfile custom;
  custom.ID = "Mine";
  custom.ProfileType = "Custom";
  custom.NumberOfPoints = 2;
  custom.CustomPoints = {0.0, 1.0};
  pc_.SaveTestProfile(custom);
  const std::string file = temp_.root() + "/VELD/PC/TestProfile/Mine_Custom.DAT";
  ASSERT_TRUE(fs::exists(file));

  TestProfile current;  // last shown: a standard "Ascending" profile
  current.ID = "3pointtest";
  ASSERT_TRUE(DeleteTestProfiles(pc_, DatabaseSide::PC, {"Mine"}, current, prompter_, hooks_));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(current.ID, "Mine");
  EXPECT_EQ(hooks_.calls, std::vector<std::string>{"refill profile PC"});
}

TEST_F(ProfileCommandsTest, TransferIntoTheVeldDatabaseDownloadsOnceAndKeepsTheLastRecord) {
  TestProfile current;
  TransferTestProfiles(pc_, veld_, DatabaseSide::VELD, {"5pointtest", "7pointtest"}, current, hooks_);
  EXPECT_EQ(hooks_.calls, (std::vector<std::string>{"download profile", "refill profile VELD"}));
  EXPECT_EQ(current.ID, "7pointtest");
  EXPECT_EQ(current.NumberOfPoints, 7);
  EXPECT_EQ(Ids(veld_).size(), 6u) << "existing IDs are replaced in place";
  EXPECT_TRUE(prompter_.entries.empty()) << "no question before a transfer";
}

}  // namespace
}  // namespace veld
