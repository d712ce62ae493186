// The profile commands and the password check over real databases: what they change in
// the tables, what they ask of the window, and the operators' lock-down and system log.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "app/password_check.h"
#include "app/profile_commands.h"
#include "database/database.h"
#include "support/two_databases.h"

namespace veld {
namespace {
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

using DatabaseTest = test::TwoDatabasesTest;

// What the profile commands ask of the window, in order.
class RecordingHooks : public ProfileCommandHooks {
 public:
  void RefillUUTList(DatabaseSide side) override { calls.push_back("refill UUT " + Name(side)); }
  void RefillProfileList(DatabaseSide side) override { calls.push_back("refill profile " + Name(side)); }
  void DownloadUUTTable() override { calls.push_back("download UUT"); }
  void DownloadTestProfileTable() override { calls.push_back("download profile"); }
  Names Take() { return std::exchange(calls, {}); }
  Names calls;

 private:
  static std::string Name(DatabaseSide side) { return side == DatabaseSide::VELD ? "VELD" : "PC"; }
};

class ProfileCommandsTest : public DatabaseTest {
 protected:
  void SetUp() override {
    StartUp();
    veld_->Open();  // the mirror as the first upload leaves it: the built-in records
  }
  Names Ids(CDataBaseX& database, const char* table) {
    VectorListTarget combo;
    database.FillCombo(combo, table);
    return combo.items;
  }
  std::string VeldFile(const std::string& relative) const { return temp_.root() + "/VELD/VELD/" + relative; }

