#pragma once
// Printing the calibration certificate with Qt: on the printer that the user chooses in
// the print dialog, or into a PDF file (which works headless, on the offscreen platform).

#include <optional>
#include <string>

#include "platform/prompter.h"
#include "records/test_results.h"

class QPrintDialog;
class QPrinter;
class QWidget;

namespace veld {

// The certificate is one page: no selection, no page range; printing to a PDF file stays;
// copies and collation stay with the printer.
void SetUpCertificatePrintDialog(QPrintDialog& dialog);

// Prints one certificate as the document "Cal Sheet" on a printer already chosen.
// Returns the certificate row, or nothing when the fonts could not be created (the
// message has been shown and an empty page printed). Throws FileError when the printer
// or its output file cannot take the job.
std::optional<int> PrintCertificate(QPrinter& printer, const TestResults& as_found, const TestResults& as_left,
                                    double pressure_factor, Prompter& prompter);

// Shows the print dialog and prints on the printer chosen. False when the user cancels.
// Needs a QApplication.
bool PrintCertificateWithDialog(QWidget* parent, const TestResults& as_found, const TestResults& as_left,
                                double pressure_factor, Prompter& prompter);

// Writes one certificate into a PDF file at a host path (a Letter page). Needs a
// QGuiApplication. Throws FileError when the file cannot be written.
std::optional<int> WriteCertificatePdf(const std::string& host_path, const TestResults& as_found,
                                       const TestResults& as_left, double pressure_factor, Prompter& prompter);

}  // namespace veld
