#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "database/database.h"
#include "platform/file_error.h"
#include "platform/host_path.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld {
namespace {
namespace fs = std::filesystem;

// Every file under the root with its bytes: a second start must leave it all as it was.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    files[entry.path().string()] = entry.is_regular_file() ? test::ReadBytes(entry.path().string()) : "<dir>";
  }
  return files;
}

class DatabaseTest : public test::TempRootTest {
 protected:
  // Start-up as the main window does it: both facades, flags, settings record, PC open.
  void StartUp() {
    veld_ = std::make_unique<CDataBaseX>(prompter_);
    pc_ = std::make_unique<CDataBaseX>(prompter_);
    veld_->SetDevice(1);
    pc_->SetDevice(0);
    pc_->SetSystemData(&settings_);
    pc_->Open();
  }

  test::RecordingPrompter prompter_;
  SystemData settings_;
  std::unique_ptr<CDataBaseX> veld_, pc_;
};

TEST_F(DatabaseTest, FirstStartCreatesTheTreeAndThePCTablesOnly) {
  StartUp();
  for (const char* folder : {"VELD", "VELD/PC", "VELD/PC/TestResults", "VELD/PC/UUT", "VELD/PC/TestProfile",
                             "VELD/PC/System", "VELD/VELD", "VELD/VELD/TestProfile", "VELD/VELD/UUT",
                             "VELD/VELD/System"}) {
    EXPECT_TRUE(fs::is_directory(temp_.root() + "/" + folder)) << folder;
  }
  EXPECT_EQ(fs::file_size(temp_.root() + "/VELD/PC/UUT/UUTTable.dat"), 1136u);
  EXPECT_EQ(fs::file_size(temp_.root() + "/VELD/PC/TestProfile/TestProfileTable.dat"), 864u);
  EXPECT_EQ(fs::file_size(temp_.root() + "/VELD/PC/System/SystemDataTable.dat"), 33u * 136u);
  // The VELD database is never opened at start-up.
  EXPECT_TRUE(fs::is_empty(temp_.root() + "/VELD/VELD/UUT"));
  EXPECT_TRUE(fs::is_empty(temp_.root() + "/VELD/VELD/TestProfile"));
  EXPECT_TRUE(fs::is_empty(temp_.root() + "/VELD/VELD/System"));
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(DatabaseTest, SecondStartChangesNothingButMissingSettings) {
  StartUp();
  const auto before = Snapshot(temp_.root());
  StartUp();
  EXPECT_EQ(Snapshot(temp_.root()), before);

  // A settings table that lost a key gains it back, and nothing else changes.
  const std::string settings = temp_.root() + "/VELD/PC/System/SystemDataTable.dat";
  std::string bytes = test::ReadBytes(settings);
  bytes.resize(bytes.size() - 136);  // drops the last default, "Default582-UseDefaults"
  test::WriteBytes(settings, bytes);
  StartUp();
  EXPECT_EQ(Snapshot(temp_.root()), before);
}

TEST_F(DatabaseTest, OpenGoesOnPastACorruptTable) {
  fs::create_directories(temp_.root() + "/VELD/PC/UUT");
  test::WriteBytes(temp_.root() + "/VELD/PC/UUT/UUTTable.dat", std::string(600, '\0'));
  StartUp();
  ASSERT_FALSE(prompter_.entries.empty());
  EXPECT_EQ(prompter_.entries[0].text.rfind("UUT table corrupted!!\r\n", 0), 0u);
  EXPECT_EQ(fs::file_size(temp_.root() + "/VELD/PC/TestProfile/TestProfileTable.dat"), 864u);
  EXPECT_EQ(fs::file_size(temp_.root() + "/VELD/PC/System/SystemDataTable.dat"), 33u * 136u);
}

TEST_F(DatabaseTest, ChoiceListsByExactName) {
  StartUp();
  VectorListTarget combo;
  combo.items = {"left over"};
  pc_->FillCombo(combo, "UUT_Types");
  EXPECT_EQ(combo.items, (std::vector<std::string>{"CURR", "3WIR", "4WIR", "DIALGAGE", "P-SWITCH"}));
  pc_->FillCombo(combo, "EXC");
  EXPECT_EQ(combo.items,
            (std::vector<std::string>{"24VDC", "18VDC", "15VDC", "12VDC", "9VDC", "5VDC", "EXTERNAL"}));
  pc_->FillCombo(combo, "UUT");
  EXPECT_EQ(combo.items, (std::vector<std::string>{"7395R25WB2DQ8C", "73950R5WB2DQ8C"}));
  pc_->FillCombo(combo, "exc");  // another name: emptied, nothing added
  EXPECT_TRUE(combo.items.empty());

  VectorListTarget list;
  pc_->FillList(list, "TestProfile");
  EXPECT_EQ(list.items.size(), 6u);
  EXPECT_EQ(list.items.front(), "21pointtest");  // each record inserted at the top
  pc_->FillList(list, "uut");  // another name: the list keeps its items
  EXPECT_EQ(list.items.size(), 6u);
}

TEST_F(DatabaseTest, ListingAMissingVeldTableIsAFileError) {
  StartUp();
  VectorListTarget list;
  EXPECT_THROW(veld_->FillList(list, "UUT"), FileError);
  EXPECT_THROW(veld_->FillList(list, "TestProfile"), FileError);
}

TEST_F(DatabaseTest, RecordOperationsRouteToTheTables) {
  StartUp();
  UUT uut;
  uut.ID = "PT-100";
  uut.Accuracy = 0.25;
  EXPECT_TRUE(pc_->SaveUUT(uut));
  UUT loaded;
  loaded.ID = "PT-100";
  EXPECT_TRUE(pc_->LoadUUT(loaded));
  EXPECT_DOUBLE_EQ(loaded.Accuracy, 0.25);
  UUT unknown;
  unknown.ID = "nope";
  unknown.Accuracy = 7.0;
  EXPECT_TRUE(pc_->LoadUUT(unknown));
  EXPECT_DOUBLE_EQ(unknown.Accuracy, 7.0);
  EXPECT_TRUE(pc_->DeleteUUT(uut));
  EXPECT_EQ(fs::file_size(temp_.root() + "/VELD/PC/UUT/UUTTable.dat"), 1136u);
}

TEST_F(DatabaseTest, UnitFactorsByName) {
  StartUp();
  EXPECT_DOUBLE_EQ(pc_->GetUnitFactor("kPa"), 1000.0);
  EXPECT_DOUBLE_EQ(pc_->GetUnitFactor("INWC"), 248.642103);
  EXPECT_DOUBLE_EQ(pc_->GetUnitFactor("inWC"), -1.0);
}

TEST_F(DatabaseTest, LoadSystemDataDecodesTheDefaults) {
  StartUp();
  pc_->LoadSystemData();
  EXPECT_EQ(settings_.EngUnits, "inWC");
  EXPECT_DOUBLE_EQ(settings_.EngUnitsConversionSpan, 1.0);
  EXPECT_EQ(settings_.LockDownAttemptLimit, 3);
  EXPECT_EQ(settings_.PasswordExpirationLimit, 180);
  EXPECT_EQ(settings_.SettleTime, 5000);
  EXPECT_EQ(settings_.TestProfileID, "3pointtest");
  EXPECT_DOUBLE_EQ(settings_.CtrlStab, 0.0003);
  EXPECT_DOUBLE_EQ(settings_.MaxLeak, 0.00015);
  EXPECT_DOUBLE_EQ(settings_.ReCalAcc, 0.15);
  EXPECT_DOUBLE_EQ(settings_.DefaultAcc, 0.5);
  EXPECT_TRUE(settings_.UseDefaults);
  EXPECT_TRUE(settings_.UseReCalAcc);
  EXPECT_TRUE(settings_.UseWarning_Excitation);
  EXPECT_TRUE(settings_.UseWarning_Miswire);
  EXPECT_FALSE(settings_.UseTrendGraph_WarmUp || settings_.UseTrendGraph_TestResults ||
               settings_.UseTrendGraph_LeakTest || settings_.ManualPressureStep || settings_.LockedOut ||
               settings_.CFRCompliantMode || settings_.LockDownEnable || settings_.PrintProtected);

  // A missing key reads "NULL": a cleared flag, a zero, the text itself.
  pc_->SetSetting("EngUnits", "NULL");
  pc_->SetSetting("Default582-UseDefaults", "NULL");
  pc_->SetSetting("LockDownAttemptLimit", "NULL");
  pc_->LoadSystemData();
  EXPECT_EQ(settings_.EngUnits, "NULL");
  EXPECT_FALSE(settings_.UseDefaults);
  EXPECT_EQ(settings_.LockDownAttemptLimit, 0);
}

}  // namespace
}  // namespace veld
