#pragma once
// Pairs the As Found and the As Left result that the user selected, explains every
// reason why they do not belong together, and hands a good pair to the certificate.

#include <string>
#include <vector>

#include "platform/prompter.h"
#include "records/system_data.h"
#include "records/test_results.h"

namespace veld {

class CDataBaseX;

// A selected row of the results list: its "As Found / As Left" and "File Name" texts.
struct SelectedResult {
  std::string kind;
  std::string file_name;
};

// Prints one certificate; the desktop opens the print dialog, the command-line tool
// writes a PDF file.
class CertificatePrinter {
 public:
  virtual ~CertificatePrinter() = default;
  virtual void PrintCertificate(const TestResults& as_found, const TestResults& as_left,
                                double pressure_factor) = 0;
};

enum class PrintOutcome {
  Printed,     // the certificate went to the printer
  Refused,     // a selection or collation message was shown; nothing printed
  NotAllowed,  // protected printing: locked out, or the password check was cancelled or failed
  LockedDown,  // the password check locked the system down; the program must end
};

// The work records of collation: the main window's two result records and its pressure
// factor, which outlive one print.
struct CollationRecords {
  TestResults as_found;
  TestResults as_left;
  double pressure_factor = 0.0;
};

// The checks of a pair in order; empty when the pair collates.
std::string CollationComplaints(const TestResults& as_found, const TestResults& as_left);

// Collate and print: selected rows are given in row order (lowest row first).
PrintOutcome CollateAndPrint(CDataBaseX& pc_database, const std::vector<SelectedResult>& selected,
                             CollationRecords& records, Prompter& prompter, CertificatePrinter& printer);

}  // namespace veld
