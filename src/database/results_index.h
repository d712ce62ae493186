#pragma once
// The results list: one row per result file of a UUT, in the folder's search order.

#include <string>
#include <vector>

#include "platform/ole_date_time.h"

namespace veld {

struct ResultRow {
  std::string date_time_tested;  // "%02i/%02i/%4i %02i:%02i:%02i", -1 fields when not valid
  std::string kind;              // "As Found" or "As Left"
  std::string verdict;           // "Pass" or "Fail"
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

}  // namespace veld
