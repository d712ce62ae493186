#pragma once
// Shared set-up of the device link tests: a fresh VELD_ROOT and VELD_DEVICE, the stand-in
// library as built beside the executables, and helpers that place and read files on
// either side by the paths the link uses.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "device/corvane_rapi.h"
#include "platform/host_path.h"
#include "rapi/standin_faults.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld::test {
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Sets (or removes) an environment variable for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(saved_); }
  ScopedVariable(const ScopedVariable&) = delete;

 private:
  void Set(const std::optional<std::string>& value) { value ? setenv(name_, value->c_str(), 1) : unsetenv(name_); }
  const char* name_;
  std::optional<std::string> saved_;
};

// Bytes that differ from block to block, so a block copied twice or out of place shows.
inline std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 10240 * 7 + seed) % 251);
  return bytes;
}

// Names in a host folder, sorted; empty when it does not exist.
inline std::vector<std::string> NamesIn(const std::string& host_folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(host_folder, ec)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class DeviceLinkTest : public TempRootTest {
 protected:
  // Host paths of a device file given with '/' below the device root, and of a logical local path.
  std::string OnDevice(const std::string& relative) const { return temp_.device() + "/" + relative; }
  static std::string OnDesktop(const std::string& logical) { return HostPath(logical); }

  void PutOnDevice(const std::string& path, const std::string& bytes) const { WriteBytes(OnDevice(path), bytes); }
  void PutOnDesktop(const std::string& path, const std::string& bytes) const { WriteBytes(OnDesktop(path), bytes); }
  static void MakeDesktopFolder(const std::string& logical) { std::filesystem::create_directories(OnDesktop(logical)); }
  void MakeDeviceFolder(const std::string& relative) const { std::filesystem::create_directories(OnDevice(relative)); }

  ScopedVariable library_{"VELD_RAPI_LIBRARY", std::string(VELD_RAPI_TEST_LIBRARY)};
  ScopedVariable no_failure_{rapi::kFailReadAtVariable, std::nullopt};
  RecordingPrompter prompter_;
  CCorvaneRAPI link_{prompter_};
};

}  // namespace veld::test
