#include "app/calibrator_locator.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/host_path.h"

namespace veld {
namespace fs = std::filesystem;
namespace {

// The entry of a folder whose name equals name ignoring case, when it is a real folder
// (a link is not followed: a volume is not trusted to point elsewhere).
std::optional<fs::path> SubFolder(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!EqualsIgnoreCase(it->path().filename().string(), name)) continue;
    if (it->is_directory(ec) && !it->is_symlink(ec)) return it->path();
  }
  return std::nullopt;
}

std::vector<std::string> SortedSubFolders(const std::string& root) {
  std::vector<std::string> folders;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) folders.push_back(it->path().string());
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

}  // namespace

std::vector<std::string> DefaultMountRoots() {
  std::vector<std::string> roots;
  if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
    roots.push_back(std::string("/media/") + user);
    roots.push_back(std::string("/run/media/") + user);
  }
  roots.push_back("/mnt");
  return roots;
}

bool HoldsCalibratorVolume(const std::string& folder) {
  if (folder.empty()) return false;
  const std::optional<fs::path> volume = SubFolder(folder, "Mounted_Volume");
  return volume && SubFolder(*volume, "VELD").has_value();
}

std::optional<std::string> FindCalibrator(const CalibratorSearch& search) {
  if (!search.environment_device.empty()) return search.environment_device;
  for (const std::string& root : search.mount_roots) {
    for (const std::string& folder : SortedSubFolders(root)) {
      if (HoldsCalibratorVolume(folder)) return folder;
    }
  }
  if (HoldsCalibratorVolume(search.remembered_folder)) return search.remembered_folder;
  return std::nullopt;
}

void UseCalibratorFolder(const std::optional<std::string>& folder) {
#ifdef _WIN32
  _putenv_s(kDeviceVariable, folder ? folder->c_str() : "");
#else
  if (folder) {
    setenv(kDeviceVariable, folder->c_str(), 1);
  } else {
    unsetenv(kDeviceVariable);
  }
#endif
}

}  // namespace veld
