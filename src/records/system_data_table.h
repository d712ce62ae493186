#pragma once
// The settings table file: 136-byte records of a key and a value, each a fixed-width
// text field of width 32. Every change replaces the file whole, so that a failure or a
// crash leaves either the old table or the new one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/binary_file.h"
#include "platform/file_error.h"
#include "platform/prompter.h"
#include "records/database_layout.h"

namespace veld {

class SystemDataTable {
 public:
  static constexpr size_t kRecordSize = 136;
  static constexpr size_t kMaxTextLength = 32;

  // One setting and the value it gets when a table lacks it.
  struct Default {
    const char* key;
    const char* value;
  };
  // The 33 settings that Open adds when missing, in the order they are added.
  static const std::vector<Default>& Defaults();

  explicit SystemDataTable(Prompter& prompter);
  virtual ~SystemDataTable() = default;

  // 0: "C:\VELD\PC\System\SystemDataTable.dat";
  // 1: "C:\VELD\VELD\System\SystemDataTable_PPCBK.dat".
  void SetDevice(DatabaseSide side);
  // Creates or checks the file, then adds every missing setting with its default.
  void Open();
  void FillDefaults();
  // The stored value (trimmed), or "NULL" when the key or the file is absent. A file that
  // is there but cannot be read raises FileError.
  void GetSetting(const std::string& key, std::string& value);
  // Rewrites the key's record in place or appends one; never creates the file. A key
  // or value that would not read back as itself (longer than 32 characters, or cut by
  // the reading rules) is refused with a message and the file is left unchanged.
  void SetSetting(const std::string& key, const std::string& value);
  // Several settings in order, as one change of the file: all of them or none.
  void SetSettings(const std::vector<std::pair<std::string, std::string>>& settings);

  struct Setting {
    std::string key;    // up to its first NUL, as keys are compared
    std::string value;  // trimmed, as GetSetting gives it
  };
  // Every whole record in file order, for listings; a length that is not a whole number
  // of records ends with the last whole one. Raises FileError when the file cannot be
  // read or a record's text runs past the record.
  std::vector<Setting> ListSettings() const;

  const std::string& LogicalPath() const { return table_path_; }

 private:
  // The records of a table image, decoded up to the first malformed one.
  struct Scan {
    std::vector<Setting> settings;
    size_t whole_records = 0;
    std::optional<FileError> malformed;  // why decoding stopped early
  };

  static Scan ScanRecords(std::string_view bytes, const std::string& path);
  // Position of the first record with key. A malformed record that the search would
  // have to read past raises its read error, as a record-by-record search would.
  static std::optional<size_t> FindKey(const Scan& scan, const std::string& key);
  static std::string EncodeRecord(const std::string& key, const std::string& value);
  // The table's bytes; nothing when it does not exist. Raises FileError when it exists
  // but cannot be read.
  static FileBytes ReadIfPresent(const std::string& host);
  void AddMissingDefaults(const std::string& host, std::string_view bytes);
  // Shows why a setting cannot be stored and answers false, or answers true.
  bool CheckStorable(const std::string& key, const std::string& value);

  Prompter& prompter_;
  std::string table_path_;
};

}  // namespace veld
