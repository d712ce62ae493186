#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "database/database.h"
#include "database/password_check.h"
#include "database/system_log.h"
#include "platform/file_error.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld {
namespace {
namespace fs = std::filesystem;

// Name 0-7, ID 8-15, password 16-23 (blank padded), date 24-27, flag 28.
constexpr const char* kChiefValue = "Chief   A1234   secret  0101X";
constexpr const char* kOperatorValue = "Ann     B77     pw      0101Y";

class ScriptedEntry : public PasswordEntry {
 public:
  bool Run(const std::string& prompt, Operator& op) override {
    prompts.push_back(prompt);
    if (cancel) return false;
    op.Name = name;
    op.ID = id;
    op.Password = password;
    return true;
  }
  std::string name = "Ann", id = "B77", password = "pw";
  bool cancel = false;
  std::vector<std::string> prompts;
};

class OperatorsTest : public test::TempRootTest {
 protected:
  void SetUp() override { StartUp(); }

  void StartUp() {
    pc_ = std::make_unique<CDataBaseX>(prompter_);
    pc_->SetDevice(0);
    pc_->SetSystemData(&settings_);
    pc_->Open();
    pc_->SetSetting("OperatorChief", kChiefValue);
    pc_->SetSetting("OperatorAnn", kOperatorValue);
  }

  PasswordCheckResult Check() { return RunPasswordCheck(*pc_, entry_, prompter_, kPrintingPrompt); }

  std::string Log() {
    const std::string path = temp_.root() + "/VELD/PC/System/SYSTEMLOG.DAT";
    return fs::exists(path) ? test::ReadBytes(path) : std::string();
  }

  test::RecordingPrompter prompter_;
  SystemData settings_;
  ScriptedEntry entry_;
  std::unique_ptr<CDataBaseX> pc_;
};

TEST_F(OperatorsTest, DecodesBlankPaddedFields) {
  Operator op;
  op.Name = "Chief";
  ASSERT_TRUE(pc_->LoadOperator(op));
  EXPECT_EQ(op.Name, "Chief");
  EXPECT_EQ(op.ID, "A1234");
  EXPECT_EQ(op.Password, "secret");
  EXPECT_EQ(op.OperatorFlag, 'X');

  Operator unknown;
  unknown.Name = "chief";  // the key is compared with letter case
  EXPECT_FALSE(pc_->LoadOperator(unknown));
  EXPECT_EQ(unknown.ID, "QZENT");
}

TEST_F(OperatorsTest, ShortValueReportsTheChecksumOnlyWhenDecodedDirectly) {
  Operator op;
  pc_->DecodeOperator("too short", op);
  EXPECT_EQ(prompter_.Texts(),
            std::vector<std::string>{"Unable to load operator information from DataBase.\r\nChecksum error!"});
  EXPECT_EQ(op.Name, "NULL");
  EXPECT_EQ(op.ID, "NULL");
  EXPECT_EQ(op.Password, "NULL");

  // A 28-character value is no operator: the check fails quietly and is counted.
  prompter_.entries.clear();
  pc_->SetSetting("OperatorBob", std::string(kOperatorValue).substr(0, 28));
  entry_.name = "Bob";
  EXPECT_EQ(Check(), PasswordCheckResult::Failed);
  EXPECT_TRUE(prompter_.entries.empty());
  EXPECT_EQ(pc_->GetSettingValue("FailedPWAttemptCount"), "1");
}

TEST_F(OperatorsTest, ThreeFailuresLockTheSystemDown) {
  entry_.password = "wrong";
  EXPECT_EQ(Check(), PasswordCheckResult::Failed);
  EXPECT_EQ(pc_->GetSettingValue("FailedPWAttemptCount"), "1");
  EXPECT_EQ(pc_->GetSettingValue("LockedOut"), "false");
  EXPECT_EQ(Check(), PasswordCheckResult::Failed);
  EXPECT_EQ(pc_->GetSettingValue("FailedPWAttemptCount"), "2");
  EXPECT_EQ(pc_->GetSettingValue("LockedOut"), "false");
  EXPECT_TRUE(prompter_.entries.empty());  // a failed check says nothing

  EXPECT_EQ(Check(), PasswordCheckResult::LockedDown);
  EXPECT_EQ(pc_->GetSettingValue("FailedPWAttemptCount"), "3");
  EXPECT_EQ(pc_->GetSettingValue("LockedOut"), "true");
  EXPECT_TRUE(settings_.LockedOut);
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"System is being locked down due to 3 failed password "
                                                        "entry attempts.\r\nPlease see system administrator for "
                                                        "unlock."});
  EXPECT_EQ(entry_.prompts.front(), kPrintingPrompt);

  StartUp();  // the next start finds the lock-out
  EXPECT_TRUE(pc_->IsLockedOut());
}

