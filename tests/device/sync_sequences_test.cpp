// The Connect and Refresh Test Results sequences, end to end: the stand-in library over
// a temporary device volume, the two databases over a temporary root.

#include <gtest/gtest.h>

#include <filesystem>

#include "database/database.h"
#include "device/sync_sequences.h"
#include "device_link_fixture.h"
#include "support/result_file_writer.h"

namespace veld::test {
namespace {
namespace fs = std::filesystem;

// A front end that refills its lists from the databases, as the window does, and keeps
// a log of what it was asked to do.
class RecordingWindow : public SyncObserver {
 public:
  RecordingWindow(CDataBaseX& pc, CDataBaseX& veld) : pc_(pc), veld_(veld) {}

  void StatusTextChanged(const std::string& text) override { statuses.push_back(text); }
  void RefillUUTLists() override {
    calls.push_back("uut lists");
    veld_.FillList(veld_uuts, "UUT");
    pc_.FillList(pc_uuts, "UUT");
  }
  void ShowFirstPCUUT() override { calls.push_back("show uut"); }
  void RefillProfileLists() override {
    calls.push_back("profile lists");
    veld_.FillList(veld_profiles, "TestProfile");
    pc_.FillList(pc_profiles, "TestProfile");
  }
  void ShowFirstPCProfile() override { calls.push_back("show profile"); }
  void RefillResultCombo() override {
    calls.push_back("combo");
    pc_.FillResultUUTCombo(combo);
    selected = -1;  // a refill leaves nothing selected
  }
  std::vector<std::string> ResultComboItems() override { return combo.items; }
  std::string SelectedResultUUT() override { return selected < 0 ? "" : combo.items[static_cast<size_t>(selected)]; }
  void SelectResultComboItem(int index) override {
    selected = index;
    calls.push_back("select " + combo.items[static_cast<size_t>(index)]);
  }
  void SettingsReloaded() override { calls.push_back("settings"); }

  std::vector<std::string> statuses, calls;
  VectorListTarget veld_uuts, pc_uuts, veld_profiles, pc_profiles, combo;
  int selected = -1;

 private:
  CDataBaseX& pc_;
  CDataBaseX& veld_;
};

class SyncSequencesTest : public DeviceLinkTest {
 protected:
  SyncSequencesTest() : pc_(prompter_), veld_(prompter_), window_(pc_, veld_) {
    veld_.SetDevice(1);
    pc_.SetDevice(0);
    pc_.SetSystemData(&settings_);
    pc_.Open();
  }

  void PutResult(const std::string& name, const std::string& uut_id) {
    ResultFileDescription result = DefaultResultFileDescription();
    result.uut.ID = uut_id;
    WriteResultFile(OnDevice("Mounted_Volume/VELD/TestResults/DAT/" + name), result);
  }

  void PutDeviceTables() {
    // The PC tables just created are valid tables in the calibrator's format.
    PutOnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT", ReadBytes(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat")));
    PutOnDevice("Mounted_Volume/VELD/TestProfile/TestProfileTable.DAT",
                ReadBytes(HostPath("C:\\VELD\\PC\\TestProfile\\TestProfileTable.dat")));
    PutOnDevice("Mounted_Volume/VELD/TestProfile/TestProfileRecCount", "6");
    PutOnDevice("Mounted_Volume/VELD/TestProfile/Mine_Custom.DAT", std::string(16, '\0'));
  }

  bool Connect() { return RunConnectSequence(link_, pc_, veld_, prompter_, window_); }

  SystemData settings_;
  CDataBaseX pc_, veld_;
  RecordingWindow window_;
};

