#pragma once
// The data that the benchmarks work on, written under one work folder with the writers
// of tests/support and the core's own table code:
//   device-N/Mounted_Volume/VELD/TestResults/DAT/   N result files on the calibrator
//   root-full-N/VELD/PC/TestResults/                the same N files already on the desktop
//   root-connect-N/                                 a desktop that the connect fills afresh
//   cp-N/                                           the target of the cp floor
//   root-tables/                                    PC and VELD UUT tables of 5,000 records
//   root-history-N/VELD/PC/TestResults/             N results of one UUT over many years
// Each set of N files is the first N of one sequence, so the sets grow alike.

#include <cstddef>
#include <string>
#include <vector>

#include "records/uut.h"

namespace veld::bench {

inline constexpr int kUutIdCount = 200;
// The UUT whose results the listing benchmark lists.
inline constexpr int kListedUut = 137;

class WorkFolder {
 public:
  explicit WorkFolder(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }

  std::string DeviceRoot(int count) const { return path_ + "/device-" + std::to_string(count); }
  std::string DeviceResults(int count) const { return DeviceRoot(count) + "/Mounted_Volume/VELD/TestResults/DAT"; }
  std::string FullRoot(int count) const { return path_ + "/root-full-" + std::to_string(count); }
  std::string FullResults(int count) const { return FullRoot(count) + "/VELD/PC/TestResults"; }
  std::string ConnectRoot(int count) const { return path_ + "/root-connect-" + std::to_string(count); }
  std::string ConnectResults(int count) const { return ConnectRoot(count) + "/VELD/PC/TestResults"; }
  std::string CopyTarget(int count) const { return path_ + "/cp-" + std::to_string(count); }
  std::string TableRoot() const { return path_ + "/root-tables"; }
  std::string HistoryRoot(int count) const { return path_ + "/root-history-" + std::to_string(count); }
  std::string HistoryResults(int count) const { return HistoryRoot(count) + "/VELD/PC/TestResults"; }
  std::string ReportFolder() const { return path_ + "/reports"; }
  std::string Trash() const { return path_ + "/trash"; }

 private:
  std::string path_;
};

// The UUT ID of UUT number u (0 to kUutIdCount - 1).
std::string UutId(int u);

// The name of result file i of the sequence: the UUT's result file prefix and a number.
std::string ResultFileName(int i);

// The bytes of result file i: UUT i % 200, every profile type and size from 3 to 21
// points (custom profiles of 4 to 12), all five file forms, As Found and As Left.
std::string ResultFileBytes(int i);

// Writes the device and desktop result folders for every count, unless present.
void PrepareResultFolders(const WorkFolder& work, const std::vector<int>& counts);

// The UUT whose drift history the history benchmark reads.
inline constexpr const char* kHistoryUut = "HX-7001";

// Writes count results of kHistoryUut, one every twelve hours, unless present: every
// profile type and file form as the result folders have them.
void PrepareHistoryFolder(const WorkFolder& work, int count);

// Writes the PC table (records "PC-0000"...) and the VELD table (records "VELD-0000"...)
// of record_count records each under TableRoot(), unless present; both are kept as
// pristine copies beside the live ones so that a benchmark can restore them.
void PrepareTables(const WorkFolder& work, int record_count);
std::string PcTableId(int i);
std::string VeldTableId(int i);
std::string PcTablePath(const WorkFolder& work);
std::string VeldTablePath(const WorkFolder& work);
// Puts both live tables back to their pristine content.
void RestoreTables(const WorkFolder& work);

// Sets VELD_ROOT and VELD_DEVICE.
void UseRoots(const std::string& root, const std::string& device);

// The floor of the table operations: one sequential read of a whole file into memory (a
// buffer of its size, not zeroed first). Returns the number of bytes read.
size_t ReadFileOnce(const std::string& host_path);

}  // namespace veld::bench
