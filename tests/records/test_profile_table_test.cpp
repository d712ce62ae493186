#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <utility>

#include "platform/fault_injection.h"
#include "platform/file_error.h"
#include "platform/host_path.h"
#include "records/raw_fields.h"
#include "records/test_profile_table.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using test::LittleEndian;

// ID and type as width-32 text fields, the point count and the leak flag.
std::string Record(const std::string& id, const std::string& type, int32_t points, int32_t leak = 0) {
  return test::FixedField(id, 32) + test::FixedField(type, 32) + LittleEndian<int32_t>({points, leak});
}

TestProfile Profile(const std::string& id, const std::string& type = "Ascending", int32_t points = 11,
                    std::vector<double> custom = {}) {
  TestProfile profile;
  profile.ID = id;
  profile.ProfileType = type;
  profile.NumberOfPoints = points;
  profile.CustomPoints = std::move(custom);
  return profile;
}

class TestProfileTableTest : public test::TempRootTest {
 protected:
  std::string TableFile() const { return HostPath(table_.LogicalPath()); }
  std::string Table() const { return test::ReadBytes(TableFile()); }
  std::string CustomFile(const std::string& id) const { return HostPath(table_.CustomFilePath(Profile(id))); }
  void WriteTable(const std::string& bytes) { test::WriteBytes(TableFile(), bytes); }
  TestProfile Loaded(const std::string& id) {
    TestProfile profile = Profile(id, "unset", -1);
    table_.LoadRecord(profile);
    return profile;
  }
  // Every regular file under the root with its content.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(temp_.root())) {
      if (entry.is_regular_file()) files[entry.path().string()] = test::ReadBytes(entry.path().string());
    }
    return files;
  }

  test::RecordingPrompter prompter_;
  TestProfileTable table_{prompter_};
};

TEST_F(TestProfileTableTest, FreshTableHoldsTheSixStandardProfiles) {
  test::MakeParentFolders(TableFile());
  table_.Open();
  EXPECT_EQ(Table(), Record("3pointtest", "Ascending", 3) + Record("5pointtest", "Ascending", 5) +
                       Record("6pointtest", "Ascending", 6) + Record("7pointtest", "Ascending", 7) +
                       Record("11pointtest", "Ascending", 11) + Record("21pointtest", "Ascending", 21));
}

TEST_F(TestProfileTableTest, SaveRewritesInPlaceOrAppendsOverStrayBytesAndIdsAreCaseSensitive) {
  WriteTable(Record("one", "Ascending", 3) + Record("two", "Both", 4, 7));
  EXPECT_TRUE(Loaded("two").LeakTest);  // any non-zero flag
  EXPECT_EQ(Loaded("Two").ProfileType, "unset");  // an unknown ID loads nothing
  table_.SaveRecord(Profile("one", "Descending", 9));
  table_.DeleteRecord(Profile("ONE"));
  EXPECT_EQ(Table(), Record("one", "Descending", 9) + Record("two", "Both", 4, 7));
  // Stray bytes after the last whole record are not a record; the new one replaces them
  // instead of being shifted and then cut by the length check.
  WriteTable(Table() + "junk");
  table_.SaveRecord(Profile("One", "Both", 4));
  EXPECT_EQ(Table(), Record("one", "Descending", 9) + Record("two", "Both", 4, 7) + Record("One", "Both", 4));
}

TEST_F(TestProfileTableTest, DeletingMovesTheLastRecordIntoTheFreedSlot) {
  WriteTable("");
  for (const char* id : {"p1", "p2", "p3", "p4", "p5"}) table_.SaveRecord(Profile(id));
  const std::string before = Table();
  table_.DeleteRecord(Profile("p2"));
  EXPECT_EQ(Table(), before.substr(0, 144) + before.substr(576, 144) + before.substr(288, 288));
  table_.DeleteRecord(Profile("p4"));  // the last record is simply dropped
  VectorListTarget combo;
  table_.FillCombo(combo);
  EXPECT_EQ(combo.items, (std::vector<std::string>{"p1", "p5", "p3"}));
}

TEST_F(TestProfileTableTest, TextsThatDoNotFitTheRecordAreRefusedBeforeAnythingIsWritten) {
  const std::string bytes = Record("one", "Ascending", 3);
  WriteTable(bytes);
  const std::string too_long(33, 'x');
  const std::string unstorable = "ID contains characters that cannot be stored";
  for (const auto& [profile, problem] : std::vector<std::pair<TestProfile, std::string>>{
           {Profile(too_long), "ID is longer than 32 characters"},
           {Profile("ok", too_long), "type is longer than 32 characters"},
           {Profile("caf\xE9"), unstorable}, {Profile(std::string("a\0b", 3)), unstorable}}) {
    prompter_.entries.clear();
    table_.SaveRecord(profile);
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Profile " + problem + ".  The profile was not saved."});
    EXPECT_EQ(Table(), bytes);
  }
  table_.SaveRecord(Profile(std::string(32, 'Q'), "Both", 6));  // exactly the width is stored whole
  EXPECT_EQ(Table(), bytes + Record(std::string(32, 'Q'), "Both", 6));
}

