#include "database/data_root_lock.h"

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/host_path.h"

namespace veld {

std::chrono::milliseconds DataRootLock::DefaultWait() {
  if (const char* text = std::getenv("VELD_LOCK_WAIT_MS"); text != nullptr && *text != '\0') {
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (*end == '\0' && value >= 0) return std::chrono::milliseconds(value);
  }
  return std::chrono::seconds(10);
}

std::optional<DataRootLock> DataRootLock::Acquire(std::chrono::milliseconds wait) {
  using Clock = std::chrono::steady_clock;
  const std::string path = HostPath(kLockFile);
  const Clock::time_point give_up = Clock::now() + wait;
  for (;;) {
    if (std::optional<FileLock> lock = FileLock::TryLock(path)) return DataRootLock(std::move(*lock));
    const Clock::time_point now = Clock::now();
    if (now >= give_up) return std::nullopt;
    // A command takes milliseconds to seconds: a short poll keeps the wait close to it.
    std::this_thread::sleep_for(std::min<Clock::duration>(give_up - now, std::chrono::milliseconds(10)));
  }
}

}  // namespace veld
