#include "platform/binary_file.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "platform/file_error.h"
#include "platform/posix_io.h"

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
  if (VELD_TRUNCATE(fd_, static_cast<off_t>(length)) != 0) Fail();
}

bool BinaryFile::Exists(const std::string& path) {
  veld_stat_t info{};
  return VELD_STAT(path.c_str(), &info) == 0;
}

void BinaryFile::Rename(const std::string& from, const std::string& to) {
  if (Exists(to)) throw FileError(FileError::Cause::AlreadyExists, to);
  if (!Exists(from)) throw FileError(FileError::Cause::NotFound, from);
  if (std::rename(from.c_str(), to.c_str()) != 0) throw FileErrorFromErrno(errno, from);
}

void BinaryFile::Remove(const std::string& path) {
  if (std::remove(path.c_str()) != 0) throw FileErrorFromErrno(errno, path);
}

FileBytes BinaryFile::ReadWholeFile(const std::string& path) {
  BinaryFile file(path, Mode::Read);
  return file.ReadAll();
}

}  // namespace veld
