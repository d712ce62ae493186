#include "platform/fault_injection.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace veld::fault {
namespace detail {
std::atomic<bool> armed{false};
std::atomic<bool> configured{false};
}  // namespace detail

namespace {

struct State {
  std::mutex mutex;
  Plan plan;
  unsigned long long seen = 0;
  bool struck = false;
  bool from_environment = false;
};

State& TheState() {
  static State state;
  return state;
}

const char* NameOf(Operation operation) {
  switch (operation) {
    case Operation::Open: return "open";
    case Operation::Write: return "write";
    case Operation::Sync: return "sync";
    case Operation::Rename: return "rename";
    case Operation::Truncate: return "truncate";
    case Operation::Remove: return "remove";
  }
  return "?";
}

std::optional<Operation> OperationNamed(const std::string& name) {
  for (Operation operation : {Operation::Open, Operation::Write, Operation::Sync, Operation::Rename,
                              Operation::Truncate, Operation::Remove}) {
    if (name == NameOf(operation)) return operation;
  }
  return std::nullopt;
}

}  // namespace

std::optional<Plan> ParsePlan(const std::string& text) {
  // KIND:N:ACTION, then an optional path part that may itself hold colons.
  const size_t first = text.find(':');
  const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
  if (second == std::string::npos) return std::nullopt;
  const size_t third = text.find(':', second + 1);
  const std::string kind = text.substr(0, first);
  const std::string count = text.substr(first + 1, second - first - 1);
  const std::string action =
      text.substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1);

  Plan plan;
  if (kind != "any") {
    plan.operation = OperationNamed(kind);
    if (!plan.operation) return std::nullopt;
  }
  if (count.empty() || count.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  plan.nth = std::strtoull(count.c_str(), nullptr, 10);
  if (plan.nth == 0) return std::nullopt;
  if (action == "kill") {
    plan.kill = true;
  } else if (action == "delay") {
    plan.delay = true;
  } else if (action == "ENOSPC") {
    plan.error = ENOSPC;
  } else if (action == "EIO") {
    plan.error = EIO;
  } else {
    return std::nullopt;
  }
  if (third != std::string::npos) plan.path_part = text.substr(third + 1);
  return plan;
}

void Arm(const Plan& plan) {
  State& state = TheState();
  std::lock_guard<std::mutex> hold(state.mutex);
  state.plan = plan;
  state.seen = 0;
  state.struck = false;
  state.from_environment = false;
  detail::configured = true;
  detail::armed = true;
}

void Disarm() {
  detail::configured = true;
  detail::armed = false;
}

bool SyncsSkipped() {
  static const bool skipped = [] {
    const char* text = std::getenv("VELD_TEST_SKIP_SYNC");
    return text != nullptr && std::string(text) == "1";
  }();
  return skipped;
}

bool Struck() {
  State& state = TheState();
  std::lock_guard<std::mutex> hold(state.mutex);
  return state.struck;
}

namespace detail {

void ReadEnvironment() {
  State& state = TheState();
  std::lock_guard<std::mutex> hold(state.mutex);
  if (configured) return;
  const char* text = std::getenv("VELD_FAULT");
  if (text != nullptr && *text != '\0') {
    if (const std::optional<Plan> plan = ParsePlan(text)) {
      state.plan = *plan;
      state.from_environment = true;
      armed = true;
    } else {
      std::fprintf(stderr, "veld: VELD_FAULT=\"%s\" is not KIND:N:ENOSPC|EIO|kill|delay[:PATH]; ignored\n", text);
    }
  }
  configured = true;
}

int Strike(Operation operation, const std::string& path) {
  State& state = TheState();
  std::lock_guard<std::mutex> hold(state.mutex);
  const Plan& plan = state.plan;
  if (state.struck) return 0;
  if (plan.operation && *plan.operation != operation) return 0;
  if (!plan.path_part.empty() && path.find(plan.path_part) == std::string::npos) return 0;
  if (++state.seen != plan.nth) return 0;
  state.struck = true;
  if (plan.delay) {
    std::this_thread::sleep_for(kDelay);  // a slow disk: the call then goes on as usual
    return 0;
  }
  // A child process driven by a test says where it was struck: the test learns from it
  // that the loop has not yet run past the command's last operation.
  if (state.from_environment) {
    std::fprintf(stderr, "veld: injected fault: %s %llu (%s) on %s\n", NameOf(operation), plan.nth,
                 plan.kill ? "kill" : (plan.error == ENOSPC ? "ENOSPC" : "EIO"), path.c_str());
    std::fflush(stderr);
  }
  if (plan.kill) _exit(kKilledExitStatus);
  return plan.error;
}

}  // namespace detail
}  // namespace veld::fault
