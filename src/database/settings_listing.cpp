#include "database/settings_listing.h"

#include <string_view>

#include "platform/binary_file.h"
#include "platform/byte_stream.h"
#include "platform/host_path.h"
#include "records/fixed_string.h"
#include "records/system_data_table.h"

namespace veld {

std::vector<SettingEntry> ListSettings(const std::string& logical_path) {
  const std::string host_path = HostPath(logical_path);
  const FileBytes bytes = BinaryFile::ReadWholeFile(host_path);
  const std::string_view table = bytes.view();
  constexpr size_t kRecord = SystemDataTable::kRecordSize;
  std::vector<SettingEntry> settings;
  for (size_t offset = 0; offset + kRecord <= table.size(); offset += kRecord) {
    // Each record is read within its own 136 bytes, so one odd field cannot shift the rest.
    ByteReader record(table.substr(offset, kRecord), host_path);
    SettingEntry entry;
    entry.key = CutAtNul(ReadArchiveString(record));
    entry.value = TrimString(ReadArchiveString(record));
    settings.push_back(std::move(entry));
  }
  return settings;
}

}  // namespace veld
