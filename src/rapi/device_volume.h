#pragma once
// The folder named by $VELD_DEVICE seen as the calibrator's file system: device paths
// such as "Mounted_Volume\VELD\UUT\UUTTable.DAT" resolve below it, each component matched
// without regard to (ASCII) letter case against what exists, a missing one kept as written.
// Absolute paths, drive letters, "." and ".." components and names that the device could
// not hold are refused, so that nothing outside the folder can be reached.
//
// The volume is untrusted: anyone can prepare such a folder. A symbolic link below the
// root, to a file or to a folder on the way, is never followed: it lists as absent and
// cannot be opened, created over or listed through. Only regular files open as files.
// The root itself is the user's own choice and may be reached through a link.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/posix_io.h"

namespace veld::standin {

// An open host descriptor, closed with the object.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) VELD_CLOSE(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// The device root, when $VELD_DEVICE names an existing folder.
std::optional<std::filesystem::path> DeviceRoot();

// Opens the regular file of a device path with the given open flags (access mode and
// O_CREAT, O_EXCL, O_TRUNC). Invalid, with errno set, when the path is refused, leads
// through a link, or names a link, a folder or anything else that is not a regular file.
Descriptor OpenDeviceFile(std::u16string_view device_path, int flags);

// Creates the folder of a device path in a folder that exists; false when the path is
// refused, its parent is missing or reached through a link, or the name is taken in any
// letter case.
bool CreateDeviceFolder(std::u16string_view device_path);

// Removes the file of a device path, as a calibrator taken away loses it. False when
// there was none.
bool RemoveDeviceFile(std::u16string_view device_path);

struct ListedEntry {
  std::u16string name;
  bool is_folder = false;
  uint64_t size = 0;
  uint64_t write_time = 0;  // 100 ns units since 1601-01-01, as the device reports it
};

// The entries of the folder of a pattern such as "Mounted_Volume\VELD\TestResults\DAT\*.*"
// whose names match its last component ("*" and "?", without regard to case; "*.*" matches
// every name). Regular files and folders (never links), in case-insensitive name order.
// Nothing when the pattern is refused or its folder does not exist.
std::vector<ListedEntry> ListDeviceFolder(std::u16string_view pattern);

// Name codecs between the device's UTF-16 and the host's file names (UTF-8 outside
// Windows). A host byte that is not valid UTF-8 lists as U+FFFD.
std::optional<std::filesystem::path> HostName(std::u16string_view device_name);
std::u16string DeviceName(const std::filesystem::path& host_name);

bool WildcardMatch16(std::u16string_view pattern, std::u16string_view name);

}  // namespace veld::standin
