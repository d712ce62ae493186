#pragma once
// The link to the calibrator: loads the remote API library at run time, copies single
// files between the desktop and the device, and synchronises the VELD database's tables,
// custom profiles and the test result files with the device.
//
// Local paths are logical ("C:\VELD\...") and go through HostPath; device paths are the
// device's own ("Mounted_Volume\VELD\..."). A local file that cannot be opened or created
// raises FileError, which ends the calling command; everything else is reported through
// the Prompter.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dynamic_library.h"
#include "rapi/rapi_types.h"

namespace veld {

class BinaryFile;
class LocalFolderNames;
class Prompter;
class ResultBatch;

class CCorvaneRAPI {
 public:
  static constexpr char kUnableToConnectMessage[] =
      "Unable to connect to VELD.  Please verify that device is connected through ActiveSync.";
  static constexpr char kNoTestResultsMessage[] =
      "Cannot find any files in Mounted_Volume\\VELD\\TestResults\\DAT\\ folder!  Test results could not be "
      "uploaded.";
  static constexpr char kNoCustomProfilesMessage[] =
      "Cannot find any custom profiles in Mounted_Volume\\VELD\\TestProfile\\ folder!";
  // Files move in blocks of this many bytes.
  static constexpr size_t kBlockSize = 10240;

  explicit CCorvaneRAPI(Prompter& prompter);
  virtual ~CCorvaneRAPI();
  CCorvaneRAPI(const CCorvaneRAPI&) = delete;
  CCorvaneRAPI& operator=(const CCorvaneRAPI&) = delete;

  // Loads the library (once) and takes its entry points, sets the local root to "C:\" and
  // opens the connection. True when the device answered.
  bool Connect();
  // True once a Connect has loaded the library with all its entry points.
  bool IsLoaded() const { return CeRapiInit != nullptr; }
  const std::string& LocalRoot() const { return local_root_; }

  // Replaces the content of the device file with that of the local file.
  void CopyFileToDevice(std::string local_path, std::string device_path);
  // Replaces the local file with the content of an existing device file. The local file
  // changes only when the whole device file arrived.
  void CopyFileFromDevice(std::string local_path, std::string device_path);

  // Files that could not be copied since the link was made: copies that failed, and files
  // left out with a message (unusable names, names that differ only in letter case). A
  // command or sequence compares the count before and after it: any increase means that
  // not everything was copied.
  size_t FailedCopies() const { return failed_copies_; }

  // Told how many new result files an upload has copied of how many it found: first with
  // none done, then after each file.
  using UploadProgress = std::function<void(size_t done, size_t total)>;
  void SetUploadProgress(UploadProgress progress) { upload_progress_ = std::move(progress); }

  void UploadUUTTable();
  void DownloadUUTTable();
  void UploadSettingsTable();
  void UploadTestProfileTable();
  void DownloadTestProfileTable();
  void UploadCustomProfiles();
  void DownloadCustomProfiles();
  void UploadTestResults();
  void UploadAll();

 private:
  class Connection;
  class DeviceHandle;

  std::string MirrorPath(const std::string& logical_path) const;
  void LoadEntryPoints();
  void ForgetEntryPoints();
  // False, after telling the user, when no library is loaded yet.
  bool RequireLibrary();
  // Each of these tells the user about a file that is not copied, and counts it.
  void ReportSkippedName(const std::string& name, const std::string& folder);
  void ReportCaseGroups(const std::vector<std::vector<std::string>>& groups, const std::string& folder);
  void ReportFailedCopy(const std::string& text);
  void ReportUnreadDeviceFile(const std::string& device_path, const std::string& local_path);
  // CopyFileFromDevice onto a local file whose host path is already known.
  void CopyFileFromDeviceTo(const std::string& host_target, const std::string& local_path,
                            const std::string& device_path);
  // Writes the whole of an existing device file into a local file; false when it could not
  // be read to its end.
  bool ReadDeviceFile(const std::string& device_path, BinaryFile& into);
  void UploadResultFile(const std::string& name, const std::string& host_folder, LocalFolderNames& local,
                        ResultBatch& batch);
  // Puts a batch of copied result files in place, reporting the names that cannot be.
  void CommitResults(ResultBatch& batch);
  void ReportUploadProgress(size_t done, size_t total);
  // The 8-bit name of every file listed in a device folder, skipping folders and names
  // that cannot be local file names (reported when report_unusable); nothing when the
  // listing found nothing.
  std::optional<std::vector<std::string>> DeviceFolderNames(const std::string& folder, bool report_unusable);

  DynamicLibrary library_;
  rapi::CeCreateFileFn CeCreateFile = nullptr;
  rapi::CeWriteFileFn CeWriteFile = nullptr;
  rapi::CeCloseHandleFn CeCloseHandle = nullptr;
  rapi::CeFindFirstFileFn CeFindFirstFile = nullptr;
  rapi::CeGetFileSizeFn CeGetFileSize = nullptr;
  rapi::CeReadFileFn CeReadFile = nullptr;
  rapi::CeFindNextFileFn CeFindNextFile = nullptr;
  rapi::CeCreateDirectoryFn CeCreateDirectory = nullptr;
  rapi::CeCreateProcessFn CeCreateProcess = nullptr;
  rapi::CeGetSystemInfoFn CeGetSystemInfo = nullptr;
  rapi::CeSetEndOfFileFn CeSetEndOfFile = nullptr;
  rapi::CeRapiUninitFn CeRapiUninit = nullptr;
  rapi::CeRapiInitFn CeRapiInit = nullptr;
  std::string local_root_;

  Prompter& prompter_;
  // Connections that Connect opened; closed when the link goes, so the library's count
  // of connections comes back to where it was.
  int open_connections_ = 0;
  size_t failed_copies_ = 0;
  UploadProgress upload_progress_;
};

}  // namespace veld
