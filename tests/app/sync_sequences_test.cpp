// The Connect and Refresh Test Results sequences, end to end: the stand-in library over
// a temporary device volume, the two databases over a temporary root.

#include <gtest/gtest.h>

#include "database/database.h"
#include "app/sync_sequences.h"
#include "device/device_link_fixture.h"
#include "support/result_file_writer.h"

namespace veld::test {
namespace {

// The fixture plays the window: it keeps a log of what it was asked to do, and fills the VELD
// lists as the window does, which fails if a refill comes before the upload of the table.
// Its databases start as the window starts them; the device gets the tables just created on
// the PC side, which are valid tables in the calibrator's format.
class SyncSequencesTest : public DeviceLinkTest, public SyncObserver {
 protected:
  SyncSequencesTest() {
    veld_.SetDevice(DatabaseSide::VELD);
    pc_.SetDevice(DatabaseSide::PC);
    pc_.SetSystemData(settings_);
    pc_.Open();
    PutOnDevice(Veld("UUT/UUTTable.DAT"), ReadBytes(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat")));
    PutOnDevice(Veld("TestProfile/TestProfileTable.DAT"),
                ReadBytes(HostPath("C:\\VELD\\PC\\TestProfile\\TestProfileTable.dat")));
    PutOnDevice(Veld("TestProfile/TestProfileRecCount"), "6");
    PutOnDevice(Veld("TestProfile/Mine_Custom.DAT"), std::string(16, '\0'));
  }
  void StatusTextChanged(const std::string& text) override { statuses_.push_back(text); }
  void RefillUUTLists() override { Refill("uut lists", veld_uuts_, "UUT"); }
  void ShowFirstPCUUT() override { calls_.push_back("show uut"); }
  void RefillProfileLists() override { Refill("profile lists", veld_profiles_, "TestProfile"); }
  void ShowFirstPCProfile() override { calls_.push_back("show profile"); }
  void RefillResultCombo() override {
    calls_.push_back("combo");
    pc_.FillResultUUTCombo(combo_);
    selected_ = -1;  // a refill leaves nothing selected
  }
  Names ResultComboItems() override { return combo_.items; }
  std::string SelectedResultUUT() override { return selected_ < 0 ? "" : combo_.items.at(size_t(selected_)); }
  void SelectResultComboItem(int index) override {
    selected_ = index;
    calls_.push_back("select " + combo_.items.at(static_cast<size_t>(index)));
  }
  void SettingsReloaded() override { calls_.push_back("settings"); }
  void Refill(const char* call, VectorListTarget& list, const char* table) {
    calls_.push_back(call);
    veld_.FillList(list, table);
  }

  static std::string Veld(const std::string& relative) { return "Mounted_Volume/VELD/" + relative; }
  static std::string Local(const std::string& logical) { return HostPath(logical); }
  void PutResult(const std::string& name, const std::string& uut_id) {
    ResultFileDescription result = DefaultResultFileDescription();
    result.uut.ID = uut_id;
    WriteResultFile(OnDevice(Veld("TestResults/DAT/") + name), result);
  }
  // Deletes results on both sides, so that no refresh brings them back.
  void DeleteResults(const Names& names) {
    for (const std::string& name : names) {
      fs::remove(Local("C:\\VELD\\PC\\TestResults\\" + name));
      fs::remove(OnDevice(Veld("TestResults/DAT/") + name));
    }
  }
  bool Connect() { return RunConnectSequence(link_, pc_, veld_, prompter_, *this); }
  size_t Refresh() { return RunRefreshSequence(link_, *this); }

  SystemData settings_;
  CDataBaseX pc_{prompter_}, veld_{prompter_};
  Names statuses_, calls_;
  VectorListTarget veld_uuts_, veld_profiles_, combo_;
  int selected_ = -1;
};

TEST_F(SyncSequencesTest, ConnectUploadsEverythingAndRefreshesTheWindowInOrder) {
  // An old-format device table: the first 276 bytes of each current record.
  const std::string current = ReadBytes(OnDevice(Veld("UUT/UUTTable.DAT")));
  PutOnDevice(Veld("UUT/UUTTable.DAT"), current.substr(0, 276) + current.substr(568, 276));
  PutResult("PT-1_0001.DAT", "PT-1");
  PutResult("PT-2_0001.DAT", "PT-2");

  ASSERT_TRUE(Connect());

  EXPECT_EQ(statuses_.back(),
            "Uploading Unit Under Test database from VELD.\r\n"
            "Unit Under Test database uploaded from VELD.\r\nUploading Test Profile database from VELD.\r\n"
            "Test Profile database uploaded from VELD.\r\nUploading Test Results data files from VELD.\r\n"
            "All data uploaded from VELD.\r\n");
  EXPECT_EQ(statuses_.size(), 4u);
  EXPECT_EQ(calls_, (Names{"uut lists", "show uut", "profile lists", "show profile", "combo", "settings"}));
  EXPECT_EQ(fs::file_size(Local("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat")), 2 * 568u);  // converted
  EXPECT_EQ(veld_uuts_.items.size(), 2u);
  EXPECT_EQ(veld_profiles_.items.size(), 6u);
  EXPECT_EQ(NamesIn(Local("C:\\VELD\\VELD\\TestProfile")), (Names{"Mine_Custom.DAT", "TestProfileTable_PPCBK.dat"}));
  EXPECT_EQ(combo_.items, (Names{"PT-1", "PT-2"}));
  EXPECT_EQ(settings_.EngUnits, "inWC");  // the settings record is filled by connect only
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SyncSequencesTest, MissingResultFolderIsReportedAndTheSequenceGoesOn) {
  fs::remove_all(OnDevice(Veld("TestResults")));
  ASSERT_TRUE(Connect());
  EXPECT_EQ(prompter_.Texts(), Names{"Cannot find any files in Mounted_Volume\\VELD\\TestResults\\DAT\\ folder!  "
                                     "Test results could not be uploaded."});
  EXPECT_TRUE(statuses_.back().ends_with("\r\nAll data uploaded from VELD.\r\n"));
  EXPECT_EQ(calls_.back(), "settings");
}

// Files listed but gone by the time they are copied (the calibrator taken away) are failed
// copies: nothing is created on either side, and the last status line says how many.
TEST_F(SyncSequencesTest, FilesGoneFromTheDeviceMidConnectAreCountedNotCopiedEmpty) {
  const Names results = {"A_1.DAT", "A_2.DAT", "B_1.DAT", "B_2.DAT", "C_1.DAT"};
  for (const std::string& name : results) PutResult(name, "X");
  {
    // Opens 1 to 3 are the two tables and the custom profile, 4 and 5 the first results.
    ScopedVariable vanish(rapi::kVanishAtVariable, std::string("6"));
    ASSERT_TRUE(Connect());
  }
  EXPECT_TRUE(statuses_.back().ends_with("\r\n3 files could not be copied from VELD.\r\n"));
  EXPECT_EQ(NamesIn(Local("C:\\VELD\\PC\\TestResults")), (Names{"A_1.DAT", "A_2.DAT"}));
  EXPECT_EQ(NamesIn(OnDevice(Veld("TestResults/DAT"))), (Names{"A_1.DAT", "A_2.DAT"}));
  EXPECT_EQ(prompter_.entries.size(), 3u);
  EXPECT_EQ(calls_.back(), "settings");

  // A missing table keeps the mirror as it was; one failure is said in the singular.
  const std::string mirror = ReadBytes(Local("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat"));
  fs::remove(OnDevice(Veld("UUT/UUTTable.DAT")));
  PutResult("D_1.DAT", "D");
  ASSERT_TRUE(Connect());
  EXPECT_TRUE(statuses_.back().ends_with("\r\n1 file could not be copied from VELD.\r\n"));
  EXPECT_EQ(ReadBytes(Local("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat")), mirror);
  EXPECT_FALSE(fs::exists(OnDevice(Veld("UUT/UUTTable.DAT"))));
  ASSERT_EQ(prompter_.entries.size(), 4u);
  EXPECT_EQ(prompter_.Texts().back(), "Could not copy Mounted_Volume\\VELD\\UUT\\UUTTable.DAT from VELD.  "
                                      "C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat was not changed.");

  PutResult("E_1.DAT", "E");
  ScopedVariable vanish(rapi::kVanishAtVariable, std::string("1"));
  EXPECT_EQ(Refresh(), 1u);
  EXPECT_FALSE(fs::exists(Local("C:\\VELD\\PC\\TestResults\\E_1.DAT")));
}

TEST_F(SyncSequencesTest, NoDeviceShowsTheConnectMessageAndTouchesNothing) {
  fs::remove_all(temp_.device());
  EXPECT_FALSE(Connect());
  EXPECT_EQ(prompter_.Texts(), Names{CCorvaneRAPI::kUnableToConnectMessage});
  EXPECT_TRUE(calls_.empty() && statuses_.empty());
  EXPECT_TRUE(NamesIn(Local("C:\\VELD\\VELD\\UUT")).empty());
}

TEST_F(SyncSequencesTest, ResultsAreCopiedOnceAndRefreshKeepsTheSelectedUUTIgnoringCase) {
  PutResult("A_1.DAT", "alpha");
  PutResult("B_1.DAT", "beta");
  ASSERT_TRUE(Connect());
  PutResult("A_1.DAT", "CHANGED");  // an existing local result is never copied again
  ASSERT_TRUE(Connect());
  EXPECT_EQ(combo_.items, (Names{"alpha", "beta"}));

  selected_ = 1;  // "beta"
  PutResult("B_2.DAT", "BETA");
  PutResult("0_1.DAT", "zero");
  Refresh();
  EXPECT_EQ(combo_.items, (Names{"alpha", "beta", "zero"}));
  EXPECT_EQ(calls_.back(), "select beta");
  DeleteResults({"B_1.DAT", "B_2.DAT"});
  fs::remove(Local("C:\\VELD\\PC\\TestResults\\A_1.DAT"));  // deleted on the desktop only: it comes back
  Refresh();
  EXPECT_EQ(combo_.items, (Names{"CHANGED", "zero"}));
  EXPECT_EQ(calls_.back(), "select CHANGED");  // the UUT is gone: the first entry is taken
  DeleteResults({"A_1.DAT", "0_1.DAT"});
  Refresh();  // nothing left to select
  EXPECT_EQ(calls_.back(), "combo");
}

}  // namespace
}  // namespace veld::test
