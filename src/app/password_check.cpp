#include "app/password_check.h"

#include "database/database.h"
#include "platform/file_error.h"
#include "platform/format.h"

namespace veld {

PasswordCheckResult RunPasswordCheck(CDataBaseX& pc_database, PasswordEntry& entry, Prompter& prompter,
                                     const std::string& prompt) {
  Operator op;
  if (!entry.Run(prompt, op)) return PasswordCheckResult::Cancelled;
  const std::string typed_password = op.Password;
  if (pc_database.ValidateOperator(op, typed_password)) return PasswordCheckResult::Passed;

  // Counted first, and on the disk before anything else is tried: a log that cannot be
  // written, or a process ended before the log line, must not let a guess go uncounted.
  const int count = pc_database.RecordFailedAttempt();
  try {
    pc_database.LogFailedAttempt(op, typed_password);
  } catch (const FileError& error) {
    prompter.Message(error.what());
  }
  if (!pc_database.IsLockedOut()) return PasswordCheckResult::Failed;
  prompter.Message(Format("System is being locked down due to %i failed password entry attempts.\r\n"
                          "Please see system administrator for unlock.",
                          count));
  return PasswordCheckResult::LockedDown;
}

}  // namespace veld
