// The settings table over an arbitrary file: Open (which adds the missing defaults),
// GetSetting, and SetSetting followed by a read of what was set.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "platform/host_path.h"
#include "records/system_data_table.h"
#include "support/recording_prompter.h"

namespace veld::fuzz {
namespace {

const std::string& TablePath() {
  static const std::string path = [] {
    ProcessRoot();
    test::RecordingPrompter prompter;
    const SystemDataTable table(prompter);
    return HostPath(table.LogicalPath());
  }();
  return path;
}

}  // namespace
}  // namespace veld::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace veld;
  using namespace veld::fuzz;
  WriteFile(TablePath(), AsBytes(data, size));

  test::RecordingPrompter prompter;
  SystemDataTable table(prompter);
  const bool opened = Attempt([&] { table.Open(); }) && prompter.entries.empty();

  std::string value;
  // The last default: found only when every record before it decodes.
  if (Attempt([&] { table.GetSetting("Default582-UseDefaults", value); }) && opened) {
    Require(value != "NULL", "an opened table holds every default setting");
  }

  prompter.entries.clear();
  const std::string key = "FailedPWAttemptCount";
  const std::string stored = "00000000000000000000000000000004";
  if (Attempt([&] { table.SetSetting(key, stored); }) && prompter.entries.empty()) {
    Require(FileLength(TablePath()) % SystemDataTable::kRecordSize == 0, "a set setting leaves whole records");
    value.clear();
    Require(Attempt([&] { table.GetSetting(key, value); }), "a set setting can be read");
    Require(value == stored, "a set setting reads back as set");
  }
  return 0;
}
