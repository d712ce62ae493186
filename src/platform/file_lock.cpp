#include "platform/file_lock.h"

#include <cerrno>
#include <utility>

#include "platform/fault_injection.h"
#include "platform/file_error.h"
#include "platform/posix_io.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/file.h>
#endif

namespace veld {
namespace {

#ifdef _WIN32
constexpr int kOpenFlags = _O_RDWR | _O_CREAT | _O_NOINHERIT | VELD_BINARY;
#else
constexpr int kOpenFlags = O_RDWR | O_CREAT | O_CLOEXEC;
#endif

// True when the lock was taken, false when another holds it (only without waiting);
// errno set on other failures.
bool LockOpenFile(int fd, bool wait, bool& failed) {
  failed = false;
#ifdef _WIN32
  OVERLAPPED whole{};
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
  if (LockFileEx(handle, flags, 0, 1, 0, &whole)) return true;
  failed = GetLastError() != ERROR_LOCK_VIOLATION;
  if (failed) errno = EIO;
  return false;
#else
  for (;;) {
    if (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) == 0) return true;
    if (errno == EINTR) continue;
    failed = errno != EWOULDBLOCK;
    return false;
  }
#endif
}

int OpenLockFile(const std::string& host_path) {
  if (const int injected = fault::Check(fault::Operation::Open, host_path)) {
    throw FileErrorFromErrno(injected, host_path);
  }
  const int fd = VELD_OPEN(host_path.c_str(), kOpenFlags, 0644);
  if (fd < 0) throw FileErrorFromErrno(errno, host_path);
  return fd;
}

}  // namespace

std::optional<FileLock> FileLock::TryLock(const std::string& host_path) {
  const int fd = OpenLockFile(host_path);
  bool failed = false;
  if (LockOpenFile(fd, false, failed)) return FileLock(fd);
  const int error = errno;
  VELD_CLOSE(fd);
  if (failed) throw FileErrorFromErrno(error, host_path);
  return std::nullopt;
}

FileLock FileLock::Lock(const std::string& host_path) {
  const int fd = OpenLockFile(host_path);
  bool failed = false;
  if (LockOpenFile(fd, true, failed)) return FileLock(fd);
  const int error = errno;
  VELD_CLOSE(fd);
  throw FileErrorFromErrno(error, host_path);
}

FileLock::~FileLock() {
  // Closing the only descriptor of the open file releases its lock.
  if (fd_ >= 0) VELD_CLOSE(fd_);
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) VELD_CLOSE(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

}  // namespace veld
