#pragma once
// The UUT table file: 568-byte records in the calibrator's format (and the older
// 276-byte format, which Open converts). Every operation opens, works and closes; each
// reads the file whole once and parses it from memory, and every change replaces the file
// whole (BinaryFile::ReplaceWholeFile), so that a failure or a crash leaves either the
// old table or the new one.
//
// Choices where the calibrator's own rules leave room:
//  - Texts longer than their field: an ID longer than 32 characters (or holding a NUL,
//    which reads back cut short) would be stored as a different ID and could merge with
//    another record, so SaveRecord refuses it with a message and writes nothing. Every
//    other text is cut to its field width. A record is always 568 bytes.
//  - Reserved fields: the desktop gives them no value of its own. A replaced record keeps
//    its own five raw fields; new and converted records get empty ones.
//  - Lengths: 0 bytes is a table with no records. A length that is a multiple of 568 is
//    current; otherwise a multiple of 276 is the old format and is converted; anything
//    else (1 to 275 bytes included) is reported as corrupted and left untouched. Save and
//    Delete refuse a corrupted table the same way rather than misalign its records.
//  - A missing table file raises FileError(NotFound) in every operation but Open; a text
//    whose count runs past its field raises FileError(EndOfFile) before anything changes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/binary_file.h"
#include "platform/prompter.h"
#include "records/database_layout.h"
#include "records/list_target.h"
#include "records/uut.h"

namespace veld {

class CUUTTable {
 public:
  static constexpr size_t kRecordSize = 568;
  static constexpr size_t kOldRecordSize = 276;
  static constexpr size_t kIdWidth = 32;

  explicit CUUTTable(Prompter& prompter);
  virtual ~CUUTTable() = default;

  // false: the PC table "C:\VELD\PC\UUT\UUTTable.dat";
  // true: the device mirror "C:\VELD\VELD\UUT\UUTTable_PPCBK.dat".
  void SetDevice(DatabaseSide side);
  // Creates the table with its two built-in records, or converts and checks it.
  void Open();
  // Converts a table of the old record format; a current-format table is left alone.
  // A length that fits neither format is reported as corrupted. The old file is kept
  // under the backup name, or the first free numbered one ("..._Backup_2.dat", ...) when
  // that is taken; an old table already kept under one of them is not kept twice.
  void ConvertOldTable();
  // Fills uut from the first record whose ID equals uut.ID; unchanged when none does.
  void LoadRecord(UUT& uut);
  // Replaces the first record with uut.ID in place, or appends a record. False when it
  // was refused with a message (an ID that cannot be stored, a corrupted table).
  bool SaveRecord(const UUT& uut);
  // Moves the last record over the first record with uut.ID and shortens the file. False
  // when a corrupted table was refused with a message; a missing ID is no refusal.
  bool DeleteRecord(const UUT& uut);
  // Every record's ID in file order, each inserted at the top of the list view.
  void FillList(ListTarget& list);
  // Every record's ID appended in file order.
  void FillCombo(ListTarget& combo);
  // The message with which SaveRecord would refuse an ID, or nullptr when it can be stored.
  static const char* IdProblem(const std::string& id);
  // Every whole record in file order, each read as LoadRecord reads it (a length that is
  // not a whole number of records leaves the part record out, as the lists do).
  std::vector<UUT> ReadAllRecords();
  // Stores many UUTs at once, each as SaveRecord would (replaced in place with its own
  // reserved fields, or appended), in one read and one all-or-nothing write of the file.
  // An ID given twice is stored as SaveRecord twice would. Writes nothing and returns
  // false (after telling the user) when an ID cannot be stored or the table is corrupted.
  bool SaveRecords(const std::vector<UUT>& uuts);

  const std::string& LogicalPath() const { return table_path_; }
  const std::string& LogicalBackupPath() const { return backup_path_; }
  // The backup name of a number: 1 the plain name, then "_2", "_3", ... before ".dat".
  std::string LogicalBackupPath(int number) const;

 private:
  // IDs of the whole records at the start of a table's bytes, in file order.
  std::vector<std::string> ReadIds(std::string_view bytes, const std::string& host_path) const;
  void CreateWithBuiltIns(const std::string& host_path) const;
  // Keeps an old-format table under the first free backup name.
  void KeepBackup(std::string_view old_table) const;
  void ReportCorrupted(const std::string& host_path);
  // The table's bytes to change, or nothing (after telling the user) when they are not
  // whole records.
  std::optional<FileBytes> ReadRecordsForChange(const std::string& host_path);
  // False (after telling the user) when uut.ID cannot be stored as it stands.
  bool IdFits(const UUT& uut);

  Prompter& prompter_;
  std::string table_path_;
  std::string backup_path_;
};

}  // namespace veld
