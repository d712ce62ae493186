#include "cli/report_commands.h"

#include "cli/headless_qt.h"
#include "cli/output.h"
#include "database/results_index.h"
#include "reports/drift_history.h"
#include "reports/due_dates.h"
#include "reports/error_chart.h"
#include "ui/chart_rendering.h"

namespace veld::cli {
namespace {

// The format was checked with the arguments.
int WriteChart(Session& session, const ChartData& chart, const std::string& out) {
  ConfirmReplace(out, session.prompter());
  HeadlessQt qt(HeadlessQt::Kind::Widgets);  // Qt Charts draws only with a widgets application
  WriteChartFile(chart, out, *ChartFileFormatOf(out));
  PrintLine(VisibleText(out));
  return kExitDone;
}

}  // namespace

int RunChart(Session& session, const Invocation& invocation) {
  std::vector<TestResults> results(invocation.arguments.size());
  std::vector<const TestResults*> selected;
  for (size_t i = 0; i < results.size(); ++i) {
    // A file that gives nothing is refused rather than charted as an empty result.
    const ResultFile file = ResolveResultFile(invocation.arguments[i]);
    if (!ReadResultForReport(session.pc(), results[i], file.logical_path, session.prompter())) return kExitStopped;
    selected.push_back(&results[i]);
  }
  ChartPair pair;
  if (const std::string complaint = PairForChart(selected, pair); !complaint.empty()) {
    session.prompter().Message(complaint);
    return kExitStopped;
  }
  return WriteChart(session, BuildErrorChart(pair), *invocation.output);
}

int RunHistory(Session& session, const Invocation& invocation) {
  const DriftHistory history = ReadDriftHistory(invocation.arguments[0]);
  if (invocation.output) return WriteChart(session, BuildHistoryChart(history), *invocation.output);
  for (const HistoryRow& row : BuildHistoryRows(history)) {
    PrintLine(row.date_tested + "\t" + row.kind + "\t" + row.largest_error + "\t" + row.verdict + "\t" +
              VisibleText(row.file_name));
  }
  return kExitDone;
}

int RunDue(Session& session, const Invocation& invocation) {
  const DatabaseSide side = SideOfDeviceFlag(invocation.veld);
  const std::vector<DueDateEntry> entries = ReadDueDates(session.Database(side), SideName(side));
  for (const DueDateRow& row :
       ListDueDates(entries, OleDateTime::Now(), invocation.within.value_or(kDefaultDueWithinDays))) {
    PrintLine(row.due_date + "\t" + row.status_text + "\t" + row.days_text + "\t" + VisibleText(row.uut_id));
  }
  return kExitDone;
}

}  // namespace veld::cli
