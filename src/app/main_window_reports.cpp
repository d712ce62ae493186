// The main window's Chart, History and Due dates commands: each builds its chart or
// listing in the reports and hands it to a report window.

#include "app/main_window.h"
#include "app/report_texts.h"
#include "app/report_windows.h"
#include "reports/due_dates.h"
#include "reports/error_chart.h"

namespace veld {

void CRapiTestDlg::OnChart() {
  if (services_.report_windows == nullptr) return;
  RunReportCommand([&] {
    // The selection is counted before any file is read, as the export counts it.
    if (result_selection_.empty() || result_selection_.size() > 2) {
      services_.prompter.Message(result_selection_.empty() ? kChartNoSelectionMessage : kChartTooManyMessage,
                                 MessageIcon::Exclamation);
      return;
    }
    const std::vector<SelectedResult> selected = SelectedResults();
    std::vector<TestResults> results(selected.size());
    std::vector<const TestResults*> read;
    for (size_t i = 0; i < selected.size(); ++i) {
      pc_.ReadTestResults(results[i], ResultFilePath(selected[i].file_name));
      read.push_back(&results[i]);
    }
    ChartPair pair;
    if (const std::string complaint = PairForChart(read, pair); !complaint.empty()) {
      services_.prompter.Message(complaint);
      return;
    }
    services_.report_windows->ShowErrorChart(BuildErrorChart(pair));
  });
}

void CRapiTestDlg::OnHistory() {
  if (services_.report_windows == nullptr) return;
  RunReportCommand([&] {
    if (result_combo_selection_ < 0) {
      services_.prompter.Message(kHistoryNoUUTMessage, MessageIcon::Exclamation);
      return;
    }
    const DriftHistory history = ReadDriftHistory(result_combo_[static_cast<size_t>(result_combo_selection_)]);
    services_.report_windows->ShowDriftHistory(BuildHistoryChart(history), BuildHistoryRows(history));
  });
}

void CRapiTestDlg::OnDueDates() {
  if (services_.report_windows == nullptr) return;
  RunReportCommand([&] {
    std::vector<DueDateEntry> entries = ReadDueDates(pc_, kPcDatabaseName);
    for (DueDateEntry& entry : ReadDueDates(veld_, kVeldDatabaseName)) entries.push_back(std::move(entry));
    services_.report_windows->ShowDueDates(DueDatesForm(std::move(entries), now_()));
  });
}

}  // namespace veld
