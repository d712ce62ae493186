#pragma once
// The operators' system log: one 8-bit text line per failed password check or
// administrator unlock, appended to "C:\VELD\PC\System\SYSTEMLOG.DAT".

#include <string>

#include "platform/ole_date_time.h"
#include "records/database_layout.h"

namespace veld {

inline constexpr const char* kSystemLogPath = layout::kSystemLog;

// "%i/%i/%i %i:%i" with month, day, year, hour and minute; -1 for each when not valid.
std::string LogDateTimeText(const OleDateTime& when);
std::string FailedAttemptLine(const OleDateTime& when, const std::string& operator_id);
std::string UnlockLine(const OleDateTime& when);

// Appends a line at the end of the log, creating it when missing. Raises FileError when
// the log cannot be opened or written.
void AppendToSystemLog(const std::string& line);

}  // namespace veld
