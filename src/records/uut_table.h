#pragma once
// The UUT table file: 568-byte records in the calibrator's format (and the older
// 276-byte format, which Open converts). Every operation opens, works and closes.

#include <string>

#include "platform/prompter.h"
#include "records/list_target.h"
#include "records/uut.h"

namespace veld {

class CUUTTable {
 public:
  static constexpr size_t kRecordSize = 568;
  static constexpr size_t kOldRecordSize = 276;

  explicit CUUTTable(Prompter& prompter);
  virtual ~CUUTTable() = default;

  // false: the PC table "C:\VELD\PC\UUT\UUTTable.dat";
  // true: the device mirror "C:\VELD\VELD\UUT\UUTTable_PPCBK.dat".
  void SetDevice(bool device);
  // Creates the table with its two built-in records, or converts and checks it.
  void Open();
  // Converts a table of the old record format; a current-format table is left alone.
  void ConvertOldTable();
  // Fills uut from the first record whose ID equals uut.ID; unchanged when none does.
  void LoadRecord(UUT& uut);
  // Replaces the first record with uut.ID in place, or appends a record.
  void SaveRecord(const UUT& uut);
  // Moves the last record over the first record with uut.ID and shortens the file.
  void DeleteRecord(const UUT& uut);
  // Every record's ID in file order, each inserted at the top of the list view.
  void FillList(ListTarget& list);
  // Every record's ID appended in file order.
  void FillCombo(ListTarget& combo);

  const std::string& LogicalPath() const { return table_path_; }
  const std::string& LogicalBackupPath() const { return backup_path_; }

 private:
  Prompter& prompter_;
  bool device_ = false;
  std::string table_path_;
  std::string backup_path_;
};

}  // namespace veld