  RecordingHooks hooks_;
  UUT uut_;
  TestProfile profile_;
};

constexpr const char* kBuiltIn1 = "73950R5WB2DQ8C";
constexpr const char* kBuiltIn2 = "7395R25WB2DQ8C";

// One download of the changed table after all the records, never one per record.
TEST_F(ProfileCommandsTest, ChangesToTheMirrorDownloadOnceAndEveryChangeRefillsItsList) {
  EXPECT_TRUE(DeleteUUTs(*veld_, DatabaseSide::VELD, {kBuiltIn1, kBuiltIn2}, uut_, hooks_));
  EXPECT_EQ(hooks_.Take(), (Names{"refill UUT VELD", "download UUT"}));
  EXPECT_TRUE(Ids(*veld_, "UUT").empty());
  EXPECT_TRUE(TransferUUTs(*pc_, *veld_, DatabaseSide::VELD, {kBuiltIn2, kBuiltIn1}, uut_, hooks_));
  EXPECT_EQ(hooks_.Take(), (Names{"download UUT", "refill UUT VELD"}));
  EXPECT_EQ(Ids(*veld_, "UUT"), (Names{kBuiltIn2, kBuiltIn1}));
  EXPECT_EQ(uut_.ID, kBuiltIn1);  // the last one transferred
  EXPECT_TRUE(TransferTestProfiles(*veld_, *pc_, DatabaseSide::PC, {"3pointtest", "5pointtest"}, profile_, hooks_));
  EXPECT_EQ(hooks_.Take(), Names{"refill profile PC"});
  EXPECT_TRUE(DeleteTestProfiles(*pc_, DatabaseSide::PC, {"3pointtest", "5pointtest"}, profile_, hooks_));
  EXPECT_EQ(hooks_.Take(), Names{"refill profile PC"});
  EXPECT_EQ(Ids(*pc_, "TestProfile").size(), 4u);
}

// A refused change is reported to the caller, and the sequence still runs as it would.
TEST_F(ProfileCommandsTest, ARefusedChangeMakesTheCommandFalse) {
  const std::string table = VeldFile("UUT/UUTTable_PPCBK.dat");
  test::WriteBytes(table, test::ReadBytes(table) + "stray");
  const std::string corrupted = test::ReadBytes(table);
  EXPECT_FALSE(TransferUUTs(*pc_, *veld_, DatabaseSide::VELD, {kBuiltIn1}, uut_, hooks_));
  EXPECT_FALSE(DeleteUUTs(*veld_, DatabaseSide::VELD, {kBuiltIn1}, uut_, hooks_));
  EXPECT_EQ(hooks_.Take(), (Names{"download UUT", "refill UUT VELD", "refill UUT VELD", "download UUT"}));
  EXPECT_EQ(test::ReadBytes(table), corrupted);
  const std::string message = "UUT table corrupted!!\r\n" + table;
  EXPECT_EQ(prompter_.Texts(), (Names{message, message}));
  // A profile written over its old place in a table with stray bytes: cut back, with a message.
  const std::string profiles = VeldFile("TestProfile/TestProfileTable_PPCBK.dat");
  test::WriteBytes(profiles, test::ReadBytes(profiles) + "stray");
  EXPECT_FALSE(TransferTestProfiles(*pc_, *veld_, DatabaseSide::VELD, {"3pointtest"}, profile_, hooks_));
  EXPECT_EQ(prompter_.Texts().back(), "Error writing profile to database!");
  EXPECT_EQ(fs::file_size(profiles), 6u * 144u);
}


// Name 0-7, ID 8-15, password 16-23 (blank padded), date 24-27, flag 28.
constexpr const char* kAnnValue = "Ann     B77     pw      0101Y";
constexpr const char* kNoCount = "00000000000000000000000000000000";  // the default: never counted

// The entry dialog, answering with what an operator would type.
class ScriptedEntry : public PasswordEntry {
 public:
  bool Run(const std::string&, Operator& op) override {
    op.Name = name;
    op.ID = id;
    op.Password = password;
    return !cancel;
  }
  std::string name = "Ann", id = "B77", password = "pw";
  bool cancel = false;
};

class OperatorsTest : public DatabaseTest {
 protected:
  void SetUp() override {
    StartUp();
    pc_->SetSetting("OperatorChief", "Chief   A1234   secret  0101X");
    pc_->SetSetting("OperatorAnn", kAnnValue);
  }
  PasswordCheckResult CheckWith(const std::string& password) {
    entry_.password = password;
    return RunPasswordCheck(*pc_, entry_, prompter_, kPrintingPrompt);
  }
  // The failed-attempt count and the lock-out flag as stored.
  std::string State() { return pc_->GetSettingValue("FailedPWAttemptCount") + " " + pc_->GetSettingValue("LockedOut"); }
  std::string Log() const {
    const std::string path = temp_.root() + "/VELD/PC/System/SYSTEMLOG.DAT";
    return fs::exists(path) ? test::ReadBytes(path) : std::string();
  }
  ScriptedEntry entry_;
};

TEST_F(OperatorsTest, ShortValueFailsTheCheckQuietlyAndReportsTheChecksumOnlyWhenDecodedDirectly) {
  pc_->SetSetting("OperatorBob", std::string(kAnnValue).substr(0, 28));
  entry_.name = "Bob";
  EXPECT_EQ(CheckWith("pw"), PasswordCheckResult::Failed);
  EXPECT_TRUE(prompter_.entries.empty());
  EXPECT_EQ(State(), "1 false");
  Operator op;
  pc_->DecodeOperator("too short", op);
  EXPECT_EQ(prompter_.Texts(), Names{"Unable to load operator information from DataBase.\r\nChecksum error!"});
}

// Names and passwords match with their blank padding removed.
TEST_F(OperatorsTest, FailuresLockTheSystemDownASuccessClearsTheCountAndTheAdministratorUnlocks) {
  EXPECT_EQ(CheckWith("wrong"), PasswordCheckResult::Failed);
  EXPECT_EQ(State(), "1 false");
  EXPECT_EQ(CheckWith("pw"), PasswordCheckResult::Passed);
  EXPECT_EQ(State(), "0 false");
  EXPECT_EQ(CheckWith("wrong"), PasswordCheckResult::Failed);
  EXPECT_EQ(CheckWith("wrong"), PasswordCheckResult::Failed);
  EXPECT_EQ(State(), "2 false");
  EXPECT_TRUE(prompter_.entries.empty());  // a failed check says nothing
  EXPECT_EQ(CheckWith("wrong"), PasswordCheckResult::LockedDown);
  EXPECT_EQ(State(), "3 true");
  EXPECT_EQ(prompter_.Texts(), Names{"System is being locked down due to 3 failed password entry attempts.\r\n"
                                     "Please see system administrator for unlock."});
  EXPECT_EQ(Log().find("unlocked"), std::string::npos);  // an operator's success while not locked logs none
  StartUp();
  EXPECT_TRUE(pc_->IsLockedOut() && settings_.LockedOut);
  entry_.name = "Chief";
  EXPECT_EQ(CheckWith("secret"), PasswordCheckResult::Passed);
  EXPECT_FALSE(settings_.LockedOut);
  EXPECT_TRUE(std::regex_search(Log(), std::regex("Device unlocked by administrator:  \\d+/\\d+/\\d+ \\d+:\\d+\r\n$")));
}

TEST_F(OperatorsTest, FailedAttemptsAreAppendedToTheLogWithTheTypedIdAndNeverThePassword) {
  entry_.id = "ID-42";
  CheckWith("hunter2");
  CheckWith("hunter3");
  const std::string log = Log();
  const std::regex line(
      "Failed attempt at password entry logged!    Attempt occurred:  \\d{1,2}/\\d{1,2}/\\d{4} \\d{1,2}:\\d{1,2}"
      "    Operator ID#:  ID-42\r\n");
  EXPECT_EQ(std::distance(std::sregex_iterator(log.begin(), log.end(), line), std::sregex_iterator()), 2) << log;
  EXPECT_EQ(log.find("hunter"), std::string::npos);
}

TEST_F(OperatorsTest, CancelCountsNothingAnUnwritableLogIsReportedButFailuresStillCountAndAMissingLimitLocksAtOnce) {
  entry_.cancel = true;
  EXPECT_EQ(CheckWith("wrong"), PasswordCheckResult::Cancelled);
  EXPECT_EQ(State(), std::string(kNoCount) + " false");
  EXPECT_TRUE(Log().empty());

  entry_.cancel = false;
  const std::string log = temp_.root() + "/VELD/PC/System/SYSTEMLOG.DAT";
  fs::create_directories(log);  // a folder in its place
  EXPECT_EQ(CheckWith("wrong"), PasswordCheckResult::Failed);
  EXPECT_EQ(CheckWith("wrong"), PasswordCheckResult::Failed);
  EXPECT_EQ(CheckWith("wrong"), PasswordCheckResult::LockedDown);
  EXPECT_EQ(State(), "3 true");
  const std::string unwritable = "Access to " + log + " was denied.";
  EXPECT_EQ(prompter_.Texts(), (Names{unwritable, unwritable, unwritable,
                                      "System is being locked down due to 3 failed password entry attempts.\r\n"
                                      "Please see system administrator for unlock."}));

  fs::remove(log);
  pc_->ClearLockOut();
  pc_->SetSetting("LockDownAttemptLimit", "NULL");  // reads as a missing key
  EXPECT_EQ(CheckWith("wrong"), PasswordCheckResult::LockedDown);
  EXPECT_EQ(State(), "1 true");
}

}  // namespace
}  // namespace veld
