// The listing reads each file only as far as its row needs, yet the work record (the main
// window's As Found record) must end exactly as if every listed file had been read in full,
// one after another, into it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/database.h"
#include "database/results_index.h"
#include "platform/file_error.h"
#include "support/recording_prompter.h"
#include "support/result_fields.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using test::ResultFileDescription;
using test::ResultFileForm;

class ResultsListingTest : public test::TempRootTest {
 protected:
  ResultsListingTest() : pc_(prompter_) { pc_.SetDevice(DatabaseSide::PC); }

  std::string HostFile(const std::string& name) const { return temp_.root() + "/VELD/PC/TestResults/" + name; }
  void Put(const std::string& name, const ResultFileDescription& desc) const {
    test::WriteResultFile(HostFile(name), desc);
  }

  // What the listing did before it skipped the texts: a full read of each file in turn.
  TestResults ReadInTurn(TestResults record, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      record.ClearColumns();
      pc_.ReadTestResults(record, std::string(kResultFolder) + name);
    }
    return record;
  }

  test::RecordingPrompter prompter_;
  CDataBaseX pc_;
};

ResultFileDescription Current(const std::string& operator_id, bool failing) {
  ResultFileDescription desc = test::DefaultResultFileDescription();
  desc.uut.ID = "AB";
  desc.operator_id = operator_id;
  desc.module_serial_number = "MOD-" + operator_id;
  if (failing) desc.points[2].actual_output += 1.0;
  return desc;
}

// The oldest form: no operator, instrument, UUT extension or module date of its own.
ResultFileDescription OldestCustom() {
  ResultFileDescription desc = test::DefaultResultFileDescription();
  desc.form = ResultFileForm::Trailer;
  desc.uut.ID = "AB";
  desc.profile_type = "Custom";
  desc.profile_id = "C-3";
  desc.points = {{-250.0, 4.0, 0.0}, {0.0, 12.0, 0.5}, {250.0, 20.0, 1.0}};
  desc.as_found = false;
  return desc;
}

TEST_F(ResultsListingTest, WorkRecordEndsAsTheListedFilesReadInFullInTurn) {
  Put("AB_1.DAT", Current("FIRST", true));
  Put("AB_2.DAT", OldestCustom());
  Put("XY_1.DAT", Current("OTHER", false));  // another UUT's file: never read
  TestResults work;
  work.Op.ID = "BEFORE";
  const TestResults expected = ReadInTurn(work, {"AB_1.DAT", "AB_2.DAT"});

  VectorResultList list;
  pc_.ListTestResults(list, "AB", work);

  EXPECT_EQ(test::DescribeFields(work), test::DescribeFields(expected));
  EXPECT_EQ(work.Op.ID, "FIRST");  // kept from the first file, which the second lacks
  EXPECT_EQ(work.RowCount(), 3u);
  ASSERT_EQ(list.rows.size(), 2u);
  EXPECT_EQ(list.rows[0].verdict, "Fail");
  EXPECT_EQ(list.rows[0].kind, "As Found");
  EXPECT_EQ(list.rows[1].verdict, "Pass");
  EXPECT_EQ(list.rows[1].kind, "As Left");
}

TEST_F(ResultsListingTest, FileCutShortEndsTheListingWithTheRecordAsAFullReadLeavesIt) {
  Put("AB_1.DAT", Current("FIRST", false));
  const std::string cut = test::BuildResultFile(Current("SECOND", false));
  test::WriteBytes(HostFile("AB_2.DAT"), cut.substr(0, cut.size() - 30));  // inside the UUT extension
  Put("AB_3.DAT", Current("THIRD", false));
  TestResults work;
  TestResults expected = ReadInTurn(work, {"AB_1.DAT"});
  expected.ClearColumns();  // the failed read of AB_2 emptied the columns and nothing else

  VectorResultList list;
  EXPECT_THROW(pc_.ListTestResults(list, "AB", work), FileError);
  ASSERT_EQ(list.rows.size(), 1u);
  EXPECT_EQ(test::DescribeFields(work), test::DescribeFields(expected));
  EXPECT_EQ(work.Op.ID, "FIRST");
}

}  // namespace
}  // namespace veld
