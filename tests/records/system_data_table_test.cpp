#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/file_error.h"
#include "platform/host_path.h"
#include "records/system_data_table.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"
#include "units/type_converter.h"

namespace veld {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

// The settings a new table receives, in order, as the calibrator expects them.
const std::vector<std::pair<std::string, std::string>> kExpectedDefaults = {
    {"UseTrendGraph_TestResults", "false"},
    {"UseTrendGraph_LeakTest", "false"},
    {"UseTrendGraph_WarmUp", "false"},
    {"Default UUT Accuracy", "1.000000000000000000000000000000"},
    {"Default UUT Max Leak Rate", "0.000100000000000000000000000000"},
    {"Default UUT Settle Time", "00000000000000000000000000005000"},
    {"Default UUT Control Stability", "0.000300000000000000000000000000"},
    {"Default UUT Excitation", "24VDC"},
    {"Default UUT Type", "CSOU"},
    {"UseWarning_Excitation", "true"},
    {"UseWarning_Miswire", "true"},
    {"EngUnits", "inWC"},
    {"EngUnitsConversionSpan", "1.000000000000000000000000000000"},
    {"LockedOut", "false"},
    {"LockDownEnable", "false"},
    {"", "false"},
    {"21CFRCompliantMode", "false"},
    {"LockDownAttemptLimit", "00000000000000000000000000000003"},
    {"FailedPWAttemptCount", "00000000000000000000000000000000"},
    {"ManualPressureStep", "false"},
    {"ExtraDigitPressureResolution", "false"},
    {"UseWarning_TestResultsSave", "true"},
    {"Filter Count", "00000000000000000000000000000100"},
    {"PWExpirationtLimit", "00000000000000000000000000000180"},
    {"CommOff", "false"},
    {"Default582-DefaultAcc", "0.500000000000000000000000000000"},
    {"Default582-ReCalAcc", "0.150000000000000000000000000000"},
    {"Default582-SettleTime", "00000000000000000000000000005000"},
    {"Default582-TestProfile", "3pointtest"},
    {"Default582-CtrlStab", "0.000300000000000000000000000000"},
    {"Default582-MaxLeak", "0.000150000000000000000000000000"},
    {"Default582-UseReCalAcc", "true"},
    {"Default582-UseDefaults", "true"},
};

// A width-32 text field: FF FE FF 20, then 32 UTF-16LE units of the text padded with zeros.
std::string Field32(const std::string& text) {
  std::string field = "\xFF\xFE\xFF\x20";
  for (size_t i = 0; i < 32; ++i) {
    field += i < text.size() ? text[i] : '\0';
    field += '\0';
  }
  return field;
}

std::string Record(const std::string& key, const std::string& value) { return Field32(key) + Field32(value); }

std::string Records(const std::vector<std::pair<std::string, std::string>>& settings) {
  std::string bytes;
  for (const auto& [key, value] : settings) bytes += Record(key, value);
  return bytes;
}

class SystemDataTableTest : public test::TempRootTest {
 protected:
  SystemDataTableTest() : table_(prompter_) { test::MakeParentFolders(TableFile()); }

  std::string TableFile() const { return HostPath(table_.LogicalPath()); }
  std::string Get(const std::string& key) {
    std::string value = "unset";
    table_.GetSetting(key, value);
    return value;
  }

