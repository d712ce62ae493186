// Connect, the single-file copies and the synchronisation operations, end to end through
// the stand-in library, and which names from either side may become file names on the other.

#include <gtest/gtest.h>

#include <tuple>

#include "device/device_file_name.h"
#include "device_link_fixture.h"
#include "platform/file_error.h"

namespace veld::test {
namespace {

constexpr char kLocalTable[] = "C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat";
constexpr char kDeviceTable[] = "Mounted_Volume\\VELD\\UUT\\UUTTable.DAT";
constexpr char kNotChanged[] = "Could not copy Mounted_Volume\\VELD\\UUT\\UUTTable.DAT from VELD.  "
                               "C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat was not changed.";
std::string NotCopiedTo(const std::string& local, const std::string& device) {
  return "Could not copy " + local + " to " + device + " on VELD.";
}

// Both folder trees in place and the link connected.
class SynchronisationTest : public DeviceLinkTest {
 protected:
  void SetUp() override {
    for (const char* name : {"UUT", "System", "TestProfile"}) MakeDesktopFolder(std::string("C:\\VELD\\VELD\\") + name);
    MakeDesktopFolder("C:\\VELD\\PC\\TestResults");
    for (const char* folder : {"UUT", "System", "TestProfile", "TestResults/DAT"}) MakeDeviceFolder(Veld(folder));
    ASSERT_TRUE(link_.Connect());
  }
  // A device path below the calibrator's VELD folder, with '/'.
  static std::string Veld(const std::string& relative) { return "Mounted_Volume/VELD/" + relative; }
  std::string ReadDevice(const std::string& relative) const { return ReadBytes(OnDevice(Veld(relative))); }
  std::string ReadDesktop(const std::string& logical) const { return ReadBytes(OnDesktop(logical)); }
  static Names Local(const std::string& logical_folder) { return NamesIn(OnDesktop(logical_folder)); }
};

class BlockBoundaryCopy : public SynchronisationTest, public ::testing::WithParamInterface<std::tuple<bool, size_t>> {};

// The old target is longer than any source, so that a tail that survives the copy shows.
TEST_P(BlockBoundaryCopy, TargetEqualsSourceByteForByte) {
  const auto [to_device, size] = GetParam();
  const std::string source = PatternBytes(size, 1), old_target = PatternBytes(30000, 2);
  PutOnDesktop(kLocalTable, to_device ? source : old_target);
  PutOnDevice(Veld("UUT/UUTTable.DAT"), to_device ? old_target : source);
  (link_.*(to_device ? &CCorvaneRAPI::CopyFileToDevice : &CCorvaneRAPI::CopyFileFromDevice))(kLocalTable, kDeviceTable);
  EXPECT_EQ(ReadDevice("UUT/UUTTable.DAT"), source);
  EXPECT_EQ(ReadDesktop(kLocalTable), source);
  EXPECT_EQ(Local("C:\\VELD\\VELD\\UUT"), Names{"UUTTable_PPCBK.dat"});
  EXPECT_TRUE(prompter_.entries.empty());
}

INSTANTIATE_TEST_SUITE_P(ToAndFromDevice, BlockBoundaryCopy,
                         ::testing::Combine(::testing::Bool(), ::testing::Values(0, 1, 10239, 10240, 10241, 20480)));

class InterruptedUpload : public SynchronisationTest, public ::testing::WithParamInterface<int> {};

// The first, a middle and the last (short) read of a 25000-byte file fail.
TEST_P(InterruptedUpload, LeavesThePreviousLocalFileIntact) {
  PutOnDevice(Veld("UUT/UUTTable.DAT"), PatternBytes(25000, 3));
  PutOnDesktop(kLocalTable, "previous table");
  ScopedVariable fail(rapi::kFailReadAtVariable, std::to_string(GetParam()));
  link_.CopyFileFromDevice(kLocalTable, kDeviceTable);
  EXPECT_EQ(ReadDesktop(kLocalTable), "previous table");
  EXPECT_EQ(Local("C:\\VELD\\VELD\\UUT"), Names{"UUTTable_PPCBK.dat"});
  EXPECT_EQ(prompter_.Texts(), Names{kNotChanged});
}

INSTANTIATE_TEST_SUITE_P(FailingRead, InterruptedUpload, ::testing::Values(1, 2, 3));

TEST_F(SynchronisationTest, FailedCopiesAreCountedReportedOrThrownAndChangeNothing) {
  const std::string no_folder = NotCopiedTo(kLocalTable, "Mounted_Volume\\NoSuchFolder\\UUTTable.DAT");
  PutOnDesktop(kLocalTable, "table");
  link_.CopyFileToDevice(kLocalTable, "Mounted_Volume\\NoSuchFolder\\UUTTable.DAT");
  // A device file is read only when it exists: a missing one is a failed copy, not an empty one.
  link_.CopyFileFromDevice(kLocalTable, kDeviceTable);
  EXPECT_EQ(ReadDesktop(kLocalTable), "table");
  EXPECT_FALSE(FileExists(OnDevice(Veld("UUT/UUTTable.DAT"))));
  // An empty source writes nothing, and still fails when the device file cannot be opened.
  PutOnDesktop(kLocalTable, "");
  link_.CopyFileToDevice(kLocalTable, "Mounted_Volume\\NoSuchFolder\\UUTTable.DAT");
  EXPECT_EQ(prompter_.Texts(), (Names{no_folder, kNotChanged, no_folder}));
  EXPECT_EQ(link_.FailedCopies(), 3u);
  // A local file that cannot be created (a folder in the way) fails before the device is touched.
  fs::remove(OnDesktop(kLocalTable));
  MakeDesktopFolder(kLocalTable);
  EXPECT_THROW(link_.CopyFileFromDevice(kLocalTable, kDeviceTable), FileError);
  EXPECT_EQ(Local("C:\\VELD\\VELD\\UUT"), Names{"UUTTable_PPCBK.dat"});
  EXPECT_FALSE(FileExists(OnDevice(Veld("UUT/UUTTable.DAT"))));
}

// What a prepared volume could do with links: a result named link fed a file from outside
// into the results, a table named link and a linked profile folder received downloads.
TEST_F(SynchronisationTest, LinksOnTheVolumeNeitherFeedNorReceiveCopies) {
  const std::string outside = temp_.device() + "/../outside";
  WriteBytes(outside + "/passwd", "root:x:0:0");
  WriteBytes(outside + "/table", "outside table");
  fs::create_directories(outside + "/profiles");
  fs::create_symlink(outside + "/passwd", OnDevice(Veld("TestResults/DAT/R1.DAT")));
  fs::create_symlink(outside + "/table", OnDevice(Veld("UUT/UUTTable.DAT")));
  fs::remove_all(OnDevice(Veld("TestProfile")));
  fs::create_symlink(outside + "/profiles", OnDevice(Veld("TestProfile")));
  PutOnDevice(Veld("TestResults/DAT/R2.DAT"), "result");
  PutOnDesktop(kLocalTable, "desktop table");
  PutOnDesktop("C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.dat", "profiles");
  PutOnDesktop("C:\\VELD\\VELD\\TestProfile\\P1_Custom.DAT", "points");

  link_.UploadTestResults();
  link_.DownloadUUTTable();
  link_.DownloadTestProfileTable();

  EXPECT_EQ(Local("C:\\VELD\\PC\\TestResults"), Names{"R2.DAT"});
  EXPECT_EQ(ReadBytes(outside + "/table"), "outside table");
  EXPECT_TRUE(NamesIn(outside + "/profiles").empty());
  EXPECT_EQ(prompter_.Texts(),
            (Names{NotCopiedTo(kLocalTable, kDeviceTable),
                   NotCopiedTo("C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.dat",
                               "Mounted_Volume\\VELD\\TestProfile\\TestProfileTable.DAT"),
                   NotCopiedTo("C:\\VELD\\VELD\\TestProfile\\P1_Custom.DAT",
                               "Mounted_Volume\\VELD\\TestProfile\\P1_Custom.DAT")}));
  EXPECT_EQ(link_.FailedCopies(), 3u);
}

// Two spellings of a custom profile on either side are one file to the other side: none
// is copied, so that neither can overwrite the other's points.
TEST_F(SynchronisationTest, CustomProfilesThatDifferOnlyInLetterCaseNeverOverwriteEachOther) {
  PutOnDevice(Veld("TestProfile/TestProfileTable.DAT"), "profiles");
  PutOnDevice(Veld("TestProfile/FOO_Custom.DAT"), "upper points");
  PutOnDevice(Veld("TestProfile/foo_Custom.DAT"), "lower points");
  PutOnDevice(Veld("TestProfile/P1_Custom.DAT"), "p1 points");
  link_.UploadTestProfileTable();
  EXPECT_EQ(Local("C:\\VELD\\VELD\\TestProfile"), (Names{"P1_Custom.DAT", "TestProfileTable_PPCBK.dat"}));

  // An earlier upload left one spelling on the desktop; the desktop also holds a pair.
  PutOnDesktop("C:\\VELD\\VELD\\TestProfile\\foo_Custom.DAT", "stale points");
  PutOnDevice(Veld("TestProfile/BAR_Custom.DAT"), "device bar");
  PutOnDesktop("C:\\VELD\\VELD\\TestProfile\\BAR_Custom.DAT", "desktop BAR");
  WriteBytes(OnDesktop("C:\\VELD\\VELD\\TestProfile") + "/bar_Custom.DAT", "desktop bar");
  link_.DownloadTestProfileTable();

  EXPECT_EQ(ReadDevice("TestProfile/FOO_Custom.DAT"), "upper points");
  EXPECT_EQ(ReadDevice("TestProfile/foo_Custom.DAT"), "lower points");
  EXPECT_EQ(ReadDevice("TestProfile/BAR_Custom.DAT"), "device bar");
  EXPECT_EQ(NamesIn(OnDevice(Veld("TestProfile"))),
            (Names{"BAR_Custom.DAT", "FOO_Custom.DAT", "P1_Custom.DAT", "TestProfileTable.DAT", "foo_Custom.DAT"}));
  EXPECT_EQ(prompter_.Texts(),
            (Names{"Files in Mounted_Volume\\VELD\\TestProfile\\ whose names differ only in letter case were not "
                   "copied: \"FOO_Custom.DAT\", \"foo_Custom.DAT\".",
                   "\"foo_Custom.DAT\" in C:\\VELD\\VELD\\TestProfile\\ was not copied: "
                   "Mounted_Volume\\VELD\\TestProfile\\ holds \"FOO_Custom.DAT\", \"foo_Custom.DAT\", whose names "
                   "differ only in letter case.",
                   "Files in C:\\VELD\\VELD\\TestProfile\\ whose names differ only in letter case were not copied: "
                   "\"BAR_Custom.DAT\", \"bar_Custom.DAT\"."}));
  EXPECT_EQ(link_.FailedCopies(), 5u);
}

// Custom profiles skip the table and the record count by case-sensitive prefix only.
TEST_F(SynchronisationTest, UploadAllCopiesTheTablesProfilesAndResultsIntoTheirLocalFiles) {
  PutOnDevice(Veld("UUT/UUTTable.DAT"), "uut records");
  PutOnDevice(Veld("System/SystemDataTable.DAT"), "settings");
  PutOnDevice(Veld("TestResults/DAT/R1.DAT"), "result");
  for (const char* name : {"TestProfileTable.DAT", "TestProfileTableOld.DAT", "TestProfileRecCount.DAT",
                           "TestProfileRecCount", "P1_Custom.DAT", "Notes.txt", "testprofiletable.dat"}) {
    PutOnDevice(Veld("TestProfile/") + name, name);
  }
  MakeDeviceFolder(Veld("TestProfile/Archive"));
  PutOnDesktop("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat", "old uut records");

  link_.UploadAll();

  // ".DAT" and ".dat" name one local file: the existing one is replaced, no second appears.
  EXPECT_EQ(Local("C:\\VELD\\VELD\\UUT"), Names{"UUTTable_PPCBK.dat"});
  EXPECT_EQ(ReadDesktop("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat"), "uut records");
  EXPECT_EQ(ReadDesktop("C:\\VELD\\VELD\\System\\SystemDataTable_PPCBK.dat"), "settings");
  EXPECT_EQ(Local("C:\\VELD\\VELD\\TestProfile"),
            (Names{"Notes.txt", "P1_Custom.DAT", "TestProfileTable_PPCBK.dat", "testprofiletable.dat"}));
  EXPECT_EQ(ReadDesktop("C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.dat"), "TestProfileTable.DAT");
  EXPECT_EQ(ReadDesktop("C:\\VELD\\PC\\TestResults\\R1.DAT"), "result");
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SynchronisationTest, MissingDeviceProfileFolderIsReportedAfterTheTableCopy) {
  PutOnDesktop("C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.dat", "previous records");
  fs::remove_all(OnDevice(Veld("TestProfile")));
  link_.UploadTestProfileTable();
  EXPECT_EQ(ReadDesktop("C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.dat"), "previous records");
  EXPECT_EQ(prompter_.Texts(),
            (Names{"Could not copy Mounted_Volume\\VELD\\TestProfile\\TestProfileTable.DAT from VELD.  "
                   "C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.dat was not changed.",
                   "Cannot find any custom profiles in Mounted_Volume\\VELD\\TestProfile\\ folder!"}));
}

TEST_F(SynchronisationTest, InterruptedResultIsLeftOutAndCopiedByTheNextUpload) {
  PutOnDevice(Veld("TestResults/DAT/R1.DAT"), PatternBytes(15000, 4));
  auto fail = std::make_optional<ScopedVariable>(rapi::kFailReadAtVariable, std::string("2"));
  link_.UploadTestResults();
  fail.reset();
  EXPECT_TRUE(Local("C:\\VELD\\PC\\TestResults").empty());
  ASSERT_EQ(prompter_.entries.size(), 1u);
  link_.UploadTestResults();
  EXPECT_EQ(ReadDesktop("C:\\VELD\\PC\\TestResults\\R1.DAT"), PatternBytes(15000, 4));
}

TEST_F(SynchronisationTest, DownloadSendsTheVeldTablesAndEveryOtherProfileButNeverTheSettings) {
  PutOnDesktop("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat", "uut records");
  PutOnDesktop("C:\\VELD\\VELD\\System\\SystemDataTable_PPCBK.dat", "settings");
  for (const char* name :
       {"TestProfileTable_PPCBK.dat", "TestProfileRecCount.DAT", "P1_Custom.DAT", "extra.dat", "notes.txt"}) {
    PutOnDesktop(std::string("C:\\VELD\\VELD\\TestProfile\\") + name, name);
  }
  PutOnDevice(Veld("UUT/uuttable.dat"), "old device records that are longer");

  link_.DownloadUUTTable();
  link_.DownloadTestProfileTable();

  EXPECT_EQ(NamesIn(OnDevice(Veld("UUT"))), Names{"uuttable.dat"});
  EXPECT_EQ(ReadDevice("UUT/uuttable.dat"), "uut records");
  EXPECT_EQ(NamesIn(OnDevice(Veld("TestProfile"))), (Names{"P1_Custom.DAT", "TestProfileTable.DAT", "extra.dat"}));
  EXPECT_EQ(ReadDevice("TestProfile/TestProfileTable.DAT"), "TestProfileTable_PPCBK.dat");
  EXPECT_TRUE(NamesIn(OnDevice(Veld("System"))).empty());
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SynchronisationTest, HostileNamesAreSkippedAndReportedInBothDirections) {
  for (const char* name : {"a\\b.DAT", "x..y.DAT", "bad:name.DAT", "\xCE\xA9.DAT", "ctl\x01.DAT", "good.DAT"}) {
    PutOnDevice(Veld("TestResults/DAT/") + name, name);
  }
  link_.UploadTestResults();
  EXPECT_EQ(Local("C:\\VELD\\PC\\TestResults"), Names{"good.DAT"});
  EXPECT_EQ(Local("C:\\VELD\\PC"), Names{"TestResults"});

  PutOnDesktop("C:\\VELD\\VELD\\TestProfile\\P1_Custom.DAT", "points");
  WriteBytes(OnDesktop("C:\\VELD\\VELD\\TestProfile") + "/..\\..\\escape.DAT", "hostile");
  link_.DownloadCustomProfiles();
  EXPECT_EQ(NamesIn(OnDevice(Veld("TestProfile"))), Names{"P1_Custom.DAT"});
  EXPECT_EQ(NamesIn(OnDevice("Mounted_Volume")), Names{"VELD"});

  const std::string tail = "\" in Mounted_Volume\\VELD\\TestResults\\DAT\\ was not copied: the name cannot be used as "
                           "a file name.";
  // In the listing's order; the character beyond 8 bits and the control character show as '?'.
  EXPECT_EQ(prompter_.Texts(),
            (Names{"\"a\\b.DAT" + tail, "\"bad:name.DAT" + tail, "\"ctl?.DAT" + tail, "\"x..y.DAT" + tail,
                   "\"?.DAT" + tail,
                   "\"..\\..\\escape.DAT\" in C:\\VELD\\VELD\\TestProfile\\ was not copied: the name cannot be used "
                   "as a file name."}));
}

TEST(DeviceFileName, OnlyOneNameInsideTheFolderIsSafeAndNarrowingStopsAtTheCapacity) {
  EXPECT_TRUE(IsSafeFileName("caf\xE9.DAT"));
  for (std::string name : {"", "..", "a/b.DAT", "a*.DAT", "a?.DAT", "a<b>.DAT", "a|b.DAT", "a\"b.DAT", "tab\t.DAT"}) {
    EXPECT_FALSE(IsSafeFileName(name)) << name;
  }
  EXPECT_FALSE(IsSafeFileName(std::string("nul\0.DAT", 8)));
  const char16_t unterminated[] = {u'A', u'B', u'C', u'D'};
  std::string narrow = "previous name";
  EXPECT_TRUE(NarrowName(unterminated, 3, narrow));
  EXPECT_EQ(narrow, "ABC");
  const char16_t wide[] = {u'A', u'\u0100', 0};
  EXPECT_FALSE(NarrowName(wide, 3, narrow));
}

TEST_F(DeviceLinkTest, EveryOperationBeforeAConnectThatLoadedTheLibraryIsRefused) {
  PutOnDesktop(kLocalTable, "desktop table");
  link_.CopyFileToDevice(kLocalTable, kDeviceTable);
  link_.CopyFileFromDevice(kLocalTable, kDeviceTable);
  using L = CCorvaneRAPI;
  for (auto run : {&L::UploadUUTTable, &L::DownloadUUTTable, &L::UploadSettingsTable, &L::UploadTestProfileTable,
                   &L::DownloadTestProfileTable, &L::UploadCustomProfiles, &L::DownloadCustomProfiles,
                   &L::UploadTestResults, &L::UploadAll}) {
    (link_.*run)();
  }
  // One message for each of the eleven, UploadAll included.
  EXPECT_EQ(prompter_.Texts(),
            Names(11, "Unable to connect to VELD.  Please verify that device is connected through ActiveSync."));
  EXPECT_EQ(ReadBytes(OnDesktop(kLocalTable)), "desktop table");
  EXPECT_EQ(NamesIn(OnDesktop("C:\\VELD\\VELD")), Names{"UUT"});
  EXPECT_TRUE(NamesIn(temp_.device()).empty());
  EXPECT_FALSE(FileExists(OnDesktop("C:\\VELD\\PC")));

  // No library file, and a library without the remote API's entry points, load nothing.
  for (const char* path : {"/nonexistent/libveld_rapi.so", "libm.so.6"}) {
    ScopedVariable library("VELD_RAPI_LIBRARY", std::string(path));
    EXPECT_FALSE(link_.Connect() || link_.IsLoaded()) << path;
  }
  EXPECT_TRUE(link_.Connect());
  EXPECT_TRUE(link_.Connect());  // the library answers that it is already initialised
}

}  // namespace
}  // namespace veld::test
