#pragma once
// A file of bytes on the host, opened for the length of one operation (RAII), that
// raises FileError wherever the original framework raised its file exception:
// cannot open, read past the end, write failure, rename onto an existing name.
// Paths given here are host paths (see HostPath).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veld {

// A whole file's bytes. The buffer is not zeroed before the read fills it: tables of
// several megabytes are read whole on every list fill, and zeroing them first cost as much
// as the read itself.
class FileBytes {
 public:
  FileBytes() = default;
  std::string_view view() const { return {bytes_.get(), size_}; }
  operator std::string_view() const { return view(); }  // implicit: used wherever text is read
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  friend class BinaryFile;
  std::unique_ptr<char[]> bytes_;
  size_t size_ = 0;
};

class BinaryFile {
 public:
  enum class Mode {
    Read,          // existing file, read only
    ReadWrite,     // existing file, read and write, content kept
    Create,        // created when missing, emptied when present; read and write
    OpenOrCreate,  // created when missing, content kept; read and write
    CreateNew,     // created, and only when no file of that name exists; read and write
  };

  BinaryFile() = default;
  BinaryFile(const std::string& path, Mode mode);  // throws FileError
  ~BinaryFile();
  BinaryFile(BinaryFile&& other) noexcept;
  BinaryFile& operator=(BinaryFile&& other) noexcept;
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  // Opens without throwing; false when the file cannot be opened so.
  bool TryOpen(const std::string& path, Mode mode);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();
  const std::string& path() const { return path_; }

  // Reads up to size bytes; fewer only at the end of the file.
  size_t Read(void* buffer, size_t size);
  // Reads exactly size bytes or throws FileError(EndOfFile).
  void ReadExact(void* buffer, size_t size);
  // The whole file from its start, in one buffered read.
  FileBytes ReadAll();
  void Write(const void* data, size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }

  void Seek(uint64_t offset);
  void SeekToEnd();
  uint64_t Position() const;
  uint64_t Length() const;
  void SetLength(uint64_t length);
  // Waits until what was written is on the disk itself.
  void Sync();

  static bool Exists(const std::string& path);
  // Renames; throws FileError(AlreadyExists) when the new name is taken.
  static void Rename(const std::string& from, const std::string& to);
  // Renames over the file at to, if any, in one step: whoever opens to finds the old
  // file or the new one, never neither.
  static void Replace(const std::string& from, const std::string& to);
  // Waits until the names in a folder (a rename, a new or removed file) are on the disk.
  static void SyncFolder(const std::string& host_folder);
  // Waits until the content of every file named (closed files in host_folder) is on the
  // disk. Where the system can, one flush of the file system that holds the folder does it
  // for all of them at once: a sync costs milliseconds, and syncing each of thousands of
  // small files one by one took minutes. Elsewhere each file is synced in turn.
  static void SyncFilesIn(const std::string& host_folder, const std::vector<std::string>& paths);
  // Removes a file; throws FileError when it cannot.
  static void Remove(const std::string& path);
  // The whole content of a file; throws FileError when it cannot be read.
  static FileBytes ReadWholeFile(const std::string& path);
  // The same for a file about to be replaced whole: it is opened for writing, so that one
  // that may not be written (read-only, a folder) is refused here, as a change in place
  // would have been, rather than replaced by the rename.
  static FileBytes ReadWholeFileForChange(const std::string& path);
  // Gives a file new content all at once. The bytes go to a new file beside it, which is
  // synced and renamed over the file, and the folder is synced: after a failure or a
  // crash at any point the file holds its old content or the new one, and a change that
  // returned is on the disk. On failure the file beside is removed and FileError names
  // the file. The file beside has a name that no listing takes for data (a leading dot,
  // ending in ".tmp"); it keeps the permissions of the file it replaces.
  static void ReplaceWholeFile(const std::string& path, std::string_view bytes);

 private:
  [[noreturn]] void Fail() const;
  int fd_ = -1;
  std::string path_;
};

}  // namespace veld
