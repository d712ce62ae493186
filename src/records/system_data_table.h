#pragma once
// The settings table file: 136-byte records of a key and a value, each a fixed-width
// text field of width 32.

#include <string>

#include "platform/prompter.h"

namespace veld {

class SystemDataTable {
 public:
  static constexpr size_t kRecordSize = 136;
  static constexpr size_t kMaxTextLength = 32;

  explicit SystemDataTable(Prompter& prompter);
  virtual ~SystemDataTable() = default;

  // 0: "C:\VELD\PC\System\SystemDataTable.dat";
  // 1: "C:\VELD\VELD\System\SystemDataTable_PPCBK.dat".
  void SetDevice(bool device);
  // Creates or checks the file, then adds every missing setting with its default.
  void Open();
  void FillDefaults();
  // The stored value (trimmed), or "NULL" when the key is absent or the file does not open.
  void GetSetting(const std::string& key, std::string& value);
  // Rewrites the key's record in place or appends one; never creates the file.
  void SetSetting(const std::string& key, const std::string& value);

  const std::string& LogicalPath() const { return table_path_; }

 private:
  Prompter& prompter_;
  bool device_ = false;
  std::string table_path_;
};

}  // namespace veld
