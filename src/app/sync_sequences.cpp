#include "app/sync_sequences.h"

#include "database/database.h"
#include "device/corvane_rapi.h"
#include "platform/host_path.h"

namespace veld {
namespace {

// Puts the text into the status box; the wait cursor is shown again after each update,
// since putting the text into the box may reset it.
void ShowStatus(SyncObserver& observer, const std::string& status_text) {
  observer.StatusTextChanged(status_text);
  observer.BeginWaitCursor();
}

// The connect sequence's last line: all uploaded, or how many files were not.
std::string UploadOutcomeLine(size_t failed_copies) {
  if (failed_copies == 0) return "All data uploaded from VELD.\r\n";
  if (failed_copies == 1) return "1 file could not be copied from VELD.\r\n";
  return std::to_string(failed_copies) + " files could not be copied from VELD.\r\n";
}

// Uploads the new result files, telling the observer how far the copying has come; the
// link reports to nobody once the step is over, however it ends.
void UploadResults(CCorvaneRAPI& rapi, SyncObserver& observer) {
  struct Reporting {
    CCorvaneRAPI& rapi;
    ~Reporting() { rapi.SetUploadProgress(nullptr); }
  } reporting{rapi};
  rapi.SetUploadProgress([&observer](size_t done, size_t total) { observer.ResultUploadProgress(done, total); });
  rapi.UploadTestResults();
}

}  // namespace

bool RunConnectSequence(CCorvaneRAPI& rapi, CDataBaseX& pc_database, CDataBaseX& veld_database,
                        Prompter& prompter, SyncObserver& observer) {
  if (!rapi.Connect()) {
    prompter.Message(CCorvaneRAPI::kUnableToConnectMessage);
    return false;
  }
  const size_t failed_before = rapi.FailedCopies();
  observer.BeginWaitCursor();
  std::string status = "Uploading Unit Under Test database from VELD.\r\n";
  ShowStatus(observer, status);

  rapi.UploadUUTTable();
  veld_database.ConvertOldUUTTable();
  observer.RefillUUTLists();
  observer.ShowFirstPCUUT();
  status += "Unit Under Test database uploaded from VELD.\r\nUploading Test Profile database from VELD.\r\n";
  ShowStatus(observer, status);

  rapi.UploadTestProfileTable();
  observer.RefillProfileLists();
  observer.ShowFirstPCProfile();
  status += "Test Profile database uploaded from VELD.\r\nUploading Test Results data files from VELD.\r\n";
  ShowStatus(observer, status);

  UploadResults(rapi, observer);
  observer.RefillResultCombo();
  status += UploadOutcomeLine(rapi.FailedCopies() - failed_before);
  observer.StatusTextChanged(status);
  observer.EndWaitCursor();

  pc_database.LoadSystemData();
  return true;
}

size_t RunRefreshSequence(CCorvaneRAPI& rapi, SyncObserver& observer) {
  const size_t failed_before = rapi.FailedCopies();
  UploadResults(rapi, observer);
  const size_t failed = rapi.FailedCopies() - failed_before;
  const std::string remembered = observer.SelectedResultUUT();
  observer.RefillResultCombo();
  if (remembered.empty()) return failed;  // nothing selected: the results list keeps its rows
  const int entry = FindResultComboEntry(observer.ResultComboItems(), remembered);
  if (entry >= 0) observer.SelectResultComboItem(entry);
  return failed;
}

std::string ResultUploadProgressText(size_t done, size_t total) {
  return "Copying test results from VELD: " + std::to_string(done) + " of " + std::to_string(total);
}

int FindResultComboEntry(const std::vector<std::string>& items, const std::string& text) {
  const size_t count = items.size();
  if (count == 0) return -1;
  for (size_t step = 0; step < count; ++step) {
    const size_t index = (1 + step) % count;
    if (EqualsIgnoreCase(items[index], text)) return static_cast<int>(index);
  }
  return 0;
}

}  // namespace veld
