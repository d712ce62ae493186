#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/file_error.h"
#include "platform/host_path.h"
#include "records/test_profile_table.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

const char kInvalidId[] = "Unable to save custom profile.  Invalid profile ID!";

// A width-32 text field as the table stores it: FF FE FF 20, then 32 UTF-16LE units.
std::string Field32(const std::string& text) {
  std::string field = "\xFF\xFE\xFF\x20";
  for (size_t i = 0; i < 32; ++i) {
    field += i < text.size() ? text[i] : '\0';
    field += '\0';
  }
  return field;
}

std::string Int32(int32_t value) {
  std::string bytes(4, '\0');
  std::memcpy(bytes.data(), &value, 4);  // the test hosts are little-endian
  return bytes;
}

std::string Record(const std::string& id, const std::string& type, int32_t points, int32_t leak) {
  return Field32(id) + Field32(type) + Int32(points) + Int32(leak);
}

std::string Doubles(const std::vector<double>& values) {
  std::string bytes(values.size() * 8, '\0');
  if (!values.empty()) std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

TestProfile Profile(const std::string& id, const std::string& type = "Ascending", int32_t points = 11,
                    bool leak = false) {
  TestProfile profile;
  profile.ID = id;
  profile.ProfileType = type;
  profile.NumberOfPoints = points;
  profile.LeakTest = leak;
  return profile;
}

// Every regular file under a folder with its content.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().string()] = ReadBytes(entry.path().string());
  }
  return files;
}

class TestProfileTableTest : public test::TempRootTest {
 protected:
  TestProfileTableTest() : table_(prompter_) {}

  std::string TableFile() const { return HostPath(table_.LogicalPath()); }
  std::string CustomFile(const std::string& id) const { return HostPath(table_.CustomFilePath(Profile(id))); }
  void WriteTable(const std::string& bytes) { WriteBytes(TableFile(), bytes); }
  std::vector<std::string> ComboItems() {
    VectorListTarget combo;
    table_.FillCombo(combo);
    return combo.items;
  }

  test::RecordingPrompter prompter_;
  TestProfileTable table_;
};

