// The test profile table and a custom profile file, both from one input (see
// SplitProfileInput): Open, FillList, and LoadRecord of the profile that owns the fuzzed
// custom file and of the file's first record. A loaded "Custom" profile must hold a point
// for every point it counts, since the dialogs and the certificate ask for each of them.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "platform/host_path.h"
#include "records/list_target.h"
#include "records/test_profile_table.h"
#include "support/recording_prompter.h"

namespace veld::fuzz {
namespace {

struct TablePaths {
  std::string table;
  std::string custom;
};

const TablePaths& Paths() {
  static const TablePaths paths = [] {
    ProcessRoot();
    test::RecordingPrompter prompter;
    const TestProfileTable table(prompter);
    TestProfile owner;
    owner.ID = kFuzzedProfileId;
    return TablePaths{HostPath(table.LogicalPath()), HostPath(table.CustomFilePath(owner))};
  }();
  return paths;
}

void CheckLoad(TestProfileTable& table, const std::string& id, uint64_t custom_length) {
  TestProfile profile;
  profile.ID = id;
  profile.ProfileType = "Custom";  // a profile without a record keeps its own type
  if (!Attempt([&] { table.LoadRecord(profile); })) return;
  if (profile.ProfileType != "Custom") return;
  if (id == kFuzzedProfileId) {
    Require(static_cast<uint64_t>(profile.NumberOfPoints) == custom_length / 8,
            "a custom profile counts the points of its file");
  }
  Require(profile.NumberOfPoints >= 0, "a custom profile has no negative count");
  for (int i = 1; i <= profile.NumberOfPoints; ++i) profile.PointFraction(i);
}

}  // namespace
}  // namespace veld::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace veld;
  using namespace veld::fuzz;
  const TablePaths& paths = Paths();
  const ProfileInput input = SplitProfileInput(AsBytes(data, size));
  WriteFile(paths.table, input.table);
  WriteFile(paths.custom, input.custom);

  test::RecordingPrompter prompter;
  TestProfileTable table(prompter);
  Attempt([&] { table.Open(); });
  VectorListTarget list;
  if (Attempt([&] { table.FillList(list); })) {
    Require(list.items.size() == input.table.size() / TestProfileTable::kRecordSize,
            "the list shows one ID per whole record");
  }
  CheckLoad(table, kFuzzedProfileId, input.custom.size());
  if (!list.items.empty() && list.items.back() != kFuzzedProfileId) {
    CheckLoad(table, list.items.back(), input.custom.size());
  }
  return 0;
}
