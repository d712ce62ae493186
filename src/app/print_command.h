#pragma once
// The Print button: collation and the certificate, behind the password check when the
// settings protect printing.

#include <vector>

#include "app/password_check.h"
#include "records/system_data.h"
#include "reports/collation.h"

namespace veld {

// In 21 CFR mode printing is protected by the password check (and the system must not be
// locked out); otherwise it collates and prints at once.
PrintOutcome PrintButton(const SystemData& settings, CDataBaseX& pc_database, PasswordEntry& entry,
                         const std::vector<SelectedResult>& selected, CollationRecords& records,
                         Prompter& prompter, CertificatePrinter& printer);

}  // namespace veld
