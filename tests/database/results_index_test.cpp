#include <gtest/gtest.h>

#include <filesystem>

#include "database/database.h"
#include "database/results_index.h"
#include "platform/file_error.h"
#include "support/recording_prompter.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

namespace veld {
namespace {
namespace fs = std::filesystem;

class ResultsIndexTest : public test::TempRootTest {
 protected:
  ResultsIndexTest() : pc_(prompter_) { pc_.SetDevice(0); }

  // Writes a result file for a UUT ID into the PC result folder.
  void AddResult(const std::string& file_name, const std::string& uut_id, bool as_found = true,
                 bool passing = true, OleDateTime tested = OleDateTime(2011, 3, 7, 9, 5, 0)) {
    test::ResultFileDescription spec = test::DefaultResultFileDescription();
    spec.uut.ID = uut_id;
    spec.as_found = as_found;
    spec.date_tested = tested;
    if (!passing) spec.points[1].actual_output += 1.0;
    test::WriteResultFile(temp_.root() + "/VELD/PC/TestResults/" + file_name, spec);
  }

  std::vector<std::string> ListedFiles(const std::string& uut_id) {
    VectorResultList list;
    TestResults work;
    pc_.ListTestResults(list, uut_id, work);
    std::vector<std::string> names;
    for (const ResultRow& row : list.rows) names.push_back(row.file_name);
    return names;
  }

  std::vector<std::string> ComboEntries() {
    VectorListTarget combo;
    pc_.FillResultUUTCombo(combo);
    return combo.items;
  }

  test::RecordingPrompter prompter_;
  CDataBaseX pc_;
};

TEST_F(ResultsIndexTest, PrefixDropsTheNineCharactersThatCannotBeInAFileName) {
  EXPECT_EQ(ResultFilePrefix("A/B"), "AB_");
  EXPECT_EQ(ResultFilePrefix("a/\"\\:|?*<>b c"), "ab c_");
  EXPECT_EQ(ResultFilePrefix(""), "_");
}

TEST_F(ResultsIndexTest, ListsFilesWhoseNamesBeginWithThePrefixExactly) {
  AddResult("AB_0001.DAT", "A/B");
  AddResult("AB_X.dat", "A/B");
  AddResult("A_B_0001.DAT", "A/B");
  AddResult("ab_0001.DAT", "A/B");
  AddResult("AB_C_0001.DAT", "AB_C");
  AddResult("AB_0002.TXT", "A/B");
  EXPECT_EQ(ListedFiles("A/B"), (std::vector<std::string>{"AB_0001.DAT", "AB_C_0001.DAT", "AB_X.dat"}));
  EXPECT_EQ(ListedFiles("AB"), ListedFiles("A/B"));  // a UUT AB_C's files start with AB_ too
  EXPECT_TRUE(ListedFiles("XYZ").empty());
}

TEST_F(ResultsIndexTest, RowsCarryDateKindVerdictNameAndRowNumber) {
  AddResult("PT_1.DAT", "PT", true, true, OleDateTime(2011, 3, 7, 9, 5, 0));
  AddResult("PT_2.DAT", "PT", false, false, OleDateTime(2011, 3, 7, 17, 45, 30));
  AddResult("PT_3.DAT", "PT", true, true, OleDateTime(0.0, OleDateTime::invalid));
  VectorResultList list;
  TestResults work;
  pc_.ListTestResults(list, "PT", work);
  ASSERT_EQ(list.rows.size(), 3u);
  EXPECT_EQ(list.rows[0].date_time_tested, "03/07/2011 09:05:00");
  EXPECT_EQ(list.rows[0].kind, "As Found");
  EXPECT_EQ(list.rows[0].verdict, "Pass");
  EXPECT_EQ(list.rows[1].date_time_tested, "03/07/2011 17:45:30");
  EXPECT_EQ(list.rows[1].kind, "As Left");
  EXPECT_EQ(list.rows[1].verdict, "Fail");
  EXPECT_EQ(list.rows[2].date_time_tested, "-1/-1/  -1 -1:-1:-1");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.rows[static_cast<size_t>(i)].item_data, i);
  EXPECT_EQ(list.rows[2].file_name, "PT_3.DAT");
  EXPECT_EQ(work.DateTimeTested.GetStatus(), OleDateTime::invalid);  // the last file listed
}

TEST_F(ResultsIndexTest, ComboHoldsEachUUTOnceIgnoringCaseSorted) {
  AddResult("B_1.DAT", "beta");
  AddResult("C_1.DAT", "Alpha");
  AddResult("C_2.DAT", "ALPHA");
  AddResult("D_1.DAT", "Beta");
  AddResult("E_1.DAT", "gamma");
  AddResult("F_1.DAT", "Alpha");
  EXPECT_EQ(ComboEntries(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
}

TEST_F(ResultsIndexTest, FileNameAndContentMayNameDifferentUUTs) {
  AddResult("ONE_1.DAT", "TWO");
  EXPECT_EQ(ComboEntries(), std::vector<std::string>{"TWO"});
  EXPECT_EQ(ListedFiles("ONE"), std::vector<std::string>{"ONE_1.DAT"});
  EXPECT_TRUE(ListedFiles("TWO").empty());
}

TEST_F(ResultsIndexTest, EmptyOrMissingFolderGivesEmptyLists) {
  EXPECT_TRUE(ComboEntries().empty());
  EXPECT_TRUE(ListedFiles("PT").empty());
  fs::remove_all(temp_.root() + "/VELD/PC/TestResults");
  EXPECT_TRUE(ComboEntries().empty());
  EXPECT_TRUE(ListedFiles("PT").empty());
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(ResultsIndexTest, UnreadableFileStopsTheListingButKeepsEarlierEntries) {
  AddResult("A_1.DAT", "A");
  std::string cut = test::BuildResultFile(test::DefaultResultFileDescription());
  cut.resize(200);  // ends inside the header
  test::WriteBytes(temp_.root() + "/VELD/PC/TestResults/B_1.DAT", cut);
  VectorListTarget combo;
  EXPECT_THROW(pc_.FillResultUUTCombo(combo), FileError);
  EXPECT_EQ(combo.items, std::vector<std::string>{"A"});
}

TEST(ResultComboSort, IgnoresLetterCase) {
  std::vector<std::string> ids = {"b", "A", "c", "B2"};
  SortLikeComboBox(ids);
  EXPECT_EQ(ids, (std::vector<std::string>{"A", "b", "B2", "c"}));
}

}  // namespace
}  // namespace veld