  test::RecordingPrompter prompter_;
  SystemDataTable table_;
};

TEST_F(SystemDataTableTest, ChoosesThePathByDatabase) {
  EXPECT_EQ(table_.LogicalPath(), "C:\\VELD\\PC\\System\\SystemDataTable.dat");
  table_.SetDevice(true);
  EXPECT_EQ(table_.LogicalPath(), "C:\\VELD\\VELD\\System\\SystemDataTable_PPCBK.dat");
  table_.SetDevice(false);
  EXPECT_EQ(TableFile(), temp_.root() + "/VELD/PC/System/SystemDataTable.dat");
}

TEST_F(SystemDataTableTest, ANewTableGetsEveryDefaultInOrder) {
  table_.Open();
  const std::string bytes = ReadBytes(TableFile());
  ASSERT_EQ(bytes.size(), 4488u);
  EXPECT_EQ(bytes, Records(kExpectedDefaults));
  EXPECT_EQ(bytes.substr(0, 8), std::string("\xFF\xFE\xFF\x20U\0s\0", 8));
  EXPECT_TRUE(prompter_.entries.empty());
  EXPECT_EQ(Get(""), "false");  // the empty key is a setting like any other
  EXPECT_EQ(Get("Default582-TestProfile"), "3pointtest");
}

TEST_F(SystemDataTableTest, ASecondOpenChangesNothing) {
  table_.Open();
  const std::string first = ReadBytes(TableFile());
  table_.Open();
  EXPECT_EQ(ReadBytes(TableFile()), first);
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SystemDataTableTest, OpenAddsOnlyTheMissingKeyAtTheEnd) {
  auto without = kExpectedDefaults;
  without.erase(without.begin() + 24);  // "CommOff"
  without[3].second = "2.5";            // a changed value stays as it is
  WriteBytes(TableFile(), Records(without));

  table_.Open();
  auto expected = without;
  expected.emplace_back("CommOff", "false");
  EXPECT_EQ(ReadBytes(TableFile()), Records(expected));
}

TEST_F(SystemDataTableTest, OpenReplacesAValueStoredAsNullInPlace) {
  auto settings = kExpectedDefaults;
  settings[11].second = "NULL";  // "EngUnits"
  WriteBytes(TableFile(), Records(settings) + Record("Extra", "kept"));
  table_.Open();
  EXPECT_EQ(ReadBytes(TableFile()), Records(kExpectedDefaults) + Record("Extra", "kept"));
}

TEST_F(SystemDataTableTest, OpenReportsABrokenLengthAndAddsNoDefaults) {
  const std::string damaged = Record("LockedOut", "true") + "!";
  WriteBytes(TableFile(), damaged);
  table_.Open();
  ASSERT_EQ(prompter_.Texts(), std::vector<std::string>{"System data table corrupted!!\r\n" + TableFile()});
  EXPECT_EQ(ReadBytes(TableFile()), damaged);
  EXPECT_EQ(Get("LockedOut"), "true");  // the whole records still answer
}

TEST_F(SystemDataTableTest, OpenRaisesAFileErrorForATableThatWillNotOpenReadWrite) {
  fs::create_directories(TableFile());  // a folder where the table should be
  EXPECT_THROW(table_.Open(), FileError);
  EXPECT_TRUE(fs::is_directory(TableFile()));
}

TEST_F(SystemDataTableTest, OpenRaisesAFileErrorForAReadOnlyTable) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser may write read-only files";
  WriteBytes(TableFile(), Records(kExpectedDefaults));
  fs::permissions(TableFile(), fs::perms::owner_read, fs::perm_options::replace);
  EXPECT_THROW(table_.Open(), FileError);
}

TEST_F(SystemDataTableTest, GetSettingAnswersNullForMissingKeysAndFiles) {
  EXPECT_EQ(Get("EngUnits"), "NULL");  // no file at all
  EXPECT_FALSE(test::FileExists(TableFile()));
  EXPECT_TRUE(prompter_.entries.empty());

  WriteBytes(TableFile(), Record("LockedOut", "true"));
  EXPECT_EQ(Get("LockedOut"), "true");
  EXPECT_EQ(Get("lockedout"), "NULL");  // letter case counts
  EXPECT_EQ(Get("LockedOut "), "NULL");
  EXPECT_EQ(Get("Locked"), "NULL");
}

TEST_F(SystemDataTableTest, TheFirstRecordWithAKeyWins) {
  WriteBytes(TableFile(), Record("Key", "first") + Record("Key", "second"));
  EXPECT_EQ(Get("Key"), "first");
  table_.SetSetting("Key", "third");
  EXPECT_EQ(ReadBytes(TableFile()), Record("Key", "third") + Record("Key", "second"));
}

TEST_F(SystemDataTableTest, KeysEndAtTheirFirstNulAndValuesAreTrimmed) {
  std::string key_field = Field32("Key");
  key_field[4 + 2 * 4] = 'Z';  // a character after the key's zero unit
  std::string value_field = Field32("abc\xE9" "def");
  WriteBytes(TableFile(), key_field + value_field);
  EXPECT_EQ(Get("Key"), "abc");
}

TEST_F(SystemDataTableTest, SetSettingRewritesInPlaceOrAppends) {
  WriteBytes(TableFile(), Records({{"A", "1"}, {"B", "2"}, {"C", "3"}}));
  table_.SetSetting("B", "20");
  EXPECT_EQ(ReadBytes(TableFile()), Records({{"A", "1"}, {"B", "20"}, {"C", "3"}}));
  table_.SetSetting("b", "new");
  EXPECT_EQ(ReadBytes(TableFile()), Records({{"A", "1"}, {"B", "20"}, {"C", "3"}, {"b", "new"}}));
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SystemDataTableTest, SetSettingNeverCreatesTheFile) {
  try {
    table_.SetSetting("LockedOut", "true");
    FAIL() << "no error for a missing table";
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), FileError::Cause::NotFound);
  }
  EXPECT_FALSE(test::FileExists(TableFile()));
  EXPECT_THROW(table_.FillDefaults(), FileError);
  EXPECT_FALSE(test::FileExists(TableFile()));
}

