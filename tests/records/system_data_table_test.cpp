#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "platform/host_path.h"
#include "records/raw_fields.h"
#include "records/system_data_table.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"
#include "units/type_converter.h"

namespace veld {
namespace {
using Settings = std::vector<std::pair<std::string, std::string>>;

// Numbers are stored as 32 characters: integers padded with leading zeros, decimals
// with trailing ones.
std::string Int32Text(const std::string& digits) { return std::string(32 - digits.size(), '0') + digits; }
std::string DecimalText(const std::string& digits) { return digits + std::string(32 - digits.size(), '0'); }

// The settings a new table receives, in order, as the calibrator expects them.
const Settings kExpectedDefaults = {
    {"UseTrendGraph_TestResults", "false"}, {"UseTrendGraph_LeakTest", "false"}, {"UseTrendGraph_WarmUp", "false"},
    {"Default UUT Accuracy", DecimalText("1.")}, {"Default UUT Max Leak Rate", DecimalText("0.0001")},
    {"Default UUT Settle Time", Int32Text("5000")}, {"Default UUT Control Stability", DecimalText("0.0003")},
    {"Default UUT Excitation", "24VDC"}, {"Default UUT Type", "CSOU"}, {"UseWarning_Excitation", "true"},
    {"UseWarning_Miswire", "true"}, {"EngUnits", "inWC"}, {"EngUnitsConversionSpan", DecimalText("1.")},
    {"LockedOut", "false"}, {"LockDownEnable", "false"}, {"", "false"}, {"21CFRCompliantMode", "false"},
    {"LockDownAttemptLimit", Int32Text("3")}, {"FailedPWAttemptCount", Int32Text("0")},
    {"ManualPressureStep", "false"}, {"ExtraDigitPressureResolution", "false"},
    {"UseWarning_TestResultsSave", "true"}, {"Filter Count", Int32Text("100")},
    {"PWExpirationtLimit", Int32Text("180")}, {"CommOff", "false"}, {"Default582-DefaultAcc", DecimalText("0.5")},
    {"Default582-ReCalAcc", DecimalText("0.15")}, {"Default582-SettleTime", Int32Text("5000")},
    {"Default582-TestProfile", "3pointtest"}, {"Default582-CtrlStab", DecimalText("0.0003")},
    {"Default582-MaxLeak", DecimalText("0.00015")}, {"Default582-UseReCalAcc", "true"},
    {"Default582-UseDefaults", "true"},
};

std::string Field32(const std::string& text) { return test::FixedField(text, 32); }

std::string Records(const Settings& settings) {
  std::string bytes;
  for (const auto& [key, value] : settings) bytes += Field32(key) + Field32(value);
  return bytes;
}

class SystemDataTableTest : public test::TempRootTest {
 protected:
  SystemDataTableTest() { test::MakeParentFolders(TableFile()); }
  std::string TableFile() const { return HostPath(table_.LogicalPath()); }
  std::string Table() const { return test::ReadBytes(TableFile()); }
  void WriteTable(const std::string& bytes) const { test::WriteBytes(TableFile(), bytes); }
  std::string Get(const std::string& key) {
    std::string value = "unset";
    table_.GetSetting(key, value);
    return value;
  }
  Settings Listed() const {
    Settings listed;
    for (const auto& [key, value] : table_.ListSettings()) listed.emplace_back(key, value);
    return listed;
  }

