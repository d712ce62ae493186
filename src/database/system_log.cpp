#include "database/system_log.h"

#include "platform/binary_file.h"
#include "platform/format.h"
#include "platform/host_path.h"

namespace veld {

std::string LogDateTimeText(const OleDateTime& when) {
  return Format("%i/%i/%i %i:%i", when.GetMonth(), when.GetDay(), when.GetYear(), when.GetHour(),
                when.GetMinute());
}

std::string FailedAttemptLine(const OleDateTime& when, const std::string& operator_id) {
  return Format("Failed attempt at password entry logged!    Attempt occurred:  %s    Operator ID#:  %s\r\n",
                LogDateTimeText(when).c_str(), operator_id.c_str());
}

std::string UnlockLine(const OleDateTime& when) {
  return "Device unlocked by administrator:  " + LogDateTimeText(when) + "\r\n";
}

void AppendToSystemLog(const std::string& line) {
  BinaryFile log(HostPath(kSystemLogPath), BinaryFile::Mode::OpenOrCreate);
  // Appended, never written over the start: earlier events must survive.
  log.SeekToEnd();
  log.Write(line);
}

}  // namespace veld
