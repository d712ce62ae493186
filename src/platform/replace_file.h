#pragma once
// Whole-file writes that are all or nothing, and an advisory lock that serialises the
// processes that change one file. Paths are host paths.

#include <string>
#include <string_view>

namespace veld {

// Writes bytes beside the file under a unique temporary name, flushes them to the disk
// and renames the result over the file, so that a reader sees either the old content or
// the new, never a part. Throws FileError; the file is then unchanged and the temporary
// file removed.
void ReplaceFileContents(const std::string& host_path, std::string_view bytes);

// An exclusive advisory lock on a lock file (created when missing), held for the
// object's life. Another process that takes the same lock waits until it is released.
// Throws FileError when the lock file cannot be opened or locked.
class ExclusiveFileLock {
 public:
  explicit ExclusiveFileLock(const std::string& host_path);
  ~ExclusiveFileLock();
  ExclusiveFileLock(const ExclusiveFileLock&) = delete;
  ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace veld
