// A read that fills only the verdict column (what the listings need), or the verdicts and
// the errors (what a drift history needs), must leave every other field, and raise every
// error, exactly as a full read.

#include <gtest/gtest.h>

#include <string>

#include "platform/file_error.h"
#include "records/test_results_table.h"
#include "support/result_fields.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using test::ResultFileDescription;
using test::ResultFileForm;
using Columns = TestResultsTable::Columns;

// A record that held another result before, so that fields a file lacks show.
TestResults EarlierRecord() {
  TestResults earlier;
  earlier.Op.ID = "EARLIER";
  earlier.ModuleSerialNumber = "EARLIER-MOD";
  earlier.Uut.SerialNumber = "EARLIER-SN";
  earlier.Uut.LevelNames[2] = "EARLIER-LEVEL";
  earlier.SpareText = "EARLIER-SPARE";
  earlier.Profile.CustomPoints = {0.5, 0.5};
  earlier.PointNumberText = {"9"};
  earlier.PassFailText = {"F"};
  return earlier;
}

struct ResultCase {
  const char* name;
  ResultFileDescription desc;
};

ResultFileDescription Described(ResultFileForm form) {
  ResultFileDescription desc = test::DefaultResultFileDescription();
  desc.form = form;
  return desc;
}

ResultFileDescription FailingCustomWithLeakTest() {
  ResultFileDescription desc = test::DefaultResultFileDescription();
  desc.profile_type = "Custom";
  desc.profile_id = "C-3";
  desc.leak_test = true;
  desc.leak_value = 0.0001;  // below the UUT's MaxLeakRate
  desc.points = {{-250.0, 4.0, 0.0}, {0.0, 13.0, 0.5}, {250.0, 20.0, 1.0}};  // 13 mA is 6.25 %FS off
  return desc;
}

class VerdictsOnlyRead : public test::TempRootTest, public ::testing::WithParamInterface<ResultCase> {
 protected:
  std::string Path() const { return temp_.root() + "/R.DAT"; }
};

TEST_P(VerdictsOnlyRead, FillsEverythingButTheOtherColumnsAsAFullRead) {
  test::WriteResultFile(Path(), GetParam().desc);
  TestResultsTable table;
  TestResults full = EarlierRecord();
  TestResults verdicts = EarlierRecord();
  table.ReadFile(full, Path());
  table.ReadFile(verdicts, Path(), Columns::VerdictsOnly);
  EXPECT_EQ(test::DescribeFields(verdicts, false), test::DescribeFields(full, false));
  EXPECT_EQ(verdicts.PassFailText.size(), GetParam().desc.points.size());
  EXPECT_EQ(OverallPass(verdicts), OverallPass(full));
  EXPECT_EQ(verdicts.RowCount(), 0u);
  EXPECT_TRUE(verdicts.ErrorText.empty() && verdicts.TargetPressureText.empty() && verdicts.ErrorFS.empty());

  TestResults errors = EarlierRecord();
  table.ReadFile(errors, Path(), Columns::VerdictsAndErrors);
  EXPECT_EQ(test::DescribeFields(errors, false), test::DescribeFields(full, false));
  EXPECT_EQ(errors.ErrorFS, full.ErrorFS);
  EXPECT_TRUE(errors.ErrorText.empty() && errors.ActualPressure.empty() && errors.PointNumberText.empty());
}

TEST_P(VerdictsOnlyRead, FileCutShortRaisesTheSameErrorAndChangesNothingElse) {
  const std::string bytes = test::BuildResultFile(GetParam().desc);
  test::WriteBytes(Path(), bytes.substr(0, 400));  // inside the first point
  for (Columns columns : {Columns::All, Columns::VerdictsOnly, Columns::VerdictsAndErrors}) {
    TestResultsTable table;
    TestResults record = EarlierRecord();
    record.ClearColumns();
    const std::string before = test::DescribeFields(record);
    try {
      table.ReadFile(record, Path(), columns);
      ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
      EXPECT_EQ(error.cause(), FileError::Cause::EndOfFile);
      EXPECT_EQ(error.path(), Path());
    }
    EXPECT_EQ(test::DescribeFields(record), before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, VerdictsOnlyRead,
    ::testing::Values(ResultCase{"Trailer", Described(ResultFileForm::Trailer)},
                      ResultCase{"Operator", Described(ResultFileForm::Operator)},
                      ResultCase{"Instrument", Described(ResultFileForm::Instrument)},
                      ResultCase{"UutExtension", Described(ResultFileForm::UutExtension)},
                      ResultCase{"ModuleDate", Described(ResultFileForm::ModuleDate)},
                      ResultCase{"FailingCustomWithLeakTest", FailingCustomWithLeakTest()}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veld
