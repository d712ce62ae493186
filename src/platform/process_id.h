#pragma once
// Process ids, for files that name the process that wrote them: a later run tells a file
// still being written from one that a crash left behind.

namespace veld {

// This process's id.
long long CurrentProcessId();

// False only when no process of that id runs now. A process that exists but may not be
// asked about (another user's) counts as running, and so does anything the system cannot
// answer for.
bool ProcessMayBeRunning(long long pid);

}  // namespace veld
