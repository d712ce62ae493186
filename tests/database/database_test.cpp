// The database facade: start-up, lists and settings, the system log's lines, and the index
// of the result files. (The data root's lock is the window's and the durability tests'.)

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "database/database.h"
#include "database/results_index.h"
#include "database/system_log.h"
#include "platform/file_error.h"
#include "support/result_file_writer.h"
#include "support/two_databases.h"

namespace veld {
namespace {
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class DatabaseTest : public test::TwoDatabasesTest {
 protected:
  // Every file under the root with its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(temp_.root())) {
      files[entry.path().string()] = entry.is_regular_file() ? test::ReadBytes(entry.path().string()) : "<dir>";
    }
    return files;
  }
  uintmax_t SizeOf(const std::string& relative) const { return fs::file_size(temp_.root() + "/VELD/" + relative); }
};

TEST_F(DatabaseTest, FirstStartCreatesTheTreeAndThePCTablesAndALaterOneOnlyRestoresMissingSettings) {
  StartUp();
  for (const char* folder : {"", "/PC", "/PC/TestResults", "/PC/UUT", "/PC/TestProfile", "/PC/System", "/VELD",
                             "/VELD/TestProfile", "/VELD/UUT", "/VELD/System"}) {
    EXPECT_TRUE(fs::is_directory(temp_.root() + "/VELD" + folder)) << folder;
  }
  EXPECT_EQ(std::vector({SizeOf("PC/UUT/UUTTable.dat"), SizeOf("PC/TestProfile/TestProfileTable.dat"),
                         SizeOf("PC/System/SystemDataTable.dat")}),
            std::vector<uintmax_t>({1136, 864, 33 * 136}));
  // The VELD database is never opened at start-up.
  EXPECT_EQ(std::distance(fs::recursive_directory_iterator(temp_.root() + "/VELD/VELD"), {}), 3);  // its empty folders

  const auto before = Snapshot();
  StartUp();
  EXPECT_EQ(Snapshot(), before);

  // A missing setting is restored, even past a table that reports corruption.
  const std::string settings = temp_.root() + "/VELD/PC/System/SystemDataTable.dat";
  test::WriteBytes(temp_.root() + "/VELD/PC/UUT/UUTTable.dat", std::string(600, '\0'));
  test::WriteBytes(settings, test::ReadBytes(settings).substr(0, 32 * 136));  // drops "Default582-UseDefaults"
  StartUp();
  EXPECT_EQ(prompter_.Texts().at(0).rfind("UUT table corrupted!!\r\n", 0), 0u);
  EXPECT_EQ(SizeOf("PC/System/SystemDataTable.dat"), 33u * 136u);
}

