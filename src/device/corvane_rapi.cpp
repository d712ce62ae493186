#include "device/corvane_rapi.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "device/device_file_name.h"
#include "platform/binary_file.h"
#include "platform/file_error.h"
#include "platform/host_path.h"
#include "platform/process_id.h"
#include "platform/prompter.h"
#include "records/database_layout.h"

namespace veld {
namespace {

using rapi::DWORD;
using rapi::HANDLE;

using layout::kDeviceProfileFolder;
using layout::kDeviceProfileTable;
using layout::kDeviceResultsFolder;
using layout::kDeviceSettingsTable;
using layout::kDeviceUUTTable;
const std::string kLocalProfileFolder = layout::ProfileFolder(DatabaseSide::VELD);
constexpr const char* kLocalResultsFolder = layout::kResultFolder;

// Neither the profile table nor its record count ever travels as a custom profile.
constexpr const char* kDeviceProfileSkips[] = {"Mounted_Volume\\VELD\\TestProfile\\TestProfileTable",
                                               "Mounted_Volume\\VELD\\TestProfile\\TestProfileRecCount"};
const std::string kLocalProfileSkips[] = {kLocalProfileFolder + "TestProfileTable",
                                          kLocalProfileFolder + "TestProfileRecCount"};

template <typename Parts>
bool ContainsAny(const std::string& path, const Parts& parts) {
  for (const auto& part : parts) {
    if (path.find(part) != std::string::npos) return true;
  }
  return false;
}

std::string RemoteApiLibraryPath() {
#ifdef _WIN32
  return SystemFolder() + "\\rapi.dll";
#else
  if (const char* path = std::getenv("VELD_RAPI_LIBRARY"); path != nullptr && *path != '\0') return path;
#ifdef __APPLE__
  const std::string name = "libveld_rapi.dylib";
#else
  const std::string name = "libveld_rapi.so";
#endif
  // Beside the executable in a build folder. Installed, it is in the programs' private
  // library folder, reached from the executable's folder so that an installed tree works
  // wherever it was unpacked (a DESTDIR, another prefix).
  const std::string folder = ExecutableFolder();
  const std::string beside = folder + "/" + name;
  const std::string installed = folder + "/" VELD_RAPI_INSTALLED_FOLDER "/" + name;
  std::error_code ec;
  if (!std::filesystem::exists(beside, ec) && std::filesystem::exists(installed, ec)) return installed;
  return beside;
#endif
}

// An existing local file that may not be written stops a copy before the device is
// touched, as creating it would have.
void RequireWritable(const std::string& host_path) {
  if (!BinaryFile::Exists(host_path)) return;
  BinaryFile probe;
  if (!probe.TryOpen(host_path, BinaryFile::Mode::ReadWrite)) throw FileErrorFromErrno(errno, host_path);
}

std::string Folded(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// Names of a list that differ from another of the list only in letter case, grouped, in
// the order of the list. Either side's folders take such names for one file.
std::vector<std::vector<std::string>> CaseGroups(const std::vector<std::string>& names) {
  std::unordered_map<std::string, size_t> group_of;
  std::vector<std::vector<std::string>> groups;
  for (const std::string& name : names) {
    const auto [it, added] = group_of.emplace(Folded(name), groups.size());
    if (added) groups.emplace_back();
    groups[it->second].push_back(name);
  }
  std::erase_if(groups, [](const std::vector<std::string>& group) { return group.size() < 2; });
  return groups;
}

bool InAnyGroup(const std::vector<std::vector<std::string>>& groups, const std::string& name) {
  return std::any_of(groups.begin(), groups.end(), [&](const std::vector<std::string>& group) {
    return std::find(group.begin(), group.end(), name) != group.end();
  });
}

// "a", "b", "c"
std::string QuotedList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "\"" : ", \"") + name + "\"";
  return list;
}

// The folder part of a device or logical path (with its last backslash) and the name.
std::pair<std::string, std::string> SplitAtLastBackslash(const std::string& path) {
  const size_t cut = path.rfind('\\');
  if (cut == std::string::npos) return {std::string(), path};
  return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

// A name for a file being copied in, unique to this run and short, so that it fits
// wherever its target fits. It holds "..", which no name copied to or from the device
// may hold, so no calibrator file and no earlier upload can have it, and it does not end
// in ".DAT", so no folder search of the databases takes it for one of their files. It
// ends in the id of the process, so that a later upload can tell the file of a run that
// was killed from one that another program is writing now.
constexpr char kTemporaryPrefix[] = "..";
constexpr char kTemporarySuffix[] = ".part";
constexpr size_t kTemporaryRandomDigits = 12;

std::string TemporaryName() {
  static std::mt19937_64 engine{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdef";
  uint64_t bits = engine();
  std::string name = kTemporaryPrefix;
  for (size_t i = 0; i < kTemporaryRandomDigits; ++i, bits >>= 4) name += kDigits[bits & 0xF];
  return name + "-" + std::to_string(CurrentProcessId()) + kTemporarySuffix;
}

// The process that made a temporary file of this name: 0 for the name of an older run,
// which did not say (twelve digits and no id); nothing when the name is not TemporaryName's.
std::optional<long long> TemporaryNameOwner(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return std::nullopt;
  name.remove_prefix(std::size(kTemporaryPrefix) - 1);
  name.remove_suffix(std::size(kTemporarySuffix) - 1);
  if (name.size() < kTemporaryRandomDigits) return std::nullopt;
  const auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
  if (!std::all_of(name.begin(), name.begin() + kTemporaryRandomDigits, hex)) return std::nullopt;
  name.remove_prefix(kTemporaryRandomDigits);
  if (name.empty()) return 0;
  if (name.front() != '-' || name.size() < 2 || name.size() > 11) return std::nullopt;
  long long pid = 0;  // at most ten digits
  for (char c : name.substr(1)) {
    if (c < '0' || c > '9') return std::nullopt;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

// Removes the temporary files that uploads into a folder left when they were killed:
// those of processes that no longer run, and this process's own, since none of its
// uploads is under way when another starts. Another program's upload in progress keeps
// its files. A file that cannot be removed stays for the next upload: no listing takes it
// for data.
void RemoveStaleTemporaries(const std::string& host_folder, const std::vector<FolderEntry>& entries) {
  for (const FolderEntry& entry : entries) {
    if (!entry.regular_file) continue;
    const std::optional<long long> owner = TemporaryNameOwner(entry.name);
    if (!owner || (*owner != CurrentProcessId() && ProcessMayBeRunning(*owner))) continue;
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(host_folder) / entry.name, ec);  // cleanup only
  }
}

// A copy from the device lands in a temporary file beside its target and replaces the
// target only when complete: an interrupted copy must not leave a truncated table, nor a
// truncated result file that would never be copied again. The temporary file is created
// only where nothing of its name exists, so that it never destroys a file.
class PartialFile {
 public:
  explicit PartialFile(std::string target) : target_(std::move(target)) {
    const std::filesystem::path folder = std::filesystem::path(target_).parent_path();
    for (int attempt = 0;; ++attempt) {
      path_ = (folder / TemporaryName()).string();
      if (file_.TryOpen(path_, BinaryFile::Mode::CreateNew)) break;
      if (errno != EEXIST || attempt == 16) throw FileErrorFromErrno(errno, target_);
    }
  }
  ~PartialFile() {
    if (placed_) return;
    file_.Close();
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;

  BinaryFile& file() { return file_; }
  const std::string& path() const { return path_; }

  // Puts the copy in place of the target. False, the copy dropped, when the target's name
  // is one that the local file system cannot hold.
  bool Commit() {
    // On the disk before the rename, and the rename on the disk after it: a crash leaves
    // the old file or the whole new one, and a copy that was reported done stays done.
    file_.Sync();
    if (!Place()) return false;
    BinaryFile::SyncFolder(std::filesystem::path(target_).parent_path().string());
    return true;
  }

  // Renames the copy over the target, without a sync: for a copy whose bytes the caller
  // has already brought to the disk, and which syncs the folder after. False, the copy
  // dropped, when the target's name is one that the local file system cannot hold.
  bool Place() {
    file_.Close();
    try {
      BinaryFile::Replace(path_, target_);  // replaces the target in one step
    } catch (const FileError& error) {
      if (error.cause() == FileError::Cause::BadPath) return false;
      throw;
    }
    placed_ = true;
    return true;
  }

 private:
  std::string target_;
  std::string path_;
  BinaryFile file_;
  bool placed_ = false;
};

}  // namespace

// New result files copied in but not yet in place: each complete under its temporary
// name and closed. A result file is never overwritten on the desktop, so one that took its
// name before its bytes were on the disk would, after a crash, stay empty or cut short for
// good. A sync of each file before its rename kept that from happening but cost a few
// milliseconds per file; a batch has the same order (every byte on the disk, then the
// names, then the folder) for one flush and one folder sync per batch.
class ResultBatch {
 public:
  static constexpr size_t kMaxFiles = 256;
  static constexpr uint64_t kMaxBytes = uint64_t{16} << 20;

  explicit ResultBatch(std::string host_folder) : host_folder_(std::move(host_folder)) {}

  bool empty() const { return members_.empty(); }
  bool full() const { return members_.size() >= kMaxFiles || bytes_ >= kMaxBytes; }

  void Add(std::unique_ptr<PartialFile> copy, std::string name) {
    bytes_ += copy->file().Position();
    copy->file().Close();  // a batch of open files could run out of descriptors
    members_.push_back({std::move(copy), std::move(name)});
  }

  // Brings the batch's bytes to the disk, gives each file its name, syncs the folder.
  // Gives the names that the local file system could not hold (those files are dropped).
  // On a failure the files not yet in place are removed (when the batch goes) and nothing
  // is reported done: a later upload copies them again.
  std::vector<std::string> Commit() {
    std::vector<std::string> refused;
    if (members_.empty()) return refused;
    std::vector<std::string> paths;
    paths.reserve(members_.size());
    for (const Member& member : members_) paths.push_back(member.copy->path());
    BinaryFile::SyncFilesIn(host_folder_, paths);
    for (Member& member : members_) {
      if (!member.copy->Place()) refused.push_back(std::move(member.name));
    }
    members_.clear();
    bytes_ = 0;
    BinaryFile::SyncFolder(host_folder_);
    return refused;
  }

 private:
  struct Member {
    std::unique_ptr<PartialFile> copy;
    std::string name;
  };
  std::string host_folder_;
  std::vector<Member> members_;
  uint64_t bytes_ = 0;
};

// The names in a local folder, taken once at the start of an upload, and those added
// since. Answers for certain only where the mapping of the name onto the folder could not
// differ: the exact name of a regular file there, or no name at all that equals it
// ignoring case. Anything else (another spelling, a folder, a link, an unfinished listing)
// is left to the mapping and a look at the disk.
class LocalFolderNames {
 public:
  enum class Found { File, Nothing, Unsure };

  LocalFolderNames(const LocalFolderNames&) = delete;
  LocalFolderNames& operator=(const LocalFolderNames&) = delete;
  explicit LocalFolderNames(const std::string& host_folder) {
    // A folder that is missing has no names; one whose listing broke off is not known.
    complete_ = ListHostFolder(host_folder, entries_);
    files_.reserve(entries_.size());
    for (const FolderEntry& entry : entries_) {
      if (entry.regular_file) files_.insert(entry.name);  // a view of entries_, which stays
    }
  }

  Found Find(const std::string& name) {
    if (!complete_) return Found::Unsure;
    if (files_.count(name) != 0) return Found::File;
    return FoldedNames().count(Folded(name)) == 0 ? Found::Nothing : Found::Unsure;
  }

  // A name copied into the folder (or not, when the copy failed): from now on its
  // spellings are left to the disk.
  void Add(const std::string& name) { FoldedNames().insert(Folded(name)); }

  const std::vector<FolderEntry>& entries() const { return entries_; }

 private:
  // Made at the first name not found as it stands: a refresh with nothing new needs none.
  std::unordered_set<std::string>& FoldedNames() {
    if (!folded_made_) {
      folded_.reserve(entries_.size());
      for (const FolderEntry& entry : entries_) folded_.insert(Folded(entry.name));
      folded_made_ = true;
    }
    return folded_;
  }

  std::vector<FolderEntry> entries_;
  std::unordered_set<std::string_view> files_;
  std::unordered_set<std::string> folded_;
  bool folded_made_ = false;
  bool complete_ = true;
};

// One CeRapiInit and its CeRapiUninit around an operation. A refused connection shows in
// the calls that follow; it is not closed, since that would close a connection that is
// open around this one (the library counts them).
class CCorvaneRAPI::Connection {
 public:
  explicit Connection(CCorvaneRAPI& link) : link_(link), opened_(link_.CeRapiInit() != rapi::E_FAIL) {}
  ~Connection() {
    if (opened_) link_.CeRapiUninit();
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

 private:
  CCorvaneRAPI& link_;
  bool opened_;
};

// A device file or listing handle, closed when the operation ends however it ends.
class CCorvaneRAPI::DeviceHandle {
 public:
  DeviceHandle(CCorvaneRAPI& link, HANDLE handle) : link_(link), handle_(handle) {}
  ~DeviceHandle() {
    if (valid()) link_.CeCloseHandle(handle_);
  }
  DeviceHandle(const DeviceHandle&) = delete;
  DeviceHandle& operator=(const DeviceHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != rapi::INVALID_HANDLE_VALUE; }

 private:
  CCorvaneRAPI& link_;
  HANDLE handle_;
};

CCorvaneRAPI::CCorvaneRAPI(Prompter& prompter) : prompter_(prompter) {}

// A file of the mirror, under the local root that Connect set.
std::string CCorvaneRAPI::MirrorPath(const std::string& logical_path) const {
  return local_root_ + logical_path.substr(logical_path.find('\\') + 1);
}

CCorvaneRAPI::~CCorvaneRAPI() {
  for (; open_connections_ > 0; --open_connections_) CeRapiUninit();
}

bool CCorvaneRAPI::Connect() {
  // Loaded once: the entry points stay valid for the rest of the run.
  if (!IsLoaded()) LoadEntryPoints();
  local_root_ = "C:\\";
  if (!IsLoaded()) return false;
  if (CeRapiInit() == rapi::E_FAIL) return false;
  ++open_connections_;
  return true;
}

void CCorvaneRAPI::LoadEntryPoints() {
  DynamicLibrary library(RemoteApiLibraryPath());
  if (!library.IsLoaded()) return;
  bool complete = true;
  const auto take = [&](auto& entry, const char* name) {
    entry = library.Entry<std::remove_reference_t<decltype(entry)>>(name);
    complete = complete && entry != nullptr;
  };
  take(CeRapiInit, "CeRapiInit");
  take(CeRapiUninit, "CeRapiUninit");
  take(CeCreateFile, "CeCreateFile");
  take(CeWriteFile, "CeWriteFile");
  take(CeCloseHandle, "CeCloseHandle");
  take(CeFindFirstFile, "CeFindFirstFile");
  take(CeGetFileSize, "CeGetFileSize");
  take(CeReadFile, "CeReadFile");
  take(CeFindNextFile, "CeFindNextFile");
  take(CeCreateDirectory, "CeCreateDirectory");
  take(CeCreateProcess, "CeCreateProcess");
  take(CeGetSystemInfo, "CeGetSystemInfo");
  take(CeSetEndOfFile, "CeSetEndOfFile");
  // A library without every entry point is not one we can call.
  if (!complete) {
    ForgetEntryPoints();
    return;
  }
  library_ = std::move(library);
}

void CCorvaneRAPI::ForgetEntryPoints() {
  CeCreateFile = nullptr;
  CeWriteFile = nullptr;
  CeCloseHandle = nullptr;
  CeFindFirstFile = nullptr;
  CeGetFileSize = nullptr;
  CeReadFile = nullptr;
  CeFindNextFile = nullptr;
  CeCreateDirectory = nullptr;
  CeCreateProcess = nullptr;
  CeGetSystemInfo = nullptr;
  CeSetEndOfFile = nullptr;
  CeRapiUninit = nullptr;
  CeRapiInit = nullptr;
}

bool CCorvaneRAPI::RequireLibrary() {
  if (IsLoaded()) return true;
  prompter_.Message(kUnableToConnectMessage);
  return false;
}

void CCorvaneRAPI::CopyFileToDevice(std::string local_path, std::string device_path) {
  if (!RequireLibrary()) return;
  BinaryFile source(HostPath(local_path), BinaryFile::Mode::Read);
  std::vector<char> block(kBlockSize);
  bool complete = true;
  {
    Connection connection(*this);
    DeviceHandle device(*this, CeCreateFile(WidePath(device_path).c_str(), rapi::GENERIC_READ | rapi::GENERIC_WRITE,
                                            0, nullptr, rapi::OPEN_ALWAYS, rapi::FILE_ATTRIBUTE_NORMAL, nullptr));
    // An empty source writes nothing: only the open and the cut show that it arrived.
    complete = device.valid();
    while (complete) {
      const size_t count = source.Read(block.data(), kBlockSize);
      if (count == 0) break;
      DWORD written = 0;
      CeWriteFile(device.get(), block.data(), static_cast<DWORD>(count), &written, nullptr);
      if (written != count) {
        complete = false;
        break;
      }
      if (count < kBlockSize) break;
    }
    // A longer old content must not survive behind the new one.
    if (!CeSetEndOfFile(device.get())) complete = false;
  }
  source.Close();
  if (!complete) ReportFailedCopy("Could not copy " + local_path + " to " + device_path + " on VELD.");
}

void CCorvaneRAPI::CopyFileFromDevice(std::string local_path, std::string device_path) {
  if (!RequireLibrary()) return;
  const std::string target = HostPath(local_path);
  RequireWritable(target);
  CopyFileFromDeviceTo(target, local_path, device_path);
}

// The target is known to be writable or missing.
void CCorvaneRAPI::CopyFileFromDeviceTo(const std::string& target, const std::string& local_path,
                                        const std::string& device_path) {
  PartialFile partial(target);
  if (!ReadDeviceFile(device_path, partial.file())) {
    ReportUnreadDeviceFile(device_path, local_path);
    return;
  }
  if (!partial.Commit()) {
    const auto [folder, name] = SplitAtLastBackslash(device_path);
    ReportSkippedName(name, folder);
  }
}

bool CCorvaneRAPI::ReadDeviceFile(const std::string& device_path, BinaryFile& into) {
  std::vector<char> block(kBlockSize);
  Connection connection(*this);
  // Existing files only: a read must never create a file on the device, and a file that
  // is gone (the calibrator taken away) is a failed copy, not an empty one.
  DeviceHandle device(*this, CeCreateFile(WidePath(device_path).c_str(), rapi::GENERIC_READ, 0, nullptr,
                                          rapi::OPEN_EXISTING, rapi::FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD count = 0;
  while (CeReadFile(device.get(), block.data(), static_cast<DWORD>(kBlockSize), &count, nullptr) &&
         count <= kBlockSize) {
    into.Write(block.data(), count);
    if (count < kBlockSize) return true;
  }
  return false;
}

void CCorvaneRAPI::ReportSkippedName(const std::string& name, const std::string& folder) {
  ReportFailedCopy("\"" + name + "\" in " + folder + " was not copied: the name cannot be used as a file name.");
}

void CCorvaneRAPI::ReportCaseGroups(const std::vector<std::vector<std::string>>& groups, const std::string& folder) {
  for (const std::vector<std::string>& group : groups) {
    prompter_.Message("Files in " + folder + " whose names differ only in letter case were not copied: " +
                      QuotedList(group) + ".");
    failed_copies_ += group.size();
  }
}

void CCorvaneRAPI::ReportUnreadDeviceFile(const std::string& device_path, const std::string& local_path) {
  ReportFailedCopy("Could not copy " + device_path + " from VELD.  " + local_path + " was not changed.");
}

void CCorvaneRAPI::ReportFailedCopy(const std::string& text) {
  prompter_.Message(text);
  ++failed_copies_;
}

std::optional<std::vector<std::string>> CCorvaneRAPI::DeviceFolderNames(const std::string& folder,
                                                                        bool report_unusable) {
  Connection connection(*this);
  rapi::CE_FIND_DATA entry{};
  DeviceHandle listing(*this, CeFindFirstFile(WidePath(folder + "*.*").c_str(), &entry));
  if (!listing.valid()) return std::nullopt;
  std::vector<std::string> names;
  std::string name;
  do {
    // A folder is not a file to copy; listings give them as Windows does.
    if ((entry.dwFileAttributes & rapi::FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (!NarrowName(entry.cFileName, rapi::MAX_PATH, name) || !IsSafeFileName(name)) {
      if (report_unusable) ReportSkippedName(PrintableName(entry.cFileName, rapi::MAX_PATH), folder);
      continue;
    }
    names.push_back(name);
  } while (CeFindNextFile(listing.get(), &entry));
  return names;
}

void CCorvaneRAPI::UploadUUTTable() {
  if (RequireLibrary()) CopyFileFromDevice(MirrorPath(layout::UUTTable(DatabaseSide::VELD)), kDeviceUUTTable);
}

void CCorvaneRAPI::DownloadUUTTable() {
  if (RequireLibrary()) CopyFileToDevice(MirrorPath(layout::UUTTable(DatabaseSide::VELD)), kDeviceUUTTable);
}

void CCorvaneRAPI::UploadSettingsTable() {
  if (RequireLibrary()) CopyFileFromDevice(MirrorPath(layout::SettingsTable(DatabaseSide::VELD)), kDeviceSettingsTable);
}

void CCorvaneRAPI::UploadTestProfileTable() {
  if (!RequireLibrary()) return;
  CopyFileFromDevice(MirrorPath(layout::ProfileTable(DatabaseSide::VELD)), kDeviceProfileTable);
  UploadCustomProfiles();
}

void CCorvaneRAPI::DownloadTestProfileTable() {
  if (!RequireLibrary()) return;
  CopyFileToDevice(MirrorPath(layout::ProfileTable(DatabaseSide::VELD)), kDeviceProfileTable);
  DownloadCustomProfiles();
}

// A pair of device names that differ only in letter case would land in one local file,
// which a download then sends over both: neither is copied.
void CCorvaneRAPI::UploadCustomProfiles() {
  if (!RequireLibrary()) return;
  const std::optional<std::vector<std::string>> listed = DeviceFolderNames(kDeviceProfileFolder, true);
  if (!listed) {
    prompter_.Message(kNoCustomProfilesMessage);
    return;
  }
  std::vector<std::string> names;
  for (const std::string& name : *listed) {
    if (!ContainsAny(kDeviceProfileFolder + name, kDeviceProfileSkips)) names.push_back(name);
  }
  const std::vector<std::vector<std::string>> pairs = CaseGroups(names);
  for (const std::string& name : names) {
    if (!InAnyGroup(pairs, name)) CopyFileFromDevice(kLocalProfileFolder + name, kDeviceProfileFolder + name);
  }
  ReportCaseGroups(pairs, kDeviceProfileFolder);
}

// A local file is never sent over a device file of another letter case when either side
// holds more than one spelling of the name: it would overwrite the other's points.
void CCorvaneRAPI::DownloadCustomProfiles() {
  if (!RequireLibrary()) return;
  std::vector<std::string> names;
  for (std::string& name : FindFiles(kLocalProfileFolder + "*.DAT")) {
    if (ContainsAny(kLocalProfileFolder + name, kLocalProfileSkips)) continue;
    if (!IsSafeFileName(name)) {
      ReportSkippedName(name, kLocalProfileFolder);
      continue;
    }
    names.push_back(std::move(name));
  }
  if (names.empty()) return;
  const std::vector<std::vector<std::string>> local_pairs = CaseGroups(names);
  std::unordered_map<std::string, std::vector<std::string>> device_spellings;
  // Device names that could not be local names cannot be spellings of one either.
  for (const std::string& name : DeviceFolderNames(kDeviceProfileFolder, false).value_or(std::vector<std::string>{})) {
    device_spellings[Folded(name)].push_back(name);
  }
  for (const std::string& name : names) {
    if (InAnyGroup(local_pairs, name)) continue;
    const auto spellings = device_spellings.find(Folded(name));
    if (spellings != device_spellings.end() && spellings->second.size() > 1) {
      ReportFailedCopy("\"" + name + "\" in " + kLocalProfileFolder + " was not copied: " + kDeviceProfileFolder +
                       " holds " + QuotedList(spellings->second) + ", whose names differ only in letter case.");
      continue;
    }
    CopyFileToDevice(kLocalProfileFolder + name, kDeviceProfileFolder + name);
  }
  ReportCaseGroups(local_pairs, kLocalProfileFolder);
}

// The device folder is listed first, so that the copies can report how many of how many
// files are done; a connect of tens of thousands of results takes a while. A file counts
// as done once it is in place for good: the files of a batch when the batch is.
void CCorvaneRAPI::UploadTestResults() {
  if (!RequireLibrary()) return;
  const std::optional<std::vector<std::string>> names = DeviceFolderNames(kDeviceResultsFolder, true);
  if (!names) {
    prompter_.Message(kNoTestResultsMessage);
    return;
  }
  // The local folder is mapped and listed once: mapping each new name would search the
  // whole folder for another spelling of it, which made a first upload quadratic.
  const std::string host_folder = HostPath(kLocalResultsFolder);
  LocalFolderNames local(host_folder);
  RemoveStaleTemporaries(host_folder, local.entries());
  std::vector<const std::string*> new_names;
  for (const std::string& name : *names) {
    // A result file on the desktop is never overwritten, whatever its content.
    if (local.Find(name) != LocalFolderNames::Found::File) new_names.push_back(&name);
  }
  const size_t total = new_names.size();
  ReportUploadProgress(0, total);
  size_t done = 0;
  const auto settle = [&](size_t handled) {
    while (done < handled) ReportUploadProgress(++done, total);
  };
  ResultBatch batch(host_folder);
  for (size_t i = 0; i < total; ++i) {
    UploadResultFile(*new_names[i], host_folder, local, batch);
    if (batch.full()) CommitResults(batch);
    if (batch.empty()) settle(i + 1);
  }
  CommitResults(batch);
  settle(total);
}

void CCorvaneRAPI::UploadResultFile(const std::string& name, const std::string& host_folder, LocalFolderNames& local,
                                    ResultBatch& batch) {
  const std::string local_path = kLocalResultsFolder + name;
  const std::string device_path = kDeviceResultsFolder + name;
  switch (local.Find(name)) {
    case LocalFolderNames::Found::File: return;
    case LocalFolderNames::Found::Nothing: {  // no file of that name to protect
      auto copy = std::make_unique<PartialFile>((std::filesystem::path(host_folder) / name).string());
      if (ReadDeviceFile(device_path, copy->file())) {
        batch.Add(std::move(copy), name);
      } else {
        ReportUnreadDeviceFile(device_path, local_path);
      }
      break;
    }
    case LocalFolderNames::Found::Unsure: {
      // The disk decides, so what the batch holds must be on it first.
      CommitResults(batch);
      const std::string held = HostPath(local_path);
      if (!BinaryFile::Exists(held)) {
        // Missing, so nothing to check for writing: the path just mapped is the target.
        CopyFileFromDeviceTo(held, local_path, device_path);
        break;
      }
      // Another spelling is another calibrator file (or another test): say that it is
      // not copied rather than take one for the other.
      const std::string held_name = std::filesystem::path(held).filename().string();
      if (held_name != name) {
        ReportFailedCopy("\"" + name + "\" in " + kDeviceResultsFolder + " was not copied: " +
                         kLocalResultsFolder + held_name + " differs from it only in letter case.");
      }
      return;
    }
  }
  local.Add(name);
}

void CCorvaneRAPI::CommitResults(ResultBatch& batch) {
  for (const std::string& name : batch.Commit()) ReportSkippedName(name, kDeviceResultsFolder);
}

void CCorvaneRAPI::ReportUploadProgress(size_t done, size_t total) {
  if (upload_progress_) upload_progress_(done, total);
}

void CCorvaneRAPI::UploadAll() {
  if (!RequireLibrary()) return;
  UploadUUTTable();
  UploadTestProfileTable();
  UploadSettingsTable();
  UploadTestResults();
}

}  // namespace veld
