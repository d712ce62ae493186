#pragma once
// The test profile table file (144-byte records) and the custom profile files beside it.

#include <string>

#include "platform/prompter.h"
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
  void SetDevice(bool device);
  // Creates the table with the six standard profiles, or checks its length.
  void Open();
  // Fills profile from the first record with its ID, then loads its custom points.
  void LoadRecord(TestProfile& profile);
  // Rewrites or appends the profile's record, then writes its custom file. A profile
  // whose ID or type does not fit the record is refused with a message.
  void SaveRecord(const TestProfile& profile);
  // Removes the profile's record (the last record takes its place) and, for a
  // "Custom" profile, its custom file.
  void DeleteRecord(const TestProfile& profile);
  void FillList(ListTarget& list);
  void FillCombo(ListTarget& combo);

  // The logical path of the profile's custom file: folder + ID + "_Custom.DAT".
  std::string CustomFilePath(const TestProfile& profile) const;
  void LoadCustomPoints(TestProfile& profile);
  void SaveCustomPoints(const TestProfile& profile);
  bool CustomFileExists(const TestProfile& profile) const;

  const std::string& LogicalPath() const { return table_path_; }

 private:
  Prompter& prompter_;
  bool device_ = false;
  std::string table_path_;
};

}  // namespace veld
