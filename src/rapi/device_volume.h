#pragma once
// The folder named by $VELD_DEVICE seen as the calibrator's file system: device paths
// such as "Mounted_Volume\VELD\UUT\UUTTable.DAT" resolve below it, each component matched
// without regard to (ASCII) letter case against what exists, a missing one kept as written.
// Absolute paths, drive letters, "." and ".." components and names that the device could
// not hold are refused, so that nothing outside the folder can be reached.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veld::standin {

// The device root, when $VELD_DEVICE names an existing folder.
std::optional<std::filesystem::path> DeviceRoot();

// The host path of a device file or folder; nothing when the path is refused.
std::optional<std::filesystem::path> ResolveDevicePath(std::u16string_view device_path);

// The host path of a device path taken exactly as written, without looking at the disk;
// nothing when the path is refused. Where it exists, ResolveDevicePath gives the same.
std::optional<std::filesystem::path> DevicePathAsWritten(std::u16string_view device_path);

struct ListedEntry {
  std::u16string name;
  bool is_folder = false;
  uint64_t size = 0;
  uint64_t write_time = 0;  // 100 ns units since 1601-01-01, as the device reports it
};

// The entries of the folder of a pattern such as "Mounted_Volume\VELD\TestResults\DAT\*.*"
// whose names match its last component ("*" and "?", without regard to case; "*.*" matches
// every name). Regular files and folders, in case-insensitive name order. Nothing when the
// pattern is refused or its folder does not exist.
std::vector<ListedEntry> ListDeviceFolder(std::u16string_view pattern);

// Name codecs between the device's UTF-16 and the host's file names (UTF-8 outside
// Windows). A host byte that is not valid UTF-8 lists as U+FFFD.
std::optional<std::filesystem::path> HostName(std::u16string_view device_name);
std::u16string DeviceName(const std::filesystem::path& host_name);

bool WildcardMatch16(std::u16string_view pattern, std::u16string_view name);

}  // namespace veld::standin
