#pragma once
// Printing the calibration certificate with Qt: on the printer that the user chooses in
// the print dialog, or into a PDF/A-1b file for archiving (which works headless, on the
// offscreen platform).

#include <optional>
#include <string>

#include "platform/prompter.h"
#include "records/test_results.h"
#include "reports/certificate.h"
#include "reports/paper.h"

class QPageLayout;
class QPrintDialog;
class QPrinter;
class QWidget;

namespace veld {

// The certificate is one page: no selection, no page range; printing to a PDF file stays;
// copies and collation stay with the printer.
void SetUpCertificatePrintDialog(QPrintDialog& dialog);

// Prints one certificate as the document "Cal Sheet" on a printer already chosen, with
// what the issue adds to the page. Returns the certificate row, or nothing when the fonts
// could not be created (the message has been shown and an empty page printed). Throws
// FileError when the printer or its output file cannot take the job.
std::optional<int> PrintCertificate(QPrinter& printer, const TestResults& as_found, const TestResults& as_left,
                                    double pressure_factor, Prompter& prompter, const CertificateIssue& issue = {});

// Prints an issued certificate on the printer the print dialog set up: into a PDF/A-1b
// file on the printer's page when the dialog chose printing to a PDF file, else on the
// printer (PrintCertificate).
std::optional<int> PrintOnChosenPrinter(QPrinter& printer, const TestResults& as_found, const TestResults& as_left,
                                        double pressure_factor, Prompter& prompter, const CertificateIssue& issue);

// Shows the print dialog and, unless the user cancels (false), issues the certificate
// (header and next number from the desktop's settings) and prints it on the printer and
// paper chosen; a PDF file chosen in the dialog is written as PDF/A-1b. Needs a
// QApplication.
bool PrintCertificateWithDialog(QWidget* parent, const TestResults& as_found, const TestResults& as_left,
                                double pressure_factor, Prompter& prompter);

// Writes one certificate into a PDF/A-1b file at a host path, on the paper given (a
// quarter-inch margin all round), with its document information: title, author, subject
// (the UUT ID and the certificate number) and creation date. Needs a QGuiApplication.
// The file is written all at once: one already there keeps its content if the new one
// cannot be written whole. Throws FileError then.
std::optional<int> WriteCertificatePdf(const std::string& host_path, const TestResults& as_found,
                                       const TestResults& as_left, double pressure_factor, Prompter& prompter,
                                       Paper paper = Paper::Letter, const CertificateIssue& issue = {});

// The same on the page layout of a printer.
std::optional<int> WriteCertificatePdf(const std::string& host_path, const QPageLayout& layout,
                                       const TestResults& as_found, const TestResults& as_left,
                                       double pressure_factor, Prompter& prompter, const CertificateIssue& issue);

}  // namespace veld