TEST_F(SyncSequencesTest, ConnectUploadsEverythingAndRefreshesTheWindowInOrder) {
  PutDeviceTables();
  // An old-format device table: the first 276 bytes of each current record.
  const std::string current = ReadBytes(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"));
  PutOnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT", current.substr(0, 276) + current.substr(568, 276));
  PutResult("PT-1_0001.DAT", "PT-1");
  PutResult("PT-2_0001.DAT", "PT-2");

  ASSERT_TRUE(Connect());

  EXPECT_EQ(window_.statuses.back(),
            "Uploading Unit Under Test database from VELD.\r\n"
            "Unit Under Test database uploaded from VELD.\r\nUploading Test Profile database from VELD.\r\n"
            "Test Profile database uploaded from VELD.\r\nUploading Test Results data files from VELD.\r\n"
            "All data uploaded from VELD.\r\n");
  EXPECT_EQ(window_.statuses.size(), 4u);
  EXPECT_EQ(window_.calls, (std::vector<std::string>{"uut lists", "show uut", "profile lists", "show profile",
                                                     "combo", "settings"}));
  EXPECT_EQ(fs::file_size(HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat")), 2 * 568u);  // converted
  EXPECT_TRUE(fs::exists(HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK_Backup.dat")));
  EXPECT_EQ(window_.veld_uuts.items.size(), 2u);
  EXPECT_EQ(window_.veld_profiles.items.size(), 6u);
  EXPECT_EQ(NamesIn(HostPath("C:\\VELD\\VELD\\TestProfile")),
            (std::vector<std::string>{"Mine_Custom.DAT", "TestProfileTable_PPCBK.DAT"}));
  EXPECT_EQ(window_.combo.items, (std::vector<std::string>{"PT-1", "PT-2"}));
  EXPECT_EQ(settings_.EngUnits, "inWC");  // the settings record is filled by connect only
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SyncSequencesTest, ResultsAreCopiedOnceAndADeletedOneComesBack) {
  PutDeviceTables();
  PutResult("PT-1_0001.DAT", "PT-1");
  ASSERT_TRUE(Connect());
  const std::string local = HostPath("C:\\VELD\\PC\\TestResults\\PT-1_0001.DAT");
  const std::string first = ReadBytes(local);

  PutResult("PT-1_0001.DAT", "CHANGED");  // an existing local result is never overwritten
  ASSERT_TRUE(Connect());
  EXPECT_EQ(ReadBytes(local), first);

  fs::remove(local);
  RunRefreshSequence(link_, window_);
  EXPECT_EQ(window_.combo.items, std::vector<std::string>{"CHANGED"});
}

TEST_F(SyncSequencesTest, MissingResultFolderIsReportedAndTheSequenceGoesOn) {
  PutDeviceTables();
  fs::remove_all(OnDevice("Mounted_Volume/VELD/TestResults"));
  ASSERT_TRUE(Connect());
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{CCorvaneRAPI::kNoTestResultsMessage});
  EXPECT_NE(window_.statuses.back().find("All data uploaded from VELD.\r\n"), std::string::npos);
  EXPECT_EQ(window_.calls.back(), "settings");
}

TEST_F(SyncSequencesTest, MissingDeviceTableIsCreatedEmptyAndEmptiesTheMirror) {
  PutDeviceTables();
  fs::remove(OnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT"));
  ASSERT_TRUE(Connect());
  EXPECT_EQ(fs::file_size(OnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT")), 0u);
  EXPECT_EQ(fs::file_size(HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat")), 0u);
  EXPECT_TRUE(window_.veld_uuts.items.empty());
}

TEST_F(SyncSequencesTest, NoDeviceShowsTheConnectMessageAndTouchesNothing) {
  fs::remove_all(temp_.device());
  EXPECT_FALSE(Connect());
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{CCorvaneRAPI::kUnableToConnectMessage});
  EXPECT_TRUE(window_.calls.empty());
  EXPECT_TRUE(window_.statuses.empty());
  EXPECT_TRUE(NamesIn(HostPath("C:\\VELD\\VELD\\UUT")).empty());
  EXPECT_EQ(settings_.EngUnits, "");
}

TEST_F(SyncSequencesTest, RefreshKeepsTheSelectedUUTIgnoringCase) {
  PutDeviceTables();
  PutResult("A_1.DAT", "alpha");
  PutResult("B_1.DAT", "beta");
  ASSERT_TRUE(Connect());

  RunRefreshSequence(link_, window_);  // nothing selected: nothing selected afterwards
  EXPECT_EQ(window_.selected, -1);

  window_.selected = 1;  // "beta"
  PutResult("B_2.DAT", "BETA");
  PutResult("0_1.DAT", "zero");
  RunRefreshSequence(link_, window_);
  EXPECT_EQ(window_.combo.items, (std::vector<std::string>{"alpha", "beta", "zero"}));
  EXPECT_EQ(window_.calls.back(), "select beta");

  fs::remove(HostPath("C:\\VELD\\PC\\TestResults\\B_1.DAT"));
  fs::remove(HostPath("C:\\VELD\\PC\\TestResults\\B_2.DAT"));
  fs::remove(OnDevice("Mounted_Volume/VELD/TestResults/DAT/B_1.DAT"));
  fs::remove(OnDevice("Mounted_Volume/VELD/TestResults/DAT/B_2.DAT"));
  RunRefreshSequence(link_, window_);  // the UUT is gone: the first entry is taken
  EXPECT_EQ(window_.calls.back(), "select alpha");
}

TEST(ResultComboEntry, SearchesFromTheSecondEntryAndWraps) {
  EXPECT_EQ(FindResultComboEntry({"a", "B", "c"}, "b"), 1);
  EXPECT_EQ(FindResultComboEntry({"a", "B", "c"}, "A"), 0);
  EXPECT_EQ(FindResultComboEntry({"a", "B", "c"}, "zz"), 0);
  EXPECT_EQ(FindResultComboEntry({}, "a"), -1);
}

}  // namespace
}  // namespace veld::test
