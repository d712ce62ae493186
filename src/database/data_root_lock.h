#pragma once
// Changes to one data root are made by one program at a time: each changing command (a
// transfer, a delete, a connect, a download, a password attempt, the start-up's
// completion of the tables) holds this lock from its start to its end, whether it runs in
// veldane-cli or in the desktop window. The lock is held for one command or sequence,
// never for a whole session. Listings and reports read files that are only ever replaced
// whole, so they need not wait for it.

#include <chrono>
#include <optional>
#include <utility>

#include "platform/file_lock.h"
#include "records/database_layout.h"

namespace veld {

class DataRootLock {
 public:
  // The lock file: never data, never removed (removing it would let two programs lock
  // two different files).
  static constexpr const char* kLockFile = layout::kDataRootLock;
  static constexpr const char* kBusyMessage =
      "The data in C:\\VELD is busy: another program is changing it.  Nothing was changed; please try again.";

  // How long a second program waits for the first: 10 seconds, or $VELD_LOCK_WAIT_MS.
  static std::chrono::milliseconds DefaultWait();

  // Waits up to wait for the lock of the data root ("C:\VELD" must exist); nothing when it
  // stayed busy all that time. Raises FileError when the lock file cannot be opened.
  static std::optional<DataRootLock> Acquire(std::chrono::milliseconds wait = DefaultWait());

 private:
  explicit DataRootLock(FileLock lock) : lock_(std::move(lock)) {}
  FileLock lock_;
};

}  // namespace veld
