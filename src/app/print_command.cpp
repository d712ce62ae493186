#include "app/print_command.h"

namespace veld {

PrintOutcome PrintButton(const SystemData& settings, CDataBaseX& pc_database, PasswordEntry& entry,
                         const std::vector<SelectedResult>& selected, CollationRecords& records,
                         Prompter& prompter, CertificatePrinter& printer) {
  if (!settings.CFRCompliantMode) return CollateAndPrint(pc_database, selected, records, prompter, printer);
  if (settings.LockedOut) return PrintOutcome::NotAllowed;
  // Protected printing whenever 21 CFR mode is on: no operation ever sets a separate
  // print-protection flag, so waiting for one would leave printing dead in that mode.
  switch (RunPasswordCheck(pc_database, entry, prompter, kPrintingPrompt)) {
    case PasswordCheckResult::Passed: return CollateAndPrint(pc_database, selected, records, prompter, printer);
    case PasswordCheckResult::LockedDown: return PrintOutcome::LockedDown;
    case PasswordCheckResult::Cancelled:
    case PasswordCheckResult::Failed: break;
  }
  return PrintOutcome::NotAllowed;
}

}  // namespace veld
