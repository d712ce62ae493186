// The synchronisation operations, end to end through the stand-in library.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "device_link_fixture.h"

namespace veld::test {
namespace {

using Names = std::vector<std::string>;

class SynchronisationTest : public DeviceLinkTest {
 protected:
  void SetUp() override {
    for (const char* folder : {"C:\\VELD\\VELD\\UUT", "C:\\VELD\\VELD\\System", "C:\\VELD\\VELD\\TestProfile",
                               "C:\\VELD\\PC\\TestResults"}) {
      MakeDesktopFolder(folder);
    }
    for (const char* folder : {"UUT", "System", "TestProfile", "TestResults/DAT"}) {
      MakeDeviceFolder(std::string("Mounted_Volume/VELD/") + folder);
    }
    ASSERT_TRUE(link_.Connect());
  }
  std::string DeviceVeld(const std::string& relative) const { return OnDevice("Mounted_Volume/VELD/" + relative); }
  void PutOnDeviceVeld(const std::string& relative, const std::string& bytes) const {
    WriteBytes(DeviceVeld(relative), bytes);
  }
  static std::string LocalResults() { return OnDesktop("C:\\VELD\\PC\\TestResults"); }
  static std::string LocalProfiles() { return OnDesktop("C:\\VELD\\VELD\\TestProfile"); }
};

TEST_F(SynchronisationTest, UploadAllCopiesTheTablesProfilesAndResultsIntoTheirLocalFiles) {
  PutOnDeviceVeld("UUT/UUTTable.DAT", "uut records");
  PutOnDeviceVeld("TestProfile/TestProfileTable.DAT", "profile records");
  PutOnDeviceVeld("TestProfile/P1_Custom.DAT", "points");
  PutOnDeviceVeld("System/SystemDataTable.DAT", "settings");
  PutOnDeviceVeld("TestResults/DAT/R1.DAT", "result");
  PutOnDesktop("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat", "old uut records");

  link_.UploadAll();

  // ".DAT" and ".dat" name one local file: the existing one is replaced, no second appears.
  EXPECT_EQ(NamesIn(OnDesktop("C:\\VELD\\VELD\\UUT")), Names{"UUTTable_PPCBK.dat"});
  EXPECT_EQ(ReadBytes(OnDesktop("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat")), "uut records");
  EXPECT_EQ(ReadBytes(OnDesktop("C:\\VELD\\VELD\\System\\SystemDataTable_PPCBK.DAT")), "settings");
  EXPECT_EQ(NamesIn(LocalProfiles()), (Names{"P1_Custom.DAT", "TestProfileTable_PPCBK.DAT"}));
  EXPECT_EQ(ReadBytes(LocalProfiles() + "/TestProfileTable_PPCBK.DAT"), "profile records");
  EXPECT_EQ(ReadBytes(LocalProfiles() + "/P1_Custom.DAT"), "points");
  EXPECT_EQ(ReadBytes(LocalResults() + "/R1.DAT"), "result");
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SynchronisationTest, UploadCustomProfilesSkipsTheTableAndRecordCountByPrefixOnly) {
  for (const char* name : {"TestProfileTable.DAT", "TestProfileTableOld.DAT", "TestProfileRecCount.DAT",
                           "TestProfileRecCount", "P1_Custom.DAT", "Notes.txt", "testprofiletable.dat"}) {
    PutOnDeviceVeld(std::string("TestProfile/") + name, name);
  }
  MakeDeviceFolder("Mounted_Volume/VELD/TestProfile/Archive");
  link_.UploadCustomProfiles();
  // The tests are case-sensitive, as the device writes these names.
  EXPECT_EQ(NamesIn(LocalProfiles()), (Names{"Notes.txt", "P1_Custom.DAT", "testprofiletable.dat"}));
  EXPECT_EQ(ReadBytes(LocalProfiles() + "/Notes.txt"), "Notes.txt");
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SynchronisationTest, MissingDeviceProfileFolderIsReportedAfterTheTableCopy) {
  PutOnDesktop("C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.DAT", "previous records");
  std::filesystem::remove_all(DeviceVeld("TestProfile"));
  link_.UploadTestProfileTable();
  // The table copy ran first and could not open the device file.
  EXPECT_EQ(prompter_.Texts(),
            (Names{"Could not copy Mounted_Volume\\VELD\\TestProfile\\TestProfileTable.DAT from VELD.  "
                   "C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.DAT was not changed.",
                   "Cannot find any custom profiles in Mounted_Volume\\VELD\\TestProfile\\ folder!"}));
  EXPECT_EQ(ReadBytes(LocalProfiles() + "/TestProfileTable_PPCBK.DAT"), "previous records");
}

TEST_F(SynchronisationTest, ResultsAreCopiedOnceAndNeverOverwritten) {
  PutOnDeviceVeld("TestResults/DAT/R1.DAT", "device r1");
  PutOnDeviceVeld("TestResults/DAT/R2.DAT", "device r2");
  PutOnDesktop("C:\\VELD\\PC\\TestResults\\r1.dat", "desktop r1");

  link_.UploadTestResults();
  EXPECT_EQ(NamesIn(LocalResults()), (Names{"R2.DAT", "r1.dat"}));
  EXPECT_EQ(ReadBytes(LocalResults() + "/r1.dat"), "desktop r1");
  EXPECT_EQ(ReadBytes(LocalResults() + "/R2.DAT"), "device r2");

  PutOnDeviceVeld("TestResults/DAT/R2.DAT", "changed on the device");
  link_.UploadTestResults();
  EXPECT_EQ(ReadBytes(LocalResults() + "/R2.DAT"), "device r2");

  std::filesystem::remove(LocalResults() + "/R2.DAT");
  link_.UploadTestResults();
  EXPECT_EQ(ReadBytes(LocalResults() + "/R2.DAT"), "changed on the device");
  EXPECT_TRUE(prompter_.entries.empty());
}

class NoDeviceResults : public SynchronisationTest, public ::testing::WithParamInterface<bool> {};

TEST_P(NoDeviceResults, IsReportedWithItsMessage) {
  if (GetParam()) std::filesystem::remove_all(DeviceVeld("TestResults"));
  link_.UploadTestResults();
  EXPECT_EQ(prompter_.Texts(), Names{"Cannot find any files in Mounted_Volume\\VELD\\TestResults\\DAT\\ folder!  "
                                     "Test results could not be uploaded."});
  EXPECT_TRUE(NamesIn(LocalResults()).empty());
}

INSTANTIATE_TEST_SUITE_P(EmptyOrMissing, NoDeviceResults, ::testing::Bool());

TEST_F(SynchronisationTest, InterruptedResultIsLeftOutAndCopiedByTheNextUpload) {
  PutOnDeviceVeld("TestResults/DAT/R1.DAT", PatternBytes(15000, 4));
  {
    ScopedVariable fail(rapi::kFailReadAtVariable, std::string("2"));
    link_.UploadTestResults();
  }
  EXPECT_TRUE(NamesIn(LocalResults()).empty());
  ASSERT_EQ(prompter_.entries.size(), 1u);
  link_.UploadTestResults();
  EXPECT_EQ(ReadBytes(LocalResults() + "/R1.DAT"), PatternBytes(15000, 4));
}

TEST_F(SynchronisationTest, DownloadSendsTheVeldTablesAndEveryOtherProfileButNeverTheSettings) {
  PutOnDesktop("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat", "uut records");
  PutOnDesktop("C:\\VELD\\VELD\\System\\SystemDataTable_PPCBK.dat", "settings");
  for (const char* name : {"TestProfileTable_PPCBK.dat", "TestProfileRecCount.DAT", "P1_Custom.DAT", "extra.dat",
                           "notes.txt"}) {
    PutOnDesktop(std::string("C:\\VELD\\VELD\\TestProfile\\") + name, name);
  }
  PutOnDeviceVeld("UUT/uuttable.dat", "old device records that are longer");

  link_.DownloadUUTTable();
  link_.DownloadTestProfileTable();

  EXPECT_EQ(NamesIn(DeviceVeld("UUT")), Names{"uuttable.dat"});
  EXPECT_EQ(ReadBytes(DeviceVeld("UUT/uuttable.dat")), "uut records");
  EXPECT_EQ(NamesIn(DeviceVeld("TestProfile")), (Names{"P1_Custom.DAT", "TestProfileTable.DAT", "extra.dat"}));
  EXPECT_EQ(ReadBytes(DeviceVeld("TestProfile/TestProfileTable.DAT")), "TestProfileTable_PPCBK.dat");
  EXPECT_EQ(ReadBytes(DeviceVeld("TestProfile/extra.dat")), "extra.dat");
  EXPECT_TRUE(NamesIn(DeviceVeld("System")).empty());
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SynchronisationTest, HostileDeviceNamesAreSkippedAndReported) {
  // Names a device could list but that cannot be one file of the local folder.
  const Names hostile = {"a\\b.DAT", "x..y.DAT", "bad:name.DAT", "\xCE\xA9.DAT", "ctl\x01.DAT"};
  for (const std::string& name : hostile) PutOnDeviceVeld("TestResults/DAT/" + name, "hostile");
  PutOnDeviceVeld("TestResults/DAT/good.DAT", "good");

  link_.UploadTestResults();

  EXPECT_EQ(NamesIn(LocalResults()), Names{"good.DAT"});
  EXPECT_EQ(NamesIn(OnDesktop("C:\\VELD\\PC")), Names{"TestResults"});
  const std::string tail = "\" in Mounted_Volume\\VELD\\TestResults\\DAT\\ was not copied: the name cannot be used as "
                           "a file name.";
  // In the listing's order; the character beyond 8 bits and the control character show as '?'.
  EXPECT_EQ(prompter_.Texts(), (Names{"\"a\\b.DAT" + tail, "\"bad:name.DAT" + tail, "\"ctl?.DAT" + tail,
                                      "\"x..y.DAT" + tail, "\"?.DAT" + tail}));
}

TEST_F(SynchronisationTest, HostileLocalProfileNameIsNotSentToTheDevice) {
  PutOnDesktop("C:\\VELD\\VELD\\TestProfile\\P1_Custom.DAT", "points");
  WriteBytes(LocalProfiles() + "/..\\..\\escape.DAT", "hostile");
  link_.DownloadCustomProfiles();
  EXPECT_EQ(NamesIn(DeviceVeld("TestProfile")), Names{"P1_Custom.DAT"});
  EXPECT_EQ(NamesIn(OnDevice("Mounted_Volume")), Names{"VELD"});
  EXPECT_EQ(prompter_.Texts(), Names{"\"..\\..\\escape.DAT\" in C:\\VELD\\VELD\\TestProfile\\ was not copied: the name "
                                     "cannot be used as a file name."});
}

// Every operation that needs the library, run before any Connect.
struct Operation {
  const char* name;
  std::function<void(CCorvaneRAPI&)> run;
};

class BeforeConnect : public DeviceLinkTest, public ::testing::WithParamInterface<Operation> {};

TEST_P(BeforeConnect, ReportsTheLinkAsNotConnectedAndTouchesNothing) {
  PutOnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT", "device table");
  PutOnDevice("Mounted_Volume/VELD/TestResults/DAT/R1.DAT", "result");
  PutOnDesktop("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.DAT", "desktop table");
  PutOnDesktop("C:\\VELD\\VELD\\TestProfile\\P1_Custom.DAT", "points");
  GetParam().run(link_);
  EXPECT_EQ(prompter_.Texts(),
            Names{"Unable to connect to VELD.  Please verify that device is connected through ActiveSync."});
  EXPECT_EQ(ReadBytes(OnDesktop("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.DAT")), "desktop table");
  EXPECT_EQ(ReadBytes(OnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT")), "device table");
  EXPECT_EQ(NamesIn(OnDevice("Mounted_Volume/VELD")), (Names{"TestResults", "UUT"}));
  EXPECT_EQ(NamesIn(OnDesktop("C:\\VELD\\VELD")), (Names{"TestProfile", "UUT"}));
  EXPECT_FALSE(FileExists(OnDesktop("C:\\VELD\\PC")));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, BeforeConnect,
    ::testing::Values(
        Operation{"CopyFileToDevice",
                  [](CCorvaneRAPI& link) {
                    link.CopyFileToDevice("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.DAT",
                                          "Mounted_Volume\\VELD\\UUT\\UUTTable.DAT");
                  }},
        Operation{"CopyFileFromDevice",
                  [](CCorvaneRAPI& link) {
                    link.CopyFileFromDevice("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.DAT",
                                            "Mounted_Volume\\VELD\\UUT\\UUTTable.DAT");
                  }},
        Operation{"UploadUUTTable", [](CCorvaneRAPI& link) { link.UploadUUTTable(); }},
        Operation{"DownloadUUTTable", [](CCorvaneRAPI& link) { link.DownloadUUTTable(); }},
        Operation{"UploadSettingsTable", [](CCorvaneRAPI& link) { link.UploadSettingsTable(); }},
        Operation{"UploadTestProfileTable", [](CCorvaneRAPI& link) { link.UploadTestProfileTable(); }},
        Operation{"DownloadTestProfileTable", [](CCorvaneRAPI& link) { link.DownloadTestProfileTable(); }},
        Operation{"UploadCustomProfiles", [](CCorvaneRAPI& link) { link.UploadCustomProfiles(); }},
        Operation{"DownloadCustomProfiles", [](CCorvaneRAPI& link) { link.DownloadCustomProfiles(); }},
        Operation{"UploadTestResults", [](CCorvaneRAPI& link) { link.UploadTestResults(); }},
        Operation{"UploadAll", [](CCorvaneRAPI& link) { link.UploadAll(); }}),
    [](const ::testing::TestParamInfo<Operation>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veld::test
