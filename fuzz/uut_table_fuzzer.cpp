// The UUT table over an arbitrary file: Open (which converts an old-format table),
// ConvertOldTable, FillList, and LoadRecord of the file's first ID. (Loading an ID that no
// record has parses every record, as FillList already does.)

#include <cstddef>
#include <cstdint>
#include <set>

#include "fuzz_support.h"
#include "platform/host_path.h"
#include "records/list_target.h"
#include "records/uut_table.h"
#include "support/recording_prompter.h"

namespace veld::fuzz {
namespace {

struct TablePaths {
  std::string table;
  std::string backup;
};

const TablePaths& Paths() {
  static const TablePaths paths = [] {
    ProcessRoot();
    test::RecordingPrompter prompter;
    const CUUTTable table(prompter);
    return TablePaths{HostPath(table.LogicalPath()), HostPath(table.LogicalBackupPath())};
  }();
  return paths;
}

void CheckLoad(CUUTTable& table, const std::string& id) {
  UUT uut;
  uut.ID = id;
  if (Attempt([&] { table.LoadRecord(uut); })) Require(uut.ID == id, "a listed ID loads its own record");
}

}  // namespace
}  // namespace veld::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace veld;
  using namespace veld::fuzz;
  const TablePaths& paths = Paths();
  WriteFile(paths.table, AsBytes(data, size));
  RemoveFile(paths.backup);  // a conversion keeps the old file under this name

  test::RecordingPrompter prompter;
  CUUTTable table(prompter);
  if (Attempt([&] { table.Open(); }) && prompter.entries.empty()) {
    Require(FileLength(paths.table) % CUUTTable::kRecordSize == 0, "an opened table holds whole records");
  }
  const bool converted = FileExists(paths.backup);
  Attempt([&] { table.ConvertOldTable(); });

  VectorListTarget list;
  if (Attempt([&] { table.FillList(list); })) {
    Require(list.items.size() == FileLength(paths.table) / CUUTTable::kRecordSize,
            "the list shows one ID per whole record");
    if (converted && prompter.entries.empty()) {
      const std::set<std::string> distinct(list.items.begin(), list.items.end());
      Require(distinct.size() == list.items.size(), "a converted table holds each ID once");
    }
  }
  // The list view shows the file's first record last.
  if (!list.items.empty()) CheckLoad(table, list.items.back());
  return 0;
}
