#include "app/password_dialogs.h"

namespace veld {

bool& PasswordConfigureForm::StateOf(AdministratorChecks& checks, Box box) {
  switch (box) {
    case Box::CfrComp: return checks.cfr_comp;
    case Box::PasswordReportGenerator: return checks.password_report_generator;
    case Box::FailLockDown: break;
  }
  return checks.fail_lock_down;
}

}  // namespace veld
