// Calibration due dates of UUT records over several years: overdue first, then due within
// the given calendar days, then the rest, dates that are not set last.

#include <gtest/gtest.h>

#include <cmath>

#include "database/database.h"
#include "platform/file_error.h"
#include "platform/host_path.h"
#include "reports/due_dates.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld {
namespace {

OleDateTime Date(int year, int month, int day, int hour = 0, int minute = 0) {
  return OleDateTime(year, month, day, hour, minute, 0);
}

std::vector<std::string> Lines(const std::vector<DueDateRow>& rows) {
  std::vector<std::string> lines;
  for (const DueDateRow& row : rows) {
    lines.push_back(row.uut_id + "|" + row.database + "|" + row.due_date + "|" + row.days_text + "|" + row.status_text);
  }
  return lines;
}

std::vector<DueDateEntry> SeveralYears() {
  return {
      {"Zero", "PC", OleDateTime(0.0)},
      {"In31", "PC", Date(2024, 7, 15)},
      {"PT-1", "VELD", Date(2024, 6, 1)},
      {"Today", "PC", Date(2024, 6, 14)},
      {"Null", "PC", OleDateTime(45000.0, OleDateTime::null)},
      {"a-yesterday", "VELD", Date(2024, 6, 13, 23, 59)},
      {"Y2030", "PC", Date(2030, 1, 1)},
      {"Invalid", "VELD", OleDateTime(45000.0, OleDateTime::invalid)},
      {"Late-today", "PC", Date(2024, 6, 14, 23, 0)},
      {"B-OLD", "PC", Date(2021, 1, 31)},
      {"NaN", "PC", OleDateTime(std::nan(""))},
      {"In30", "VELD", Date(2024, 7, 14)},
      {"PT-1", "PC", Date(2024, 6, 1, 12, 0)},
  };
}

TEST(DueDatesTest, OverdueFirstThenDueWithinTheDaysThenTheRestAndUnsetDatesLast) {
  const std::vector<DueDateRow> rows = ListDueDates(SeveralYears(), Date(2024, 6, 14, 10, 0));
  EXPECT_EQ(Lines(rows), (std::vector<std::string>{
                             "B-OLD|PC|01/31/2021|-1230|Overdue",
                             "PT-1|PC|06/01/2024|-13|Overdue",
                             "PT-1|VELD|06/01/2024|-13|Overdue",
                             "a-yesterday|VELD|06/13/2024|-1|Overdue",
                             "Late-today|PC|06/14/2024|0|Due soon",  // the time of day does not count
                             "Today|PC|06/14/2024|0|Due soon",
                             "In30|VELD|07/14/2024|30|Due soon",
                             "In31|PC|07/15/2024|31|",
                             "Y2030|PC|01/01/2030|2027|",
                             "Invalid|VELD|not set||",
                             "NaN|PC|not set||",
                             "Null|PC|not set||",
                             "Zero|PC|not set||",
                         }));
  EXPECT_EQ(rows[0].status, DueStatus::Overdue);
  EXPECT_EQ(rows[7].status, DueStatus::Later);
  EXPECT_EQ(rows[12].status, DueStatus::NotSet);
  EXPECT_FALSE(rows[12].days_left);
}

TEST(DueDatesTest, TheDaysCountCalendarDaysFromToday) {
  struct Case {
    int within;
    const OleDateTime today;
    std::vector<std::string> due_soon;
  };
  for (const Case& c : std::vector<Case>{{31, Date(2024, 6, 14), {"Late-today", "Today", "In30", "In31"}},
                                         {0, Date(2024, 6, 14, 23, 59), {"Late-today", "Today"}},
                                         {30, Date(2024, 6, 15, 0, 1), {"In30", "In31"}}}) {
    std::vector<std::string> due_soon;
    for (const DueDateRow& row : ListDueDates(SeveralYears(), c.today, c.within)) {
      if (row.status == DueStatus::DueSoon) due_soon.push_back(row.uut_id);
    }
    EXPECT_EQ(due_soon, c.due_soon) << c.within;
  }
}

using DueDatesTableTest = test::TempRootTest;

TEST_F(DueDatesTableTest, EveryRecordOfATableGivesItsDueDateAndAMirrorNotYetUploadedGivesNone) {
  test::RecordingPrompter prompter;
  CDataBaseX pc(prompter);
  CDataBaseX veld(prompter);
  veld.SetDevice(DatabaseSide::VELD);
  pc.SetDevice(DatabaseSide::PC);
  pc.Open();
  EXPECT_TRUE(ReadDueDates(veld, "VELD").empty());

  UUT due;
  due.ID = "DUE-1";
  due.CalibrationDueDate = Date(2026, 2, 28, 12, 0);
  pc.SaveUUT(due);
  due.ID = "UNSET";
  due.CalibrationDueDate = OleDateTime(2.5, OleDateTime::null);
  pc.SaveUUT(due);
  std::vector<std::string> read;
  for (const DueDateEntry& entry : ReadDueDates(pc, "PC")) {
    read.push_back(entry.uut_id + "|" + entry.database + "|" + std::to_string(entry.due.GetStatus()) + "|" +
                   std::to_string(entry.due.Value()));
  }
  // The two records a new table starts with, then the two saved, as the file holds them.
  ASSERT_EQ(read.size(), 4u);
  EXPECT_EQ(read[2], "DUE-1|PC|0|" + std::to_string(Date(2026, 2, 28, 12, 0).Value()));
  EXPECT_EQ(read[3], "UNSET|PC|2|2.500000");
  EXPECT_TRUE(prompter.entries.empty());

  // A table that is there but cannot be read is not taken for a missing one.
  test::WriteBytes(HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat"), std::string(CUUTTable::kRecordSize, '\xff'));
  EXPECT_THROW(ReadDueDates(veld, "VELD"), FileError);
}

}  // namespace
}  // namespace veld