  test::RecordingPrompter prompter_;
  SystemDataTable table_{prompter_};
};

TEST_F(SystemDataTableTest, ANewTableGetsEveryDefaultInOrderAndASecondOpenChangesNothing) {
  table_.Open();
  EXPECT_EQ(Table(), Records(kExpectedDefaults));  // 33 records of 136 bytes
  table_.Open();
  EXPECT_EQ(Table(), Records(kExpectedDefaults));
  EXPECT_TRUE(prompter_.entries.empty());
  const TypeConverter converter;  // padded and plain numbers read alike
  EXPECT_EQ(converter.AsInteger(Get("LockDownAttemptLimit")), 3);
  table_.SetSetting("LockDownAttemptLimit", "3");
  EXPECT_EQ(Table().size(), 4488u);
  EXPECT_EQ(converter.AsInteger(Get("LockDownAttemptLimit")), 3);
}

TEST_F(SystemDataTableTest, OpenAddsOnlyTheMissingKeyAtTheEndAndReplacesNullValues) {
  Settings settings = kExpectedDefaults;
  settings.erase(settings.begin() + 24);  // "CommOff"
  settings[3].second = "2.5";             // a changed value stays as it is
  settings[11].second = "NULL";           // "EngUnits"
  WriteTable(Records(settings));
  table_.Open();
  settings[11].second = "inWC";
  settings.emplace_back("CommOff", "false");
  EXPECT_EQ(Table(), Records(settings));
}

TEST_F(SystemDataTableTest, GetSettingFindsTheFirstExactKeyOrAnswersNull) {
  EXPECT_EQ(Get("EngUnits"), "NULL");  // no file at all, and nothing creates one but Open
  EXPECT_THROW(table_.SetSetting("LockedOut", "true"), FileError);
  EXPECT_THROW(table_.FillDefaults(), FileError);
  EXPECT_THROW(table_.ListSettings(), FileError);
  EXPECT_FALSE(test::FileExists(TableFile()));
  WriteTable(Records({{"Key", "abc\xE9" "def"}, {"Key", "second"}}) + "stray");
  EXPECT_EQ(Get("Key"), "abc");  // the value is trimmed at its first non-ASCII character
  EXPECT_EQ(Get("key"), "NULL");
  EXPECT_EQ(Listed(), (Settings{{"Key", "abc"}, {"Key", "second"}}));  // whole records only
}

TEST_F(SystemDataTableTest, SetSettingRewritesTheFirstInPlaceOrAppendsKeepingWholeRecords) {
  WriteTable(Records({{"A", "1"}, {"B", "2"}, {"B", "3"}}) + "x");
  table_.SetSetting("B", "20");
  table_.SetSetting("b", "new");  // the stray byte is not a record: the new one takes its place
  EXPECT_EQ(Table(), Records({{"A", "1"}, {"B", "20"}, {"B", "3"}, {"b", "new"}}));
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(SystemDataTableTest, TextThatWouldNotReadBackIsRefusedWithoutAChange) {
  const std::string bytes = Records({{"Key", "value"}});
  WriteTable(bytes);
  const std::string too_long(33, 'k');
  // {key, value, what the message says}
  for (const auto& [key, value, problem] : std::vector<std::tuple<std::string, std::string, std::string>>{
           {too_long, "v", "key is longer than 32 characters"},
           {"Key", too_long, "value is longer than 32 characters"},
           {std::string("Key\0x", 5), "v", "key contains characters that cannot be stored"},
           {"Key", "p\xE4ss", "value contains characters that cannot be stored"}}) {
    prompter_.entries.clear();
    table_.SetSetting(key, value);
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Setting " + problem + ".  The setting was not saved."});
    EXPECT_EQ(Table(), bytes);
  }
  table_.SetSetting(std::string(32, 'K'), std::string(32, 'v'));  // exactly the width is stored whole
  EXPECT_EQ(Table(), bytes + Records({{std::string(32, 'K'), std::string(32, 'v')}}));
}

TEST_F(SystemDataTableTest, ABrokenLengthIsReportedAndMalformedRecordsGiveAFileErrorNotACrash) {
  WriteTable(Records({{"LockedOut", "true"}}) + "!");
  table_.Open();  // adds no defaults
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"System data table corrupted!!\r\n" + TableFile()});
  EXPECT_EQ(Table(), Records({{"LockedOut", "true"}}) + "!");
  // A value field that claims a 32-bit character count far beyond the record.
  const std::string wild = Field32("Broken") + "\xFF\xFF\xFF\xFF\xFF\xFF\x7F" + std::string(61, 'z');
  const std::string bytes = Records({{"Good", "yes"}}) + wild + Records({{"Later", "no"}});
  WriteTable(bytes);
  EXPECT_EQ(Get("Good"), "yes");  // found before the bad record is reached
  std::string value = "unset";
  EXPECT_THROW(table_.GetSetting("Later", value), FileError);
  EXPECT_EQ(value, "NULL");
  EXPECT_THROW(table_.SetSetting("Later", "yes"), FileError);
  EXPECT_THROW(table_.Open(), FileError);
  EXPECT_THROW(table_.ListSettings(), FileError);
  EXPECT_EQ(Table(), bytes);
}

}  // namespace
}  // namespace veld
