#include "bench_data.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "database/database.h"
#include "database/results_index.h"
#include "platform/binary_file.h"
#include "platform/format.h"
#include "platform/host_path.h"
#include "support/result_file_writer.h"

namespace veld::bench {
namespace fs = std::filesystem;
using test::ResultFileDescription;
using test::ResultFileForm;

namespace {

// Any message while the data is made means the data is not what it claims to be.
class FailingPrompter : public Prompter {
 public:
  void Message(const std::string& text, MessageIcon) override { throw std::runtime_error(text); }
  bool AskYesNo(const std::string& question) override { throw std::runtime_error(question); }
};

const char* const kUutTypes[] = {"CSOU", "CSIM", "3WIR", "4WIR", "DIALGAGE", "P-SWITCH"};

struct ProfileShape {
  const char* id;
  const char* type;
  int points;
  bool leak_test;
};

// The standard profiles and their common variants, and custom profiles of 4 to 12 points.
const ProfileShape kProfiles[] = {
    {"3pointtest", "Ascending", 3, false},  {"5pointtest", "Ascending", 5, false},
    {"6pointtest", "Both", 6, false},       {"7pointtest", "Both", 7, true},
    {"11pointtest", "Ascending", 11, false}, {"21pointtest", "Descending", 21, false},
    {"Custom-A", "Custom", 4, false},       {"Custom-B", "Custom", 12, true},
};

const ResultFileForm kForms[] = {ResultFileForm::Trailer, ResultFileForm::Operator, ResultFileForm::Instrument,
                                 ResultFileForm::UutExtension, ResultFileForm::ModuleDate};

UUT ResultUut(int u) {
  UUT uut = test::DefaultResultFileDescription().uut;
  uut.ID = UutId(u);
  uut.SetOutputType(kUutTypes[u % 6]);
  uut.InputOffset = (u % 3 == 0) ? -250.0 : 0.0;
  uut.InputSpan = 500.0 * (1 + u % 7);
  uut.OutputOffset = uut.OutputType == "3WIR" || uut.OutputType == "4WIR" ? 0.0 : 4.0;
  uut.OutputSpan = uut.OutputType == "3WIR" || uut.OutputType == "4WIR" ? 5.0 : 16.0;
  uut.Accuracy = 0.25 * (1 + u % 4);
  uut.SerialNumber = Format("SN-%05d", 40000 + u * 37);
  uut.PartNumber = Format("DPT-%dPA-C", static_cast<int>(uut.InputSpan));
  uut.Model = Format("M%03d", u % 50);
  uut.Manufacturer = u % 2 ? "Example Sensors" : "Sample Instruments";
  return uut;
}

ResultFileDescription ResultDescription(int i) {
  const int u = i % kUutIdCount;
  const int sequence = i / kUutIdCount;
  ResultFileDescription desc = test::DefaultResultFileDescription();
  desc.form = kForms[(i / 3) % 5];
  desc.uut = ResultUut(u);
  const ProfileShape& shape = kProfiles[(u + sequence / 2) % 8];
  desc.profile_id = shape.id;
  desc.profile_type = shape.type;
  desc.leak_test = shape.leak_test;
  TestProfile profile;
  profile.ProfileType = shape.type;
  profile.NumberOfPoints = shape.points;
  profile.GeneratePoints(shape.points, true, shape.type);
  if (profile.ProfileType == "Custom") {
    for (int k = 1; k <= shape.points; ++k) profile.SetCustomPoint(k, (k - 1) / double(shape.points - 1));
  }
  desc.points.clear();
  const UUT& uut = desc.uut;
  for (int k = 1; k <= shape.points; ++k) {
    const double fraction = profile.PointFraction(k);
    const double applied = fraction * uut.InputSpan + uut.InputOffset;
    // Mostly within accuracy; every seventh test has one point well outside.
    const double error_fs = (i % 7 == 0 && k == 2) ? 2.0 * uut.Accuracy : 0.1 * uut.Accuracy * ((k % 3) - 1);
    const double reading = uut.ReadsPressure() ? applied + error_fs / 100.0 * uut.InputSpan
                                               : uut.OutputAt(applied) + error_fs / 100.0 * uut.OutputSpan;
    desc.points.push_back({applied, reading, fraction});
  }
  desc.as_found = sequence % 2 == 0;
  desc.leak_value = (i % 5 == 0) ? 0.0001 : 0.0005;
  desc.date_tested = OleDateTime(45000.0 + i / 24.0);
  desc.operator_id = Format("OP%04d", i % 40);
  return desc;
}

bool IsPrepared(const std::string& marker) { return fs::exists(marker); }

void MarkPrepared(const std::string& marker) {
  BinaryFile file(marker, BinaryFile::Mode::Create);
}

void WriteBytesTo(const std::string& host_path, const std::string& bytes) {
  BinaryFile file(host_path, BinaryFile::Mode::Create);
  file.Write(bytes);
}

UUT TableUut(const std::string& id, int i) {
  UUT uut;
  uut.ID = id;
  uut.SetOutputType(kUutTypes[i % 6]);
  uut.Excitation = i % 5 == 0 ? -1.0 : 24.0;
  uut.InputOffset = (i % 3 == 0) ? -1.0 : 0.0;
  uut.InputSpan = 2.0 * (1 + i % 9);
  uut.OutputOffset = 4.0;
  uut.OutputSpan = 16.0;
  uut.Accuracy = 0.25 * (1 + i % 4);
  uut.DefaultTestProfile = kProfiles[i % 8].id;
  uut.CalibrationDueDate = OleDateTime(2025, 1 + i % 12, 1 + i % 28, 0, 0, 0);
  uut.SerialNumber = Format("SN-%06d", 100000 + i);
  uut.PartNumber = Format("7395R%02dWB2DQ8C", i % 100);
  uut.Model = Format("M%04d", i % 1000);
  uut.Manufacturer = i % 2 ? "Example Sensors" : "Sample Instruments";
  return uut;
}

// A table of count records built record by record by the core's own UUT table: each is
// saved into an empty scratch table and its bytes are taken, which stays linear.
std::string BuildTable(const std::string& scratch_root, int count, std::string (*id_of)(int)) {
  UseRoots(scratch_root, scratch_root);
  FailingPrompter prompter;
  CDataBaseX scratch(prompter);
  scratch.SetDevice(DatabaseSide::PC);
  const std::string scratch_table = HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat");
  std::string table;
  table.reserve(static_cast<size_t>(count) * CUUTTable::kRecordSize);
  for (int i = 0; i < count; ++i) {
    WriteBytesTo(scratch_table, "");
    scratch.SaveUUT(TableUut(id_of(i), i));
    table += BinaryFile::ReadWholeFile(scratch_table);
  }
  return table;
}

std::string PristinePath(const WorkFolder& work, const char* name) { return work.path() + "/" + name + ".pristine"; }

}  // namespace

std::string UutId(int u) {
  static const char* const kPrefixes[] = {"PT", "TX", "DG", "PS", "LT", "FT"};
  return Format("%s-%04d", kPrefixes[u % 6], 1000 + u);
}

std::string ResultFileName(int i) {
  return ResultFilePrefix(UutId(i % kUutIdCount)) + Format("%04d.DAT", i / kUutIdCount + 1);
}

std::string ResultFileBytes(int i) { return test::BuildResultFile(ResultDescription(i)); }

void PrepareResultFolders(const WorkFolder& work, const std::vector<int>& counts) {
  for (int count : counts) {
    const std::string marker = work.path() + "/results-" + std::to_string(count) + ".ready";
    if (IsPrepared(marker)) continue;
    for (const std::string& folder : {work.DeviceResults(count), work.FullResults(count), work.ConnectResults(count),
                                      work.CopyTarget(count)}) {
      fs::create_directories(folder);
    }
    // The folders the facade creates on a fresh desktop.
    UseRoots(work.ConnectRoot(count), work.DeviceRoot(count));
    for (const char* folder : {"C:\\VELD\\VELD\\UUT", "C:\\VELD\\VELD\\TestProfile", "C:\\VELD\\VELD\\System"}) {
      fs::create_directories(HostPath(folder));
    }
    for (int i = 0; i < count; ++i) {
      const std::string name = ResultFileName(i);
      const std::string bytes = ResultFileBytes(i);
      WriteBytesTo(work.DeviceResults(count) + "/" + name, bytes);
      WriteBytesTo(work.FullResults(count) + "/" + name, bytes);
    }
    MarkPrepared(marker);
  }
}

void PrepareHistoryFolder(const WorkFolder& work, int count) {
  const std::string marker = work.path() + "/history-" + std::to_string(count) + ".ready";
  if (IsPrepared(marker)) return;
  fs::create_directories(work.HistoryResults(count));
  const std::string prefix = ResultFilePrefix(kHistoryUut);
  for (int i = 0; i < count; ++i) {
    ResultFileDescription desc = ResultDescription(i);
    desc.uut.ID = kHistoryUut;
    desc.as_found = i % 2 == 0;
    desc.date_tested = OleDateTime(40000.0 + i / 2.0);
    WriteBytesTo(work.HistoryResults(count) + "/" + prefix + Format("%05d.DAT", i + 1), test::BuildResultFile(desc));
  }
  MarkPrepared(marker);
}

std::string PcTableId(int i) { return Format("PC-%04d", i); }
std::string VeldTableId(int i) { return Format("VELD-%04d", i); }

std::string PcTablePath(const WorkFolder& work) { return work.TableRoot() + "/VELD/PC/UUT/UUTTable.dat"; }
std::string VeldTablePath(const WorkFolder& work) {
  return work.TableRoot() + "/VELD/VELD/UUT/UUTTable_PPCBK.dat";
}

void PrepareTables(const WorkFolder& work, int record_count) {
  const std::string marker = work.path() + "/tables-" + std::to_string(record_count) + ".ready";
  if (IsPrepared(marker)) return;
  const std::string scratch = work.path() + "/table-scratch";
  fs::create_directories(scratch);
  const std::string pc = BuildTable(scratch, record_count, PcTableId);
  const std::string veld = BuildTable(scratch, record_count, VeldTableId);
  fs::remove_all(scratch);
  fs::create_directories(fs::path(PcTablePath(work)).parent_path());
  fs::create_directories(fs::path(VeldTablePath(work)).parent_path());
  WriteBytesTo(PristinePath(work, "pc-table"), pc);
  WriteBytesTo(PristinePath(work, "veld-table"), veld);
  RestoreTables(work);
  MarkPrepared(marker);
}

void RestoreTables(const WorkFolder& work) {
  fs::copy_file(PristinePath(work, "pc-table"), PcTablePath(work), fs::copy_options::overwrite_existing);
  fs::copy_file(PristinePath(work, "veld-table"), VeldTablePath(work), fs::copy_options::overwrite_existing);
}

void UseRoots(const std::string& root, const std::string& device) {
  setenv("VELD_ROOT", root.c_str(), 1);
  setenv("VELD_DEVICE", device.c_str(), 1);
}

size_t ReadFileOnce(const std::string& host_path) {
  const int fd = ::open(host_path.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + host_path);
  struct stat info {};
  ::fstat(fd, &info);
  const auto size = static_cast<size_t>(info.st_size);
  const std::unique_ptr<char[]> bytes(new char[size]);  // not zeroed: the read fills it
  size_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(fd, bytes.get() + total, size - total);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    total += static_cast<size_t>(got);
  }
  ::close(fd);
  return total;
}

}  // namespace veld::bench