TEST_F(TestProfileTableTest, FreshTableHoldsTheSixStandardProfiles) {
  test::MakeParentFolders(TableFile());
  table_.Open();

  const std::string bytes = ReadBytes(TableFile());
  ASSERT_EQ(bytes.size(), 864u);
  EXPECT_EQ(bytes.substr(0, 10), std::string("\xFF\xFE\xFF\x20\x33\x00\x70\x00\x6F\x00", 10));
  EXPECT_EQ(bytes.substr(0, 144), Record("3pointtest", "Ascending", 3, 0));
  EXPECT_EQ(bytes.substr(136, 8), std::string("\x03\0\0\0\0\0\0\0", 8));
  const std::vector<std::pair<std::string, int>> standard = {{"3pointtest", 3}, {"5pointtest", 5},
                                                             {"6pointtest", 6}, {"7pointtest", 7},
                                                             {"11pointtest", 11}, {"21pointtest", 21}};
  for (size_t k = 0; k < standard.size(); ++k) {
    EXPECT_EQ(bytes.substr(k * 144, 144), Record(standard[k].first, "Ascending", standard[k].second, 0)) << k;
  }
  // No custom files are written with the table.
  EXPECT_EQ(Snapshot(temp_.root()).size(), 1u);
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(TestProfileTableTest, DeviceMirrorUsesItsOwnFolderAndName) {
  table_.SetDevice(true);
  EXPECT_EQ(table_.LogicalPath(), "C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.dat");
  EXPECT_EQ(table_.CustomFilePath(Profile("Leaky")), "C:\\VELD\\VELD\\TestProfile\\Leaky_Custom.DAT");
  test::MakeParentFolders(TableFile());
  table_.Open();
  EXPECT_EQ(ReadBytes(temp_.root() + "/VELD/VELD/TestProfile/TestProfileTable_PPCBK.dat").size(), 864u);

  table_.SetDevice(false);
  EXPECT_EQ(table_.LogicalPath(), "C:\\VELD\\PC\\TestProfile\\TestProfileTable.dat");
  EXPECT_EQ(table_.CustomFilePath(Profile("Leaky")), "C:\\VELD\\PC\\TestProfile\\Leaky_Custom.DAT");
}

TEST_F(TestProfileTableTest, OpenReportsATableOfBrokenLengthAndLeavesItAlone) {
  std::string damaged = Record("one", "Ascending", 3, 0) + "x";
  WriteTable(damaged);
  table_.Open();
  ASSERT_EQ(prompter_.Texts(), std::vector<std::string>{"Test Profile table corrupted!!\r\n" + TableFile()});
  EXPECT_EQ(ReadBytes(TableFile()), damaged);
}

TEST_F(TestProfileTableTest, OpenLeavesAWholeTableUnchanged) {
  const std::string bytes = Record("mine", "Both", 4, 1);
  WriteTable(bytes);
  table_.Open();
  EXPECT_EQ(ReadBytes(TableFile()), bytes);
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(TestProfileTableTest, OpenDoesNotReplaceATableThatExistsButWillNotOpen) {
  fs::create_directories(TableFile());  // a folder where the table should be
  EXPECT_THROW(table_.Open(), FileError);
  EXPECT_TRUE(fs::is_directory(TableFile()));
}

TEST_F(TestProfileTableTest, SavingAnExistingIdRewritesItsRecordInPlace) {
  test::MakeParentFolders(TableFile());
  table_.Open();
  table_.SaveRecord(Profile("5pointtest", "Descending", 9, true));

  const std::string bytes = ReadBytes(TableFile());
  ASSERT_EQ(bytes.size(), 864u);
  EXPECT_EQ(bytes.substr(144, 144), Record("5pointtest", "Descending", 9, 1));
  EXPECT_EQ(bytes.substr(0, 144), Record("3pointtest", "Ascending", 3, 0));
  EXPECT_EQ(bytes.substr(288, 144), Record("6pointtest", "Ascending", 6, 0));

  TestProfile loaded = Profile("5pointtest");
  table_.LoadRecord(loaded);
  EXPECT_EQ(loaded.ProfileType, "Descending");
  EXPECT_EQ(loaded.NumberOfPoints, 9);
  EXPECT_TRUE(loaded.LeakTest);
}

TEST_F(TestProfileTableTest, SavingANewIdAppendsARecord) {
  test::MakeParentFolders(TableFile());
  table_.Open();
  table_.SaveRecord(Profile("Fast", "Both", 4));
  const std::string bytes = ReadBytes(TableFile());
  ASSERT_EQ(bytes.size(), 1008u);
  EXPECT_EQ(bytes.substr(864), Record("Fast", "Both", 4, 0));
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(TestProfileTableTest, AppendingToADamagedTableKeepsTheNewRecordWhole) {
  // Stray bytes after the last whole record are not a record; the new one replaces them
  // instead of being shifted and then cut by the length check.
  WriteTable(Record("one", "Ascending", 3, 0) + "junk");
  table_.SaveRecord(Profile("two", "Descending", 5));
  EXPECT_EQ(ReadBytes(TableFile()), Record("one", "Ascending", 3, 0) + Record("two", "Descending", 5, 0));
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(TestProfileTableTest, LoadingAnUnknownIdKeepsTheProfile) {
  WriteTable(Record("one", "Both", 3, 1));
  TestProfile profile = Profile("two", "Descending", 8);
  table_.LoadRecord(profile);
  EXPECT_EQ(profile.ID, "two");
  EXPECT_EQ(profile.ProfileType, "Descending");
  EXPECT_EQ(profile.NumberOfPoints, 8);
  EXPECT_FALSE(profile.LeakTest);
}

TEST_F(TestProfileTableTest, AnyNonZeroLeakFlagReadsAsALeakTest) {
  WriteTable(Record("odd", "Ascending", 3, 7));
  TestProfile profile = Profile("odd");
  table_.LoadRecord(profile);
  EXPECT_TRUE(profile.LeakTest);
}

TEST_F(TestProfileTableTest, IdsDifferingOnlyInLetterCaseAreDifferentProfiles) {
  WriteTable("");
  table_.SaveRecord(Profile("Alpha", "Both", 5));
  table_.SaveRecord(Profile("alpha", "Descending", 7));
  EXPECT_EQ(ReadBytes(TableFile()).size(), 288u);

  TestProfile lower = Profile("alpha");
  table_.LoadRecord(lower);
  EXPECT_EQ(lower.ProfileType, "Descending");
  EXPECT_EQ(lower.NumberOfPoints, 7);
  TestProfile upper = Profile("Alpha");
  table_.LoadRecord(upper);
  EXPECT_EQ(upper.ProfileType, "Both");

  table_.DeleteRecord(Profile("ALPHA"));
  EXPECT_EQ(ReadBytes(TableFile()).size(), 288u);
}

TEST_F(TestProfileTableTest, DeletingMovesTheLastRecordIntoTheFreedSlot) {
  WriteTable("");
  for (const char* id : {"p1", "p2", "p3", "p4", "p5"}) table_.SaveRecord(Profile(id));
  const std::string before = ReadBytes(TableFile());

  table_.DeleteRecord(Profile("p2"));
  const std::string after = ReadBytes(TableFile());
  ASSERT_EQ(after.size(), 576u);
  EXPECT_EQ(after.substr(144, 144), before.substr(576, 144));
  EXPECT_EQ(ComboItems(), (std::vector<std::string>{"p1", "p5", "p3", "p4"}));

  table_.DeleteRecord(Profile("p4"));  // the last record is simply dropped
  EXPECT_EQ(ComboItems(), (std::vector<std::string>{"p1", "p5", "p3"}));
  table_.DeleteRecord(Profile("nothere"));
  EXPECT_EQ(ReadBytes(TableFile()), after.substr(0, 432));
}

TEST_F(TestProfileTableTest, DeletingFromAnEmptyTableChangesNothing) {
  WriteTable("");
  table_.DeleteRecord(Profile("p1"));
  EXPECT_EQ(ReadBytes(TableFile()), "");
}

TEST_F(TestProfileTableTest, FillListPutsEachIdAtTheTopAndFillComboInFileOrder) {
  WriteTable(Record("a", "Ascending", 3, 0) + Record("b", "Both", 4, 0) + Record("c", "Custom", 2, 0));
  VectorListTarget list;
  list.items = {"stale"};
  table_.FillList(list);
  EXPECT_EQ(list.items, (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_EQ(ComboItems(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(TestProfileTableTest, AMissingTableIsAFileErrorForEveryRecordOperation) {
  TestProfile profile = Profile("3pointtest");
  VectorListTarget target;
  const std::vector<std::function<void()>> operations = {
      [&] { table_.LoadRecord(profile); }, [&] { table_.SaveRecord(profile); },
      [&] { table_.DeleteRecord(profile); }, [&] { table_.FillList(target); },
      [&] { table_.FillCombo(target); }};
  for (size_t k = 0; k < operations.size(); ++k) {
    try {
      operations[k]();
      ADD_FAILURE() << "operation " << k << " did not fail";
    } catch (const FileError& error) {
      EXPECT_EQ(error.cause(), FileError::Cause::NotFound) << k;
    }
  }
  EXPECT_FALSE(test::FileExists(TableFile()));
}

TEST_F(TestProfileTableTest, TextsThatDoNotFitTheRecordAreRefusedBeforeAnythingIsWritten) {
  const std::string thirty_three(33, 'x');
  const std::vector<std::pair<TestProfile, std::string>> refused = {
      {Profile(thirty_three), "Profile ID is longer than 32 characters.  The profile was not saved."},
      {Profile("ok", thirty_three), "Profile type is longer than 32 characters.  The profile was not saved."},
      {Profile("caf\xE9"), "Profile ID contains characters that cannot be stored.  The profile was not saved."},
      {Profile(std::string("a\0b", 3)),
       "Profile ID contains characters that cannot be stored.  The profile was not saved."},
  };
  const std::string bytes = Record("one", "Ascending", 3, 0);
  WriteTable(bytes);
  for (const auto& [profile, message] : refused) {
    prompter_.entries.clear();
    TestProfile custom = profile;
    table_.SaveRecord(custom);
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{message});
    EXPECT_EQ(ReadBytes(TableFile()), bytes);
  }
  EXPECT_EQ(Snapshot(temp_.root()).size(), 1u);
}

TEST_F(TestProfileTableTest, AnIdOfExactlyThirtyTwoCharactersIsStored) {
  WriteTable("");
  const std::string id(32, 'Q');
  table_.SaveRecord(Profile(id, "Both", 6));
  EXPECT_EQ(ReadBytes(TableFile()), Record(id, "Both", 6, 0));
  TestProfile loaded = Profile(id);
  table_.LoadRecord(loaded);
  EXPECT_EQ(loaded.NumberOfPoints, 6);
}

TEST_F(TestProfileTableTest, CustomProfileIsSavedAsDoublesAndReadBack) {
  WriteTable("");
  TestProfile custom = Profile("Mine", "Custom", 4, true);
  custom.CustomPoints = {0.0, 0.25, 0.75, 1.0};
  table_.SaveRecord(custom);

  const std::string file = ReadBytes(CustomFile("Mine"));
  ASSERT_EQ(file.size(), 32u);
  EXPECT_EQ(file.substr(0, 8), std::string(8, '\0'));
  EXPECT_EQ(file.substr(8, 8), std::string("\0\0\0\0\0\0\xD0\x3F", 8));    // 0.25
  EXPECT_EQ(file.substr(24, 8), std::string("\0\0\0\0\0\0\xF0\x3F", 8));   // 1.0
  EXPECT_EQ(CustomFile("Mine"), temp_.root() + "/VELD/PC/TestProfile/Mine_Custom.DAT");

  TestProfile loaded = Profile("Mine");
  table_.LoadRecord(loaded);
  EXPECT_EQ(loaded.ProfileType, "Custom");
  EXPECT_EQ(loaded.NumberOfPoints, 4);
  EXPECT_EQ(loaded.CustomPoints, (std::vector<double>{0.0, 0.25, 0.75, 1.0}));
  EXPECT_TRUE(table_.CustomFileExists(loaded));
}

TEST_F(TestProfileTableTest, StandardProfilesHaveNoCustomFile) {
  WriteTable("");
  TestProfile ascending = Profile("Plain", "Ascending", 3);
  ascending.CustomPoints = {0.5, 0.5, 0.5};
  table_.SaveRecord(ascending);
  EXPECT_FALSE(test::FileExists(CustomFile("Plain")));
  EXPECT_FALSE(table_.CustomFileExists(ascending));

  TestProfile loaded = Profile("Plain");
  table_.LoadRecord(loaded);  // no custom file is read, so none is missed
  EXPECT_TRUE(loaded.CustomPoints.empty());
}

struct CustomFileCase {
  size_t bytes;
  int32_t expected_count;
};

class CustomFileLengthTest : public TestProfileTableTest,
                             public ::testing::WithParamInterface<CustomFileCase> {};

TEST_P(CustomFileLengthTest, TheFileDecidesTheCountAndEveryCountedPointIsHeld) {
  const CustomFileCase& c = GetParam();
  WriteTable(Record("Five", "Custom", 5, 0));
  std::string file = Doubles({0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7}).substr(0, c.bytes);
  WriteBytes(CustomFile("Five"), file);

  TestProfile profile = Profile("Five");
  table_.LoadRecord(profile);
  ASSERT_EQ(profile.NumberOfPoints, c.expected_count);
  ASSERT_GE(profile.CustomPoints.size(), static_cast<size_t>(c.expected_count));
  const std::vector<double> values = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7};
  for (int i = 1; i <= c.expected_count; ++i) EXPECT_EQ(profile.PointFraction(i), values[i - 1]) << i;
}

INSTANTIATE_TEST_SUITE_P(AgainstAFivePointRecord, CustomFileLengthTest,
                         ::testing::Values(CustomFileCase{40, 5},   // as many values as the record
                                           CustomFileCase{24, 3},   // fewer: the count shrinks
                                           CustomFileCase{43, 5},   // a remainder is dropped
                                           CustomFileCase{56, 7},   // more: all of them are read
                                           CustomFileCase{7, 0}));  // not even one value

TEST_F(TestProfileTableTest, AMissingCustomFileFailsAndLeavesZeroPoints) {
  WriteTable(Record("Gone", "Custom", 5, 0));
  TestProfile profile = Profile("Gone");
  try {
    table_.LoadRecord(profile);
    FAIL() << "no error for a missing custom file";
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), FileError::Cause::NotFound);
  }
  EXPECT_EQ(profile.NumberOfPoints, 5);
  EXPECT_EQ(profile.CustomPoints, std::vector<double>(5, 0.0));
}

TEST_F(TestProfileTableTest, AWildCountFromTheTableNeverSizesTheList) {
  WriteTable(Record("Wild", "Custom", 2000000000, 0));
  TestProfile profile = Profile("Wild");
  EXPECT_THROW(table_.LoadRecord(profile), FileError);
  EXPECT_LE(profile.CustomPoints.size(), 101u);

  WriteBytes(CustomFile("Wild"), Doubles({0.5, 0.25}));
  table_.LoadRecord(profile);
  EXPECT_EQ(profile.NumberOfPoints, 2);
  EXPECT_EQ(profile.PointFraction(2), 0.25);
}

TEST_F(TestProfileTableTest, SaveWritesTheRecordsCountOfPoints) {
  WriteTable("");
  TestProfile profile = Profile("Short", "Custom", 3);
  profile.CustomPoints = {0.1, 0.2, 0.3, 0.4, 0.5};  // longer than the count
  table_.SaveRecord(profile);
  EXPECT_EQ(ReadBytes(CustomFile("Short")), Doubles({0.1, 0.2, 0.3}));

  profile.NumberOfPoints = 2;
  table_.SaveCustomPoints(profile);  // an existing file is cut, not overwritten in part
  EXPECT_EQ(ReadBytes(CustomFile("Short")), Doubles({0.1, 0.2}));
}

TEST_F(TestProfileTableTest, DeletingACustomProfileRemovesItsFile) {
  WriteTable("");
  TestProfile custom = Profile("Mine", "Custom", 2);
  custom.CustomPoints = {0.0, 1.0};
  table_.SaveRecord(custom);
  ASSERT_TRUE(test::FileExists(CustomFile("Mine")));

  table_.DeleteRecord(custom);
  EXPECT_FALSE(test::FileExists(CustomFile("Mine")));
  EXPECT_EQ(ReadBytes(TableFile()), "");
}

TEST_F(TestProfileTableTest, DeletingKeepsCustomFilesThatTheDeletionDoesNotConcern) {
  WriteTable(Record("Plain", "Ascending", 3, 0));
  WriteBytes(CustomFile("Plain"), Doubles({0.5}));
  WriteBytes(CustomFile("Orphan"), Doubles({0.5}));
  table_.DeleteRecord(Profile("Plain", "Ascending"));    // not a custom profile
  table_.DeleteRecord(Profile("Orphan", "Custom", 1));  // no record with this ID
  EXPECT_TRUE(test::FileExists(CustomFile("Plain")));
  EXPECT_TRUE(test::FileExists(CustomFile("Orphan")));
}

TEST_F(TestProfileTableTest, SavingCustomPointsWithoutAFolderIsReported) {
  TestProfile custom = Profile("Mine", "Custom", 2);
  custom.CustomPoints = {0.0, 1.0};
  table_.SaveCustomPoints(custom);
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{kInvalidId});
}

class HostileIdTest : public TestProfileTableTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(HostileIdTest, TouchesNoFileOutsideTheProfileFolder) {
  const std::string id = GetParam();
  WriteTable("");
  // Files where a careless join of folder and ID would land.
  const std::string above = temp_.root() + "/VELD/PC/x_Custom.DAT";
  const std::string inside = temp_.root() + "/VELD/PC/TestProfile/a/b_Custom.DAT";
  WriteBytes(above, Doubles({0.5}));
  WriteBytes(inside, Doubles({0.5}));
  const auto before = Snapshot(temp_.root());

  TestProfile custom = Profile(id, "Custom", 2);
  custom.CustomPoints = {0.0, 1.0};
  table_.SaveRecord(custom);
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{kInvalidId});
  EXPECT_EQ(ReadBytes(TableFile()), Record(id, "Custom", 2, 0));  // the record itself is kept

  EXPECT_FALSE(table_.CustomFileExists(custom));
  try {
    table_.LoadCustomPoints(custom);
    ADD_FAILURE() << "loaded custom points for " << id;
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), FileError::Cause::NotFound);
  }

  table_.DeleteRecord(custom);
  EXPECT_EQ(ReadBytes(TableFile()), "");
  auto after = Snapshot(temp_.root());
  after.erase(TableFile());
  auto expected = before;
  expected.erase(TableFile());
  EXPECT_EQ(after, expected);
}

INSTANTIATE_TEST_SUITE_P(IdsThatCannotNameAFile, HostileIdTest,
                         ::testing::Values("../x", "a/b", "a\\b", "C:x", "a*b", "a?b", "a|b", "a<b>", "\"q\"",
                                           "..", "", "tab\there", "\x7F"));

TEST(TestProfileTableIds, OrdinaryIdsNameFiles) {
  for (const char* id : {"3pointtest", "My profile", "a.b", "x-y_z (2)", "Ünïcode"}) {
    EXPECT_TRUE(TestProfileTable::IsValidFileId(id)) << id;
  }
}

TEST_F(TestProfileTableTest, MalformedRecordsGiveAFileErrorNotACrash) {
  // A record whose ID claims a 64-bit character count far beyond the file.
  std::string wild = "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF";
  wild += std::string(144 - wild.size(), '\x7F');
  WriteTable(Record("fine", "Both", 3, 0) + wild);

  TestProfile found = Profile("fine");
  table_.LoadRecord(found);  // the first match wins before the bad record is reached
  EXPECT_EQ(found.ProfileType, "Both");

  for (const auto& operation : std::vector<std::function<void()>>{
           [&] { TestProfile p = Profile("other"); table_.LoadRecord(p); },
           [&] { table_.SaveRecord(Profile("other")); }, [&] { table_.DeleteRecord(Profile("other")); },
           [&] { VectorListTarget t; table_.FillCombo(t); }}) {
    try {
      operation();
      ADD_FAILURE() << "malformed record accepted";
    } catch (const FileError& error) {
      EXPECT_EQ(error.cause(), FileError::Cause::EndOfFile);
    }
  }
  EXPECT_EQ(ReadBytes(TableFile()).size(), 288u);
}

TEST_F(TestProfileTableTest, RecordsInTheShortStringFormAreRead) {
  // 8-bit strings with one-byte counts, padded to the record size.
  std::string record = std::string("\x05Short", 6) + std::string("\x04" "Both", 5) + Int32(4) + Int32(1);
  record += std::string(144 - record.size(), '\0');
  WriteTable(record);
  TestProfile profile = Profile("Short");
  table_.LoadRecord(profile);
  EXPECT_EQ(profile.ProfileType, "Both");
  EXPECT_EQ(profile.NumberOfPoints, 4);
  EXPECT_TRUE(profile.LeakTest);
}

}  // namespace
}  // namespace veld
