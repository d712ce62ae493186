#pragma once
// The results list: one row per result file of a UUT, in the folder's search order.

#include <string>
#include <vector>

#include "platform/ole_date_time.h"
#include "platform/prompter.h"

namespace veld {

class CDataBaseX;
class TestResults;

// The verdict of a row whose file gave nothing to read (missing, or under 4 bytes); its
// date and kind stay empty.
inline constexpr const char* kUnreadableVerdict = "Unreadable";

struct ResultRow {
  std::string date_time_tested;  // "%02i/%02i/%4i %02i:%02i:%02i", -1 fields when not valid
  std::string kind;              // "As Found" or "As Left"
  std::string verdict;           // "Pass", "Fail" or kUnreadableVerdict
  std::string file_name;         // name with extension, without the folder
  int item_data = 0;             // the row's own number
};

class ResultListTarget {
 public:
  virtual ~ResultListTarget() = default;
  virtual void Clear() = 0;
  virtual void AddRow(const ResultRow& row) = 0;
};

class VectorResultList : public ResultListTarget {
 public:
  void Clear() override { rows.clear(); }
  void AddRow(const ResultRow& row) override { rows.push_back(row); }
  std::vector<ResultRow> rows;
};

// The prefix that begins the names of a UUT's result files: the ID without
// / " \ : | ? * < >, followed by "_".
std::string ResultFilePrefix(const std::string& uut_id);

// The "Date Time Tested" column text.
std::string ResultDateTimeText(const OleDateTime& tested);

// Sorts IDs as a sorted combo box keeps them: ignoring letter case.
void SortLikeComboBox(std::vector<std::string>& ids);

// The message that refuses a result file from which nothing could be read; it names the
// file as the host sees it.
std::string NothingReadMessage(const std::string& path);

// Reads a result file for a report (the certificate or the CSV export). A file that gave
// nothing would be reported with the record's earlier or default values, as a passing
// test, so it is refused: NothingReadMessage is shown and false answered.
bool ReadResultForReport(CDataBaseX& pc_database, TestResults& record, const std::string& path, Prompter& prompter);

}  // namespace veld
