#pragma once
// An advisory lock on a whole file, held by this object and released when it goes. It is
// the lock of the open file itself (flock; LockFileEx on Windows), not of the process, so
// that a second open of the same file in this process or another conflicts with it, and
// closing some other descriptor of the file cannot drop it. A process that ends, however
// it ends, releases its locks.

#include <optional>
#include <string>

namespace veld {

class FileLock {
 public:
  // Takes the lock if it is free, creating the file when missing; nothing when another
  // holds it. Raises FileError when the file cannot be opened or created.
  static std::optional<FileLock> TryLock(const std::string& host_path);
  // Takes the lock, waiting for as long as another holds it: for changes that take a
  // moment, where giving up would lose the change.
  static FileLock Lock(const std::string& host_path);

  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  explicit FileLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace veld
