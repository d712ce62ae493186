#include "app/password_dialogs.h"

namespace veld {

bool AdministratorChecks::*PasswordConfigureForm::StateOf(Box box) {
  switch (box) {
    case Box::CfrComp: return &AdministratorChecks::cfr_comp;
    case Box::PasswordReportGenerator: return &AdministratorChecks::password_report_generator;
    case Box::FailLockDown: break;
  }
  return &AdministratorChecks::fail_lock_down;
}

}  // namespace veld
