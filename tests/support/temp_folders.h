#pragma once
// A temporary VELD_ROOT and VELD_DEVICE, removed afterwards with the variables they replaced
// restored, and whole-file helpers: what the tests and the fuzz targets share, without the
// test framework.

#include <string>

namespace veld::test {

class TempRoot {
 public:
  TempRoot();
  ~TempRoot();
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  // The folder that stands for drive C: and the calibrator's file system root.
  const std::string& root() const { return root_; }
  const std::string& device() const { return device_; }

 private:
  std::string base_;
  std::string root_;
  std::string device_;
  std::string saved_root_, saved_device_;
  bool had_root_ = false, had_device_ = false;
};

// Whole-file helpers for checking bytes on disk (host paths).
std::string ReadBytes(const std::string& host_path);
void WriteBytes(const std::string& host_path, const std::string& bytes);
bool FileExists(const std::string& host_path);
// Creates the folders of a host path's parent.
void MakeParentFolders(const std::string& host_path);

}  // namespace veld::test