TEST_F(TestProfileTableTest, CustomPointsAreSavedAsTheRecordsCountOfDoublesReadBackAndDeleted) {
  WriteTable("");
  table_.SaveRecord(Profile("Plain", "Ascending", 3, {0.5, 0.5, 0.5}));  // standard: no custom file
  EXPECT_FALSE(test::FileExists(CustomFile("Plain")));
  table_.SaveRecord(Profile("My list.2", "Custom", 4, {0.0, 0.25, 0.75, 1.0, 0.5}));  // one beyond the count
  EXPECT_EQ(test::ReadBytes(temp_.root() + "/VELD/PC/TestProfile/My list.2_Custom.DAT"),
            std::string(14, '\0') + "\xD0\x3F" + std::string(6, '\0') + "\xE8\x3F" + std::string(6, '\0') + "\xF0\x3F");
  const TestProfile loaded = Loaded("My list.2");
  EXPECT_EQ(loaded.CustomPoints, (std::vector<double>{0.0, 0.25, 0.75, 1.0}));
  EXPECT_TRUE(table_.CustomFileExists(loaded));
  TestProfile shorter = loaded;
  shorter.NumberOfPoints = 2;
  table_.SaveCustomPoints(shorter);  // an existing file is cut, not overwritten in part
  EXPECT_EQ(test::ReadBytes(CustomFile("My list.2")), LittleEndian<double>({0.0, 0.25}));
  for (const char* id : {"Plain", "Orphan"}) test::WriteBytes(CustomFile(id), LittleEndian<double>({0.5}));
  table_.DeleteRecord(Profile("Plain", "Ascending"));   // not a custom profile: its file stays
  table_.DeleteRecord(Profile("Orphan", "Custom", 1));  // no record with this ID: its file stays
  const std::string kept = Table();
  fault::Arm(*fault::ParsePlan("remove:1:EIO"));
  EXPECT_THROW(table_.DeleteRecord(loaded), FileError);  // points that stay keep their record
  fault::Disarm();
  EXPECT_EQ(Table(), kept);
  table_.DeleteRecord(loaded);
  EXPECT_EQ(Table(), "");
  EXPECT_FALSE(test::FileExists(CustomFile("My list.2")));
  EXPECT_TRUE(test::FileExists(CustomFile("Plain")) && test::FileExists(CustomFile("Orphan")));
}

TEST_F(TestProfileTableTest, TheCustomFileDecidesTheCountAndEveryCountedPointIsHeld) {
  const std::vector<double> values = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7};
  // Against a 5-point record: as many values, fewer, a remainder dropped, more, not even one.
  for (const auto& [length, count] : std::vector<std::pair<size_t, int>>{{40, 5}, {24, 3}, {43, 5}, {56, 7}, {7, 0}}) {
    WriteTable(Record("Five", "Custom", 5));
    test::WriteBytes(CustomFile("Five"), LittleEndian(values).substr(0, length));
    const TestProfile profile = Loaded("Five");
    ASSERT_EQ(profile.NumberOfPoints, count) << length;
    for (int i = 1; i <= count; ++i) EXPECT_EQ(profile.PointFraction(i), values[i - 1]) << length;
  }
}

TEST_F(TestProfileTableTest, AMissingCustomFileFailsAndAWildCountNeverSizesTheList) {
  WriteTable(Record("Gone", "Custom", 5) + Record("Wild", "Custom", 2000000000));
  for (const char* id : {"Gone", "Wild"}) {
    TestProfile profile = Profile(id);
    EXPECT_THROW(table_.LoadRecord(profile), FileError);
    EXPECT_LE(profile.CustomPoints.size(), 101u);
  }
  test::WriteBytes(CustomFile("Wild"), LittleEndian<double>({0.5, 0.25}));
  EXPECT_EQ(Loaded("Wild").NumberOfPoints, 2);
}

TEST_F(TestProfileTableTest, IdsThatCannotNameAFileTouchNoFileOutsideTheProfileFolder) {
  // Files where a careless join of folder and ID would land.
  test::WriteBytes(temp_.root() + "/VELD/PC/x_Custom.DAT", LittleEndian<double>({0.5}));
  test::WriteBytes(temp_.root() + "/VELD/PC/TestProfile/a/b_Custom.DAT", LittleEndian<double>({0.5}));
  WriteTable("");
  const auto before = Snapshot();
  for (const std::string id : {"../x", "a/b", "a\\b", "C:x", "a*b", "a?b", "a|b", "a<b>", "\"q\"", "..", "",
                               "tab\there", "\x7F"}) {
    prompter_.entries.clear();
    TestProfile custom = Profile(id, "Custom", 2, {0.0, 1.0});
    table_.SaveRecord(custom);
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Unable to save custom profile.  Invalid profile ID!"}) << id;
    EXPECT_EQ(Table(), Record(id, "Custom", 2));  // the record itself is kept
    EXPECT_THROW(table_.LoadCustomPoints(custom), FileError);
    table_.DeleteRecord(custom);
    EXPECT_EQ(Snapshot(), before) << id;
  }
}

TEST_F(TestProfileTableTest, ABrokenLengthIsReportedAndMalformedRecordsGiveAFileErrorNotACrash) {
  WriteTable(Record("one", "Ascending", 3) + "x");
  table_.Open();
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Test Profile table corrupted!!\r\n" + TableFile()});
  EXPECT_EQ(Table(), Record("one", "Ascending", 3) + "x");
  // A record whose ID claims a 64-bit character count far beyond the file.
  WriteTable(Record("fine", "Both", 3) + std::string(11, '\xFF') + std::string(133, '\x7F'));
  EXPECT_EQ(Loaded("fine").ProfileType, "Both");  // the first match wins before the bad record
  EXPECT_THROW(Loaded("other"), FileError);
  EXPECT_THROW(table_.SaveRecord(Profile("other")), FileError);
  EXPECT_THROW(table_.DeleteRecord(Profile("other")), FileError);
  VectorListTarget combo;
  EXPECT_THROW(table_.FillCombo(combo), FileError);
  EXPECT_EQ(Table().size(), 288u);
}

}  // namespace
}  // namespace veld