TEST_F(DatabaseTest, ListsByExactNameAndAMissingKeyReadsAsNull) {
  StartUp();
  VectorListTarget combo, list;
  pc_->FillCombo(combo, "UUT_Types");
  EXPECT_EQ(combo.items, (Names{"CURR", "3WIR", "4WIR", "DIALGAGE", "P-SWITCH"}));
  pc_->FillCombo(combo, "EXC");
  EXPECT_EQ(combo.items, (Names{"24VDC", "18VDC", "15VDC", "12VDC", "9VDC", "5VDC", "EXTERNAL"}));
  pc_->FillCombo(combo, "exc");  // another name: emptied, nothing added
  EXPECT_TRUE(combo.items.empty());
  pc_->FillList(list, "TestProfile");
  pc_->FillList(list, "uut");  // another name: the list keeps its items
  EXPECT_EQ(list.items.size(), 6u);
  EXPECT_EQ(list.items.front(), "21pointtest");  // each record inserted at the top
  // Listing a VELD table that is not there is an error, not an empty list.
  EXPECT_THROW(veld_->FillList(list, "UUT"), FileError);

  // Each key reaches its own field, converted as a flag, a number or a text.
  pc_->LoadSystemData();
  EXPECT_TRUE(settings_.UseDefaults && settings_.UseReCalAcc && settings_.UseWarning_Excitation &&
              settings_.UseWarning_Miswire);
  EXPECT_FALSE(settings_.UseTrendGraph_WarmUp || settings_.UseTrendGraph_TestResults ||
               settings_.UseTrendGraph_LeakTest || settings_.ManualPressureStep || settings_.LockedOut ||
               settings_.CFRCompliantMode || settings_.LockDownEnable || settings_.PrintProtected);
  EXPECT_EQ(settings_.EngUnits + "|" + settings_.TestProfileID, "inWC|3pointtest");
  EXPECT_EQ(std::vector<int>({settings_.LockDownAttemptLimit, settings_.PasswordExpirationLimit, settings_.SettleTime}),
            std::vector<int>({3, 180, 5000}));
  const std::pair<double, double> numbers[] = {{settings_.EngUnitsConversionSpan, 1.0}, {settings_.CtrlStab, 0.0003},
                                               {settings_.MaxLeak, 0.00015}, {settings_.ReCalAcc, 0.15},
                                               {settings_.DefaultAcc, 0.5}};
  for (const auto& [read, expected] : numbers) EXPECT_DOUBLE_EQ(read, expected);
  for (const char* key : {"EngUnits", "Default582-UseDefaults", "LockDownAttemptLimit"}) pc_->SetSetting(key, "NULL");
  pc_->LoadSystemData();
  EXPECT_EQ(settings_.EngUnits, "NULL");
  EXPECT_FALSE(settings_.UseDefaults);
  EXPECT_EQ(settings_.LockDownAttemptLimit, 0);
}

// Dates without leading zeros; a time that is no date gives -1 for each field.
TEST(SystemLog, LinesCarryTheDateAsWrittenByHand) {
  EXPECT_EQ(FailedAttemptLine(OleDateTime(2012, 3, 7, 9, 5, 0), "ID-42"),
            "Failed attempt at password entry logged!    Attempt occurred:  3/7/2012 9:5    Operator ID#:  ID-42\r\n");
  EXPECT_EQ(UnlockLine(OleDateTime(2012, 11, 17, 23, 59, 0)), "Device unlocked by administrator:  11/17/2012 23:59\r\n");
  EXPECT_EQ(LogDateTimeText(OleDateTime(0.0, OleDateTime::invalid)), "-1/-1/-1 -1:-1");
}

class ResultsIndexTest : public DatabaseTest {
 protected:
  void SetUp() override { StartUp(); }

  // Writes a result file for a UUT ID into the PC result folder.
  void AddResult(const std::string& file_name, const std::string& uut_id, bool as_found = true,
                 bool passing = true, OleDateTime tested = OleDateTime(2011, 3, 7, 9, 5, 0)) {
    test::ResultFileDescription desc = test::DefaultResultFileDescription();
    desc.uut.ID = uut_id;
    desc.as_found = as_found;
    desc.date_tested = tested;
    if (!passing) desc.points[1].actual_output += 1.0;
    test::WriteResultFile(temp_.root() + "/VELD/PC/TestResults/" + file_name, desc);
  }
  // Each row as "date|kind|verdict|file name|row number", or as "file name|row number" only.
  Names Rows(const std::string& uut_id, bool names_only = false) {
    VectorResultList list;
    pc_->ListTestResults(list, uut_id, work_);
    Names rows;
    for (const ResultRow& r : list.rows) {
      const std::string name = r.file_name + "|" + std::to_string(r.item_data);
      rows.push_back(names_only ? name : r.date_time_tested + "|" + r.kind + "|" + r.verdict + "|" + name);
    }
    return rows;
  }
  Names ListedFiles(const std::string& uut_id) { return Rows(uut_id, true); }
  Names ComboEntries() {
    VectorListTarget combo;
    pc_->FillResultUUTCombo(combo);
    return combo.items;
  }

  TestResults work_;
};

