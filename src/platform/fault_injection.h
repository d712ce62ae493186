#pragma once
// A seam through which a test makes one file operation fail, as a full disk or a failing
// disk would, or ends the process there, as a crash or a kill would. The core's file calls
// ask it before they act. It is inert unless armed: from the environment,
//   VELD_FAULT="KIND:N:ACTION[:PATH]"
// with KIND one of open, write, sync, rename, truncate, remove or any; N counting from 1
// the operations of that kind (whose path contains PATH, when given); ACTION one of
// ENOSPC, EIO, kill or delay. Or in-process, through Arm.
//
// ENOSPC on a write first writes half of the block, as a disk that fills up does. kill
// ends the process with _exit at the call, before it acts, so that a test sees on disk
// what a crash at that point leaves. delay holds the call for kDelay, as a slow disk
// would, so that a test can run a second program inside a chosen step of the first.

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

namespace veld::fault {

enum class Operation { Open, Write, Sync, Rename, Truncate, Remove };

struct Plan {
  std::optional<Operation> operation;  // none: every kind counts
  unsigned long long nth = 1;
  bool kill = false;
  bool delay = false;
  int error = 0;          // the errno value to fail with, when neither kill nor delay
  std::string path_part;  // only operations on paths that contain it count
};

// The exit status of a process ended by the seam, and how long a delay holds a call.
inline constexpr int kKilledExitStatus = 86;
inline constexpr std::chrono::milliseconds kDelay{100};

// "KIND:N:ACTION[:PATH]"; nothing when the text is not such a plan.
std::optional<Plan> ParsePlan(const std::string& text);

// Arms a plan in this process, counting from zero; the environment is no longer read.
void Arm(const Plan& plan);
void Disarm();
// Whether the armed plan has struck.
bool Struck();

namespace detail {
extern std::atomic<bool> armed;
extern std::atomic<bool> configured;
void ReadEnvironment();
int Strike(Operation operation, const std::string& path);
}  // namespace detail

// Whether syncs skip their wait for the disk: only with VELD_TEST_SKIP_SYNC=1, for tests
// that end processes on purpose but never the machine, where the wait protects nothing
// and would make a loop over every operation take minutes. The syncs still pass through
// Check, where they are counted and can be made to fail.
bool SyncsSkipped();

// Called before each file operation: 0 to go on, or the errno value the operation must
// fail with. Costs one flag test when nothing is armed.
inline int Check(Operation operation, const std::string& path) {
  if (!detail::configured.load(std::memory_order_relaxed)) detail::ReadEnvironment();
  if (!detail::armed.load(std::memory_order_relaxed)) return 0;
  return detail::Strike(operation, path);
}

}  // namespace veld::fault
