#include "platform/binary_file.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "platform/fault_injection.h"
#include "platform/file_error.h"
#include "platform/posix_io.h"
#include "platform/process_id.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace veld {
namespace {

int OpenFlags(BinaryFile::Mode mode) {
  switch (mode) {
    case BinaryFile::Mode::Read: return O_RDONLY | VELD_BINARY;
    case BinaryFile::Mode::ReadWrite: return O_RDWR | VELD_BINARY;
    case BinaryFile::Mode::Create: return O_RDWR | O_CREAT | O_TRUNC | VELD_BINARY;
    case BinaryFile::Mode::OpenOrCreate: return O_RDWR | O_CREAT | VELD_BINARY;
    case BinaryFile::Mode::CreateNew: return O_RDWR | O_CREAT | O_EXCL | VELD_BINARY;
  }
  return O_RDONLY;
}

bool IsDirectory(int fd) {
  veld_stat_t info{};
  return VELD_FSTAT(fd, &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

// One system call's share of a transfer. Casting the whole size to unsigned would turn
// a multiple of 4 GiB into 0 (read as the end of the file) and exceed what _read takes.
unsigned ChunkSize(size_t remaining) {
  constexpr size_t kMaxChunk = size_t{1} << 30;
  return static_cast<unsigned>(remaining < kMaxChunk ? remaining : kMaxChunk);
}

// The folder part of a path: "." for a bare name.
std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  if (cut == std::string::npos) return ".";
  return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

// The file beside path that ReplaceWholeFile writes in this process.
std::string TemporaryPathBeside(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  const size_t name_at = cut == std::string::npos ? 0 : cut + 1;
  return path.substr(0, name_at) + "." + path.substr(name_at) + "." + std::to_string(CurrentProcessId()) + ".tmp";
}

// Gives the new file the permissions of the file it is about to replace, so that a
// rename does not quietly widen or narrow who may read a table.
void KeepPermissions(int fd, const std::string& replaced) {
#ifndef _WIN32
  veld_stat_t info{};
  if (VELD_STAT(replaced.c_str(), &info) == 0) ::fchmod(fd, info.st_mode & 07777);
#else
  (void)fd;
  (void)replaced;
#endif
}

}  // namespace

BinaryFile::BinaryFile(const std::string& path, Mode mode) {
  if (!TryOpen(path, mode)) throw FileErrorFromErrno(errno, path);
}

BinaryFile::~BinaryFile() { Close(); }

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

bool BinaryFile::TryOpen(const std::string& path, Mode mode) {
  Close();
  path_ = path;
  if (const int injected = fault::Check(fault::Operation::Open, path)) {
    errno = injected;
    return false;
  }
  const int fd = VELD_OPEN(path.c_str(), OpenFlags(mode), 0644);
  if (fd < 0) return false;
  // A folder is never a table or result file. Only a read-only open can succeed on one:
  // opening a folder for writing already fails (EISDIR).
  if (mode == Mode::Read && IsDirectory(fd)) {
    VELD_CLOSE(fd);
    errno = EISDIR;
    return false;
  }
  fd_ = fd;
  return true;
}

void BinaryFile::Close() {
  if (fd_ >= 0) VELD_CLOSE(fd_);
  fd_ = -1;
}

void BinaryFile::Fail() const { throw FileErrorFromErrno(errno, path_); }

size_t BinaryFile::Read(void* buffer, size_t size) {
  size_t done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < size) {
    const auto got = VELD_READ(fd_, bytes + done, ChunkSize(size - done));
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail();
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

void BinaryFile::ReadExact(void* buffer, size_t size) {
  if (Read(buffer, size) != size) throw FileError(FileError::Cause::EndOfFile, path_);
}

FileBytes BinaryFile::ReadAll() {
  Seek(0);
  const auto length = static_cast<size_t>(Length());
  FileBytes bytes;
  bytes.bytes_.reset(new char[length]);  // not value-initialised: the read fills it
  bytes.size_ = Read(bytes.bytes_.get(), length);
  return bytes;
}

void BinaryFile::Write(const void* data, size_t size) {
  size_t done = 0;
  const auto* bytes = static_cast<const char*>(data);
  while (done < size) {
    if (const int injected = fault::Check(fault::Operation::Write, path_)) {
      // A disk that fills up takes part of a block before it refuses the rest.
      if (injected == ENOSPC) (void)VELD_WRITE(fd_, bytes + done, ChunkSize(size - done) / 2);
      errno = injected;
      Fail();
    }
    const auto put = VELD_WRITE(fd_, bytes + done, ChunkSize(size - done));
    if (put < 0) {
      if (errno == EINTR) continue;
      Fail();
    }
    if (put == 0) throw FileError(FileError::Cause::DiskFull, path_);
    done += static_cast<size_t>(put);
  }
}

void BinaryFile::Seek(uint64_t offset) {
  if (VELD_LSEEK(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) Fail();
}

void BinaryFile::SeekToEnd() {
  if (VELD_LSEEK(fd_, 0, SEEK_END) < 0) Fail();
}

uint64_t BinaryFile::Position() const {
  const auto at = VELD_LSEEK(fd_, 0, SEEK_CUR);
  if (at < 0) Fail();
  return static_cast<uint64_t>(at);
}

uint64_t BinaryFile::Length() const {
  veld_stat_t info{};
  if (VELD_FSTAT(fd_, &info) != 0) Fail();
  return static_cast<uint64_t>(info.st_size);
}

void BinaryFile::SetLength(uint64_t length) {
  if (const int injected = fault::Check(fault::Operation::Truncate, path_)) {
    errno = injected;
    Fail();
  }
  if (VELD_TRUNCATE(fd_, static_cast<off_t>(length)) != 0) Fail();
}

void BinaryFile::Sync() {
  if (const int injected = fault::Check(fault::Operation::Sync, path_)) {
    errno = injected;
    Fail();
  }
  if (fault::SyncsSkipped()) return;
#ifdef _WIN32
  if (_commit(fd_) != 0) Fail();
#else
  while (::fsync(fd_) != 0) {
    if (errno != EINTR) Fail();
  }
#endif
}

bool BinaryFile::Exists(const std::string& path) {
  veld_stat_t info{};
  return VELD_STAT(path.c_str(), &info) == 0;
}

void BinaryFile::Rename(const std::string& from, const std::string& to) {
  if (Exists(to)) throw FileError(FileError::Cause::AlreadyExists, to);
  if (!Exists(from)) throw FileError(FileError::Cause::NotFound, from);
  if (const int injected = fault::Check(fault::Operation::Rename, from)) throw FileErrorFromErrno(injected, from);
  if (std::rename(from.c_str(), to.c_str()) != 0) throw FileErrorFromErrno(errno, from);
}

void BinaryFile::Replace(const std::string& from, const std::string& to) {
  if (const int injected = fault::Check(fault::Operation::Rename, to)) throw FileErrorFromErrno(injected, to);
#ifdef _WIN32
  if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw FileError(FileError::Cause::Generic, to, "MoveFileEx failed");
  }
#else
  if (std::rename(from.c_str(), to.c_str()) != 0) throw FileErrorFromErrno(errno, to);
#endif
}

void BinaryFile::SyncFolder(const std::string& host_folder) {
#ifdef _WIN32
  (void)host_folder;  // MOVEFILE_WRITE_THROUGH has already waited for the rename
#else
  if (const int injected = fault::Check(fault::Operation::Open, host_folder)) {
    throw FileErrorFromErrno(injected, host_folder);
  }
  const int fd = ::open(host_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw FileErrorFromErrno(errno, host_folder);
  int failure = fault::Check(fault::Operation::Sync, host_folder);
  if (failure == 0 && !fault::SyncsSkipped()) {
    int result = 0;
    do {
      result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    // Some file systems cannot sync a folder at all (EINVAL); they keep names in order anyway.
    if (result != 0 && errno != EINVAL && errno != EROFS) failure = errno;
  }
  ::close(fd);
  if (failure != 0) throw FileErrorFromErrno(failure, host_folder);
#endif
}

void BinaryFile::SyncFilesIn(const std::string& host_folder, const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  if (const int injected = fault::Check(fault::Operation::Sync, host_folder)) {
    throw FileErrorFromErrno(injected, host_folder);
  }
  if (fault::SyncsSkipped()) return;
#ifdef __linux__
  const int fd = ::open(host_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw FileErrorFromErrno(errno, host_folder);
  int result = 0;
  do {
    result = ::syncfs(fd);
  } while (result != 0 && errno == EINTR);
  const int failure = result == 0 ? 0 : errno;
  ::close(fd);
  if (failure == 0) return;
  if (failure != ENOSYS) throw FileErrorFromErrno(failure, host_folder);
#endif
  for (const std::string& path : paths) {
    BinaryFile file(path, Mode::ReadWrite);  // a sync needs a descriptor that may write (Windows)
    file.Sync();
  }
}

void BinaryFile::Remove(const std::string& path) {
  if (const int injected = fault::Check(fault::Operation::Remove, path)) throw FileErrorFromErrno(injected, path);
  if (std::remove(path.c_str()) != 0) throw FileErrorFromErrno(errno, path);
}

FileBytes BinaryFile::ReadWholeFile(const std::string& path) {
  BinaryFile file(path, Mode::Read);
  return file.ReadAll();
}

FileBytes BinaryFile::ReadWholeFileForChange(const std::string& path) {
  BinaryFile file(path, Mode::ReadWrite);
  return file.ReadAll();
}

void BinaryFile::ReplaceWholeFile(const std::string& path, std::string_view bytes) {
  const std::string temporary = TemporaryPathBeside(path);
  BinaryFile file;
  bool opened = file.TryOpen(temporary, Mode::CreateNew);
  // One left by an earlier run that had this process id and ended before it could clean up.
  if (!opened && errno == EEXIST && std::remove(temporary.c_str()) == 0) {
    opened = file.TryOpen(temporary, Mode::CreateNew);
  }
  if (!opened) throw FileErrorFromErrno(errno, path);
  try {
    KeepPermissions(file.fd_, path);
    file.Write(bytes);
    file.Sync();
    file.Close();
    Replace(temporary, path);
  } catch (const FileError& error) {
    file.Close();
    std::remove(temporary.c_str());  // cleanup only: not an operation that tests inject into
    throw FileError(error.cause(), path, error.detail());
  }
  try {
    SyncFolder(FolderOf(path));
  } catch (const FileError& error) {
    throw FileError(error.cause(), path, error.detail());
  }
}

}  // namespace veld
