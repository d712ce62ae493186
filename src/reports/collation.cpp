#include "reports/collation.h"

#include <cmath>

#include "database/database.h"
#include "database/results_index.h"

namespace veld {
namespace {

constexpr double kHalfSecondInDays = 5.787037037037037e-6;

bool SameUUT(const UUT& a, const UUT& b) {
  return a.ID == b.ID && a.SettlingTime == b.SettlingTime && a.Accuracy == b.Accuracy &&
         a.ControlStability == b.ControlStability && a.MaxLeakRate == b.MaxLeakRate &&
         a.Excitation == b.Excitation && a.OutputType == b.OutputType && a.InputOffset == b.InputOffset &&
         a.InputSpan == b.InputSpan && a.OutputOffset == b.OutputOffset && a.OutputSpan == b.OutputSpan &&
         a.InputUnits == b.InputUnits && a.OutputUnits == b.OutputUnits;
}

bool SameProfile(const TestProfile& a, const TestProfile& b) {
  return a.ID == b.ID && a.ProfileType == b.ProfileType && a.NumberOfPoints == b.NumberOfPoints &&
         a.LeakTest == b.LeakTest;
}

// Whole hours from As Found to As Left, rounded to the second first.
double WholeHoursBetween(const OleDateTime& found, const OleDateTime& left) {
  double span = left.Value() - found.Value();
  span += span >= 0 ? kHalfSecondInDays : -kHalfSecondInDays;
  return std::trunc(span * 24.0);
}

std::string ResultPath(const SelectedResult& row) { return ResultFilePath(row.file_name); }

void Print(CDataBaseX& pc_database, CollationRecords& records, CertificatePrinter& printer) {
  records.pressure_factor = pc_database.GetUnitFactor(records.as_found.Uut.InputUnits);
  printer.PrintCertificate(records.as_found, records.as_left, records.pressure_factor);
}

}  // namespace

std::string CollationComplaints(const TestResults& as_found, const TestResults& as_left) {
  std::string message;
  if (!SameUUT(as_found.Uut, as_left.Uut)) {
    message += "Unit Under Test profiles do not match for these test results.\r\n";
  }
  if (!SameProfile(as_found.Profile, as_left.Profile)) {
    message += "Test profiles do not match for these test results.\r\n";
  }
  const OleDateTime& found = as_found.DateTimeTested;
  const OleDateTime& left = as_left.DateTimeTested;
  if (found.GetStatus() == OleDateTime::valid && left.GetStatus() == OleDateTime::valid &&
      found.Value() > left.Value()) {
    message += "Date/Time tested of AsFound file occurs after Date/Time tested of AsLeft file.\r\n";
  }
  if (WholeHoursBetween(found, left) > 24.0) {
    message += "Date/Time tested of AsLeft file occurs more than 24 hours after Date/Time tested of AsFound file.\r\n";
  }
  return message;
}

PrintOutcome CollateAndPrint(CDataBaseX& pc_database, const std::vector<SelectedResult>& selected,
                             CollationRecords& records, Prompter& prompter, CertificatePrinter& printer) {
  records.as_found.ClearColumns();
  records.as_left.ClearColumns();
  if (selected.size() >= 3) {
    prompter.Message(
        "Too many test results selected for collation into calibration report.  Please select 2 test results only.",
        MessageIcon::Exclamation);
    return PrintOutcome::Refused;
  }
  if (selected.empty()) {
    prompter.Message(
        "Please select test results from list for collation into calibration report.  Please select 2 test "
        "results only.",
        MessageIcon::Exclamation);
    return PrintOutcome::Refused;
  }

  const SelectedResult& first = selected[0];
  if (selected.size() == 1) {
    if (!ReadResultForReport(pc_database, records.as_found, ResultPath(first), prompter) ||
        !ReadResultForReport(pc_database, records.as_left, ResultPath(first), prompter)) {
      return PrintOutcome::Refused;
    }
    // The side that was not selected counts as missing.
    TestResults& missing = first.kind == "As Found" ? records.as_left : records.as_found;
    missing.Profile.NumberOfPoints = 0;
    Print(pc_database, records, printer);
    return PrintOutcome::Printed;
  }

  const SelectedResult& second = selected[1];
  std::string message;
  if (first.kind == second.kind) {
    message = "Test Results selected for printing are both " + first.kind + "\r\n";
  } else {
    const bool first_is_found = first.kind == "As Found";
    if (!ReadResultForReport(pc_database, records.as_found, ResultPath(first_is_found ? first : second), prompter) ||
        !ReadResultForReport(pc_database, records.as_left, ResultPath(first_is_found ? second : first), prompter)) {
      return PrintOutcome::Refused;
    }
    message = CollationComplaints(records.as_found, records.as_left);
  }
  if (!message.empty()) {
    prompter.Message(message + "Cannot collate into a valid report!");
    return PrintOutcome::Refused;
  }
  Print(pc_database, records, printer);
  return PrintOutcome::Printed;
}

}  // namespace veld
