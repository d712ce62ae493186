#include "cli/pdf_printer.h"

#include "database/desktop_settings.h"
#include "ui/certificate_printing.h"

namespace veld::cli {

void PdfCertificatePrinter::PrintCertificate(const TestResults& as_found, const TestResults& as_left,
                                             double pressure_factor) {
  // Qt draws text only with an application object.
  if (!qt_) qt_.emplace(HeadlessQt::Kind::Gui);
  DesktopSettingsStore store;
  const CertificateIssue issue = IssueCertificate(store);
  succeeded_ =
      WriteCertificatePdf(host_path_, as_found, as_left, pressure_factor, prompter_, paper_, issue).has_value();
}

}  // namespace veld::cli
