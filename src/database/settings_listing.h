#pragma once
// Every setting of a settings table in file order, for listings: the table itself only
// answers one key at a time.

#include <string>
#include <vector>

namespace veld {

struct SettingEntry {
  std::string key;    // up to its first NUL, as keys are compared
  std::string value;  // trimmed, as GetSetting gives it
};

// The whole records of the settings table at a logical path; a length that is not a
// whole number of records ends with the last whole one. Raises FileError when the file
// cannot be read or a record's text runs past the record.
std::vector<SettingEntry> ListSettings(const std::string& logical_path);

}  // namespace veld
