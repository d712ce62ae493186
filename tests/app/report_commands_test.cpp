// The window's Chart, History and Due dates commands: what they ask of the selection,
// and what they hand to the report windows.

#include <gtest/gtest.h>

#include "app/report_texts.h"
#include "app/report_windows.h"
#include "reports/error_chart.h"
#include "window_fixture.h"

namespace veld::test {
namespace {

// Remembers what each window was given.
class RecordingReportWindows : public ReportWindows {
 public:
  void ShowErrorChart(const ChartData& chart) override { charts.push_back(chart); }
  void ShowDriftHistory(const ChartData& chart, const std::vector<HistoryRow>& rows) override {
    history_charts.push_back(chart);
    history_rows = rows;
  }
  void ShowDueDates(DueDatesForm form) override { due_dates.push_back(std::move(form)); }

  std::vector<ChartData> charts;
  std::vector<ChartData> history_charts;
  std::vector<HistoryRow> history_rows;
  std::vector<DueDatesForm> due_dates;
};

class ReportCommandsTest : public WindowTest {
 protected:
  ReportCommandsTest() {
    report_windows_ = &windows_;
    MakeWindow();
    window_->SetClock([] { return OleDateTime(2025, 7, 1, 9, 0, 0); });
  }

  // A calibrator with three results of PT-1 over two years and one of AB, connected.
  void ConnectWithResults() {
    StartWithCalibrator();
    PutResult("PT-1_0001.DAT", "PT-1", true, OleDateTime(2023, 5, 2, 8, 0, 0));
    PutResult("PT-1_0002.DAT", "PT-1", false, OleDateTime(2023, 5, 2, 9, 0, 0));
    PutResult("PT-1_0003.DAT", "PT-1", true, OleDateTime(2025, 4, 30, 8, 0, 0));
    PutResult("AB_0001.DAT", "AB", true, OleDateTime(2024, 1, 9, 8, 0, 0));
    window_->OnConnect();
    ASSERT_TRUE(prompter_.entries.empty());
  }

  RecordingReportWindows windows_;
};

TEST_F(ReportCommandsTest, ChartTakesOneResultOrAnAsFoundAndAnAsLeftPairAndSaysWhyNotOtherwise) {
  ConnectWithResults();
  ChooseResultUUT("PT-1");
  struct Case {
    std::vector<std::string> files;
    std::string message;  // empty: charted
    MessageIcon icon;
  };
  // The pairing's messages are the chart's tests; a count the window refuses has the exclamation icon.
  for (const Case& c : std::vector<Case>{
           {{}, kChartNoSelectionMessage, MessageIcon::Exclamation},
           {{"PT-1_0001.DAT", "PT-1_0002.DAT", "PT-1_0003.DAT"}, kChartTooManyMessage, MessageIcon::Exclamation},
           {{"PT-1_0001.DAT", "PT-1_0003.DAT"}, "Test Results selected for the chart are both As Found",
            MessageIcon::None},
           {{"PT-1_0002.DAT"}, "", MessageIcon::None},
           {{"PT-1_0002.DAT", "PT-1_0003.DAT"}, "", MessageIcon::None},
       }) {
    prompter_.entries.clear();
    windows_.charts.clear();
    SelectResults(c.files);
    window_->OnChart();
    if (c.message.empty()) {
      EXPECT_TRUE(prompter_.entries.empty());
      ASSERT_EQ(windows_.charts.size(), 1u);
    } else {
      EXPECT_TRUE(windows_.charts.empty());
      ASSERT_EQ(prompter_.Texts(), std::vector<std::string>{c.message});
      EXPECT_EQ(prompter_.entries[0].icon, c.icon);
    }
  }
  EXPECT_EQ(windows_.charts[0].title, "UUT PT-1 | As Found 04/30/2025 08:00: Pass | As Left 05/02/2023 09:00: Pass");
  EXPECT_FALSE(window_->busy());
  // The print records are not the chart's: a chart leaves the next certificate alone.
  EXPECT_EQ(window_->records().as_left.Profile.NumberOfPoints, 11);
}

TEST_F(ReportCommandsTest, HistoryShowsTheResultsOfTheChosenUUT) {
  ConnectWithResults();
  window_->OnHistory();
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{kHistoryNoUUTMessage});
  EXPECT_TRUE(windows_.history_charts.empty());

  ChooseResultUUT("PT-1");
  window_->OnHistory();
  ASSERT_EQ(windows_.history_charts.size(), 1u);
  EXPECT_EQ(windows_.history_charts[0].title, "Drift history of UUT PT-1");
  EXPECT_EQ(windows_.history_rows.size(), 3u);  // their order is the history's own test
}

TEST_F(ReportCommandsTest, DueDatesListTheUUTsOfBothDatabasesAsOfTheClocksDay) {
  StartWithCalibrator();
  // Before the first upload the VELD database has no table: only the PC's UUTs.
  window_->OnDueDates();
  ASSERT_EQ(windows_.due_dates.size(), 1u);
  EXPECT_EQ(windows_.due_dates[0].rows().size(), 2u);
  EXPECT_TRUE(prompter_.entries.empty());

  UUT overdue;
  overdue.ID = "OVERDUE";
  overdue.CalibrationDueDate = OleDateTime(2025, 6, 30, 0, 0, 0);
  window_->pc().SaveUUT(overdue);
  window_->OnConnect();
  overdue.ID = "SOON";
  overdue.CalibrationDueDate = OleDateTime(2025, 7, 31, 0, 0, 0);
  window_->veld().SaveUUT(overdue);
  window_->OnDueDates();
  ASSERT_EQ(windows_.due_dates.size(), 2u);
  DueDatesForm& form = windows_.due_dates[1];
  EXPECT_EQ(form.TodayText(), "Today: 07/01/2025");
  std::vector<std::string> rows;
  for (const DueDateRow& row : form.rows()) rows.push_back(row.uut_id + " " + row.database + " " + row.status_text);
  EXPECT_EQ(rows, (std::vector<std::string>{"OVERDUE PC Overdue", "SOON VELD Due soon", "73950R5WB2DQ8C PC ",
                                            "73950R5WB2DQ8C VELD ", "7395R25WB2DQ8C PC ", "7395R25WB2DQ8C VELD "}));
  EXPECT_EQ(form.OverdueCount(), 1u);
  form.SetWithinDays(29);
  EXPECT_EQ(form.rows()[1].status, DueStatus::Later);
  form.SetWithinDays(-5);
  EXPECT_EQ(form.within_days(), 0);
}

}  // namespace
}  // namespace veld::test
