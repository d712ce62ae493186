// The test results index: members of CDataBaseX that scan the result folder. There is
// no index file; every call reads the folder again.

#include "database/results_index.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>

#include "database/database.h"
#include "platform/file_error.h"
#include "platform/format.h"
#include "platform/host_path.h"

namespace veld {
namespace {

// Case-insensitive ordering for the combo box's duplicate test.
struct LessIgnoringCase {
  bool operator()(const std::string& a, const std::string& b) const { return CompareIgnoreCase(a, b) < 0; }
};


// Host paths of the files that a listing of the result folder named. The folder is mapped
// once per operation rather than once per file; the names are those the listing found, so
// they need no mapping of their own. A name that holds a separator goes the whole way
// through HostPath, as it always did.
class ResultFolderPaths {
 public:
  ResultFolderPaths() : folder_(HostPath(kResultFolder)) {}

  std::string Of(const std::string& name) const {
    if (name.find_first_of("\\/") != std::string::npos) return HostPath(ResultFilePath(name));
    return (std::filesystem::path(folder_) / name).string();
  }

 private:
  std::string folder_;
};

}  // namespace

std::string ResultFilePrefix(const std::string& uut_id) {
  std::string prefix;
  for (char c : uut_id) {
    if (std::string_view("/\"\\:|?*<>").find(c) == std::string_view::npos) prefix += c;
  }
  return prefix + "_";
}

std::string ResultDateTimeText(const OleDateTime& tested) {
  return Format("%02i/%02i/%4i %02i:%02i:%02i", tested.GetMonth(), tested.GetDay(), tested.GetYear(),
                tested.GetHour(), tested.GetMinute(), tested.GetSecond());
}

void SortLikeComboBox(std::vector<std::string>& ids) {
  std::stable_sort(ids.begin(), ids.end(), LessIgnoringCase());
}

void CDataBaseX::FillResultUUTCombo(ListTarget& combo) {
  combo.Clear();
  std::set<std::string, LessIgnoringCase> seen;  // the first spelling met wins
  std::vector<std::string> ids;
  auto show = [&] {
    SortLikeComboBox(ids);
    for (const std::string& id : ids) combo.Append(id);
  };
  try {
    const std::vector<std::string> names = FindFiles(ResultFilePath("*.DAT"));
    const ResultFolderPaths paths;
    for (const std::string& name : names) {
      TestResults record;
      // A file that gave nothing names no UUT: the fresh record's empty ID is not one.
      if (!results_table_.ReadFile(record, paths.Of(name), TestResultsTable::Columns::VerdictsOnly)) continue;
      if (seen.insert(record.Uut.ID).second) ids.push_back(record.Uut.ID);
    }
  } catch (const FileError&) {
    show();  // the entries found before the unreadable file stay, as they would in the combo
    throw;
  }
  show();
}

void CDataBaseX::ListTestResults(ResultListTarget& list, const std::string& uut_id, TestResults& work) {
  list.Clear();
  const std::string prefix = ResultFilePrefix(uut_id);
  // Files whose names do not begin with the prefix are not opened.
  const std::vector<std::string> names = FindFiles(
      ResultFilePath("*.DAT"), [&](const std::string& name) { return name.compare(0, prefix.size(), prefix) == 0; });
  const ResultFolderPaths paths;
  int row_number = 0;
  for (const std::string& name : names) {
    work.ClearColumns();
    // The rows need only the verdicts; the last file is read in full, since the work
    // record must end as a full read of it.
    const bool last = &name == &names.back();
    const bool read = results_table_.ReadFile(
        work, paths.Of(name), last ? TestResultsTable::Columns::All : TestResultsTable::Columns::VerdictsOnly);
    ResultRow row;
    if (read) {
      row.date_time_tested = ResultDateTimeText(work.DateTimeTested);
      row.kind = work.AsFound ? "As Found" : "As Left";
      row.verdict = OverallPass(work) ? "Pass" : "Fail";
    } else {
      // The work record still holds the previous file (or nothing at all): none of it
      // belongs to this row, which must not pass for a test.
      row.verdict = kUnreadableVerdict;
    }
    row.file_name = name;
    row.item_data = row_number++;
    list.AddRow(row);
  }
}

bool CDataBaseX::ReadTestResults(TestResults& record, const std::string& path) {
  return results_table_.ReadFile(record, HostPath(path));
}

std::string NothingReadMessage(const std::string& path) {
  return "No test result could be read from " + HostPath(path) + ".";
}

bool ReadResultForReport(CDataBaseX& pc_database, TestResults& record, const std::string& path, Prompter& prompter) {
  if (pc_database.ReadTestResults(record, path)) return true;
  prompter.Message(NothingReadMessage(path));
  return false;
}

}  // namespace veld
