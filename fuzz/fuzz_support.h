#pragma once
// What the fuzz targets share: a scratch drive C: for the whole process, the writing of an
// input where a table expects its file, and the check that turns a broken promise of the
// code under test into a crash that the fuzzer records.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_error.h"
#include "support/temp_folders.h"

namespace veld::fuzz {

// A temporary folder standing for drive C: (VELD_ROOT) and for the calibrator
// (VELD_DEVICE), with the folders of both databases made. Removed, and the variables it
// replaced restored, when it goes.
class ScratchRoot {
 public:
  ScratchRoot();

  const std::string& root() const { return temp_.root(); }

 private:
  test::TempRoot temp_;
};

// The root that every input of one process uses: made on first use, so that the temporary
// folders are created once per process and not once per input.
const ScratchRoot& ProcessRoot();

// Replaces the content of a host file with bytes; the folder must exist.
void WriteFile(const std::string& host_path, std::string_view bytes);
// Removes a host file if it is there.
void RemoveFile(const std::string& host_path);
// The length of a host file, 0 when it is not there.
uint64_t FileLength(const std::string& host_path);
bool FileExists(const std::string& host_path);

// Aborts with a message when a promise of the code under test does not hold; the fuzzer
// keeps the input as a crash.
void Require(bool condition, const char* promise);

inline std::string_view AsBytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Runs one operation; false when it raised a FileError, the defined outcome of a file that
// cannot be read as it should. Anything else propagates and is a finding.
template <typename Operation>
bool Attempt(Operation&& operation) {
  try {
    std::forward<Operation>(operation)();
    return true;
  } catch (const FileError&) {
    return false;
  }
}

// The test profile target takes two files from one input: a 16-bit little-endian length,
// that many bytes of table (fewer when the input ends first), then the custom file.
struct ProfileInput {
  std::string_view table;
  std::string_view custom;
};
ProfileInput SplitProfileInput(std::string_view input);
std::string JoinProfileInput(std::string_view table, std::string_view custom);

// The ID of the profile whose custom file the test profile target writes.
inline constexpr const char* kFuzzedProfileId = "fz";

}  // namespace veld::fuzz
