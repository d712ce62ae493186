#pragma once
// The test profile table file (144-byte records) and the custom profile files beside it.
// Every change replaces a file whole (BinaryFile::ReplaceWholeFile): a failure or a crash
// leaves each file with its old content or its new one. A save or delete whose custom file
// cannot be written or removed puts the table back and reports the failure.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/prompter.h"
#include "records/database_layout.h"
#include "records/list_target.h"
#include "records/test_profile.h"

namespace veld {

class TestProfileTable {
 public:
  static constexpr size_t kRecordSize = 144;
  static constexpr size_t kMaxTextLength = 32;

  explicit TestProfileTable(Prompter& prompter);
  virtual ~TestProfileTable() = default;

  // false: "C:\VELD\PC\TestProfile\TestProfileTable.dat";
  // true: "C:\VELD\VELD\TestProfile\TestProfileTable_PPCBK.dat".
  void SetDevice(DatabaseSide side);
  // Creates the table with the six standard profiles, or checks its length.
  void Open();
  // Fills profile from the first record with its ID, then loads its custom points.
  void LoadRecord(TestProfile& profile);
  // Rewrites or appends the profile's record, then writes its custom file. A profile
  // whose ID or type does not fit the record is refused with a message; a custom file
  // that cannot be written for want of disk or a failing disk takes the record back. False
  // after any message (a refusal, a table that had to be cut back, a custom file not written).
  bool SaveRecord(const TestProfile& profile);
  // Removes the profile's record (the last record takes its place) and, for a
  // "Custom" profile, its custom file.
  void DeleteRecord(const TestProfile& profile);
  void FillList(ListTarget& list);
  void FillCombo(ListTarget& combo);

  // The logical path of the profile's custom file: folder + ID + "_Custom.DAT".
  std::string CustomFilePath(const TestProfile& profile) const;
  void LoadCustomPoints(TestProfile& profile);
  // False when the custom file could not be written (after its message).
  bool SaveCustomPoints(const TestProfile& profile);
  bool CustomFileExists(const TestProfile& profile) const;

  const std::string& LogicalPath() const { return table_path_; }
  // "C:\VELD\PC\TestProfile\" or "C:\VELD\VELD\TestProfile\".
  std::string LogicalFolder() const { return layout::ProfileFolder(side_); }

  // Whether an ID can name a custom file inside the profile folder on Windows and on
  // Linux alike: not empty, no path separators, drive colons, wildcards, quotes, pipes,
  // control characters or "..".
  static bool IsValidFileId(const std::string& id);
  // The message with which saving would refuse the profile's record, or (for a "Custom"
  // profile) its custom file; nullptr when both would be stored.
  static const char* SaveProblem(const TestProfile& profile);

 private:
  // The four stored fields of one record.
  struct Record {
    std::string id;
    std::string type;
    int32_t points = 0;
    bool leak_test = false;
  };

  static std::string EncodeRecord(const Record& record);
  // Decodes the record at position index of a whole table image.
  static Record DecodeRecord(std::string_view table, size_t index, const std::string& path);
  // Position of the first record whose ID equals id.
  static std::optional<size_t> FindRecord(std::string_view table, const std::string& id,
                                          const std::string& path);
  static Record RecordOf(const TestProfile& profile);
  // Why SaveRecord refuses the profile's record, or nullptr.
  static const char* RecordProblem(const TestProfile& profile);
  // Every record's ID in file order.
  std::vector<std::string> ReadIds() const;
  // Shows why a profile cannot be stored and answers false, or answers true.
  bool CheckStorable(const TestProfile& profile);
  // Puts the table back as it was after a later part of the same change failed.
  static void RestoreTable(const std::string& host_path, std::string_view bytes);
  // The host path of the profile's custom file, or nothing when its ID cannot name one.
  std::optional<std::string> CustomHostPath(const TestProfile& profile) const;

  Prompter& prompter_;
  DatabaseSide side_ = DatabaseSide::PC;
  std::string table_path_;
};

}  // namespace veld
