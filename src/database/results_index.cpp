// The test results index: members of CDataBaseX that scan the result folder. There is
// no index file; every call reads the folder again.

#include "database/results_index.h"

#include <algorithm>
#include <set>

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

std::string ResultPath(const std::string& file_name) { return std::string(kResultFolder) + file_name; }

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
    for (const std::string& name : FindFiles(ResultPath("*.DAT"))) {
      TestResults record;
      ReadTestResults(record, ResultPath(name));
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
  int row_number = 0;
  for (const std::string& name : FindFiles(ResultPath("*.DAT"))) {
    if (name.compare(0, prefix.size(), prefix) != 0) continue;  // not opened
    work.ClearColumns();
    ReadTestResults(work, ResultPath(name));
    ResultRow row;
    row.date_time_tested = ResultDateTimeText(work.DateTimeTested);
    row.kind = work.AsFound ? "As Found" : "As Left";
    row.verdict = OverallPass(work) ? "Pass" : "Fail";
    row.file_name = name;
    row.item_data = row_number++;
    list.AddRow(row);
  }
}

bool CDataBaseX::ReadTestResults(TestResults& record, const std::string& path) {
  results_table_.ReadFile(record, HostPath(path));
  return true;
}

}  // namespace veld
