#include "platform/replace_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/file_error.h"
#include "platform/posix_io.h"

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#define VELD_GETPID _getpid
#else
#include <sys/file.h>
#define VELD_GETPID ::getpid
#endif

namespace veld {
namespace {

namespace fs = std::filesystem;

bool SyncDescriptor(int fd) {
#ifdef _WIN32
  return _commit(fd) == 0;
#else
  return ::fsync(fd) == 0;
#endif
}

// A rename is durable only once the folder that holds the name is on the disk too.
void SyncFolderOf(const std::string& host_path) {
#ifndef _WIN32
  const std::string folder = fs::path(host_path).parent_path().string();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
#else
  (void)host_path;
#endif
}

// Creates a file beside host_path under a name no other writer uses; returns its
// descriptor and sets temp_path.
int CreateUniqueBeside(const std::string& host_path, std::string& temp_path) {
  static std::atomic<unsigned> next{0};
  const fs::path target(host_path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name(1, '.');
    name.append(target.filename().string()).append(1, '.').append(std::to_string(VELD_GETPID()));
    name.append(1, '.').append(std::to_string(next++)).append(".tmp");
    temp_path = (target.parent_path() / name).string();
    const int fd = VELD_OPEN(temp_path.c_str(), O_RDWR | O_CREAT | O_EXCL | VELD_BINARY, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const unsigned chunk = static_cast<unsigned>(std::min<size_t>(bytes.size(), size_t{1} << 30));
    const auto written = VELD_WRITE(fd, bytes.data(), chunk);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

void ReplaceFileContents(const std::string& host_path, std::string_view bytes) {
  std::string temp_path;
  const int fd = CreateUniqueBeside(host_path, temp_path);
  if (fd < 0) throw FileErrorFromErrno(errno, host_path);
  const auto fail = [&](int error_number) {
    VELD_CLOSE(fd);
    std::error_code ignored;
    fs::remove(temp_path, ignored);
    throw FileErrorFromErrno(error_number, host_path);
  };
  if (!WriteAll(fd, bytes) || !SyncDescriptor(fd)) fail(errno);
  if (VELD_CLOSE(fd) != 0) {
    const int error_number = errno;
    std::error_code ignored;
    fs::remove(temp_path, ignored);
    throw FileErrorFromErrno(error_number, host_path);
  }
  std::error_code ec;
  fs::rename(temp_path, host_path, ec);  // replaces an existing file on every host
  if (ec) {
    std::error_code ignored;
    fs::remove(temp_path, ignored);
    throw FileErrorFromErrno(ec.value(), host_path);
  }
  SyncFolderOf(host_path);
}

ExclusiveFileLock::ExclusiveFileLock(const std::string& host_path) {
  fd_ = VELD_OPEN(host_path.c_str(), O_RDWR | O_CREAT | VELD_BINARY, 0644);
  if (fd_ < 0) throw FileErrorFromErrno(errno, host_path);
#ifdef _WIN32
  OVERLAPPED whole{};
  const bool locked = LockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(fd_)), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0,
                                 &whole) != 0;
  const int error_number = locked ? 0 : EACCES;
#else
  int result;
  do {
    result = ::flock(fd_, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  const bool locked = result == 0;
  const int error_number = errno;
#endif
  if (!locked) {
    VELD_CLOSE(fd_);
    fd_ = -1;
    throw FileErrorFromErrno(error_number, host_path);
  }
}

// Closing the descriptor releases the lock.
ExclusiveFileLock::~ExclusiveFileLock() {
  if (fd_ >= 0) VELD_CLOSE(fd_);
}

}  // namespace veld
