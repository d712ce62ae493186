#pragma once
// The rules of the two operator dialogs: password entry (name, ID and password under the
// caller's prompt) and the administrator settings (three check boxes whose states belong
// to the running program, not to the dialog).

#include <string>

#include "records/operator.h"

namespace veld {

inline constexpr const char* kPasswordEntryCaption = "Password Entry:";
inline constexpr const char* kPasswordEntryHeading = "Enter Password:";
inline constexpr const char* kPasswordEntryNameLabel = "Name:";
inline constexpr const char* kPasswordEntryIdLabel = "ID:";
inline constexpr const char* kPasswordEntryPasswordLabel = "Password:";

inline constexpr const char* kAdministratorCaption = "Dialog";
inline constexpr const char* kCfrCompLabel = "21 CFR COMP";
inline constexpr const char* kPasswordReportGeneratorLabel = "Password Report Generator";
inline constexpr const char* kFailLockDownLabel = "Fail Lock Down";
inline constexpr const char* kPasswordEntryButtonLabel = "Password Entry";

// The password entry dialog: the texts start empty; OK gives them to the operator.
class PasswordEntryForm {
 public:
  explicit PasswordEntryForm(std::string prompt) : prompt_(std::move(prompt)) {}
  const std::string& prompt() const { return prompt_; }

  std::string name, id, password;

  // OK: the operator takes the three texts, whatever they are (empty ones included).
  void Accept(Operator& op) const {
    op.Name = name;
    op.ID = id;
    op.Password = password;
  }

 private:
  std::string prompt_;
};

// The administrator check states: one set for the program's run, never stored.
struct AdministratorChecks {
  bool cfr_comp = false;                  // "21 CFR COMP"
  bool password_report_generator = true;  // "Password Report Generator"
  bool fail_lock_down = false;            // "Fail Lock Down"
};

// The administrator settings dialog. Every click is stored at once in the program's
// states, so Cancel does not undo the clicks made while it was open.
class PasswordConfigureForm {
 public:
  enum class Box { CfrComp, PasswordReportGenerator, FailLockDown };

  explicit PasswordConfigureForm(AdministratorChecks& program_states) : program_states_(program_states) {}

  bool Checked(Box box) const { return program_states_.*StateOf(box); }
  // A click on a check box that leaves it checked or clear.
  void Click(Box box, bool checked) { program_states_.*StateOf(box) = checked; }

 private:
  static bool AdministratorChecks::*StateOf(Box box);

  AdministratorChecks& program_states_;
};

}  // namespace veld
