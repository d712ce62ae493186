#include "database/password_check.h"

#include "database/database.h"
#include "platform/format.h"

namespace veld {

PasswordCheckResult RunPasswordCheck(CDataBaseX& pc_database, PasswordEntry& entry, Prompter& prompter,
                                     const std::string& prompt) {
  Operator op;
  if (!entry.Run(prompt, op)) return PasswordCheckResult::Cancelled;
  const std::string typed_password = op.Password;
  if (pc_database.ValidateOperator(op, typed_password)) return PasswordCheckResult::Passed;

  pc_database.LogFailedAttempt(op, typed_password);
  const int count = pc_database.RecordFailedAttempt();
  if (!pc_database.IsLockedOut()) return PasswordCheckResult::Failed;
  prompter.Message(Format("System is being locked down due to %i failed password entry attempts.\r\n"
                          "Please see system administrator for unlock.",
                          count));
  return PasswordCheckResult::LockedDown;
}

}  // namespace veld