TEST_F(SystemDataTableTest, SetSettingOnABrokenLengthKeepsWholeRecords) {
  WriteBytes(TableFile(), Record("A", "1") + "x");
  table_.SetSetting("B", "2");  // the stray byte is not a record: the new one replaces it
  EXPECT_EQ(ReadBytes(TableFile()), Record("A", "1") + Record("B", "2"));

  WriteBytes(TableFile(), Record("A", "1") + "x");
  table_.SetSetting("A", "9");
  EXPECT_EQ(ReadBytes(TableFile()), Record("A", "9"));
}

TEST_F(SystemDataTableTest, TextThatWouldNotReadBackIsRefusedWithoutAChange) {
  const std::string bytes = Records({{"Key", "value"}, {"Operator", "x"}});
  WriteBytes(TableFile(), bytes);
  const std::string long_text(33, 'k');
  const std::vector<std::pair<std::pair<std::string, std::string>, std::string>> refused = {
      {{long_text, "v"}, "Setting key is longer than 32 characters.  The setting was not saved."},
      // Cut to 32, these two keys would share one record.
      {{"Operator" + std::string(24, 'n') + "A", "v"},
       "Setting key is longer than 32 characters.  The setting was not saved."},
      {{"Key", long_text}, "Setting value is longer than 32 characters.  The setting was not saved."},
      {{std::string("Key\0x", 5), "v"},
       "Setting key contains characters that cannot be stored.  The setting was not saved."},
      {{"Key", "p\xE4ss"}, "Setting value contains characters that cannot be stored.  The setting was not saved."},
  };
  for (const auto& [setting, message] : refused) {
    prompter_.entries.clear();
    table_.SetSetting(setting.first, setting.second);
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{message});
    EXPECT_EQ(ReadBytes(TableFile()), bytes);
  }
}

TEST_F(SystemDataTableTest, ThirtyTwoCharacterKeysAndValuesAreStoredWhole) {
  WriteBytes(TableFile(), "");
  const std::string key(32, 'K');
  const std::string value(32, 'v');
  table_.SetSetting(key, value);
  EXPECT_EQ(ReadBytes(TableFile()), Record(key, value));
  EXPECT_EQ(Get(key), value);
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SystemDataTableTest, PaddedAndPlainNumbersReadAlike) {
  table_.Open();
  const TypeConverter converter;
  EXPECT_EQ(converter.AsInteger(Get("LockDownAttemptLimit")), 3);
  table_.SetSetting("LockDownAttemptLimit", "3");
  EXPECT_EQ(Get("LockDownAttemptLimit"), "3");
  EXPECT_EQ(converter.AsInteger(Get("LockDownAttemptLimit")), 3);
  EXPECT_EQ(ReadBytes(TableFile()).size(), 4488u);
  EXPECT_EQ(converter.AsInteger(Get("no such key")), 0);
}

TEST_F(SystemDataTableTest, MalformedRecordsGiveAFileErrorNotACrash) {
  // A value field that claims a 32-bit character count far beyond the record.
  std::string wild = Field32("Broken") + "\xFF\xFF\xFF\xFF\xFF\xFF\x7F";
  wild += std::string(136 - wild.size(), 'z');
  WriteBytes(TableFile(), Record("Good", "yes") + wild + Record("Later", "no"));

  EXPECT_EQ(Get("Good"), "yes");  // found before the bad record is reached
  std::string value = "unset";
  EXPECT_THROW(table_.GetSetting("Later", value), FileError);
  EXPECT_EQ(value, "NULL");
  const std::string bytes = ReadBytes(TableFile());
  EXPECT_THROW(table_.SetSetting("Later", "yes"), FileError);
  EXPECT_THROW(table_.Open(), FileError);
  EXPECT_EQ(ReadBytes(TableFile()), bytes);
}

TEST_F(SystemDataTableTest, ATableShorterThanOneRecordHoldsNothing) {
  WriteBytes(TableFile(), Record("LockedOut", "true").substr(0, 100));
  EXPECT_EQ(Get("LockedOut"), "NULL");
}

}  // namespace
}  // namespace veld