TEST_F(OperatorsTest, SuccessClearsTheCountAndAnAdministratorLogsTheUnlock) {
  entry_.password = "wrong";
  Check();
  Check();
  entry_.password = "pw";
  EXPECT_EQ(Check(), PasswordCheckResult::Passed);
  EXPECT_EQ(pc_->GetSettingValue("FailedPWAttemptCount"), "0");
  EXPECT_EQ(pc_->GetSettingValue("LockedOut"), "false");
  EXPECT_EQ(Log().find("unlocked"), std::string::npos);  // not locked, not the administrator

  pc_->SetSetting("LockedOut", "true");
  settings_.LockedOut = true;
  entry_.name = "Chief";
  entry_.password = "secret";
  EXPECT_EQ(Check(), PasswordCheckResult::Passed);
  EXPECT_FALSE(settings_.LockedOut);
  EXPECT_TRUE(std::regex_search(Log(), std::regex("Device unlocked by administrator:  \\d+/\\d+/\\d{4} \\d+:\\d+\r\n$")));
}

TEST_F(OperatorsTest, MissingLimitLocksAtTheFirstFailure) {
  pc_->SetSetting("LockDownAttemptLimit", "NULL");  // reads as a missing key
  entry_.password = "wrong";
  EXPECT_EQ(Check(), PasswordCheckResult::LockedDown);
  EXPECT_EQ(pc_->GetSettingValue("LockedOut"), "true");
}

TEST_F(OperatorsTest, FailedAttemptIsLoggedWithTheTypedIdAndNeverThePassword) {
  entry_.id = "ID-42";
  entry_.password = "hunter2";
  Check();
  entry_.password = "hunter3";
  Check();
  const std::string log = Log();
  const std::regex line(
      "Failed attempt at password entry logged!    Attempt occurred:  \\d{1,2}/\\d{1,2}/\\d{4} \\d{1,2}:\\d{1,2}"
      "    Operator ID#:  ID-42\r\n");
  EXPECT_EQ(std::distance(std::sregex_iterator(log.begin(), log.end(), line), std::sregex_iterator()), 2)
      << log;  // appended, not written over the first line
  EXPECT_EQ(log.find("hunter"), std::string::npos);
}

TEST_F(OperatorsTest, CancelledEntryCountsAndLogsNothing) {
  entry_.cancel = true;
  EXPECT_EQ(Check(), PasswordCheckResult::Cancelled);
  EXPECT_EQ(pc_->GetSettingValue("FailedPWAttemptCount"), "00000000000000000000000000000000");
  EXPECT_TRUE(Log().empty());
}

TEST_F(OperatorsTest, UnwritableLogStopsTheCheckBeforeCounting) {
  fs::create_directories(temp_.root() + "/VELD/PC/System/SYSTEMLOG.DAT");  // a folder in its place
  entry_.password = "wrong";
  EXPECT_THROW(Check(), FileError);
  EXPECT_EQ(pc_->GetSettingValue("FailedPWAttemptCount"), "00000000000000000000000000000000");
}

TEST(SystemLogText, InvalidTimeGivesMinusOnes) {
  EXPECT_EQ(LogDateTimeText(OleDateTime(0.0, OleDateTime::invalid)), "-1/-1/-1 -1:-1");
  EXPECT_EQ(LogDateTimeText(OleDateTime(2012, 3, 7, 9, 5, 0)), "3/7/2012 9:5");
}

}  // namespace
}  // namespace veld