TEST_F(ResultsIndexTest, ListsFilesWhoseNamesBeginWithThePrefixExactly) {
  EXPECT_EQ(ResultFilePrefix("a/\"\\:|?*<>b c"), "ab c_");
  for (const char* name : {"AB_0001.DAT", "AB_X.dat", "A_B_0001.DAT", "ab_0001.DAT", "AB_0002.TXT"}) {
    AddResult(name, "A/B");
  }
  AddResult("AB_C_0001.DAT", "AB_C");
  const Names expected = {"AB_0001.DAT|0", "AB_C_0001.DAT|1", "AB_X.dat|2"};
  EXPECT_EQ(ListedFiles("A/B"), expected);
  EXPECT_EQ(ListedFiles("AB"), expected);  // a UUT AB_C's files start with AB_ too
}

// A file that gives nothing to read (0 to 3 bytes) has no date, kind or verdict of its own.
TEST_F(ResultsIndexTest, RowsCarryDateKindVerdictAndName) {
  test::WriteBytes(temp_.root() + "/VELD/PC/TestResults/PT_0.DAT", "");
  AddResult("PT_1.DAT", "PT", true, true, OleDateTime(2011, 3, 7, 9, 5, 0));
  AddResult("PT_2.DAT", "PT", false, false, OleDateTime(2011, 3, 7, 17, 45, 30));
  test::WriteBytes(temp_.root() + "/VELD/PC/TestResults/PT_2A.DAT", "abc");
  AddResult("PT_3.DAT", "PT", true, true, OleDateTime(0.0, OleDateTime::invalid));
  EXPECT_EQ(Rows("PT"), (Names{"||Unreadable|PT_0.DAT|0", "03/07/2011 09:05:00|As Found|Pass|PT_1.DAT|1",
                               "03/07/2011 17:45:30|As Left|Fail|PT_2.DAT|2", "||Unreadable|PT_2A.DAT|3",
                               "-1/-1/  -1 -1:-1:-1|As Found|Pass|PT_3.DAT|4"}));
  EXPECT_EQ(work_.DateTimeTested.GetStatus(), OleDateTime::invalid);  // the last file listed
}

// Duplicates ignoring case, the first met wins, sorted ignoring case; the content names the UUT.
TEST_F(ResultsIndexTest, ComboHoldsEachUUTOfTheContentsOnce) {
  for (const auto& [file, id] : std::vector<std::pair<const char*, const char*>>{
           {"B_1.DAT", "beta"}, {"C_1.DAT", "Alpha"}, {"C_2.DAT", "ALPHA"}, {"D_1.DAT", "Beta"},
           {"E_1.DAT", "Delta"}, {"F_1.DAT", "Alpha"}, {"ONE_1.DAT", "TWO"}}) {
    AddResult(file, id);
  }
  test::WriteBytes(temp_.root() + "/VELD/PC/TestResults/G_1.DAT", "");  // names no UUT at all
  EXPECT_EQ(ComboEntries(), (Names{"Alpha", "beta", "Delta", "TWO"}));
  EXPECT_EQ(ListedFiles("ONE"), Names{"ONE_1.DAT|0"});
  EXPECT_TRUE(ListedFiles("TWO").empty());
}

TEST_F(ResultsIndexTest, MissingFolderGivesEmptyListsAndAnUnreadableFileStopsTheListing) {
  fs::remove_all(temp_.root() + "/VELD/PC/TestResults");
  EXPECT_TRUE(ComboEntries().empty());
  EXPECT_TRUE(ListedFiles("PT").empty());
  EXPECT_TRUE(prompter_.entries.empty());

  AddResult("A_1.DAT", "A");
  const std::string cut = test::BuildResultFile(test::DefaultResultFileDescription()).substr(0, 200);  // in the header
  test::WriteBytes(temp_.root() + "/VELD/PC/TestResults/B_1.DAT", cut);
  VectorListTarget combo;
  EXPECT_THROW(pc_->FillResultUUTCombo(combo), FileError);
  EXPECT_EQ(combo.items, Names{"A"});  // earlier entries are kept
}

}  // namespace
}  // namespace veld
