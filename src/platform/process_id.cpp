#include "platform/process_id.h"

#include <cerrno>
#include <limits>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace veld {

long long CurrentProcessId() {
#ifdef _WIN32
  return static_cast<long long>(_getpid());
#else
  return static_cast<long long>(::getpid());
#endif
}

bool ProcessMayBeRunning(long long pid) {
  // No process has such an id (and kill would take one under 1 for a process group).
#ifdef _WIN32
  if (pid <= 0 || pid > static_cast<long long>(MAXDWORD)) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
  DWORD status = 0;
  const bool running = !GetExitCodeProcess(process, &status) || status == STILL_ACTIVE;
  CloseHandle(process);
  return running;
#else
  if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
#endif
}

}  // namespace veld
