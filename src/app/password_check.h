#pragma once
// The password check that guards protected functions (administrator settings, printing),
// shared by the desktop window and the command-line tool. Each front end supplies its
// own entry dialog.

#include <string>

#include "platform/prompter.h"
#include "records/operator.h"

namespace veld {

class CDataBaseX;

inline constexpr const char* kAdministratorPrompt =
    "Please enter adminstrator password for access to system settings.";
inline constexpr const char* kPrintingPrompt =
    "Printing function is protected.  Please enter operator information to access printing privileges.";

// Asks an operator for name, ID and password under a prompt.
class PasswordEntry {
 public:
  virtual ~PasswordEntry() = default;
  // Fills Name, ID and Password of op from what was typed; false when cancelled.
  virtual bool Run(const std::string& prompt, Operator& op) = 0;
};

enum class PasswordCheckResult {
  Passed,      // run the protected function
  Cancelled,   // nothing counted, nothing logged
  Failed,      // counted and logged; not (yet) locked
  LockedDown,  // the lock-down message was shown; the program must end
};

// Runs the entry dialog, validates the operator against the PC database, and on failure
// counts (durably), logs and locks down. A log that cannot be written is reported through
// the prompter; the failure is counted and locks down all the same.
PasswordCheckResult RunPasswordCheck(CDataBaseX& pc_database, PasswordEntry& entry, Prompter& prompter,
                                     const std::string& prompt);

}  // namespace veld
